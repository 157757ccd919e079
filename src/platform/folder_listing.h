// Reading a folder's entries in the order a person reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class EntryKind { Files, Folders };

// The names in `folder` of the plain, read-only and archive files that match `pattern` (wildcards;
// several patterns separated by ";"), or of its sub-folders; hidden and system entries are left
// out. Sorted by name, letter case ignored. Throws Failure when the folder cannot be read.
std::vector<std::wstring> ListFolder(const std::wstring& folder, EntryKind kind, const std::wstring& pattern = L"*");

// What one reading of a folder finds, each part sorted as ListFolder sorts: hidden and system
// entries and the temporaries of copies under way are left out, as there.
struct FolderContents {
    std::vector<std::wstring> files;
    std::vector<std::uint64_t> fileSizes;  // in bytes, one for each file
    std::vector<std::wstring> folders;     // real sub-folders
    // Sub-folders that are links to a folder elsewhere (junctions, symbolic links, mount
    // points): a walk that enters them could reach a folder twice, or loop.
    std::vector<std::wstring> folderLinks;
};
// Throws Failure when the folder cannot be read.
FolderContents ReadFolder(const std::wstring& folder);

}  // namespace platform
