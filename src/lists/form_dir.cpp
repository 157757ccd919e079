#include "lists/form_dir.h"

#include <optional>

#include "lists/list_names.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/path_rules.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace lists {
namespace {

constexpr wchar_t kTitle[] = L"Add Destination Location";

}  // namespace

form_Dir::form_Dir(platform::ListBoxControl& destinations, std::wstring startFolder)
    : destinations_(destinations), startFolder_(std::move(startFolder)) {
    Create(L"Quorvander.DestinationPicker", kTitle, 4545, 3840,
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

    OpenStartFolder(startFolder_);
    Drive->SetDrive(Dir->Path());
    Dir->OnChange([this] { Dir_Change(); });
    Dir->OnOpenFailed([](const std::wstring& folder, const platform::Failure& failure) {
        platform::ShowMessage(L"The folder " + folder + L" cannot be opened.\r\r" + failure.Text(),
                              platform::kErrorIcon, kTitle);
    });
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

void form_Dir::OpenStartFolder(const std::wstring& start) {
    // The nearest folder above it that can be read, else the system drive's top.
    std::wstring folder = start;
    std::optional<platform::Failure> firstFailure;
    for (;;) {
        try {
            Dir->SetPath(folder);
            break;
        } catch (const platform::Failure& failure) {
            if (!firstFailure) firstFailure = failure;
            const std::wstring parent = platform::ParentOf(folder);
            if (!parent.empty() && parent != folder && !platform::IsRootPath(folder)) {
                folder = parent;
            } else if (const std::wstring top = platform::EnvironmentValue(L"SystemDrive") + L"\\";
                       !platform::EqualIgnoringCase(folder, top)) {
                folder = top;
            } else {
                throw *firstFailure;
            }
        }
    }
    if (firstFailure) {
        platform::ShowMessage(L"The folder " + start + L" cannot be opened.\r\r" + firstFailure->Text() +
                                  L"\r\rThe picker opens at " + Dir->Path() + L" instead.",
                              platform::kErrorIcon, kTitle);
    }
}

void form_Dir::Drive_Change() {
    const std::wstring drive = Drive->Drive();
    try {
        Dir->SetPath(drive);
    } catch (const platform::Failure& failure) {
        // A drive without a medium, or one that cannot be read: stay where the picker was.
        Drive->SetDrive(Dir->Path());
        platform::ShowMessage(L"The drive " + drive + L" cannot be read.\r\r" + failure.Text(),
                              platform::kErrorIcon, kTitle);
    }
    Drive->Refresh();
}

void form_Dir::Dir_Change() { lbl_path->SetCaption(Dir->Path()); }

void form_Dir::cmd_Add_Click() {
    const std::wstring path = Dir->Path();
    if (path.empty()) return;
    destinations_.SetText(path);
    if (destinations_.ListIndex() != -1) return;  // there already, and now selected
    if (destinations_.ListCount() >= platform::kMaxListEntries) {
        platform::ShowMessage(L"The list holds " + std::to_wstring(platform::kMaxListEntries) +
                                  L" destinations, the most a list can hold, so " + path +
                                  L" was not added. Remove a destination to make room for it.",
                              platform::kErrorIcon, kTitle);
        return;
    }
    destinations_.AddItem(path);
}

void form_Dir::cmd_Cancel_Click() { Close(); }

}  // namespace lists
