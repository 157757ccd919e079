#include "platform/path_rules.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CommandLineTail, DropsTheProgramNameQuotedOrNot) {
    EXPECT_EQ(CommandLineTail(LR"("C:\Program Files\Q\KELVARON.EXE" C:\a.txt)"), LR"(C:\a.txt)");
    EXPECT_EQ(CommandLineTail(LR"(KELVARON.EXE   C:\a.txt  C:\b.txt )"), LR"(C:\a.txt  C:\b.txt )");
    EXPECT_EQ(CommandLineTail(LR"("C:\x\KELVARON.EXE")"), L"");
    EXPECT_EQ(CommandLineTail(L"KELVARON.EXE"), L"");
    EXPECT_EQ(CommandLineTail(LR"(KELVARON.EXE "C:\My Files\a.txt")"), LR"("C:\My Files\a.txt")");
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
