// The file system, environment and shell services that the rest of the program uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Attribute masks of FirstMatch.
enum MatchMask : int {
    kPlainFiles = 0,        // plain files
    kAnyFiles = 7,          // plain, read-only, hidden and system files
    kFoldersAndFiles = 16,  // folders as well as plain files
};

// The name of the entry that `path` names when its attributes fit `mask`, else "". A folder path
// with a trailing backslash (a drive root such as C:\ included) gives "." when that folder exists
// and the mask takes folders. The read-only attribute never hides a file. Wildcards match nothing.
std::wstring FirstMatch(const std::wstring& path, int mask);

// Whether `path` names an existing folder (with or without a trailing backslash).
bool FolderExists(const std::wstring& path);

// What `path` names, hidden and system entries included.
enum class PathKind { Nothing, File, Folder };
PathKind KindOf(const std::wstring& path);
inline bool FileExists(const std::wstring& path) { return KindOf(path) == PathKind::File; }

void MakeFolder(const std::wstring& path);
// Makes the folder unless one is there already (a hidden one included): true when it made it.
// A file of that name fails (183), as MakeFolder does.
bool MakeFolderUnlessThere(const std::wstring& path);
// Deletes one file.
void RemoveFile(const std::wstring& path);
std::wstring CurrentFolder();
// The local time now, as "2026-12-07 14:05:09".
std::wstring LocalTimeText();
std::wstring EnvironmentValue(const std::wstring& name);
std::wstring CommandLineText();
// The executable's folder, without a trailing backslash.
std::wstring ProgramFolder();

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};
// Read from the executable's own version resource.
Version ProgramVersion();

// The system's own folder (C:\Windows\System32), without a trailing backslash.
std::wstring SystemFolder();

// Starts the program at `program` (a full path: no search) with one argument, in a normal window
// with the focus, and returns at once.
void RunProgram(const std::wstring& program, const std::wstring& argument);

// What tells one folder from another, whatever path reaches it (a link or junction included).
struct FolderIdentity {
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FolderIdentity&) const noexcept = default;
    bool operator<(const FolderIdentity& other) const noexcept {
        return volume != other.volume ? volume < other.volume : index < other.index;
    }
};
// Throws Failure when the folder cannot be opened.
FolderIdentity IdentityOf(const std::wstring& folder);

// The size of the file at `path`; none when no file of that name can be seen.
std::optional<std::uint64_t> FileSize(const std::wstring& path);

// The room on the volume that holds a folder (a drive, a share, a mounted volume).
struct VolumeRoom {
    std::uint64_t free = 0;     // bytes this user may still write there (a quota included)
    std::uint64_t cluster = 0;  // a file takes whole clusters; 0 when the volume does not say
    // What tells one volume from another, however a folder reaches it: its serial number and its
    // size (two shares of one server's disk are one volume).
    std::uint32_t serial = 0;
    std::uint64_t size = 0;
};
// Throws Failure when the folder's volume cannot be asked.
VolumeRoom RoomOf(const std::wstring& folder);

// Adds `bytes` at the end of the file at `path` in one write, never truncating it; a file that
// does not end with a line break gets one first. A file that does not exist (or is empty) gets
// `header` before the bytes. Throws Failure (a file held by a program that forbids writing).
void AppendToFile(const std::wstring& path, std::string_view header, std::string_view bytes);

// The whole content of a file.
std::string ReadWholeFile(const std::wstring& path);

// The path in the form the file APIs take at any length (\\?\ prefix when long), and with every
// name as it stands (\\?\ prefix when a name of a normalised absolute path ends with a point or
// a blank).
std::wstring ApiPath(const std::wstring& path);

// The absolute form of a path: relative to the current folder, "." and ".." resolved.
std::wstring FullPath(const std::wstring& path);

}  // namespace platform
