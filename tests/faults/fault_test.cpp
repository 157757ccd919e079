// The copy engine against faults from outside the process: a copy or a run ended (EndProgram,
// what Cancel does) or killed midway, a drive that fills up, and a user who is not root (Wine lets
// root write read-only files). prepare.sh makes the drive and the user and names them in the
// environment; without them those tests fail rather than pass unchecked.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "distribution/distribution_run.h"
#include "platform/app.h"
#include "platform/files.h"
#include "test_support.h"

using test::Lines;

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

using distribution::RunOutcome;

// Answers the checks' question with `goOn`, and keeps what they found.
struct Chooser : distribution::RunObserver {
    explicit Chooser(bool goOn) : goOn(goOn) {}
    bool OnChecksFailed(const std::wstring& found) override {
        problems += found;
        return goOn;
    }
    void OnCopying(const std::wstring&, const std::wstring&) override {}
    bool OnProgress(const distribution::Progress&) override { return true; }
    bool goOn;
    std::wstring problems;
};

RunOutcome Distribute(const std::wstring& source, const std::vector<std::wstring>& destinations, bool goOn = true) {
    Chooser chooser(goOn);
    return distribution::RunDistribution({{source}, {}, destinations}, chooser);
}

// What the checks found, in a run into `destinations` that stops when they find anything.
std::wstring Problems(const std::wstring& source, const std::vector<std::wstring>& destinations) {
    Chooser stop(false);
    EXPECT_EQ(distribution::RunDistribution({{source}, {}, destinations}, stop).end, RunOutcome::End::Stopped);
    return stop.problems;
}

// As the child that the tests start: distributes the folder SOURCE into the folder TARGET and,
// at the first yield midway, ends through EndProgram (exit code 7), or sets the named event and
// waits to be killed.
int CopyingChild(const std::wstring& mode, const std::wstring& source, const std::wstring& target) {
    platform::SetCopyYield([&](std::uint64_t copied, std::uint64_t total) {
        if (copied >= total) return;
        if (mode == L"end") platform::EndProgram(7);
        ::SetEvent(::OpenEventW(EVENT_MODIFY_STATE, FALSE, mode.c_str()));
        ::Sleep(INFINITE);
    });
    Distribute(source, {target});
    return 3;  // the run went to its end
}

DWORD RunChild(const std::wstring& mode, const std::wstring& source, const std::wstring& target) {
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" child " + mode + L" \"" + source + L"\" \"" + target + L"\"";
    HANDLE midway = ::CreateEventW(nullptr, TRUE, FALSE, mode == L"end" ? nullptr : mode.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) return 98;
    const HANDLE waits[] = {child.hProcess, midway};
    if (::WaitForMultipleObjects(2, waits, FALSE, 120000) != WAIT_OBJECT_0) ::TerminateProcess(child.hProcess, 9);
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 99;
    ::GetExitCodeProcess(child.hProcess, &code);
    for (HANDLE handle : {child.hProcess, child.hThread, midway}) ::CloseHandle(handle);
    return code;
}

// Ended midway (EndProgram, what Cancel does), a run leaves nothing behind; killed, it leaves one
// hidden temporary, in the folder it was writing. Either way the file being replaced keeps its old
// content, and the next run there completes every file and removes the leftover.
TEST(CopyCutShort, ARunEndedOrKilledMidwayIsCompletedByTheNextWhichLeavesNothingBehind) {
    test::ScratchFolder scratch;
    for (const wchar_t* folder : {L"tree", L"tree\\sub", L"to", L"to\\tree", L"to\\tree\\sub"})
        test::MakeFolder(scratch / folder);
    const std::wstring large = scratch / L"to\\tree\\sub\\large";
    test::WriteBytes(large, "old content");
    const Lines files{L"first", L"sub\\large", L"sub\\last"};
    for (std::size_t i = 0; i < files.size(); ++i)
        test::WriteBytes(scratch / (L"tree\\" + files[i]), test::Pattern(i == 1 ? 3 * kMiB : 1000, i));
    EXPECT_EQ(RunChild(L"end", scratch / L"tree", scratch / L"to"), 7u);
    EXPECT_EQ(test::AllNames(scratch / L"to\\tree\\sub"), Lines{L"large"});
    const std::wstring event = L"Local\\kelvaron-run-midway-" + std::to_wstring(::GetCurrentProcessId());
    EXPECT_EQ(RunChild(event, scratch / L"tree", scratch / L"to"), 9u);
    EXPECT_EQ(test::ReadBytes(large), "old content");
    const Lines left = test::AllNames(scratch / L"to\\tree\\sub");
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(platform::IsReplacementTemporaryName(left[1])) << testing::PrintToString(left);
    EXPECT_TRUE(test::Attributes(scratch / L"to\\tree\\sub\\" + left[1]) & FILE_ATTRIBUTE_HIDDEN);
    Distribute(scratch / L"tree", {scratch / L"to"});
    for (const wchar_t* folder : {L"", L"\\sub"})
        EXPECT_EQ(test::AllNames(scratch / L"to\\tree" + folder), test::AllNames(scratch / L"tree" + folder));
    for (const auto& file : files)
        EXPECT_EQ(test::ReadBytes(scratch / (L"to\\tree\\" + file)), test::ReadBytes(scratch / (L"tree\\" + file)));
}

TEST(CopyToAFullDrive, DiskFullIs112AndLeavesTheOldTargetAndTheRoomAsTheyWere) {
    const std::wstring drive = platform::EnvironmentValue(L"QUORVANDER_FULL_DRIVE");
    ASSERT_FALSE(drive.empty()) << "QUORVANDER_FULL_DRIVE is not set: run through prepare.sh";
    test::ScratchFolder scratch, full(drive);
    test::WriteBytes(scratch / L"large", test::Pattern(20 * kMiB, 2));
    test::WriteBytes(scratch / L"small", test::Pattern(5 * kMiB, 3));
    test::WriteBytes(full / L"existing", "old content");
    for (const wchar_t* target : {L"fresh", L"existing"})
        EXPECT_EQ(test::CopyError(scratch / L"large", full / target), static_cast<DWORD>(ERROR_DISK_FULL)) << target;
    EXPECT_EQ(test::ReadBytes(full / L"existing"), "old content");
    EXPECT_EQ(test::AllNames(full.Path()), Lines{L"existing"});
    // The partial content was removed, not only hidden: its room is free again.
    platform::CopyFile(scratch / L"small", full / L"existing");
    EXPECT_EQ(test::AllNames(full.Path()), Lines{L"existing"});
    // Before a run the drive's room is counted, with the user's choice: nothing copied, or the
    // others only. Files that replace others of their size need room for one of them alone.
    test::MakeFolder(scratch / L"tree");
    test::MakeFolder(scratch / L"to");
    for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
        test::WriteBytes(scratch / L"tree\\" + name, test::Pattern(kMiB, 4));
    EXPECT_NE(Problems(scratch / L"tree", {full.Path(), scratch / L"to"}).find(full.Path() + L": its drive has"),
              std::wstring::npos);
    EXPECT_EQ(test::AllNames(scratch / L"to"), Lines{});
    const RunOutcome others = Distribute(scratch / L"tree", {full.Path(), scratch / L"to"});
    EXPECT_EQ(others.destinations[0].skip, distribution::DestinationOutcome::Skip::NoRoom);
    EXPECT_EQ(distribution::ExitCodeOf(others), 3);
    EXPECT_EQ(test::AllNames(full.Path()), Lines{L"existing"});
    ::DeleteFileW((full / L"existing").c_str());
    EXPECT_EQ(distribution::ExitCodeOf(Distribute(scratch / L"tree", {full.Path()})), 0);
    test::WriteBytes(full / L"filler", test::Pattern(5 * kMiB / 2, 5));
    EXPECT_EQ(distribution::ExitCodeOf(Distribute(scratch / L"tree", {full.Path()})), 0);
    EXPECT_EQ(test::AllNames(full / L"tree"), (Lines{L"a", L"b", L"c", L"d"}));
    // Two destinations there, room for the first alone: it gets everything, the second nothing.
    test::MakeFolder(full / L"x");
    const RunOutcome two = Distribute(scratch / L"tree", {full.Path(), full / L"x"});
    EXPECT_EQ(distribution::ExitCodeOf(two), 3);
    EXPECT_EQ(two.destinations[1].skip, distribution::DestinationOutcome::Skip::NoRoom);
}

// The prepared folder is root's and this user may not write to it; it holds existing.txt ("old
// content"), which this user may write.
TEST(CopyAsAUserWithoutRights, ReadOnlyIsRealAndARefusalLeavesEveryFileAsItWas) {
    const std::wstring noWrite = platform::EnvironmentValue(L"QUORVANDER_NO_WRITE_FOLDER");
    ASSERT_FALSE(noWrite.empty()) << "QUORVANDER_NO_WRITE_FOLDER is not set: run through prepare.sh";
    test::ScratchFolder scratch;
    test::WriteBytes(scratch / L"source", "first", FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(::CreateFileW((scratch / L"source").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE) << "this user may write read-only files: run as a user who is not root";
    for (const wchar_t* target : {L"\\fresh.txt", L"\\existing.txt"})
        EXPECT_EQ(test::CopyError(scratch / L"source", noWrite + target), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << target;
    EXPECT_EQ(test::ReadBytes(noWrite + L"\\existing.txt"), "old content");
    EXPECT_EQ(test::AllNames(noWrite), Lines{L"existing.txt"});
    EXPECT_EQ(test::CopyError(scratch / L"source", scratch / L"target"), 0u);
    // Refused at the rename, the temporary of a read-only source is removed all the same.
    platform::SetBeforeReplaceHook([](const std::wstring&) { platform::ThrowWin32(ERROR_CANCELLED); });
    EXPECT_EQ(test::CopyError(scratch / L"source", scratch / L"target"), static_cast<DWORD>(ERROR_CANCELLED));
    platform::SetBeforeReplaceHook({});
    EXPECT_EQ(test::ReadBytes(scratch / L"target"), "first");
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"source", L"target"}));
    // Before a run: a destination where no file can be made is named, and nothing is copied.
    EXPECT_NE(Problems(scratch / L"source", {noWrite, scratch.Path()})
                  .find(noWrite + L": no file can be made there (error 5"),
              std::wstring::npos);
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"source", L"target"}));
}

}  // namespace

int main(int argc, char** argv) {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (count == 5 && std::wstring(args[1]) == L"child") return CopyingChild(args[2], args[3], args[4]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
