// The list editor window: a list of destination folders, saved after every change.
#pragma once

#include <string>
#include <vector>

#include "lists/list_store.h"
#include "platform/controls.h"
#include "platform/window.h"

namespace lists {

class ListEditor : public platform::Window {
public:
    ListEditor();
    ~ListEditor() override;

private:
    void OnCreate() override;
    void OnCommand(int id, int notification, HWND control) override;
    bool OnCloseRequest() override;
    void OnFilesDropped(const std::vector<std::wstring>& paths) override;

    void OnAddDestination();
    void OnAddTypedPath();
    void OnRemoveDestination();
    void OnDone();
    void OnSelectionChanged();
    void OnNewList();
    void OnLoadList();
    void OnAbout();
    void OnLicense();
    // Writes the destinations to the list file, taking in changes made to it elsewhere. A save
    // that fails is reported with the offer to try again; when declined, the destinations stay
    // here, not saved, and false is returned.
    bool SaveList();
    // With no list open, asks for a new one as Add Dest. does: true when a list is open.
    bool HaveList();
    // Adds to the open list each folder not in it yet (letter case ignored) while it has room,
    // says which found no room, and saves once.
    void AddFolders(const std::vector<std::wstring>& folders);
    // Before the open list is left (Done, New List, Load List): true when nothing unsaved is
    // lost, or the user chose to lose it.
    bool MayLeaveList();
    // Shows `entries` as the open list's destinations; those beyond what the list control holds
    // are kept aside and saved with the rest.
    void ShowEntries(const std::vector<std::wstring>& entries);
    std::vector<std::wstring> Entries() const;

    ListStore list_;
    std::wstring title_;
    std::vector<std::wstring> beyondLimit_;
    bool unsaved_ = false;

    platform::Button* addButton_ = nullptr;
    platform::Button* removeButton_ = nullptr;
    platform::Button* doneButton_ = nullptr;
    platform::ListBoxControl* destinationList_ = nullptr;
};

}  // namespace lists
