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
             {L"b.qvl", 0}, {L"B.qvl2", 0}, {L"A.qvl", 0}, {L"~kelvaron-notes.txt", 0}, {L"~kelvaron-0000002a0001.tmp", 0},
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
    EXPECT_EQ(files(L"*.*"), (Lines{L"A.qvl", L"b.qvl", L"B.qvl2", L"read-only.qvl", L"~kelvaron-notes.txt"}));
    EXPECT_EQ(files(L"*.TXT;*.qvl2"), (Lines{L"B.qvl2", L"~kelvaron-notes.txt"}));
    const platform::FolderContents contents = platform::ReadFolder(scratch.Path());
    EXPECT_EQ(contents.files.size(), 5u);
    EXPECT_EQ(contents.folders, Lines{L"folder.qvl"});
    EXPECT_THROW(platform::ReadFolder(scratch / L"missing"), Failure);
}

// A window without frame (its client area is the whole window) moved to a screen of 144 DPI: the
// place the system suggests, and the client area, a button and its font of 8 points at that DPI,
// also for a size asked for afterwards.
TEST(Window, MovingToAScreenOfAnotherDpiLaysTheClientAreaAndControlsOutAgainInTwips) {
    struct PlainWindow : platform::Window {
        PlainWindow() { Create(L"Quorvander.UnitTestPlainWindow", L"", 4000, 3000, WS_POPUP); }
    } window;
    auto& button = window.Add<platform::Button>(7, platform::TwipsRect{120, 2595, 1215, 495}, L"Done");
    RECT suggested{200, 150, 900, 700}, frame{}, place{};
    ::SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    window.SetClientSizeTwips(2880, 1440);
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(button.Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
    ::GetWindowRect(window.Handle(), &frame);
    ::GetWindowRect(button.Handle(), &place);
    const auto px = [](int twips) { return ::MulDiv(twips, 144, 1440); };
    EXPECT_EQ((std::vector<long>{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                 place.left - frame.left, place.top - frame.top, place.right - place.left,
                                 place.bottom - place.top, font.lfHeight}),
              (std::vector<long>{200, 150, px(2880), px(1440), px(120), px(2595), px(1215), px(495), -16}));
}

}  // namespace
