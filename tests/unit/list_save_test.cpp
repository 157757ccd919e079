// A save that goes wrong half-way never costs the list it replaces.
#include <gtest/gtest.h>

#include "lists/works.h"
#include "platform/files.h"
#include "platform/path_rules.h"
#include "platform/replacement_file.h"
#include "test_support.h"
#include "tools/writer_lists.h"

namespace {

struct HookScope {
    ~HookScope() { platform::SetBeforeReplaceHook({}); }
};

std::string AsciiListBytes(const std::vector<std::wstring>& entries) {
    std::string bytes;
    for (const auto& entry : entries) bytes += std::string(entry.begin(), entry.end()) + "\r\n";
    return bytes;
}

TEST(ListSaveSafety, FaultBeforeTheRenameKeepsTheOldFileAndLeavesNoTemporary) {
    test::ScratchFolder scratch;
    test::HiddenWindow window;
    auto& list = window.Add<platform::ListBoxControl>(1, platform::TwipsRect{}, false);
    test::Restore<std::wstring> file(lists::ListFile, scratch / L"Kept.qvl");
    const std::string old = "C:\\Old one\r\nD:\\Old two\r\n";
    test::WriteBytes(lists::ListFile, old);
    list.AddItem(L"E:\\New");
    list.AddItem(L"F:\\Newer");

    HookScope hookScope;
    std::wstring temporary;
    std::optional<std::string> temporaryBytes, targetBytes;
    platform::SetBeforeReplaceHook([&](const std::wstring& path) {
        temporary = path;
        temporaryBytes = test::ReadBytes(path);
        targetBytes = test::ReadBytes(lists::ListFile);
        throw std::runtime_error("injected fault");
    });
    EXPECT_THROW(lists::SaveList(list), std::runtime_error);

    // At the fault the whole new content was beside the old file, under a temporary name.
    EXPECT_EQ(platform::ParentOf(temporary), scratch.Path());
    EXPECT_TRUE(platform::IsReplacementTemporaryName(platform::LastComponent(temporary))) << temporary;
    EXPECT_EQ(temporaryBytes, "E:\\New\r\nF:\\Newer\r\n");
    EXPECT_EQ(targetBytes, old);
    // After it, the old file is untouched and the temporary gone.
    EXPECT_EQ(test::ReadBytes(lists::ListFile), old);
    EXPECT_EQ(test::AllNames(scratch.Path()), std::vector<std::wstring>{L"Kept.qvl"});

    // A new list interrupted so leaves nothing at all.
    lists::ListFile = scratch / L"New.qvl";
    EXPECT_THROW(lists::SaveList(list), std::runtime_error);
    EXPECT_EQ(test::AllNames(scratch.Path()), std::vector<std::wstring>{L"Kept.qvl"});

    EXPECT_TRUE(platform::IsReplacementTemporaryName(L"~kelvaron-0000123401a2.tmp"));
    EXPECT_FALSE(platform::IsReplacementTemporaryName(L"~kelvaron-.tmp"));
    EXPECT_FALSE(platform::IsReplacementTemporaryName(L"~kelvaron-1.tmp2"));
    EXPECT_FALSE(platform::IsReplacementTemporaryName(L"kelvaron-1.tmp"));
}

// list_writer saves two lists in turn to one file; killed at any moment, it leaves one of them
// whole in the file.
TEST(ListSaveSafety, KilledWriterLeavesOneWholeList) {
    const std::wstring tool = platform::ProgramFolder() + L"\\tools\\list_writer.exe";
    ASSERT_TRUE(test::Exists(tool)) << "missing " << testing::PrintToString(tool)
                                    << ": the tools folder of tests/unit is not built";
    constexpr int kEntries = 5000;
    const std::string lists[2] = {AsciiListBytes(test::WriterList(0, kEntries)),
                                  AsciiListBytes(test::WriterList(1, kEntries))};
    test::ScratchFolder scratch;
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
