// The controls, the folder reading they show, finding a file by the listing's rules, and windows
// laid out in twips at any DPI.
#include "platform/controls.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/folder_listing.h"
#include "test_support.h"

using platform::Failure;
using test::Lines;

namespace {

class Controls : public ::testing::Test {
protected:
    template <typename Control>
    Control& Add() { return window.Add<Control>(++lastId, platform::TwipsRect{0, 0, 2000, 2000}, false); }
    template <typename Control>
    static Lines Entries(const Control& control) {
        Lines entries;
        for (int i = 0; i < control.ListCount(); ++i) entries.push_back(control.List(i));
        return entries;
    }

    test::ScratchFolder scratch;
    test::HiddenWindow window;
    int lastId = 0;
};

TEST_F(Controls, FolderListListsVisibleSubFoldersAndMovesBetweenFolders) {
    for (const wchar_t* name : {L"charlie", L"Beta", L"alpha", L"hidden", L"system"}) test::MakeFolder(scratch / name);
    ::SetFileAttributesW((scratch / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((scratch / L"system").c_str(), FILE_ATTRIBUTE_SYSTEM);
    test::WriteBytes(scratch / L"file.txt", "x");
    auto& folders = Add<platform::FolderListControl>();
    int changes = 0;
    folders.OnChange([&] { ++changes; });
    folders.SetPath(scratch.Path() + L"\\");
    EXPECT_EQ(Entries(folders), (Lines{scratch / L"alpha", scratch / L"Beta", scratch / L"charlie"}));
    EXPECT_EQ(folders.List(-1), scratch.Path());
    EXPECT_EQ(folders.List(-2), scratch.Path().substr(0, scratch.Path().rfind(L'\\')));
    folders.SetPath(scratch / L"Beta\\..\\alpha");
    EXPECT_EQ(folders.Path(), scratch / L"alpha");
    EXPECT_THROW(folders.SetPath(scratch / L"missing"), Failure);
    EXPECT_EQ(folders.Path(), scratch / L"alpha");
    EXPECT_EQ(changes, 2);
    // A drive's top folder keeps its backslash and is its own parent.
    folders.SetPath(L"C:\\");
    EXPECT_EQ(folders.List(-2), L"C:\\");
    // Long paths and names outside the code page.
    const std::wstring deep = test::MakeLongFolder(scratch.Path());
    test::MakeFolder(deep + L"\\\u05D0\u4E2D sub");
    folders.SetPath(deep);
    EXPECT_EQ(Entries(folders), Lines{deep + L"\\\u05D0\u4E2D sub"});
}

// What the list menu and the walk read: visible files by pattern, folders apart, and never the
// temporary file of a copy or save under way (or killed).
TEST_F(Controls, FolderListingTakesVisibleFilesMatchingThePattern) {
    for (const wchar_t* name : {L"b.qvl", L"B.qvl2", L"A.qvl", L"notes.txt", L"~kelvaron-0000002a0001.tmp"})
        test::WriteBytes(scratch / name, "x");
    test::WriteBytes(scratch / L"read-only.qvl", "x", FILE_ATTRIBUTE_READONLY);
    test::WriteBytes(scratch / L"hidden.qvl", "x", FILE_ATTRIBUTE_HIDDEN);
    test::WriteBytes(scratch / L"system.qvl", "x", FILE_ATTRIBUTE_SYSTEM);
    test::MakeFolder(scratch / L"folder.qvl");
    const auto files = [&](const wchar_t* pattern) {
        return platform::ListFolder(scratch.Path(), platform::EntryKind::Files, pattern);
    };
    EXPECT_EQ(files(L"*.qvl"), (Lines{L"A.qvl", L"b.qvl", L"read-only.qvl"}));
    EXPECT_EQ(files(L"*.*"), (Lines{L"A.qvl", L"b.qvl", L"B.qvl2", L"notes.txt", L"read-only.qvl"}));
    EXPECT_EQ(files(L"*.TXT;*.qvl2"), (Lines{L"B.qvl2", L"notes.txt"}));
    const platform::FolderContents contents = platform::ReadFolder(scratch.Path());
    EXPECT_EQ(contents.files.size(), 5u);
    EXPECT_EQ(contents.folders, Lines{L"folder.qvl"});
    EXPECT_THROW(platform::ReadFolder(scratch / L"missing"), Failure);
}

// Each name found by the listing's rule for a mask: its stored name, or nothing.
TEST_F(Controls, FirstMatchFindsByTheMasksAttributesAndNeverByWildcards) {
    using platform::kAnyFiles, platform::kFoldersAndFiles, platform::kPlainFiles;
    test::WriteBytes(scratch / L"Plain.txt", "x");
    test::WriteBytes(scratch / L"ReadOnly.txt", "x", FILE_ATTRIBUTE_READONLY);
    test::WriteBytes(scratch / L"Hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN);
    test::WriteBytes(scratch / L"System.txt", "x", FILE_ATTRIBUTE_SYSTEM);
    test::MakeFolder(scratch / L"MixedCase");
    const std::wstring deep = test::MakeLongFolder(scratch.Path()), level = deep.substr(deep.rfind(L'\\') + 1);
    test::WriteBytes(deep + L"\\\u03A9 list.qvl", "x");
    const struct {
        std::wstring path, plain, any, folders;
    } cases[] = {
        {L"pLAIN.TXT", L"Plain.txt", L"Plain.txt", L"Plain.txt"},
        {L"ReadOnly.txt", L"ReadOnly.txt", L"ReadOnly.txt", L"ReadOnly.txt"},
        {L"Hidden.txt", L"", L"Hidden.txt", L""},
        {L"System.txt", L"", L"System.txt", L""},
        {L"mixedcase", L"", L"", L"MixedCase"},
        {L"Missing.txt", L"", L"", L""},
        {L"*.txt", L"", L"", L""},
        {L"Plain.tx?", L"", L"", L""},
        {deep.substr(scratch.Path().size() + 1) + L"\\..\\" + level + L"\\.\\\u03A9 list.qvl", L"\u03A9 list.qvl",
         L"\u03A9 list.qvl", L"\u03A9 list.qvl"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::FirstMatch(scratch / c.path, kPlainFiles), c.plain) << testing::PrintToString(c.path);
        EXPECT_EQ(platform::FirstMatch(scratch / c.path, kAnyFiles), c.any) << testing::PrintToString(c.path);
        EXPECT_EQ(platform::FirstMatch(scratch / c.path, kFoldersAndFiles), c.folders) << testing::PrintToString(c.path);
    }
    EXPECT_EQ(platform::FirstMatch(L"C:\\", kAnyFiles), L"");
    EXPECT_NE(platform::FirstMatch(L"C:\\", kFoldersAndFiles), L"");
}

// A window without frame: its client area is the whole window at every DPI.
TEST(Window, MovingToAScreenOfAnotherDpiLaysTheClientAreaAndControlsOutAgainInTwips) {
    struct PlainWindow : platform::Window {
        PlainWindow() { Create(L"Quorvander.UnitTestPlainWindow", L"", 4000, 3000, WS_POPUP); }
    } window;
    auto& button = window.Add<platform::Button>(7, platform::TwipsRect{120, 2595, 1215, 495}, L"Done");
    const auto px = [](int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); };
    const auto expectAt = [&](int dpi, int width, int height) {
        SCOPED_TRACE(dpi);
        RECT client{}, place{};
        ::GetClientRect(window.Handle(), &client);
        EXPECT_EQ(client.right, px(width, dpi));
        EXPECT_EQ(client.bottom, px(height, dpi));
        ::GetWindowRect(button.Handle(), &place);
        ::MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, px(120, dpi));
        EXPECT_EQ(place.top, px(2595, dpi));
        EXPECT_EQ(place.right - place.left, px(1215, dpi));
        EXPECT_EQ(place.bottom - place.top, px(495, dpi));
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(button.Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(font.lfHeight, -::MulDiv(8, dpi, 72));  // 8 points
    };
    expectAt(static_cast<int>(window.Dpi()), 4000, 3000);
    // What the system sends when the window moves to a screen of 144 DPI, with where it goes there.
    RECT suggested{200, 150, 900, 700};
    ::SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    expectAt(144, 4000, 3000);
    RECT frame{};
    ::GetWindowRect(window.Handle(), &frame);
    EXPECT_EQ(frame.left, 200);
    EXPECT_EQ(frame.top, 150);
    window.SetClientSizeTwips(2880, 1440);  // a size asked for after the move is taken at the new DPI
    expectAt(144, 2880, 1440);
}

}  // namespace
