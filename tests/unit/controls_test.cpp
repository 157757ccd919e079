// The folder reading that the lists menu, the picker and the run share, and windows laid out in
// twips at any DPI.
#include "platform/controls.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/folder_listing.h"
#include "test_support.h"

using platform::Failure;
using test::Lines;

namespace {

using Controls = test::ScratchTest<::testing::Test>;

// What the list menu and the walk read: visible files by pattern, folders apart, and never the
// temporary file of a copy or save under way (or killed).
TEST_F(Controls, FolderListingTakesVisibleFilesMatchingThePattern) {
    for (const auto& [name, attributes] : std::vector<std::pair<const wchar_t*, DWORD>>{
             {L"b.qvl", 0}, {L"B.qvl2", 0}, {L"A.qvl", 0}, {L"notes.txt", 0}, {L"~kelvaron-0000002a0001.tmp", 0},
             {L"read-only.qvl", FILE_ATTRIBUTE_READONLY}, {L"hidden.qvl", FILE_ATTRIBUTE_HIDDEN},
             {L"system.qvl", FILE_ATTRIBUTE_SYSTEM}})
        test::WriteBytes(Path(name), "x", attributes);
    test::MakeFolder(Path(L"folder.qvl"));
    test::MakeFolder(Path(L"hidden folder"));
    ::SetFileAttributesW(Path(L"hidden folder").c_str(), FILE_ATTRIBUTE_HIDDEN);
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
        LOGFONTW font{};
        ::GetClientRect(window.Handle(), &client);
        ::GetWindowRect(button.Handle(), &place);
        ::MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&place), 2);
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(button.Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
        // The client area, the button's place and size, and its font of 8 points.
        EXPECT_EQ((std::vector<long>{client.right, client.bottom, place.left, place.top, place.right - place.left,
                                     place.bottom - place.top, font.lfHeight}),
                  (std::vector<long>{px(width, dpi), px(height, dpi), px(120, dpi), px(2595, dpi), px(1215, dpi),
                                     px(495, dpi), -::MulDiv(8, dpi, 72)}));
    };
    expectAt(static_cast<int>(window.Dpi()), 4000, 3000);
    // What the system sends when the window moves to a screen of 144 DPI, with where it goes there.
    RECT suggested{200, 150, 900, 700};
    ::SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    expectAt(144, 4000, 3000);
    RECT frame{};
    ::GetWindowRect(window.Handle(), &frame);
    EXPECT_EQ(std::make_pair(frame.left, frame.top), std::make_pair(200L, 150L));
    window.SetClientSizeTwips(2880, 1440);  // a size asked for after the move is taken at the new DPI
    expectAt(144, 2880, 1440);
}

}  // namespace
