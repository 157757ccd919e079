// A list file read, saved in one step, and changes made to it elsewhere taken in.
#include "lists/list_store.h"

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/path_rules.h"
#include "platform/replacement_file.h"
#include "test_support.h"

using test::Lines;

namespace {

using ListStoreTest = test::ScratchTest<::testing::Test>;

TEST_F(ListStoreTest, OpenGivesEachEntryOnceInFileOrderAndSaveTouchesNoOtherFile) {
    test::WriteBytes(Path(L"Other.qvl"), "Z:\\other\r\n");
    test::WriteBytes(Path(L"Hidden.qvl"), "Z:\\hidden\r\n", FILE_ATTRIBUTE_HIDDEN);
    test::WriteBytes(Path(L"Daily.qvl"), "C:\\Data\r\n\r\n   \r\nc:\\DATA\r\nD:\\x\rE:\\y\nF:\\z");
    lists::ListStore store;
    EXPECT_EQ(store.Open(Path(L"Missing.qvl")), Lines{});
    EXPECT_EQ(store.Open(Path(L"Daily.qvl")), (Lines{L"C:\\Data", L"   ", L"D:\\x", L"E:\\y", L"F:\\z"}));
    store.OpenNew(Path(L"Daily.qvl"));  // a new list of an existing name replaces it
    EXPECT_EQ(store.Save({L"C:\\Shared", L"D:\\Backup", L"c:\\shared"}).entries, (Lines{L"C:\\Shared", L"D:\\Backup"}));
    EXPECT_EQ(test::ReadBytes(Path(L"Daily.qvl")), "C:\\Shared\r\nD:\\Backup\r\n");
    EXPECT_EQ(test::ReadBytes(Path(L"Other.qvl")), "Z:\\other\r\n");
    EXPECT_EQ(test::ReadBytes(Path(L"Hidden.qvl")), "Z:\\hidden\r\n");
    // An empty list deletes its file only; with no list open nothing is written or deleted.
    store.Save({});
    store.Save({});
    EXPECT_NO_THROW(lists::ListStore().Save({L"C:\\x"}));
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"Hidden.qvl", L"Other.qvl"}));
}

// Two editors on one list, or an editor and Notepad: each save keeps what the other did.
TEST_F(ListStoreTest, ChangesMadeElsewhereSinceTheListWasReadAreTakenIn) {
    const std::wstring file = Path(L"Shared.qvl");
    test::WriteBytes(file, "C:\\A\r\nC:\\B\r\nC:\\C\r\n");
    lists::ListStore first, second;
    first.Open(file);
    second.Open(file);
    // The first adds D and removes B; the second, still showing A B C, removes C and adds E.
    EXPECT_FALSE(first.Save({L"C:\\A", L"C:\\C", L"C:\\D"}).tookInChanges);
    const lists::ListStore::Saved saved = second.Save({L"C:\\A", L"C:\\B", L"C:\\E"});
    EXPECT_TRUE(saved.tookInChanges);
    EXPECT_EQ(saved.entries, (Lines{L"C:\\A", L"C:\\D", L"C:\\E"}));
    EXPECT_EQ(test::ReadBytes(file), "C:\\A\r\nC:\\D\r\nC:\\E\r\n");
    // The file deleted elsewhere: what was there is gone, what the second adds is saved.
    ::DeleteFileW(file.c_str());
    EXPECT_EQ(second.Save({L"C:\\A", L"C:\\D", L"C:\\E", L"C:\\F"}).entries, Lines{L"C:\\F"});
    // The file replaced by one that holds no text: the save fails and leaves it alone.
    const std::string binary("\x89PNG\r\n\x1A\n\0\0", 10);
    test::WriteBytes(file, binary);
    EXPECT_THROW(first.Save({L"C:\\G"}), platform::Failure);
    EXPECT_EQ(test::ReadBytes(file), binary);
}

TEST_F(ListStoreTest, FaultBeforeTheRenameKeepsTheOldFileAndLeavesNoTemporary) {
    const std::wstring file = Path(L"Kept.qvl");
    const std::string old = "C:\\Old one\r\nD:\\Old two\r\n";
    test::WriteBytes(file, old);
    lists::ListStore store;
    store.Open(file);
    std::wstring temporary;  // beside the list, so that putting it in place is one rename
    std::optional<std::string> written;
    platform::SetBeforeReplaceHook([&](const std::wstring& path) {
        temporary = path;
        written = test::ReadBytes(path);
        throw std::runtime_error("injected fault");
    });
    EXPECT_THROW(store.Save({L"E:\\New", L"F:\\Newer"}), std::runtime_error);
    EXPECT_EQ(written, "E:\\New\r\nF:\\Newer\r\n");
    EXPECT_EQ(platform::ParentOf(temporary), scratch.Path());
    EXPECT_TRUE(platform::IsReplacementTemporaryName(platform::LastComponent(temporary))) << temporary;
    EXPECT_EQ(test::ReadBytes(file), old);
    EXPECT_EQ(test::AllNames(scratch.Path()), Lines{L"Kept.qvl"});
    // A new list interrupted so leaves nothing at all.
    lists::ListStore fresh(Path(L"New.qvl"));
    EXPECT_THROW(fresh.Save({L"E:\\New"}), std::runtime_error);
    EXPECT_EQ(test::AllNames(scratch.Path()), Lines{L"Kept.qvl"});
}

}  // namespace
