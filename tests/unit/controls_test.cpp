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

class Controls : public ::testing::Test {
protected:
    template <typename Control>
    Control& Add() { return window.Add<Control>(++lastId, platform::TwipsRect{0, 0, 2000, 2000}, false); }

    test::ScratchFolder scratch;
    test::HiddenWindow window;
    int lastId = 0;
};

// What the list menu and the walk read: visible files by pattern, folders apart, and never the
// temporary file of a copy or save under way (or killed).
TEST_F(Controls, FolderListingTakesVisibleFilesMatchingThePattern) {
    for (const wchar_t* name : {L"b.qvl", L"B.qvl2", L"A.qvl", L"notes.txt", L"~kelvaron-0000002a0001.tmp"})
        test::WriteBytes(scratch / name, "x");
    test::WriteBytes(scratch / L"read-only.qvl", "x", FILE_ATTRIBUTE_READONLY);
    test::WriteBytes(scratch / L"hidden.qvl", "x", FILE_ATTRIBUTE_HIDDEN);
    test::WriteBytes(scratch / L"system.qvl", "x", FILE_ATTRIBUTE_SYSTEM);
    test::MakeFolder(scratch / L"folder.qvl");
    test::MakeFolder(scratch / L"hidden folder");
    ::SetFileAttributesW((scratch / L"hidden folder").c_str(), FILE_ATTRIBUTE_HIDDEN);
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
