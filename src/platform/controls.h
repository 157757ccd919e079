// The list controls of the program: a list of strings, a folder list and a drive list. Each is a
// real Win32 control in its window; a folder list created hidden draws nothing.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/failure.h"
#include "platform/window.h"

namespace platform {

// Strings in order, one selected at most, not sorted.
class ListBoxControl : public Control {
public:
    ListBoxControl(Window& owner, int id, const TwipsRect& place, bool visible = true);

    int ListCount() const noexcept { return static_cast<int>(items_.size()); }
    // Entry i, from 0; "" outside the list.
    std::wstring List(int index) const;
    // The selected entry's index, -1 when nothing is selected.
    int ListIndex() const;
    void SetListIndex(int index);
    // Appends an entry (not selected). Throws Failure when the list is full.
    void AddItem(const std::wstring& text);
    // All the entries at once, in place of those there (fast for long lists). Throws Failure,
    // changing nothing, when they are more than the list holds.
    void SetItems(const std::vector<std::wstring>& items);
    // The entries, in order.
    const std::vector<std::wstring>& Items() const noexcept { return items_; }
    void RemoveItem(int index);
    void Clear();
    // Selects the first entry equal to `text`, letter case ignored; with none equal, selects
    // nothing (ListIndex -1).
    void SetText(const std::wstring& text);
    // Appends `text` unless an entry equal to it (letter case ignored) is there, which is then
    // selected; a full list takes nothing.
    enum class Added { New, AlreadyThere, NoRoom };
    Added AddOnce(const std::wstring& text);

private:
    std::vector<std::wstring> items_;
    std::unordered_map<std::wstring, int> foldedCounts_;  // how many entries fold to each key
};

// The sub-folders of a current folder. Shown, it lists the current folder's ancestors as a tree
// of open folders above its sub-folders; a double-click opens a folder.
class FolderListControl : public Control {
public:
    FolderListControl(Window& owner, int id, const TwipsRect& place, bool visible = true);

    // The current folder: a drive's top folder with its backslash (C:\), every other folder
    // without one.
    const std::wstring& Path() const noexcept { return path_; }
    // Moves to a folder; a drive alone ("D:") moves to that drive's current folder. Throws
    // Failure when the folder cannot be read; the list then stays where it was.
    void SetPath(const std::wstring& path);
    int ListCount() const noexcept { return static_cast<int>(subfolders_.size()); }
    // The full path of sub-folder i; List(-1) is the current folder, List(-2) its parent (the
    // folder itself at a drive's top).
    std::wstring List(int index) const;
    // Runs after every change of Path.
    void OnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
    // Runs when a folder that the user opens cannot be read; the list stays where it was.
    void OnOpenFailed(std::function<void(const std::wstring& folder, const Failure& failure)> handler) {
        onOpenFailed_ = std::move(handler);
    }
    // Opens the highlighted row of the shown list (what a double-click does).
    void OpenHighlighted();

private:
    void OnNotification(int code) override;
    bool OnEnterKey() override;
    void Redraw();

    bool shown_;
    std::wstring path_;
    std::vector<std::wstring> subfolders_;
    std::vector<std::wstring> rowPaths_;
    std::function<void()> onChange_;
    std::function<void(const std::wstring&, const Failure&)> onOpenFailed_;
};

// The drives of the machine, each with its volume label, one chosen.
class DriveListControl : public Control {
public:
    DriveListControl(Window& owner, int id, const TwipsRect& place);

    // The chosen drive as letter and colon ("C:"), assignable to a folder list's Path.
    std::wstring Drive() const;
    // Chooses the drive of a path ("C:\Data" chooses C:); no change event.
    void SetDrive(const std::wstring& path);
    // Reads the drives and their labels again.
    void Refresh();
    // Runs when the user chooses another drive.
    void OnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

private:
    void OnNotification(int code) override;
    std::vector<std::wstring> drives_;  // "C:" for each row
    std::function<void()> onChange_;
};

}  // namespace platform
