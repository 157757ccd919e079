// Shared by the unit tests: a scratch folder of the test's own, raw file access that does not go
// through the code under test, a hidden window for the controls, and scoped settings.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace test {

// The form of a path that the raw file calls below take at any length.
inline std::wstring Raw(const std::wstring& path) {
    return path.rfind(LR"(\\?\)", 0) == 0 ? path : LR"(\\?\)" + path;
}

inline bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(Raw(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes, DWORD attributes = 0) {
    HANDLE file = ::CreateFileW(Raw(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    if (attributes) ::SetFileAttributesW(Raw(path).c_str(), attributes);
}

// The file's bytes, nothing when it cannot be opened.
inline std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(Raw(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

inline void MakeFolder(const std::wstring& path) { ::CreateDirectoryW(Raw(path).c_str(), nullptr); }

// Under Wine, runs a unix command on the unix forms of `paths` and tells whether it succeeded;
// nothing on Windows. Wine has no folder links of its own but shows a unix symbolic link as one.
inline std::optional<bool> UnixCommand(const char* program, const char* option, std::vector<std::wstring> paths) {
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

// Every entry of a folder, hidden and system ones included, sorted exactly.
inline std::vector<std::wstring> AllNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW(Raw(folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

inline void RemoveTree(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(Raw(path).c_str());
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

// A new empty folder under the temporary folder, removed with all it holds at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1] = L"";
        ::GetTempPathW(MAX_PATH + 1, temp);
        static unsigned serial = 0;
        for (;;) {
            path_ = std::wstring(temp) + L"qv-unit-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(++serial);
            if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
            if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no scratch folder");
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { RemoveTree(path_); }

    const std::wstring& Path() const noexcept { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// A folder path of more than 300 characters, each level named in Greek and Chinese as well as
// Latin letters; made under `base`, levels and all.
inline std::wstring MakeLongFolder(const std::wstring& base) {
    std::wstring path = base;
    for (int level = 0; path.size() <= 300; ++level) {
        path += L"\\\u039A\u03B1\u03C4\u03AC\u03BB\u03BF\u03B3\u03BF\u03C2 " + std::to_wstring(level) + L" " +
                std::wstring(70, L'd') + L" \u4E2D\u6587";
        MakeFolder(path);
    }
    return path;
}

// A top-level window that is never shown: the controls under test live in it.
class HiddenWindow : public platform::Window {
public:
    HiddenWindow() {
        Create(L"Quorvander.UnitTestWindow", L"", 4000, 3000, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
    }
};

// The process's current folder, put back at the end of the scope.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::wstring& folder) {
        wchar_t saved[MAX_PATH + 1] = L"";
        ::GetCurrentDirectoryW(MAX_PATH + 1, saved);
        saved_ = saved;
        ::SetCurrentDirectoryW(folder.c_str());
    }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;
    ~CurrentFolderScope() { ::SetCurrentDirectoryW(saved_.c_str()); }

private:
    std::wstring saved_;
};

}  // namespace test
