// Shared by the unit and fault tests: a scratch folder of the test's own, file access that does
// not go through the code under test, contents of a known pattern, and a hidden window.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/copy_engine.h"
#include "platform/failure.h"
#include "platform/replacement_file.h"
#include "platform/window.h"

namespace test {

using Lines = std::vector<std::wstring>;

// The form of a path that the raw file calls below take at any length.
inline std::wstring Raw(const std::wstring& path) {
    return path.rfind(LR"(\\?\)", 0) == 0 ? path : LR"(\\?\)" + path;
}
inline DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(Raw(path).c_str()); }
inline bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }
inline void MakeFolder(const std::wstring& path) { ::CreateDirectoryW(Raw(path).c_str(), nullptr); }

inline void WriteBytes(const std::wstring& path, const std::string& bytes, DWORD attributes = 0) {
    HANDLE file = ::CreateFileW(Raw(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write a test file");
    if (attributes) ::SetFileAttributesW(Raw(path).c_str(), attributes);
}

// The file's bytes, nothing when it cannot be opened.
inline std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(Raw(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes, buffer(1 << 20, '\0');
    for (DWORD got = 0; ::ReadFile(file, buffer.data(), 1 << 20, &got, nullptr) && got > 0;) bytes.append(buffer, 0, got);
    ::CloseHandle(file);
    return bytes;
}

// `size` bytes in which every 8-byte word differs by its index and the seed: a chunk written
// twice, skipped or out of order shows.
inline std::string Pattern(std::size_t size, std::uint64_t seed) {
    std::string bytes(size + 8, '\0');
    for (std::uint64_t word = 0; word * 8 < size; ++word) {
        const std::uint64_t value = (word * 0x9E3779B97F4A7C15ull) ^ seed ^ word;
        std::copy_n(reinterpret_cast<const char*>(&value), 8, bytes.data() + word * 8);
    }
    bytes.resize(size);
    return bytes;
}

// Every entry of a folder, hidden and system ones included, sorted exactly.
inline Lines AllNames(const std::wstring& folder) {
    Lines names;
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileW(Raw(folder + L"\\*").c_str(), &found);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found))
        if (std::wstring_view(found.cFileName) != L"." && std::wstring_view(found.cFileName) != L"..")
            names.push_back(found.cFileName);
    if (find != INVALID_HANDLE_VALUE) ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Under Wine, runs a unix command on the unix forms of `paths` and tells whether it succeeded;
// nothing on Windows. Wine has no folder links of its own but shows a unix symbolic link as one.
inline std::optional<bool> UnixCommand(const char* program, const char* option, Lines paths) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    using Spawn = LONG(__cdecl*)(char* const argv[], int wait);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    const auto spawn = reinterpret_cast<Spawn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll"), "__wine_unix_spawnvp")));
    if (!unixName || !spawn) return std::nullopt;
    std::vector<std::string> words{program, option};
    for (const auto& path : paths) {
        char* name = unixName(path.c_str());
        if (!name) return false;
        words.push_back(name);
        ::HeapFree(::GetProcessHeap(), 0, name);
    }
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), 1) == 0;
}

// Makes `link` a symbolic link to the folder `target` (both full paths).
inline bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (auto made = UnixCommand("/bin/ln", "-s", {target, link})) return *made && Exists(link);
    return ::CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                 SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
}

inline void RemoveTree(const std::wstring& path) {
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(Raw(path).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {  // a link: never what it leads to
        if (!UnixCommand("/bin/rm", "-f", {path}) && !::RemoveDirectoryW(Raw(path).c_str()))
            ::DeleteFileW(Raw(path).c_str());
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        for (const auto& name : AllNames(path)) RemoveTree(path + L"\\" + name);
        ::RemoveDirectoryW(Raw(path).c_str());
    } else {
        ::DeleteFileW(Raw(path).c_str());
    }
}

// A new empty folder (in the temporary folder, or in `parent`), removed with all it holds.
class ScratchFolder {
public:
    explicit ScratchFolder(std::wstring parent = {}) {
        wchar_t temp[MAX_PATH + 1] = L"";
        if (parent.empty()) parent.assign(temp, ::GetTempPathW(MAX_PATH + 1, temp) - 1);
        static unsigned serial = 0;
        do path_ = parent + L"\\qv-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
        while (!::CreateDirectoryW(path_.c_str(), nullptr) && ::GetLastError() == ERROR_ALREADY_EXISTS);
        if (!Exists(path_)) throw std::runtime_error("no scratch folder");
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ~ScratchFolder() { RemoveTree(path_); }
    const std::wstring& Path() const noexcept { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// A test (Base: ::testing::Test) in a scratch folder of its own, the copy engine's and the
// replacement's hooks reset after it.
template <typename Base>
class ScratchTest : public Base {
protected:
    void TearDown() override {
        platform::SetCopyYield({});
        platform::SetBeforeReplaceHook({});
    }
    std::wstring Path(const std::wstring& name) const { return scratch / name; }
    ScratchFolder scratch;
};

// The number of the Failure that CopyFile throws, 0 when it throws none.
inline DWORD CopyError(const std::wstring& source, const std::wstring& target) {
    try {
        platform::CopyFile(source, target);
    } catch (const platform::Failure& failure) {
        return failure.Number();
    }
    return 0;
}

// A top-level window, shown only when a test shows it: the controls under test live in it, and it
// keeps the id of the last command they sent.
class HiddenWindow : public platform::Window {
public:
    HiddenWindow() { Create(L"Quorvander.UnitTestWindow", L"", 4000, 3000, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU); }
    void OnCommand(int id, int, HWND) override { command = id; }
    int command = 0;
};

}  // namespace test
