// The list editor window: a list of destination folders, saved after every change.
#pragma once

#include <string>
#include <vector>

#include "lists/list_store.h"
#include "platform/controls.h"
#include "platform/window.h"

namespace lists {

class form_Main : public platform::Window {
public:
    form_Main();
    ~form_Main() override;

private:
    void OnCreate() override;
    void OnCommand(int id, int notification, HWND control) override;
    bool OnCloseRequest() override;

    void cmd_Add_Click();
    void cmd_Del_Click();
    void cmd_Cancel_Click();
    void lst_Dist_Click();
    void menu_FileNew_Click();
    void menu_FileLoad_Click();
    void Menu_About_Click();
    void menu_license_Click();
    // Writes the destinations to the list file, taking in changes made to it elsewhere. A save
    // that fails is reported with the offer to try again; when declined, the destinations stay
    // here, not saved, and false is returned.
    bool SaveList();
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

    platform::Button* cmd_Add = nullptr;
    platform::Button* cmd_Del = nullptr;
    platform::Button* cmd_Cancel = nullptr;
    platform::ListBoxControl* lst_Dist = nullptr;
};

}  // namespace lists
