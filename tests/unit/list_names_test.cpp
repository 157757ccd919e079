#include "lists/list_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lists::ListNameProblem;

TEST(ListNames, NamesAFileCanHaveAreAccepted) {
    for (const std::wstring name : {L"Office", L"Daily backup", L"v1.5 servers", L"  leading blanks",
                                    L"Ελληνικά", L"CONSOLE", L"COM10", L"LPT", L"nul-list", L"a.b.c"})
        EXPECT_EQ(ListNameProblem(name), L"") << std::string(name.begin(), name.end());
    EXPECT_EQ(ListNameProblem(std::wstring(251, L'x')), L"");
}

TEST(ListNames, EachKindOfBadNameIsRefusedWithItsReason) {
    for (const std::wstring name : {L"a\\b", L"a/b", L"c:x", L"what?", L"*", L"say \"hi\"", L"<x>", L"a|b"})
        EXPECT_NE(ListNameProblem(name).find(L"cannot hold the character"), std::wstring::npos)
            << std::string(name.begin(), name.end());
    EXPECT_NE(ListNameProblem(L"tab\there").find(L"control characters"), std::wstring::npos);

    for (const std::wstring name : {L"CON", L"con", L"Nul", L"nul.txt", L"PRN .qvl", L"AUX", L"COM1", L"lpt9.x"})
        EXPECT_NE(ListNameProblem(name).find(L"device"), std::wstring::npos) << std::string(name.begin(), name.end());

    for (const std::wstring name : {L"x.", L"x ", L".", L".."})
        EXPECT_NE(ListNameProblem(name).find(L"end with a point or a space"), std::wstring::npos)
            << std::string(name.begin(), name.end());

    EXPECT_NE(ListNameProblem(std::wstring(252, L'x')).find(L"at most 251 characters"), std::wstring::npos);
}

TEST(HelpTexts, AboutAndMissingLicence) {
    EXPECT_EQ(lists::AboutText({1, 1, 1}),
              L"Quorvander Utility\rVersion: 1.1 Build:1\r\rContact / Support: Quorvander Support, "
              L"support@ondrevo.example");
    EXPECT_EQ(lists::AboutText({2, 10, 305}).substr(19, 23), L"Version: 2.10 Build:305");
    EXPECT_EQ(lists::MissingLicenseText(),
              L"The License Agreement is missing.  Please either re-install this application, or contact "
              L"Ondrevo for replacement. \r\rContact: Quorvander Support, support@ondrevo.example");
}
