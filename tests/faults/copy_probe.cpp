// A copy cut short from outside the copying process: ended through EndProgram in the middle of a
// file (what Cancel does in the program), or killed in the middle of a file. The driver modes run
// this same program as the copying child and check what the child leaves behind.
//
//   copy_probe cancel   the child calls EndProgram after the first chunk: the target keeps its
//                       old content (or stays absent) and no temporary file remains
//   copy_probe kill     the child is killed (TerminateProcess) after the first chunk: the target
//                       keeps its old content; the one leftover is a hidden temporary file
//
// Exit code 0 when every check holds, 1 otherwise (with the reasons on standard output).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "copy_test_files.h"
#include "platform/app.h"
#include "platform/copy_engine.h"
#include "platform/failure.h"
#include "platform/handles.h"

using namespace copy_test;

namespace {

constexpr std::uint64_t kSourceSize = 64ull * 1024 * 1024 + 12345;  // many chunks
constexpr unsigned kEndedByEndProgram = 7;
constexpr unsigned kKilled = 9;
constexpr DWORD kChildTimeoutMs = 120000;

int g_failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok) ++g_failures;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring OwnPath() {
    std::wstring buffer(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return buffer;
}

struct Child {
    platform::UniqueKernelHandle process;
    platform::UniqueKernelHandle thread;
};

Child StartChild(const std::wstring& arguments) {
    std::wstring line = Quoted(OwnPath()) + L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        platform::ThrowLastError();
    return Child{platform::UniqueKernelHandle(info.hProcess), platform::UniqueKernelHandle(info.hThread)};
}

DWORD WaitForExit(const Child& child) {
    if (::WaitForSingleObject(child.process.get(), kChildTimeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(child.process.get(), 99);
        ::WaitForSingleObject(child.process.get(), INFINITE);
        Check(false, "the copying child did not end in time");
    }
    DWORD code = 0;
    ::GetExitCodeProcess(child.process.get(), &code);
    return code;
}

// --- The copying child ----------------------------------------------------------------------

// Copies, and on the first yield between chunks calls EndProgram (what Cancel does).
int EndMidway(const std::wstring& source, const std::wstring& target) {
    platform::SetCopyYield([](std::uint64_t copied, std::uint64_t total) {
        if (copied < total) platform::EndProgram(kEndedByEndProgram);
    });
    try {
        platform::CopyFile(source, target);
    } catch (const platform::Failure& failure) {
        std::printf("child: copy failed with %u\n", failure.Number());
        return 4;
    }
    return 3;  // the copy ran to its end: EndProgram was never reached
}

// Copies, and on the first yield between chunks tells the driver and waits to be killed.
int HoldMidway(const std::wstring& source, const std::wstring& target, const std::wstring& eventName) {
    platform::UniqueKernelHandle midway(::OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str()));
    if (!midway) return 5;
    platform::SetCopyYield([&](std::uint64_t copied, std::uint64_t total) {
        if (copied >= total) return;
        ::SetEvent(midway.get());
        ::Sleep(kChildTimeoutMs);
        ::ExitProcess(6);  // never killed
    });
    try {
        platform::CopyFile(source, target);
    } catch (const platform::Failure&) {
        return 4;
    }
    return 3;
}

// --- The drivers ----------------------------------------------------------------------------

void CheckOnlyEntries(const std::wstring& folder, const std::vector<std::wstring>& expected) {
    const std::vector<std::wstring> names = Names(folder);
    Check(names == expected, "the folder holds " + Describe(names) + ", expected " + Describe(expected));
}

int Cancel() {
    ScratchFolder scratch(L"probe-cancel");
    const std::wstring source = scratch / L"source.bin";
    WritePatternFile(source, kSourceSize, 1);
    const std::wstring existing = scratch / L"existing.txt", fresh = scratch / L"fresh.bin";
    WriteText(existing, "old content");

    for (const std::wstring& target : {existing, fresh}) {
        std::printf("ending the program in the middle of a copy to %s\n", Narrow(target).c_str());
        Child child = StartChild(L"end-midway " + Quoted(source) + L" " + Quoted(target));
        const DWORD code = WaitForExit(child);
        Check(code == kEndedByEndProgram,
              "the child ended through EndProgram in the middle of the copy (exit code " +
                  std::to_string(code) + ", expected " + std::to_string(kEndedByEndProgram) + ")");
    }
    Check(ReadText(existing) == "old content", "the existing target keeps its old content");
    Check(!Exists(fresh), "a target that did not exist is still absent");
    CheckOnlyEntries(scratch.Path(), {L"existing.txt", L"source.bin"});
    return g_failures == 0 ? 0 : 1;
}

int Kill() {
    ScratchFolder scratch(L"probe-kill");
    const std::wstring source = scratch / L"source.bin", target = scratch / L"target.txt";
    WritePatternFile(source, kSourceSize, 2);
    WriteText(target, "old content");
    const std::wstring eventName = L"Local\\kelvaron-copy-probe-" + std::to_wstring(::GetCurrentProcessId());
    platform::UniqueKernelHandle midway(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!midway) platform::ThrowLastError();

    Child child = StartChild(L"hold-midway " + Quoted(source) + L" " + Quoted(target) + L" " + Quoted(eventName));
    const HANDLE waits[] = {midway.get(), child.process.get()};
    const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, kChildTimeoutMs);
    Check(woke == WAIT_OBJECT_0, "the child reached the middle of the copy");
    Check(::TerminateProcess(child.process.get(), kKilled) != 0, "the child was killed");
    const DWORD code = WaitForExit(child);
    Check(code == kKilled, "the child ended by being killed (exit code " + std::to_string(code) + ")");

    Check(ReadText(target) == "old content", "the target keeps its old content");
    std::vector<std::wstring> others;
    for (const std::wstring& name : Names(scratch.Path())) {
        if (name == L"source.bin" || name == L"target.txt") continue;
        if (!platform::IsReplacementTemporaryName(name)) {
            others.push_back(name);
            continue;
        }
        // The one leftover a killed process cannot avoid: hidden, so that listings skip it.
        const std::wstring path = scratch / name;
        std::printf("left behind by the killed copy: %s (%llu bytes)\n", Narrow(name).c_str(),
                    static_cast<unsigned long long>(FileSize(path)));
        Check((Attributes(path) & FILE_ATTRIBUTE_HIDDEN) != 0, "the leftover temporary file is hidden");
        Check(FileSize(path) < kSourceSize, "the leftover temporary file holds part of the content");
    }
    Check(others.empty(), "nothing else was left: " + Describe(others));
    return g_failures == 0 ? 0 : 1;
}

int Usage() {
    std::printf("usage: copy_probe cancel | kill\n");
    return 2;
}

}  // namespace

int main() {
    const std::vector<std::wstring> args = CommandLineArguments();
    try {
        if (args.size() == 2 && args[1] == L"cancel") return Cancel();
        if (args.size() == 2 && args[1] == L"kill") return Kill();
        if (args.size() == 4 && args[1] == L"end-midway") return EndMidway(args[2], args[3]);
        if (args.size() == 5 && args[1] == L"hold-midway") return HoldMidway(args[2], args[3], args[4]);
    } catch (const platform::Failure& failure) {
        std::printf("FAIL: error %u: %s\n", failure.Number(), Narrow(failure.Description()).c_str());
        return 1;
    }
    return Usage();
}
