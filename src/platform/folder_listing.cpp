#include "platform/folder_listing.h"

#include <windows.h>

#include <algorithm>

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
void SortNames(std::vector<std::wstring>& names) {
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const int order = CompareNamesIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

}  // namespace

std::vector<std::wstring> ListFolder(const std::wstring& folder, EntryKind kind,
                                     const std::wstring& pattern) {
    WIN32_FIND_DATAW found{};
    const std::wstring query = ApiPath(JoinPath(folder, L"*"));
    UniqueFind find(::FindFirstFileExW(query.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
    std::vector<std::wstring> names;
    if (!find) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND && FolderExists(folder)) return names;  // an empty root
        ThrowWin32(error);
    }
    do {
        const DWORD attributes = found.dwFileAttributes;
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::wstring name = found.cFileName;
        if (IsReplacementTemporaryName(name)) continue;  // a save or copy under way, or killed
        if (kind == EntryKind::Folders) {
            if (isFolder && name != L"." && name != L"..") names.push_back(name);
        } else if (!isFolder && MatchesPattern(name, pattern)) {
            names.push_back(name);
        }
    } while (::FindNextFileW(find.get(), &found));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowWin32(error);
    SortNames(names);
    return names;
}

}  // namespace platform
