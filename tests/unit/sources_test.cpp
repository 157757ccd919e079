#include "distribution/sources.h"
#include "platform/path_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace distribution;

namespace {

using Sources = std::vector<std::wstring>;

}  // namespace

// ----- SplitSources -----

TEST(SourcesSplit, BlanksSeparateWords) {
    EXPECT_EQ(SplitSources(LR"(C:\a.txt C:\b.txt)"), (Sources{LR"(C:\a.txt)", LR"(C:\b.txt)"}));
    // A run of blanks is one separator, wherever it stands.
    EXPECT_EQ(SplitSources(LR"(   C:\a.txt     C:\b.txt  D:\c)"),
              (Sources{LR"(C:\a.txt)", LR"(C:\b.txt)", LR"(D:\c)"}));
    // Blanks at the end make no empty source.
    EXPECT_EQ(SplitSources(LR"(C:\a.txt C:\b.txt    )"), (Sources{LR"(C:\a.txt)", LR"(C:\b.txt)"}));
    EXPECT_EQ(SplitSources(LR"(C:\only.txt )"), (Sources{LR"(C:\only.txt)"}));
    EXPECT_EQ(SplitSources(L""), Sources{});
    EXPECT_EQ(SplitSources(L"     "), Sources{});
}

TEST(SourcesSplit, AQuotedPathIsOneSourceWithoutItsQuotes) {
    EXPECT_EQ(SplitSources(LR"("C:\My Files\a b.txt")"), (Sources{LR"(C:\My Files\a b.txt)"}));
    // Blanks inside the quotes are kept as they are, runs included.
    EXPECT_EQ(SplitSources(LR"("C:\two  blanks\x.txt"  )"), (Sources{LR"(C:\two  blanks\x.txt)"}));
    // Quoted and unquoted, mixed, in the order given.
    EXPECT_EQ(SplitSources(LR"(C:\a.txt "C:\My Files\b.txt" D:\c.txt  "E:\x y\z w.doc" "F:\plain.txt" G:\last)"),
              (Sources{LR"(C:\a.txt)", LR"(C:\My Files\b.txt)", LR"(D:\c.txt)", LR"(E:\x y\z w.doc)",
                       LR"(F:\plain.txt)", LR"(G:\last)"}));
    // Two quoted paths with nothing between them are still two.
    EXPECT_EQ(SplitSources(LR"("C:\a b.txt""C:\c d.txt")"), (Sources{LR"(C:\a b.txt)", LR"(C:\c d.txt)"}));
}

TEST(SourcesSplit, AnUnclosedQuoteTakesTheRest) {
    EXPECT_EQ(SplitSources(LR"(C:\a.txt "C:\My Files\b c.txt)"),
              (Sources{LR"(C:\a.txt)", LR"(C:\My Files\b c.txt)"}));
    EXPECT_EQ(SplitSources(LR"("C:\x y\z D:\w.txt)"), (Sources{LR"(C:\x y\z D:\w.txt)"}));
    // A quotation mark at the very end opens nothing.
    EXPECT_EQ(SplitSources(LR"(C:\a.txt ")"), (Sources{LR"(C:\a.txt)"}));
}

TEST(SourcesSplit, EmptyQuotesGiveNothing) {
    EXPECT_EQ(SplitSources(LR"("")"), Sources{});
    EXPECT_EQ(SplitSources(LR"(C:\a.txt "" C:\b.txt)"), (Sources{LR"(C:\a.txt)", LR"(C:\b.txt)"}));
    EXPECT_EQ(SplitSources(LR"("" "" "C:\q r.txt" "")"), (Sources{LR"(C:\q r.txt)"}));
}

TEST(SourcesSplit, AFullCommandLineOfThousandsOfPaths) {
    // As long as a command line can be: 32,767 characters, every path among them taken.
    constexpr std::size_t kLongest = 32767;
    Sources expected;
    std::wstring line;
    for (int i = 0;; ++i) {
        const bool quoted = i % 7 == 3;
        std::wstring path = quoted ? L"C:\\My Files\\f " + std::to_wstring(i) + L".txt"
                                   : L"C:\\d\\f" + std::to_wstring(i) + L".txt";
        std::wstring word = quoted ? L"\"" + path + L"\"" : path;
        const std::wstring separator = i == 0 ? L"" : (i % 5 == 0 ? L"   " : L" ");
        if (line.size() + separator.size() + word.size() > kLongest) break;
        line += separator + word;
        expected.push_back(std::move(path));
    }
    // The last word ends on the limit: the line is filled with blanks the rest of the way.
    line.append(kLongest - line.size(), L' ');
    ASSERT_EQ(line.size(), kLongest);
    ASSERT_GT(expected.size(), 2000u);

    const Sources sources = SplitSources(line);
    ASSERT_EQ(sources.size(), expected.size());
    EXPECT_EQ(sources, expected);
    EXPECT_EQ(sources.front(), L"C:\\d\\f0.txt");
    EXPECT_EQ(sources[3], L"C:\\My Files\\f 3.txt");
}

// ----- LooksAbsolute -----

TEST(SourcesLooksAbsolute, DriveOrUncPathsOnly) {
    EXPECT_TRUE(LooksAbsolute(LR"(C:\)"));
    EXPECT_TRUE(LooksAbsolute(LR"(C:\DOCS\A.TXT)"));
    EXPECT_TRUE(LooksAbsolute(LR"(z:\x)"));
    // Any first character: the letter is not checked.
    EXPECT_TRUE(LooksAbsolute(LR"(1:\x)"));
    EXPECT_TRUE(LooksAbsolute(LR"(#:\x)"));
    EXPECT_TRUE(LooksAbsolute(L"\u00C4:\\x"));
    EXPECT_TRUE(LooksAbsolute(LR"(\\server\share)"));
    EXPECT_TRUE(LooksAbsolute(LR"(\\server\share\a.txt)"));
}

TEST(SourcesLooksAbsolute, RejectsWhatIsNotAnAbsolutePath) {
    EXPECT_FALSE(LooksAbsolute(L"C:"));
    EXPECT_FALSE(LooksAbsolute(L"C"));
    EXPECT_FALSE(LooksAbsolute(L""));
    EXPECT_FALSE(LooksAbsolute(L":"));
    EXPECT_FALSE(LooksAbsolute(L"C:DOCS"));
    EXPECT_FALSE(LooksAbsolute(LR"(DOCS\A.TXT)"));
    EXPECT_FALSE(LooksAbsolute(LR"(\DOCS\A.TXT)"));
    EXPECT_FALSE(LooksAbsolute(LR"(\)"));
    EXPECT_FALSE(LooksAbsolute(LR"("C:\DOCS\A.TXT")"));
    EXPECT_FALSE(LooksAbsolute(LR"("\\server\share")"));
    EXPECT_FALSE(LooksAbsolute(L"C:/DOCS/A.TXT"));
    EXPECT_FALSE(LooksAbsolute(L"//server/share"));
    EXPECT_FALSE(LooksAbsolute(LR"(/\server)"));
    EXPECT_FALSE(LooksAbsolute(L" C:\\DOCS"));
}

// ----- WithoutTrailingBackslash -----

TEST(SourcesWithoutTrailingBackslash, DropsTrailingBackslashesButADrivesTop) {
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(C:\DIR\)"), LR"(C:\DIR)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(C:\DIR\\\)"), LR"(C:\DIR)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(C:\DIR)"), LR"(C:\DIR)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(C:\a\b\)"), LR"(C:\a\b)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(C:\)"), LR"(C:\)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(C:\\)"), LR"(C:\)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(\\server\share\)"), LR"(\\server\share\)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(LR"(\\server\share\dir\)"), LR"(\\server\share\dir)");
    EXPECT_EQ(platform::WithoutTrailingBackslash(L""), L"");
}
