// The rules that need no system call: command lines, paths, list names (which are accepted: fuzz.list_names).
#include <gtest/gtest.h>

#include "distribution/sources.h"
#include "lists/list_names.h"
#include "platform/path_rules.h"

using Lines = std::vector<std::wstring>;

TEST(CommandLine, TheTailDropsTheProgramAndTheSourcesSplitAtBlanksOutsideQuotes) {
    using distribution::SplitSources;
    EXPECT_EQ(platform::CommandLineTail(LR"("C:\Program Files\Q\KELVARON.EXE" C:\a.txt)"), LR"(C:\a.txt)");
    EXPECT_EQ(platform::CommandLineTail(LR"(KELVARON.EXE   C:\a.txt  "C:\b c" )"), LR"(C:\a.txt  "C:\b c" )");
    EXPECT_EQ(SplitSources(LR"(   C:\a.txt     C:\b.txt  )"), (Lines{LR"(C:\a.txt)", LR"(C:\b.txt)"}));
    EXPECT_EQ(SplitSources(LR"(C:\a "C:\My  Files\b.txt" "C:\c d""E:\f" "" G:\g)"),
              (Lines{LR"(C:\a)", LR"(C:\My  Files\b.txt)", LR"(C:\c d)", LR"(E:\f)", LR"(G:\g)"}));
    EXPECT_EQ(SplitSources(LR"(C:\a.txt "C:\My Files\b c.txt)"), (Lines{LR"(C:\a.txt)", LR"(C:\My Files\b c.txt)"}));
    EXPECT_EQ(SplitSources(L"  "), Lines{});  // a line as long as a line can be: fuzz.command_line's seed "longest"
}

// Switches come first and only there: a command line without them means what it always meant.
TEST(CommandLine, SwitchesNameTheListAndQuietnessAndAnythingElseIsAProblem) {
    struct Case {
        const wchar_t *line, *list, *sources, *problem;
        bool quiet;
    };
    for (const Case& c : {Case{LR"(C:.txt /list x)", nullptr, LR"(C:.txt /list x)", nullptr, false},
                          Case{LR"(/LIST "Team A"  /quiet "C: c" D:\e)", L"Team A", LR"("C: c" D:\e)", nullptr, true},
                          Case{LR"(/quiet /list x C: /x)", L"x", LR"(C: /x)", nullptr, true},
                          Case{LR"(/list x /copy C:)", L"x", LR"(C:)", L"/copy is not known", false},
                          Case{LR"(/list)", L"", L"", L"needs the name", false},
                          Case{LR"(/quiet C:)", nullptr, LR"(C:)", L"/quiet needs /list", true},
                          Case{LR"(/list x /list y C:)", L"y", LR"(C:)", L"given twice", false},
                          Case{LR"(/list x  )", L"x", L"", L"Name the files", false}}) {
        const distribution::Invocation invocation = distribution::ReadInvocation(c.line);
        EXPECT_EQ(invocation.list.value_or(L"(none)"), c.list ? c.list : L"(none)") << testing::PrintToString(c.line);
        EXPECT_EQ(invocation.sources, c.sources) << testing::PrintToString(c.line);
        EXPECT_EQ(invocation.quiet, c.quiet) << testing::PrintToString(c.line);
        if (c.problem)
            EXPECT_PRED_FORMAT2(testing::IsSubstring, c.problem, invocation.problem);
        else
            EXPECT_EQ(invocation.problem, L"");
    }
}

TEST(PathRules, AbsolutePathsWildcardsTrailingBackslashesAndTheExtendedForm) {
    for (const wchar_t* path : {LR"(C:\)", LR"(z:\x)", LR"(#:\x)", LR"(\\server\share\a.txt)"})
        EXPECT_TRUE(distribution::LooksAbsolute(path)) << testing::PrintToString(path);
    for (const wchar_t* path : {L"C:", L"", L"C:DOCS", LR"(DOCS\A)", LR"(\DOCS)", LR"("C:\A")", L"C:/A", L"//s/x", L" C:\\A"})
        EXPECT_FALSE(distribution::LooksAbsolute(path)) << testing::PrintToString(path);
    for (const auto& [name, pattern, matches] : std::vector<std::tuple<const wchar_t*, const wchar_t*, bool>>{
             {L"daily.qvl", L"*.qvl", true}, {L"daily.qvl2", L"*.qvl", false}, {L"DAILY.QVL", L"*.qvl", false},
             {L"readme", L"*.*", true}, {L"a.qvl", L"?.qvl", true}, {L"ab.qvl", L"?.qvl", false},
             {L"a-b-c-b-d", L"a*b*d", true}, {L"a-b-c-b-e", L"a*b*d", false}, {L"n.txt", L"*.qvl;*.txt", true}})
        EXPECT_EQ(platform::MatchesWildcards(name, pattern), matches) << testing::PrintToString(name) << " ~ " << pattern;
    for (const auto& [path, trimmed] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {LR"(C:\DIR\\)", LR"(C:\DIR)"}, {LR"(C:\\)", LR"(C:\)"},
             {LR"(\\server\share\)", LR"(\\server\share\)"}, {LR"(\\s\share\dir\)", LR"(\\s\share\dir)"}})
        EXPECT_EQ(platform::WithoutTrailingBackslash(path), trimmed);
    const std::wstring longName(300, L'd');
    EXPECT_EQ(platform::ExtendedLengthPath(L"C:\\Data\\x.qvl"), L"C:\\Data\\x.qvl");
    EXPECT_EQ(platform::ExtendedLengthPath(L"C:\\" + longName), L"\\\\?\\C:\\" + longName);
    EXPECT_EQ(platform::ExtendedLengthPath(L"\\\\?\\C:\\" + longName), L"\\\\?\\C:\\" + longName);
    EXPECT_EQ(platform::ExtendedLengthPath(L"\\\\srv\\share\\" + longName), L"\\\\?\\UNC\\srv\\share\\" + longName);
}

TEST(ListNames, NamesAFileCanHaveAreAcceptedAndEachKindOfBadNameIsRefusedWithItsReason) {
    const std::pair<Lines, std::wstring> cases[] = {
        {{L"a\\b", L"a/b", L"c:x", L"what?", L"*", L"\"", L"<x>", L"a|b"}, L"cannot hold the character"},
        {{L"tab\there"}, L"control characters"},
        {{L"CON", L"con", L"Nul", L"nul.txt", L"PRN .qvl", L"AUX", L"COM1", L"lpt9.x", L"COM\u00B9", L"lpt\u00B3 .x", L"conin$.qvl"}, L"device"},
        {{L"x.", L"x ", L".", L".."}, L"end with a point or a space"},
        {{std::wstring(252, L'x')}, L"at most 251 characters"}};
    for (const auto& [names, reason] : cases)
        for (const auto& name : names)
            EXPECT_PRED_FORMAT2(testing::IsSubstring, reason, lists::ListNameProblem(name)) << testing::PrintToString(name);
}
