#include "platform/folder_listing.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/path_rules.h"
#include "platform/replacement_file.h"
#include "platform/text.h"

namespace platform {
namespace {

// The long name alone decides: FindFirstFile would also match short (8.3) names, so that
// "*.qvl" found "list.qvl2" through its short name LIST~1.QVL.
bool MatchesPattern(const std::wstring& name, const std::wstring& pattern) {
    return MatchesWildcards(CaseFolded(name), CaseFolded(pattern));
}

// By name, letter case ignored, then exactly: the enumerators' order.
bool NameOrder(const std::wstring& a, const std::wstring& b) {
    const int order = CompareNamesIgnoringCase(a, b);
    return order != 0 ? order < 0 : a < b;
}

// A folder entry that leads elsewhere. Cloud placeholders and other reparse points that are no
// name surrogate are real folders. Wine shows a unix symbolic link with the tag 0.
bool IsFolderLink(const WIN32_FIND_DATAW& found) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return found.dwReserved0 == 0 || IsReparseTagNameSurrogate(found.dwReserved0);
}

// Calls `take` for every entry of `folder` that a listing shows (not hidden, not system, not a
// temporary of a copy, not "." or "..").
template <typename Take>
void ScanFolder(const std::wstring& folder, Take take) {
    WIN32_FIND_DATAW found{};
    const std::wstring query = ApiPath(JoinPath(folder, L"*"));
    UniqueFind find(::FindFirstFileExW(query.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND && FolderExists(folder)) return;  // an empty root
        ThrowWin32(error);
    }
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (IsReplacementTemporaryName(found.cFileName)) continue;  // a save or copy under way, or killed
        take(found);
    } while (::FindNextFileW(find.get(), &found));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowWin32(error);
}

}  // namespace

std::vector<std::wstring> ListFolder(const std::wstring& folder, EntryKind kind, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    ScanFolder(folder, [&](const WIN32_FIND_DATAW& found) {
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (kind == EntryKind::Folders ? isFolder : !isFolder && MatchesPattern(found.cFileName, pattern))
            names.push_back(found.cFileName);
    });
    std::sort(names.begin(), names.end(), NameOrder);
    return names;
}

FolderContents ReadFolder(const std::wstring& folder) {
    FolderContents contents;
    std::vector<std::pair<std::wstring, std::uint64_t>> files;
    ScanFolder(folder, [&](const WIN32_FIND_DATAW& found) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.emplace_back(found.cFileName, (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow);
        else if (IsFolderLink(found))
            contents.folderLinks.push_back(found.cFileName);
        else
            contents.folders.push_back(found.cFileName);
    });
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return NameOrder(a.first, b.first); });
    for (auto& [name, size] : files) {
        contents.files.push_back(std::move(name));
        contents.fileSizes.push_back(size);
    }
    for (auto* names : {&contents.folders, &contents.folderLinks}) std::sort(names->begin(), names->end(), NameOrder);
    return contents;
}

}  // namespace platform
