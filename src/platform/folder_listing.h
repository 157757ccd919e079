// Reading a folder's entries in the order a person reads them.
#pragma once

#include <string>
#include <vector>

namespace platform {

enum class EntryKind { Files, Folders };

// The names in `folder` of the plain, read-only and archive files that match `pattern` (wildcards;
// several patterns separated by ";"), or of its sub-folders; hidden and system entries are left
// out. Sorted by name, letter case ignored. Throws Failure when the folder cannot be read.
std::vector<std::wstring> ListFolder(const std::wstring& folder, EntryKind kind,
                                     const std::wstring& pattern = L"*");

}  // namespace platform
