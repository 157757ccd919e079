#include "lists/form_dir.h"

#include "lists/works.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "resources/resource_ids.h"

namespace lists {

form_Dir::form_Dir(platform::ListBoxControl& destinations) : destinations_(destinations) {
    Create(L"Quorvander.DestinationPicker", L"Add Destination Location", 4545, 3840,
           WS_POPUP | WS_CAPTION | WS_SYSMENU, nullptr, nullptr, IDI_PROGRAM);
}

void form_Dir::OnCreate() {
    // Created in tab order: Drive, Dir, Finished, Add Path, then the labels.
    Drive = &Add<platform::DriveListControl>(IDC_PICKER_DRIVE, platform::TwipsRect{90, 120, 4350, 315});
    Dir = &Add<platform::FolderListControl>(IDC_PICKER_FOLDERS, platform::TwipsRect{90, 735, 4350, 1890});
    cmd_Cancel = &Add<platform::Button>(IDC_PICKER_FINISHED, platform::TwipsRect{3225, 2700, 1215, 495}, L"Finished");
    cmd_Add = &Add<platform::Button>(IDC_PICKER_ADD, platform::TwipsRect{1950, 2700, 1215, 495}, L"Add Path");
    Add<platform::Label>(IDC_PICKER_HINT, platform::TwipsRect{90, 510, 4035, 195},
                         L"Remember to Double-click a folder to consider it selected");
    // Two lines high, broken anywhere: a long path without blanks still shows its end.
    lbl_path = &Add<platform::Label>(IDC_PICKER_PATH, platform::TwipsRect{60, 3270, 4395, 480}, L"", SS_EDITCONTROL);
    Add<platform::Label>(IDC_PICKER_PATH_LABEL, platform::TwipsRect{60, 3045, 1710, 195}, L"Currently Selected Path:");

    const std::wstring start = platform::CurrentFolder();
    Dir->SetPath(start);
    Drive->SetDrive(start);
    Dir->OnChange([this] { Dir_Change(); });
    Drive->OnChange([this] { Drive_Change(); });
    Form_Load();
}

void form_Dir::OnCommand(int id, int, HWND) {
    switch (id) {
    case IDC_PICKER_ADD: cmd_Add_Click(); break;
    case IDC_PICKER_FINISHED:
    case IDCANCEL:  // Esc: Finished
        cmd_Cancel_Click();
        break;
    default: break;
    }
}

void form_Dir::Form_Load() { Dir_Change(); }

void form_Dir::Drive_Change() {
    const std::wstring drive = Drive->Drive();
    try {
        Dir->SetPath(drive);
    } catch (const platform::Failure& failure) {
        // A drive without a medium, or one that cannot be read: stay where the picker was.
        Drive->SetDrive(Dir->Path());
        platform::ShowMessage(L"The drive " + drive + L" cannot be read.\r\r" + failure.Description() +
                                  L" (error " + std::to_wstring(failure.Number()) + L")",
                              platform::kErrorIcon, L"Add Destination Location");
    }
    Drive->Refresh();
}

void form_Dir::Dir_Change() { lbl_path->SetCaption(Dir->Path()); }

void form_Dir::cmd_Add_Click() {
    const std::wstring path = Dir->Path();
    if (path.empty()) return;
    AddUnique(destinations_, path);
}

void form_Dir::cmd_Cancel_Click() { Close(); }

}  // namespace lists
