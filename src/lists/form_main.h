// The list editor window: a list of destination folders, saved after every change.
#pragma once

#include <memory>

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

    void cmd_Add_Click();
    void cmd_Del_Click();
    void cmd_Cancel_Click();
    void lst_Dist_Click();
    void menu_FileNew_Click();
    void menu_FileLoad_Click();
    void Menu_About_Click();
    void menu_license_Click();
    // Writes lst_Dist to the current list file; a save that fails is reported, and the
    // destinations stay here for the next change to save.
    void SaveList();

    platform::Button* cmd_Add = nullptr;
    platform::Button* cmd_Del = nullptr;
    platform::Button* cmd_Cancel = nullptr;
    platform::ListBoxControl* lst_Dist = nullptr;
};

}  // namespace lists
