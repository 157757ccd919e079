// Files for the tests of the copy engine: a scratch folder of each test's own, large files of a
// known pattern written and checked by streaming, small text files, and folder listings. Shared
// by the unit tests, the fault tests and the copy probe.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/copy_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/path_rules.h"
#include "platform/replacement_file.h"

namespace copy_test {

// A Failure for GetLastError() whose text names the path, for test messages.
[[noreturn]] inline void FailOn(const std::wstring& path) {
    const DWORD number = ::GetLastError();
    throw platform::Failure(number, platform::SystemErrorText(number) + L" " + path);
}

// The pattern of a generated file: every 8-byte word holds its own index (little-endian) mixed
// with a seed, so a chunk written twice, skipped, or out of order shows at its offset.
inline std::uint64_t PatternWord(std::uint64_t index, std::uint64_t seed) {
    return (index * 0x9E3779B97F4A7C15ull) ^ seed ^ index;
}

inline void FillPattern(char* out, std::uint64_t offset, std::size_t size, std::uint64_t seed) {
    for (std::size_t i = 0; i < size;) {
        const std::uint64_t at = offset + i;
        const std::uint64_t word = PatternWord(at / 8, seed);
        const std::size_t inWord = static_cast<std::size_t>(at % 8);
        const std::size_t take = std::min<std::size_t>(8 - inWord, size - i);
        std::memcpy(out + i, reinterpret_cast<const char*>(&word) + inWord, take);
        i += take;
    }
}

inline platform::UniqueFile OpenForReading(const std::wstring& path) {
    platform::UniqueFile file(::CreateFileW(platform::ApiPath(path).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) FailOn(path);
    return file;
}

inline void WriteAll(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &written,
                         nullptr))
            platform::ThrowLastError();
        data += written;
        size -= written;
    }
}

// Writes a file of `size` bytes of the pattern of `seed`.
inline void WritePatternFile(const std::wstring& path, std::uint64_t size, std::uint64_t seed) {
    platform::UniqueFile file(::CreateFileW(platform::ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) FailOn(path);
    constexpr std::size_t kBlock = 8 * 1024 * 1024;
    std::unique_ptr<char[]> block(new char[kBlock]);
    for (std::uint64_t offset = 0; offset < size;) {
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - offset));
        FillPattern(block.get(), offset, take, seed);
        WriteAll(file.get(), block.get(), take);
        offset += take;
    }
}

inline std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(platform::ApiPath(path).c_str(), GetFileExInfoStandard, &data))
        FailOn(path);
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// "" when the file holds exactly `size` bytes of the pattern of `seed`, else what differs.
inline std::string CheckPatternFile(const std::wstring& path, std::uint64_t size, std::uint64_t seed) {
    platform::UniqueFile file = OpenForReading(path);
    constexpr std::size_t kBlock = 4 * 1024 * 1024 + 1000;  // not a multiple of the copy's chunk
    std::unique_ptr<char[]> got(new char[kBlock]), expected(new char[kBlock]);
    std::uint64_t offset = 0;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), got.get(), kBlock, &read, nullptr)) FailOn(path);
        if (read == 0) break;
        FillPattern(expected.get(), offset, read, seed);
        if (std::memcmp(got.get(), expected.get(), read) != 0) {
            std::size_t at = 0;
            while (got[at] == expected[at]) ++at;
            return "content differs at byte " + std::to_string(offset + at);
        }
        offset += read;
    }
    if (offset != size)
        return "size is " + std::to_string(offset) + " bytes, expected " + std::to_string(size);
    return {};
}

inline void WriteText(const std::wstring& path, const std::string& text) {
    platform::UniqueFile file(::CreateFileW(platform::ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) FailOn(path);
    WriteAll(file.get(), text.data(), text.size());
}

inline std::string ReadText(const std::wstring& path) { return platform::ReadWholeFile(path); }

inline bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(platform::ApiPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline DWORD Attributes(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(platform::ApiPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) FailOn(path);
    return attributes;
}

// Every entry of a folder (hidden ones included), "." and ".." left out, sorted.
inline std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    platform::UniqueFind find(::FindFirstFileExW(platform::ApiPath(platform::JoinPath(folder, L"*")).c_str(),
                                                 FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return names;
        FailOn(folder);
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

// The entries of a folder that are temporary files of the copy engine.
inline std::vector<std::wstring> Temporaries(const std::wstring& folder) {
    std::vector<std::wstring> found;
    for (const std::wstring& name : Names(folder))
        if (platform::IsReplacementTemporaryName(name)) found.push_back(name);
    return found;
}

// Removes a folder and all it holds (read-only entries included); quiet about what is gone.
inline void RemoveTree(const std::wstring& folder) {
    if (::GetFileAttributesW(platform::ApiPath(folder).c_str()) == INVALID_FILE_ATTRIBUTES) return;
    for (const std::wstring& name : Names(folder)) {
        const std::wstring path = platform::ApiPath(platform::JoinPath(folder, name));
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(platform::JoinPath(folder, name));
        else ::DeleteFileW(path.c_str());
    }
    ::RemoveDirectoryW(platform::ApiPath(folder).c_str());
}

inline std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) platform::ThrowLastError();
    std::wstring path(buffer, length);
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

// A new, empty folder for one test, removed with all it holds when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name, std::wstring parent = TempFolder()) {
        static unsigned serial = 0;
        path_ = platform::JoinPath(parent, L"kelvaron-" + name + L"-" +
                                               std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                               std::to_wstring(++serial));
        RemoveTree(path_);
        platform::MakeFolder(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { RemoveTree(path_); }

    const std::wstring& Path() const noexcept { return path_; }
    std::wstring operator/(const std::wstring& name) const { return platform::JoinPath(path_, name); }

private:
    std::wstring path_;
};

// Text for test messages.
inline std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

inline std::string Describe(const std::vector<std::wstring>& names) {
    std::string out = "{";
    for (const std::wstring& name : names) out += (out.size() > 1 ? ", " : "") + Narrow(name);
    return out + "}";
}

// The Failure that CopyFile throws, or none.
inline std::optional<platform::Failure> CopyFailure(const std::wstring& source, const std::wstring& target) {
    try {
        platform::CopyFile(source, target);
    } catch (const platform::Failure& failure) {
        return failure;
    }
    return std::nullopt;
}

// The program's command line split as a C runtime would (argument 0 is the program).
inline std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!argv) return {};
    std::vector<std::wstring> args(argv, argv + count);
    ::LocalFree(argv);
    return args;
}

}  // namespace copy_test
