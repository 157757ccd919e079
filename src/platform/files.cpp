#include "platform/files.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "platform/failure.h"
#include "platform/handles.h"
#include "platform/path_rules.h"

namespace platform {
namespace {

bool EndsWithBackslash(const std::wstring& path) { return !path.empty() && path.back() == L'\\'; }

bool Attributes(const std::wstring& path, DWORD& attributes) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(ApiPath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    attributes = data.dwFileAttributes;
    return true;
}

// The entry's name as the file system spells it.
std::wstring StoredName(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    UniqueFind find(
        ::FindFirstFileExW(ApiPath(path).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (find) return found.cFileName;
    return LastComponent(path);
}

// Text from a Win32 getter that writes into a buffer and answers the length written, or the
// size it needs when the buffer is too small, or 0 (`onZero` decides what that means).
template <typename Getter, typename OnZero>
std::wstring ReadText(Getter get, OnZero onZero) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = get(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) return onZero();
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
}

std::wstring Fail() { ThrowLastError(); }

}  // namespace

std::wstring FullPath(const std::wstring& path) {
    return ReadText(
        [&](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr); }, Fail);
}

std::wstring ApiPath(const std::wstring& path) {
    if (path.rfind(LR"(\\?\)", 0) == 0) return path;
    // A name ending in a point or a blank exists as it stands only in the literal form.
    if (HasNameEndingInPointOrBlank(path) && IsNormalisedAbsolute(path)) return LiteralPath(path);
    if (path.size() < kLongPathLength) return path;
    // The \\?\ form takes the path literally: "..", "." and forward slashes are resolved first.
    return ExtendedLengthPath(FullPath(path));
}

std::wstring FirstMatch(const std::wstring& path, int mask) {
    if (path.empty() || HasWildcard(path)) return {};
    DWORD attributes = 0;
    if (!Attributes(path, attributes)) return {};
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && !(mask & kFoldersAndFiles)) return {};
    if (EndsWithBackslash(path) || IsRootPath(path)) return isFolder ? L"." : L"";
    if ((attributes & FILE_ATTRIBUTE_HIDDEN) && !(mask & FILE_ATTRIBUTE_HIDDEN)) return {};
    if ((attributes & FILE_ATTRIBUTE_SYSTEM) && !(mask & FILE_ATTRIBUTE_SYSTEM)) return {};
    return StoredName(path);
}

PathKind KindOf(const std::wstring& path) {
    DWORD attributes = 0;
    if (!Attributes(path, attributes)) return PathKind::Nothing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

bool FolderExists(const std::wstring& path) { return KindOf(path) == PathKind::Folder; }

void MakeFolder(const std::wstring& path) {
    if (!::CreateDirectoryW(ApiPath(path).c_str(), nullptr)) ThrowLastError();
}

bool MakeFolderUnlessThere(const std::wstring& path) {
    // Made first, looked at only when that fails: a new folder costs one look-up of its name.
    if (::CreateDirectoryW(ApiPath(path).c_str(), nullptr)) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS && FolderExists(path)) return false;
    ThrowWin32(error);
}

void RemoveFile(const std::wstring& path) {
    if (!::DeleteFileW(ApiPath(path).c_str())) ThrowLastError();
}

std::wstring CurrentFolder() {
    return ReadText([](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); }, Fail);
}

std::wstring EnvironmentValue(const std::wstring& name) {
    return ReadText([&](wchar_t* buffer, DWORD size) { return ::GetEnvironmentVariableW(name.c_str(), buffer, size); },
                    [] { return std::wstring(); });  // not set
}

std::wstring CommandLineText() { return CommandLineTail(::GetCommandLineW()); }

std::wstring ProgramFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) ThrowLastError();
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    if (buffer.rfind(LR"(\\?\UNC\)", 0) == 0)
        buffer = LR"(\\)" + buffer.substr(8);
    else if (buffer.rfind(LR"(\\?\)", 0) == 0)
        buffer.erase(0, 4);
    return ParentOf(buffer);
}

Version ProgramVersion() {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (!found) ThrowLastError();
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const DWORD size = ::SizeofResource(nullptr, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0) ThrowLastError();
    // VerQueryValueW wants a writable copy of the block.
    std::vector<unsigned char> block(static_cast<const unsigned char*>(data),
                                     static_cast<const unsigned char*>(data) + size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info)
        ThrowWin32(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return Version{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS)};
}

std::wstring SystemFolder() {
    return ReadText([](wchar_t* buffer, DWORD size) { return ::GetSystemDirectoryW(buffer, size); }, Fail);
}

void RunProgram(const std::wstring& program, const std::wstring& argument) {
    std::wstring commandLine = CommandLineOf(program, argument);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        ThrowLastError();
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle handle(process.hProcess);
}

FolderIdentity IdentityOf(const std::wstring& folder) {
    UniqueFile handle(::CreateFileW(ApiPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) ThrowLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.get(), &info)) ThrowLastError();
    return FolderIdentity{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::wstring LocalTimeText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t text[32];
    std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                  now.wSecond);
    return text;
}

std::optional<std::uint64_t> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(ApiPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

VolumeRoom RoomOf(const std::wstring& folder) {
    wchar_t root[MAX_PATH + 1]{};
    // The plain path: the extended form is not one this call documents.
    if (!::GetVolumePathNameW(JoinPath(folder, L"").c_str(), root, MAX_PATH)) ThrowLastError();
    VolumeRoom room;
    ULARGE_INTEGER free{}, size{};
    if (!::GetDiskFreeSpaceExW(root, &free, &size, nullptr)) ThrowLastError();
    room.free = free.QuadPart;
    room.size = size.QuadPart;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (::GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        room.cluster = std::uint64_t{sectorsPerCluster} * bytesPerSector;
    room.serial = IdentityOf(folder).volume;
    return room;
}

void AppendToFile(const std::wstring& path, std::string_view header, std::string_view bytes) {
    // Append rights alone: whatever happens, what the file holds is never written over.
    UniqueFile file(::CreateFileW(ApiPath(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError();
    std::string text;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) ThrowLastError();
    if (size.QuadPart == 0) {  // new, or emptied by someone
        text = header;
    } else {
        char last = '\n';
        DWORD got = 0;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(size.QuadPart - 1);
        at.OffsetHigh = static_cast<DWORD>((size.QuadPart - 1) >> 32);
        if (::ReadFile(file.get(), &last, 1, &got, &at) && got == 1 && last != '\n') text = "\r\n";
    }
    text += bytes;
    DWORD written = 0;
    if (!::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) ThrowLastError();
    if (written != text.size()) ThrowWin32(ERROR_WRITE_FAULT);
}

std::string ReadWholeFile(const std::wstring& path) {
    UniqueFile file(::CreateFileW(ApiPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) ThrowLastError();
    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) ThrowLastError();
        if (got == 0) return content;
        content.append(buffer, got);
    }
}

}  // namespace platform
