#include "platform/controls.h"

#include <windows.h>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/path_rules.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr DWORD kListStyle = WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER;

DWORD Visibility(bool visible) { return visible ? WS_VISIBLE : 0; }

bool ValidIndex(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

// The full form of a folder path: "." and ".." resolved, a drive alone taken as that drive's
// current folder, and no trailing backslash but at a drive's top.
std::wstring NormalFolderPath(const std::wstring& path) {
    std::wstring full = WithoutTrailingBackslash(FullPath(path));
    if (full.size() == 2 && full[1] == L':') full += L'\\';
    return full;
}

void FillShownList(HWND list, UINT resetMessage, UINT addMessage, const std::vector<std::wstring>& rows) {
    if (!list) return;
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, resetMessage, 0, 0);
    for (const auto& row : rows) ::SendMessageW(list, addMessage, 0, reinterpret_cast<LPARAM>(row.c_str()));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

// ----- ListBoxControl -----

ListBoxControl::ListBoxControl(Window& owner, int id, const TwipsRect& place, bool visible)
    : Control(owner, id, L"LISTBOX", kListStyle | Visibility(visible), WS_EX_CLIENTEDGE, place, {}) {}

std::wstring ListBoxControl::List(int index) const {
    return ValidIndex(index, items_.size()) ? items_[static_cast<std::size_t>(index)] : std::wstring();
}

int ListBoxControl::ListIndex() const {
    if (!Handle()) return -1;
    const LRESULT selected = ::SendMessageW(Handle(), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? -1 : static_cast<int>(selected);
}

void ListBoxControl::SetListIndex(int index) {
    if (Handle()) ::SendMessageW(Handle(), LB_SETCURSEL, ValidIndex(index, items_.size()) ? index : -1, 0);
}

void ListBoxControl::AddItem(const std::wstring& text) {
    if (items_.size() >= static_cast<std::size_t>(kMaxListEntries))
        throw Failure(ERROR_ARITHMETIC_OVERFLOW, L"A list holds at most 32,767 entries.");
    if (Handle()) {
        const LRESULT added = ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (added == LB_ERR || added == LB_ERRSPACE) ThrowWin32(ERROR_NOT_ENOUGH_MEMORY);
    }
    items_.push_back(text);
    ++foldedCounts_[CaseFolded(text)];
}

void ListBoxControl::SetItems(const std::vector<std::wstring>& items) {
    if (items.size() > static_cast<std::size_t>(kMaxListEntries))
        throw Failure(ERROR_ARITHMETIC_OVERFLOW, L"A list holds at most 32,767 entries.");
    std::unordered_map<std::wstring, int> counts;
    for (const auto& item : items) ++counts[CaseFolded(item)];
    FillShownList(Handle(), LB_RESETCONTENT, LB_ADDSTRING, items);
    if (Handle() && ::SendMessageW(Handle(), LB_GETCOUNT, 0, 0) != static_cast<LRESULT>(items.size())) {
        Clear();
        ThrowWin32(ERROR_NOT_ENOUGH_MEMORY);
    }
    items_ = items;
    foldedCounts_ = std::move(counts);
}

void ListBoxControl::RemoveItem(int index) {
    if (!ValidIndex(index, items_.size())) ThrowWin32(ERROR_INVALID_INDEX);
    const auto position = items_.begin() + index;
    const auto key = foldedCounts_.find(CaseFolded(*position));
    if (key != foldedCounts_.end() && --key->second == 0) foldedCounts_.erase(key);
    items_.erase(position);
    if (Handle()) ::SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBoxControl::Clear() {
    items_.clear();
    foldedCounts_.clear();
    if (Handle()) ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
}

ListBoxControl::Added ListBoxControl::AddOnce(const std::wstring& text) {
    SetText(text);
    if (ListIndex() != -1) return Added::AlreadyThere;
    if (ListCount() >= kMaxListEntries) return Added::NoRoom;
    AddItem(text);
    return Added::New;
}

void ListBoxControl::SetText(const std::wstring& text) {
    int found = -1;
    if (foldedCounts_.count(CaseFolded(text)) != 0) {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (EqualIgnoringCase(items_[i], text)) {
                found = static_cast<int>(i);
                break;
            }
        }
    }
    SetListIndex(found);
}

// ----- FolderListControl -----

FolderListControl::FolderListControl(Window& owner, int id, const TwipsRect& place, bool visible)
    : Control(owner, id, L"LISTBOX", kListStyle | Visibility(visible), WS_EX_CLIENTEDGE, place, {}), shown_(visible) {}

void FolderListControl::SetPath(const std::wstring& path) {
    std::wstring full = NormalFolderPath(path);
    std::vector<std::wstring> names = ListFolder(full, EntryKind::Folders);
    const bool changed = full != path_;
    path_ = std::move(full);
    subfolders_.clear();
    subfolders_.reserve(names.size());
    for (const auto& name : names) subfolders_.push_back(JoinPath(path_, name));
    if (shown_) Redraw();
    if (changed && onChange_) onChange_();
}

std::wstring FolderListControl::List(int index) const {
    if (index == -1) return path_;
    if (index == -2) {
        if (IsRootPath(path_)) return path_;
        std::wstring parent = ParentOf(path_);
        if (parent.size() == 2 && parent[1] == L':') parent += L'\\';
        return parent;
    }
    return ValidIndex(index, subfolders_.size()) ? subfolders_[static_cast<std::size_t>(index)] : std::wstring();
}

void FolderListControl::Redraw() {
    // The open folders from the drive's top down to the current one, then its sub-folders,
    // each level indented one step further.
    std::vector<std::wstring> ancestors;
    for (std::wstring folder = path_;;) {
        ancestors.insert(ancestors.begin(), folder);
        if (IsRootPath(folder) || ParentOf(folder).empty()) break;
        std::wstring parent = ParentOf(folder);
        if (parent.size() == 2 && parent[1] == L':') parent += L'\\';
        folder = parent;
    }
    std::vector<std::wstring> rows;
    rowPaths_.clear();
    std::wstring indent;
    for (const auto& folder : ancestors) {
        std::wstring name = IsRootPath(folder) ? folder : LastComponent(folder);
        rows.push_back(indent + name);
        rowPaths_.push_back(folder);
        indent += L"    ";
    }
    for (const auto& folder : subfolders_) {
        rows.push_back(indent + LastComponent(folder));
        rowPaths_.push_back(folder);
    }
    FillShownList(Handle(), LB_RESETCONTENT, LB_ADDSTRING, rows);
    if (Handle()) ::SendMessageW(Handle(), LB_SETCURSEL, ancestors.size() - 1, 0);
}

void FolderListControl::OpenHighlighted() {
    if (!Handle()) return;
    const LRESULT row = ::SendMessageW(Handle(), LB_GETCURSEL, 0, 0);
    if (row == LB_ERR || !ValidIndex(static_cast<int>(row), rowPaths_.size())) return;
    const std::wstring folder = rowPaths_[static_cast<std::size_t>(row)];
    try {
        SetPath(folder);
    } catch (const Failure& failure) {
        if (!onOpenFailed_) throw;
        Redraw();  // the highlight back on the current folder
        onOpenFailed_(folder, failure);
    }
}

void FolderListControl::OnNotification(int code) {
    if (code == LBN_DBLCLK) OpenHighlighted();
}

// Enter opens the highlighted folder, as a double-click does: the keyboard's way in.
bool FolderListControl::OnEnterKey() {
    OpenHighlighted();
    return true;
}

// ----- DriveListControl -----

DriveListControl::DriveListControl(Window& owner, int id, const TwipsRect& place)
    : Control(owner, id, L"COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, place, {}) {
    Refresh();
}

std::wstring DriveListControl::Drive() const {
    if (!Handle()) return {};
    const LRESULT row = ::SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    return row == CB_ERR || !ValidIndex(static_cast<int>(row), drives_.size()) ? std::wstring()
                                                                               : drives_[static_cast<std::size_t>(row)];
}

void DriveListControl::SetDrive(const std::wstring& path) {
    if (path.size() < 2 || path[1] != L':' || !Handle()) return;
    const std::wstring drive = CaseFolded(path.substr(0, 2));
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i] == drive) ::SendMessageW(Handle(), CB_SETCURSEL, i, 0);
}

void DriveListControl::Refresh() {
    const std::wstring chosen = Drive();
    drives_.clear();
    std::vector<std::wstring> rows;
    const DWORD mask = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(mask & (1u << letter))) continue;
        const std::wstring drive{static_cast<wchar_t>(L'A' + letter), L':'};
        wchar_t label[MAX_PATH + 1] = L"";
        const std::wstring root = drive + L"\\";
        // A drive without a medium has no label to read: it is listed by its letter alone.
        DWORD oldMode = 0;
        ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
        const bool hasLabel =
            ::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0) &&
            label[0];
        ::SetThreadErrorMode(oldMode, nullptr);
        std::wstring row = std::wstring{static_cast<wchar_t>(L'a' + letter), L':'};
        if (hasLabel) row += L" [" + std::wstring(label) + L"]";
        drives_.push_back(drive);
        rows.push_back(row);
    }
    FillShownList(Handle(), CB_RESETCONTENT, CB_ADDSTRING, rows);
    SetDrive(chosen.empty() ? CurrentFolder() : chosen);
}

void DriveListControl::OnNotification(int code) {
    if (code == CBN_SELCHANGE && onChange_) onChange_();
}

}  // namespace platform
