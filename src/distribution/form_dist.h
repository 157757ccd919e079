// The distribution window: the list chooser, the source check and the run that copies the
// sources into every destination of the chosen list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "distribution/distribution_run.h"
#include "platform/controls.h"
#include "platform/failure.h"
#include "platform/menus.h"
#include "platform/window.h"

namespace distribution {

class form_Dist : public platform::Window, private RunObserver {
public:
    // Creates the window hidden and runs its load: the list menu and, when a list is chosen, the
    // whole distribution. The window is then shown by its creator, unless it has closed.
    form_Dist();

private:
    void OnCreate() override;
    void OnCommand(int id, int notification, HWND control) override;
    bool OnCloseRequest() override;

    void Form_Load();
    void ShowListMenu();
    void menu_qvl_Click(int index);
    void BeginDistribution();
    bool CheckSource();
    void cmd_Cancel_Click();

    // The run, shown.
    void Distribute();
    void OnCopying(const std::wstring& source, const std::wstring& target) override;
    void OnProgress() override;
    void ShowCopy();
    void ShowCompleted();
    void ShowHalted(const platform::Failure& failure);
    void ShowRefused(const std::wstring& message);
    void ShowNote(const std::wstring& note);

    bool IsFolder = false;
    std::optional<bool> folderAnswer_;  // the answer to the folder question, when it was asked
    std::vector<std::wstring> sources_;
    std::wstring listFile_;                    // the chosen list's file
    std::vector<std::wstring> destinations_;   // its entries
    // The copy last told by the run, and when the labels and the events were last seen to.
    std::wstring copySource_, copyTarget_;
    bool copyShown_ = true;
    ULONGLONG lastShown_ = 0, lastEvents_ = 0;

    // Controls.
    platform::Label* lbl_Dist = nullptr;
    platform::Label* lbl_Command = nullptr;
    platform::Label* Label1 = nullptr;
    platform::Label* lbl_Path = nullptr;
    platform::Button* cmd_Cancel = nullptr;
    platform::Label* lbl_status = nullptr;
    platform::Label* lbl_notes = nullptr;
    std::optional<platform::Menu> list;
    std::optional<platform::MenuItemArray> menu_qvl;
};

}  // namespace distribution
