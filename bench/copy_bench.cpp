// Copy throughput of the program's copy engine (platform::CopyFile) against the system's
// CopyFileW: one large file, and many small ones. Every measurement runs in a process of its own,
// so that its peak working set is its own.
//
//   copy_bench [FOLDER] [--large-mib N] [--small-count N] [--rounds N]      (bench/copy_bench.sh)
//
// FOLDER (default: the temporary folder) receives a scratch folder with the data, removed at the
// end. The source files are written and flushed first, so they are in the file cache for every
// method alike. Under Wine, Z:\dev\shm (a memory file system) leaves the disk out and shows what
// the copy itself costs. Prints each measurement, then the median and best of the rounds.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <shellapi.h>

#include "platform/copy_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/path_rules.h"
#include "test_support.h"

namespace {

struct Settings {
    std::wstring folder;
    std::uint64_t largeMiB = 1024;
    int smallCount = 2000;
    int rounds = 4;
};

// The small files: sizes from a few hundred bytes to 64 KiB, about 20 KiB on average.
std::uint64_t SmallSize(int index) { return 300 + (static_cast<std::uint64_t>(index) * 7919u) % (64 * 1024); }

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(platform::ApiPath(path).c_str(), GetFileExInfoStandard, &data)) platform::ThrowLastError();
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// A file of `size` bytes of the test pattern, written a block at a time.
void WritePatternFile(const std::wstring& path, std::uint64_t size, std::uint64_t seed) {
    platform::UniqueFile file(::CreateFileW(platform::ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) platform::ThrowLastError();
    const std::string block = test::Pattern(static_cast<std::size_t>(std::min<std::uint64_t>(size, 8 << 20)), seed);
    for (std::uint64_t left = size; left > 0;) {
        DWORD written = 0;
        if (!::WriteFile(file.get(), block.data(), static_cast<DWORD>(std::min<std::uint64_t>(left, block.size())), &written, nullptr))
            platform::ThrowLastError();
        left -= written;
    }
}

std::wstring SmallName(int index) { return L"small-" + std::to_wstring(index) + L".bin"; }

struct Result {
    bool engine;
    bool large;
    double seconds;
    double mbPerSecond;
    double peakMB;
};

const char* Method(bool engine) { return engine ? "platform::CopyFile" : "CopyFileW"; }
const char* Case(bool large) { return large ? "1 large file" : "many small files"; }

void Print(const Result& result) {
    std::printf("%-22s %-16s %8.2f s %9.1f MB/s   peak working set %6.1f MB\n", Method(result.engine),
                Case(result.large), result.seconds, result.mbPerSecond, result.peakMB);
    std::fflush(stdout);
}

void CopyOne(bool engine, const std::wstring& source, const std::wstring& target) {
    if (engine) {
        platform::CopyFile(source, target);
    } else if (!::CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        platform::ThrowLastError();
    }
}

// Writes a file's content through to the disk, so that the writing of the data does not go on
// in the background during the measurements (the file stays in the cache for reading).
void WriteToDisk(const std::wstring& path) {
    platform::UniqueFile file(::CreateFileW(platform::ApiPath(path).c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file || !::FlushFileBuffers(file.get())) platform::ThrowLastError();
}

// Removes what a measurement wrote: its unwritten pages are dropped with it, so that the next
// measurement starts from the same state.
void EmptyFolder(const std::wstring& folder) {
    test::RemoveTree(folder);
    platform::MakeFolder(folder);
}

// One measurement, in its own process: prints method, case, MB/s and the peak working set.
int Measure(bool engine, bool large, const std::wstring& data) {
    const std::wstring out = platform::JoinPath(data, L"out");
    EmptyFolder(out);
    std::uint64_t bytes = 0;
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (large) {
        const std::wstring source = platform::JoinPath(data, L"large.bin");
        CopyOne(engine, source, platform::JoinPath(out, L"large.bin"));
        bytes = FileSize(source);
    } else {
        const std::wstring small = platform::JoinPath(data, L"small");
        for (const std::wstring& name : test::AllNames(small)) {
            CopyOne(engine, platform::JoinPath(small, name), platform::JoinPath(out, name));
            bytes += FileSize(platform::JoinPath(out, name));
        }
    }
    ::QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    const Result result{engine, large, seconds, bytes / 1e6 / seconds, memory.PeakWorkingSetSize / 1e6};
    Print(result);
    // For the summary of the parent.
    platform::UniqueFile results(::CreateFileW(platform::ApiPath(platform::JoinPath(data, L"results")).c_str(),
                                               FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_ALWAYS, 0, nullptr));
    if (!results) platform::ThrowLastError();
    DWORD written = 0;
    if (!::WriteFile(results.get(), &result, sizeof result, &written, nullptr)) platform::ThrowLastError();
    EmptyFolder(out);
    return 0;
}

std::vector<Result> ReadResults(const std::wstring& data) {
    const std::string bytes = platform::ReadWholeFile(platform::JoinPath(data, L"results"));
    std::vector<Result> results(bytes.size() / sizeof(Result));
    std::memcpy(results.data(), bytes.data(), results.size() * sizeof(Result));
    return results;
}

void PrintSummary(const std::vector<Result>& results) {
    std::printf("\nmedian of %zu rounds (best in brackets):\n", results.size() / 4);
    for (bool large : {true, false}) {
        for (bool engine : {false, true}) {
            std::vector<Result> mine;
            for (const Result& result : results)
                if (result.engine == engine && result.large == large) mine.push_back(result);
            if (mine.empty()) continue;
            std::sort(mine.begin(), mine.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
            const Result& median = mine[mine.size() / 2];
            double peak = 0;
            for (const Result& result : mine) peak = std::max(peak, result.peakMB);
            std::printf("%-22s %-16s %8.2f s %9.1f MB/s  (%7.1f MB/s)   peak working set %6.1f MB\n",
                        Method(engine), Case(large), median.seconds, median.mbPerSecond, mine.front().mbPerSecond, peak);
        }
    }
}

int RunChild(const std::wstring& arguments) {
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::wstring line = L"\"" + self + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        platform::ThrowLastError();
    platform::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

int Run(const Settings& settings) {
    test::ScratchFolder data(settings.folder);
    std::printf("writing the data: one file of %llu MiB, %d small files\n",
                static_cast<unsigned long long>(settings.largeMiB), settings.smallCount);
    std::fflush(stdout);
    WritePatternFile(data / L"large.bin", settings.largeMiB * 1024 * 1024, 1);
    WriteToDisk(data / L"large.bin");
    platform::MakeFolder(data / L"small");
    std::uint64_t smallBytes = 0;
    for (int i = 0; i < settings.smallCount; ++i) {
        const std::wstring path = platform::JoinPath(data / L"small", SmallName(i));
        WritePatternFile(path, SmallSize(i), i);
        WriteToDisk(path);
        smallBytes += SmallSize(i);
    }
    std::printf("small files: %.1f MB in all\n", smallBytes / 1e6);
    std::fflush(stdout);
    int failures = 0;
    for (int round = 0; round < settings.rounds; ++round) {
        for (const wchar_t* which : {L"large", L"small"}) {
            // Each method goes first in every other round: the one that follows may find the
            // system still busy with what the first one wrote.
            const wchar_t* first = round % 2 == 0 ? L"win32" : L"engine";
            const wchar_t* second = round % 2 == 0 ? L"engine" : L"win32";
            for (const wchar_t* method : {first, second})
                failures += RunChild(std::wstring(L"measure ") + method + L" " + which + L" \"" + data.Path() + L"\"") != 0;
        }
    }
    PrintSummary(ReadResults(data.Path()));
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const std::vector<std::wstring> args(argv, argv + count);
    try {
        if (args.size() == 5 && args[1] == L"measure")
            return Measure(args[2] == L"engine", args[3] == L"large", args[4]);
        Settings settings;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == L"--large-mib" && i + 1 < args.size()) settings.largeMiB = std::stoull(args[++i]);
            else if (args[i] == L"--small-count" && i + 1 < args.size()) settings.smallCount = std::stoi(args[++i]);
            else if (args[i] == L"--rounds" && i + 1 < args.size()) settings.rounds = std::stoi(args[++i]);
            else settings.folder = args[i];
        }
        return Run(settings);
    } catch (const platform::Failure& failure) {
        std::printf("error %u: %ls\n", failure.Number(), failure.Description().c_str());
        return 1;
    }
}
