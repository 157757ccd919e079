#include "platform/path_rules.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

TEST(CommandLineTail, DropsTheProgramNameQuotedOrNot) {
    EXPECT_EQ(CommandLineTail(LR"("C:\Program Files\Q\KELVARON.EXE" C:\a.txt)"), LR"(C:\a.txt)");
    EXPECT_EQ(CommandLineTail(LR"(KELVARON.EXE   C:\a.txt  C:\b.txt )"), LR"(C:\a.txt  C:\b.txt )");
    EXPECT_EQ(CommandLineTail(LR"("C:\x\KELVARON.EXE")"), L"");
    EXPECT_EQ(CommandLineTail(L"KELVARON.EXE"), L"");
    EXPECT_EQ(CommandLineTail(LR"(KELVARON.EXE "C:\My Files\a.txt")"), LR"("C:\My Files\a.txt")");
}

// What the started program reads back: its path and the argument as they are.
TEST(CommandLineOf, ReadsBackAsItIsWithBlanksBackslashesAndQuotes) {
    const std::wstring program = LR"(C:\Windows Folder\system32\notepad.exe)";
    for (const std::wstring argument :
         {LR"(C:\Program Files\Q\EULA.TXT)", LR"(C:\My Files\)", LR"(say \"hi\" "there")", L""}) {
        int count = 0;
        wchar_t** words = ::CommandLineToArgvW(CommandLineOf(program, argument).c_str(), &count);
        ASSERT_NE(words, nullptr);
        EXPECT_EQ(std::vector<std::wstring>(words, words + count), (std::vector<std::wstring>{program, argument}));
        ::LocalFree(words);
    }
}

TEST(PathRules, WildcardsMatchWholeNames) {
    EXPECT_TRUE(MatchesWildcards(L"daily.qvl", L"*.qvl"));
    EXPECT_FALSE(MatchesWildcards(L"daily.qvl2", L"*.qvl"));
    EXPECT_FALSE(MatchesWildcards(L"daily.qvl.bak", L"*.qvl"));
    EXPECT_FALSE(MatchesWildcards(L"DAILY.QVL", L"*.qvl"));  // callers fold the case first
    EXPECT_TRUE(MatchesWildcards(L"readme", L"*.*"));
    EXPECT_TRUE(MatchesWildcards(L"readme", L"*"));
    EXPECT_TRUE(MatchesWildcards(L"a.qvl", L"?.qvl"));
    EXPECT_FALSE(MatchesWildcards(L"ab.qvl", L"?.qvl"));
    EXPECT_TRUE(MatchesWildcards(L"a-b-c-b-d", L"a*b*d"));
    EXPECT_FALSE(MatchesWildcards(L"a-b-c-b-e", L"a*b*d"));
    EXPECT_TRUE(MatchesWildcards(L"notes.txt", L"*.qvl;*.txt"));
    EXPECT_FALSE(MatchesWildcards(L"notes.doc", L"*.qvl;*.txt"));
}

TEST(PathRules, LongPathsTakeTheExtendedForm) {
    const std::wstring shortPath = L"C:\\Data\\x.qvl";
    EXPECT_EQ(ExtendedLengthPath(shortPath), shortPath);
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'd');
    EXPECT_EQ(ExtendedLengthPath(longPath), L"\\\\?\\" + longPath);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\" + longPath), L"\\\\?\\" + longPath);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\" + std::wstring(300, L'd')),
              L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'd'));
}
