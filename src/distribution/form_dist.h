// The distribution window: the list chooser, the source check and the run that copies the
// sources into every destination of the chosen list.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/menus.h"
#include "platform/window.h"

namespace distribution {

class form_Dist : public platform::Window {
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

    // The run.
    void Distribute();
    void CopyFileSource(const std::wstring& source);
    void CopyFolderSource(const std::wstring& source);
    void CopyFolder(const std::wstring& target);
    void StepUp();
    bool IsFolderSource(const std::wstring& source) const;
    bool DestinationExists(const std::wstring& destination);
    void ShowCompleted();
    void ShowHalted(const platform::Failure& failure);
    void ShowRefused(const std::wstring& message);
    void ShowNotes();

    // Fields of the run.
    bool IsFolder = false;
    std::optional<bool> folderAnswer_;  // the answer to the folder question, when it was asked
    std::wstring SourceRoot;
    std::wstring SourceFolder;
    std::wstring DestPath;
    std::wstring topName_;                           // the source folder's own name
    std::vector<std::wstring> sources_;
    std::vector<std::wstring> topTargets_;           // the top folders this run makes or fills
    std::set<platform::FolderIdentity> visited_;     // source folders copied to this destination
    std::vector<std::wstring> skipped_;              // destinations that do not exist
    std::vector<std::wstring> leftOut_;              // source folders the walk did not enter

    // Controls.
    platform::Label* lbl_Dist = nullptr;
    platform::Label* lbl_Command = nullptr;
    platform::Label* Label1 = nullptr;
    platform::Label* lbl_Path = nullptr;
    platform::Button* cmd_Cancel = nullptr;
    platform::Label* lbl_status = nullptr;
    platform::Label* lbl_notes = nullptr;
    platform::ListBoxControl* lst_Dest = nullptr;
    platform::FileListControl* File = nullptr;
    platform::FolderListControl* DirBox = nullptr;
    std::optional<platform::Menu> list;
    std::optional<platform::MenuItemArray> menu_qvl;
};

}  // namespace distribution
