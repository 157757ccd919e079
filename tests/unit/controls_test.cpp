#include "platform/controls.h"

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/folder_listing.h"
#include "test_support.h"

using platform::Failure;
using Lines = std::vector<std::wstring>;

namespace {

class Controls : public ::testing::Test {
protected:
    template <typename Control>
    Control& Add() {
        return window.Add<Control>(++lastId, platform::TwipsRect{0, 0, 2000, 2000}, false);
    }
    template <typename Control>
    static Lines Entries(const Control& control) {
        Lines entries;
        for (int i = 0; i < control.ListCount(); ++i) entries.push_back(control.List(i));
        return entries;
    }
    static std::wstring ShownText(HWND list, int row) {
        wchar_t text[512] = L"";
        ::SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        return text;
    }
    static int ShownCount(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); }

    test::ScratchFolder scratch;
    test::HiddenWindow window;
    int lastId = 0;
};

TEST_F(Controls, ListBoxKeepsEntriesInOrderAndSelectsIgnoringCase) {
    auto& list = Add<platform::ListBoxControl>();
    EXPECT_EQ(list.ListIndex(), -1);
    list.AddItem(L"C:\\One");
    list.AddItem(L"d:\\two");
    list.AddItem(L"D:\\TWO");
    EXPECT_EQ(Entries(list), (Lines{L"C:\\One", L"d:\\two", L"D:\\TWO"}));
    EXPECT_EQ(list.List(3), L"");
    EXPECT_EQ(list.List(-1), L"");
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(ShownCount(list.Handle()), 3);
    EXPECT_EQ(ShownText(list.Handle(), 2), L"D:\\TWO");

    list.SetText(L"D:\\Two");
    EXPECT_EQ(list.ListIndex(), 1);
    list.SetText(L"C:\\On");
    EXPECT_EQ(list.ListIndex(), -1);
    list.SetText(L"c:\\ONE");
    EXPECT_EQ(list.ListIndex(), 0);
    list.SetListIndex(2);
    EXPECT_EQ(list.ListIndex(), 2);

    list.RemoveItem(1);
    EXPECT_EQ(Entries(list), (Lines{L"C:\\One", L"D:\\TWO"}));
    EXPECT_EQ(ShownText(list.Handle(), 1), L"D:\\TWO");
    list.SetText(L"d:\\two");
    EXPECT_EQ(list.ListIndex(), 1);
    list.RemoveItem(1);
    list.SetText(L"d:\\two");
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_THROW(list.RemoveItem(5), Failure);

    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(ShownCount(list.Handle()), 0);
    list.SetText(L"C:\\One");
    EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(Controls, ListBoxHoldsAtMost32767Entries) {
    auto& list = Add<platform::ListBoxControl>();
    for (int i = 0; i < platform::kMaxListEntries; ++i) list.AddItem(L"E:\\" + std::to_wstring(i));
    EXPECT_THROW(list.AddItem(L"E:\\one too many"), Failure);
    EXPECT_EQ(list.ListCount(), platform::kMaxListEntries);
    EXPECT_EQ(ShownCount(list.Handle()), platform::kMaxListEntries);
    list.SetText(L"e:\\32766");
    EXPECT_EQ(list.ListIndex(), platform::kMaxListEntries - 1);
}

TEST_F(Controls, FolderListListsVisibleSubFoldersAndMovesBetweenFolders) {
    for (const wchar_t* name : {L"charlie", L"Beta", L"alpha", L"hidden", L"system"}) test::MakeFolder(scratch / name);
    ::SetFileAttributesW((scratch / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((scratch / L"system").c_str(), FILE_ATTRIBUTE_SYSTEM);
    test::WriteBytes(scratch / L"file.txt", "x");
    const std::wstring parent = scratch.Path().substr(0, scratch.Path().rfind(L'\\'));

    auto& folders = Add<platform::FolderListControl>();
    int changes = 0;
    folders.OnChange([&] { ++changes; });
    folders.SetPath(scratch.Path() + L"\\");
    EXPECT_EQ(folders.Path(), scratch.Path());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Entries(folders), (Lines{scratch / L"alpha", scratch / L"Beta", scratch / L"charlie"}));
    EXPECT_EQ(folders.List(3), L"");
    EXPECT_EQ(folders.List(-1), scratch.Path());
    EXPECT_EQ(folders.List(-2), parent);

    folders.SetPath(folders.List(1));
    EXPECT_EQ(folders.Path(), scratch / L"Beta");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(folders.ListCount(), 0);
    EXPECT_EQ(folders.List(-2), scratch.Path());
    folders.SetPath(scratch / L"Beta\\..\\alpha");
    EXPECT_EQ(folders.Path(), scratch / L"alpha");

    EXPECT_THROW(folders.SetPath(scratch / L"missing"), Failure);
    EXPECT_EQ(folders.Path(), scratch / L"alpha");
    EXPECT_EQ(changes, 3);

    // A drive's top folder keeps its backslash and is its own parent.
    folders.SetPath(L"C:\\");
    EXPECT_EQ(folders.Path(), L"C:\\");
    EXPECT_EQ(folders.List(-1), L"C:\\");
    EXPECT_EQ(folders.List(-2), L"C:\\");
    ASSERT_GT(folders.ListCount(), 0);
    const std::wstring top = folders.List(0);
    EXPECT_TRUE(top.size() > 3 && top.rfind(L"C:\\", 0) == 0 && top.find(L'\\', 3) == std::wstring::npos) << top;
    folders.SetPath(top);
    EXPECT_EQ(folders.List(-2), L"C:\\");
}

// What the list menu and the walk read: visible files by pattern, folders apart.
TEST_F(Controls, FolderListingTakesVisibleFilesMatchingThePattern) {
    for (const wchar_t* name : {L"b.qvl", L"B.qvl2", L"A.qvl", L"notes.txt"}) test::WriteBytes(scratch / name, "x");
    test::WriteBytes(scratch / L"read-only.qvl", "x", FILE_ATTRIBUTE_READONLY);
    test::WriteBytes(scratch / L"hidden.qvl", "x", FILE_ATTRIBUTE_HIDDEN);
    test::WriteBytes(scratch / L"system.qvl", "x", FILE_ATTRIBUTE_SYSTEM);
    test::WriteBytes(scratch / L"~kelvaron-0000002a0001.tmp", "x");  // a copy under way
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

TEST_F(Controls, LongPathsAndNamesOutsideTheCodePage) {
    const std::wstring folder = test::MakeLongFolder(scratch.Path());
    const std::wstring sub = folder + L"\\\u05D0\u4E2D sub";
    test::MakeFolder(sub);
    test::WriteBytes(folder + L"\\\u03A9.qvl", "x");
    EXPECT_EQ(platform::ListFolder(folder, platform::EntryKind::Folders), Lines{L"\u05D0\u4E2D sub"});
    EXPECT_EQ(platform::ListFolder(folder, platform::EntryKind::Files, L"*.qvl"), Lines{L"\u03A9.qvl"});

    auto& folders = Add<platform::FolderListControl>();
    folders.SetPath(folder);
    EXPECT_EQ(folders.Path(), folder);
    EXPECT_EQ(Entries(folders), Lines{sub});
    EXPECT_EQ(folders.List(-2), folder.substr(0, folder.rfind(L'\\')));
}

TEST_F(Controls, DriveListChoosesTheCurrentFoldersDrive) {
    test::CurrentFolderScope here(scratch.Path());
    ASSERT_EQ(scratch.Path().substr(0, 2), L"C:");
    auto& drives = window.Add<platform::DriveListControl>(90, platform::TwipsRect{0, 0, 2000, 300});
    EXPECT_EQ(drives.Drive(), L"C:");

    std::wstring other;
    for (int letter = 25; letter >= 0 && other.empty(); --letter)
        if (letter != 2 && (::GetLogicalDrives() & (1u << letter)))
            other = std::wstring{static_cast<wchar_t>(L'A' + letter), L':'};
    if (other.empty()) return;  // a machine of one drive
    drives.SetDrive(std::wstring{static_cast<wchar_t>(other[0] - L'A' + L'a'), L':', L'\\', L'x'});
    EXPECT_EQ(drives.Drive(), other);
    drives.SetDrive(L"no drive");
    drives.Refresh();
    EXPECT_EQ(drives.Drive(), other);
    drives.SetDrive(L"C:\\Data");
    EXPECT_EQ(drives.Drive(), L"C:");

    test::CurrentFolderScope there(other + L"\\");
    auto& second = window.Add<platform::DriveListControl>(91, platform::TwipsRect{0, 400, 2000, 300});
    EXPECT_EQ(second.Drive(), other);
}

}  // namespace
