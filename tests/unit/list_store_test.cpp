// A list file read, saved in one step, and changes made to it elsewhere taken in.
#include "lists/list_store.h"

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/path_rules.h"
#include "platform/replacement_file.h"
#include "test_support.h"
#include "tools/writer_lists.h"

using Lines = std::vector<std::wstring>;

namespace {

class ListStoreTest : public ::testing::Test {
protected:
    std::wstring File(const std::wstring& name) const { return scratch / name; }
    test::ScratchFolder scratch;
};

TEST_F(ListStoreTest, OpenGivesEachEntryOnceInFileOrder) {
    lists::ListStore store;
    test::WriteBytes(File(L"Daily.qvl"), "C:\\Data\r\n\r\n   \r\nc:\\DATA\r\nD:\\x\rE:\\y\nF:\\z");
    EXPECT_EQ(store.Open(File(L"Daily.qvl")), (Lines{L"C:\\Data", L"   ", L"D:\\x", L"E:\\y", L"F:\\z"}));
    EXPECT_EQ(store.Path(), File(L"Daily.qvl"));
    EXPECT_EQ(store.Open(File(L"Missing.qvl")), Lines{});
    EXPECT_TRUE(test::AllNames(scratch.Path()) == Lines{L"Daily.qvl"});

    // A file that holds no text is refused and left as it is; what was open stays open.
    const std::string document("PK\x03\x04\0\0word", 10);
    test::WriteBytes(File(L"Report.docx"), document);
    EXPECT_THROW(store.Open(File(L"Report.docx")), platform::Failure);
    EXPECT_EQ(store.Path(), File(L"Missing.qvl"));
    EXPECT_EQ(test::ReadBytes(File(L"Report.docx")), document);
}

TEST_F(ListStoreTest, SaveWritesTheEntriesInOrderInTheFilesCodingAndTouchesNoOtherFile) {
    test::WriteBytes(File(L"Other.qvl"), "Z:\\other\r\n");
    test::WriteBytes(File(L"Hidden.qvl"), "Z:\\hidden\r\n", FILE_ATTRIBUTE_HIDDEN);
    test::WriteBytes(File(L"Daily.qvl"), "an older and longer list of the same name\r\nX:\\y\r\n");
    lists::ListStore store;
    store.OpenNew(File(L"Daily.qvl"));  // a new list of an existing name replaces it
    EXPECT_EQ(store.Save({L"C:\\Shared", L"D:\\Backup", L"c:\\shared"}).entries, (Lines{L"C:\\Shared", L"D:\\Backup"}));
    EXPECT_EQ(test::ReadBytes(File(L"Daily.qvl")), "C:\\Shared\r\nD:\\Backup\r\n");
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"Daily.qvl", L"Hidden.qvl", L"Other.qvl"}));
    EXPECT_EQ(test::ReadBytes(File(L"Other.qvl")), "Z:\\other\r\n");
    EXPECT_EQ(test::ReadBytes(File(L"Hidden.qvl")), "Z:\\hidden\r\n");

    // Notepad's UTF-8 stays UTF-8 without a mark.
    test::WriteBytes(File(L"Notepad.qvl"), "D:\\Donn\xC3\xA9" "es\r\n");
    EXPECT_EQ(store.Open(File(L"Notepad.qvl")), Lines{L"D:\\Donn\u00E9es"});
    store.Save({L"D:\\Donn\u00E9es", L"C:\\Caf\u00E9"});
    EXPECT_EQ(test::ReadBytes(File(L"Notepad.qvl")), "D:\\Donn\xC3\xA9" "es\r\nC:\\Caf\xC3\xA9\r\n");

    // An empty list deletes its file only; with no list open nothing is written or deleted.
    store.Save({});
    EXPECT_FALSE(test::Exists(File(L"Notepad.qvl")));
    store.Save({});
    test::CurrentFolderScope here(scratch.Path());
    lists::ListStore none;
    EXPECT_NO_THROW(none.Save({L"C:\\x"}));
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"Daily.qvl", L"Hidden.qvl", L"Other.qvl"}));
}

// Two editors on one list, or an editor and Notepad: each save keeps what the other did.
TEST_F(ListStoreTest, ChangesMadeElsewhereSinceTheListWasReadAreTakenIn) {
    const std::wstring file = File(L"Shared.qvl");
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

    // A hand edit in Notepad (UTF-8, a line added); the first then removes A.
    test::WriteBytes(file, "C:\\A\r\nC:\\D\r\nC:\\E\r\nD:\\Donn\xC3\xA9" "es\r\n");
    EXPECT_EQ(first.Save({L"C:\\C", L"C:\\D"}).entries, (Lines{L"C:\\D", L"C:\\E", L"D:\\Donn\u00E9es"}));
    EXPECT_EQ(test::ReadBytes(file), "C:\\D\r\nC:\\E\r\nD:\\Donn\xC3\xA9" "es\r\n");

    // The file deleted elsewhere: what was there is gone, what the second adds is saved.
    ::DeleteFileW(file.c_str());
    EXPECT_EQ(second.Save({L"C:\\A", L"C:\\D", L"C:\\E", L"C:\\F"}).entries, Lines{L"C:\\F"});

    // The file replaced by one that holds no text: the save fails and leaves it alone.
    const std::string binary("\x89PNG\r\n\x1A\n\0\0", 10);
    test::WriteBytes(file, binary);
    EXPECT_THROW(first.Save({L"C:\\G"}), platform::Failure);
    EXPECT_EQ(test::ReadBytes(file), binary);
}

struct HookScope {
    ~HookScope() { platform::SetBeforeReplaceHook({}); }
};

std::string AsciiListBytes(const Lines& entries) {
    std::string bytes;
    for (const auto& entry : entries) bytes += std::string(entry.begin(), entry.end()) + "\r\n";
    return bytes;
}

TEST_F(ListStoreTest, FaultBeforeTheRenameKeepsTheOldFileAndLeavesNoTemporary) {
    const std::wstring file = File(L"Kept.qvl");
    const std::string old = "C:\\Old one\r\nD:\\Old two\r\n";
    test::WriteBytes(file, old);
    lists::ListStore store;
    store.Open(file);

    HookScope hookScope;
    std::wstring temporary;
    std::optional<std::string> temporaryBytes, targetBytes;
    platform::SetBeforeReplaceHook([&](const std::wstring& path) {
        temporary = path;
        temporaryBytes = test::ReadBytes(path);
        targetBytes = test::ReadBytes(file);
        throw std::runtime_error("injected fault");
    });
    EXPECT_THROW(store.Save({L"E:\\New", L"F:\\Newer"}), std::runtime_error);

    // At the fault the whole new content was beside the old file, under a temporary name.
    EXPECT_EQ(platform::ParentOf(temporary), scratch.Path());
    EXPECT_TRUE(platform::IsReplacementTemporaryName(platform::LastComponent(temporary))) << temporary;
    EXPECT_EQ(temporaryBytes, "E:\\New\r\nF:\\Newer\r\n");
    EXPECT_EQ(targetBytes, old);
    // After it, the old file is untouched and the temporary gone.
    EXPECT_EQ(test::ReadBytes(file), old);
    EXPECT_EQ(test::AllNames(scratch.Path()), Lines{L"Kept.qvl"});

    // A new list interrupted so leaves nothing at all.
    lists::ListStore fresh(File(L"New.qvl"));
    EXPECT_THROW(fresh.Save({L"E:\\New"}), std::runtime_error);
    EXPECT_EQ(test::AllNames(scratch.Path()), Lines{L"Kept.qvl"});

    EXPECT_TRUE(platform::IsReplacementTemporaryName(L"~kelvaron-0000123401a2.tmp"));
    EXPECT_FALSE(platform::IsReplacementTemporaryName(L"~kelvaron-.tmp"));
    EXPECT_FALSE(platform::IsReplacementTemporaryName(L"~kelvaron-1.tmp2"));
    EXPECT_FALSE(platform::IsReplacementTemporaryName(L"kelvaron-1.tmp"));
}

// list_writer saves two lists in turn to one file; killed at any moment, it leaves one of them
// whole in the file.
TEST_F(ListStoreTest, AKilledWriterLeavesOneWholeList) {
    const std::wstring tool = platform::ProgramFolder() + L"\\tools\\list_writer.exe";
    ASSERT_TRUE(test::Exists(tool)) << "missing " << testing::PrintToString(tool)
                                    << ": the tools folder of tests/unit is not built";
    constexpr int kEntries = 5000;
    const std::string lists[2] = {AsciiListBytes(test::WriterList(0, kEntries)),
                                  AsciiListBytes(test::WriterList(1, kEntries))};
    const std::wstring listFile = scratch / L"Killed.qvl";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE saved = ::CreateEventW(&inherited, FALSE, FALSE, nullptr);
    ASSERT_NE(saved, nullptr);
    int seen[2] = {0, 0}, leftovers = 0, hiddenLeftovers = 0;
    for (int round = 0; round < 20; ++round) {
        std::wstring command = L"\"" + tool + L"\" \"" + listFile + L"\" " + std::to_wstring(kEntries) + L" " +
                               std::to_wstring(reinterpret_cast<INT_PTR>(saved));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                     &startup, &process));
        HANDLE waitFor[2] = {saved, process.hProcess};
        const DWORD woke = ::WaitForMultipleObjects(2, waitFor, FALSE, 60000);
        if (woke == WAIT_OBJECT_0) ::Sleep(static_cast<DWORD>(round * 3 % 23));
        ::TerminateProcess(process.hProcess, 77);
        ::WaitForSingleObject(process.hProcess, 30000);
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        ASSERT_EQ(woke, WAIT_OBJECT_0) << "the writer ended or hung before its first save";
        ASSERT_EQ(exitCode, 77u) << "the writer ended by itself";

        const auto bytes = test::ReadBytes(listFile);
        ASSERT_TRUE(bytes) << "the list file is missing after kill " << round;
        const int which = *bytes == lists[0] ? 0 : *bytes == lists[1] ? 1 : -1;
        ASSERT_NE(which, -1) << "kill " << round << " left " << bytes->size() << " bytes, not a whole list";
        ++seen[which];
        // A killed writer may leave its temporary file, and no other; the next round starts without it.
        for (const auto& name : test::AllNames(scratch.Path())) {
            if (name == L"Killed.qvl") continue;
            EXPECT_TRUE(platform::IsReplacementTemporaryName(name)) << testing::PrintToString(name);
            ++leftovers;
            if (::GetFileAttributesW((scratch / name).c_str()) & FILE_ATTRIBUTE_HIDDEN) ++hiddenLeftovers;
            test::RemoveTree(scratch / name);
        }
    }
    ::CloseHandle(saved);
    std::printf("whole lists after the kills: %d of the first, %d of the second; temporary files left: %d (%d hidden)\n",
                seen[0], seen[1], leftovers, hiddenLeftovers);
}

}  // namespace
