// The destination picker: a drive and folder chooser that adds the open folder to a list.
#pragma once

#include <string>

#include "platform/controls.h"
#include "platform/window.h"

namespace lists {

class form_Dir : public platform::Window {
public:
    // `destinations` is the list editor's list, which receives the folders added; the picker
    // opens at `startFolder`.
    form_Dir(platform::ListBoxControl& destinations, std::wstring startFolder);

private:
    void OnCreate() override;
    void OnCommand(int id, int notification, HWND control) override;

    void Form_Load();
    // Opens `start`, or when it cannot be read the nearest folder that can, and says so.
    void OpenStartFolder(const std::wstring& start);
    void Drive_Change();
    void Dir_Change();
    void cmd_Add_Click();
    void cmd_Cancel_Click();

    platform::ListBoxControl& destinations_;
    std::wstring startFolder_;
    platform::DriveListControl* Drive = nullptr;
    platform::FolderListControl* Dir = nullptr;
    platform::Button* cmd_Add = nullptr;
    platform::Button* cmd_Cancel = nullptr;
    platform::Label* lbl_path = nullptr;
};

}  // namespace lists
