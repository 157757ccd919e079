#include "lists/destination_picker.h"

#include <optional>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/path_rules.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace lists {
namespace {

constexpr wchar_t kTitle[] = L"Add Destination Location";

}  // namespace

DestinationPicker::DestinationPicker(platform::ListBoxControl& destinations, std::wstring startFolder)
    : editorList_(destinations), startFolder_(std::move(startFolder)) {
    Create(L"Quorvander.DestinationPicker", kTitle, 4545, 3840, WS_POPUP | WS_CAPTION | WS_SYSMENU, nullptr, nullptr,
           IDI_PROGRAM);
}

void DestinationPicker::OnCreate() {
    // Created in tab order: the drives, the folders, Finished, Add Path, then the labels.
    driveList_ = &Add<platform::DriveListControl>(IDC_PICKER_DRIVE, platform::TwipsRect{90, 120, 4350, 315});
    folderList_ = &Add<platform::FolderListControl>(IDC_PICKER_FOLDERS, platform::TwipsRect{90, 735, 4350, 1890});
    finishedButton_ =
        &Add<platform::Button>(IDC_PICKER_FINISHED, platform::TwipsRect{3225, 2700, 1215, 495}, L"Finished");
    addPathButton_ = &Add<platform::Button>(IDC_PICKER_ADD, platform::TwipsRect{1950, 2700, 1215, 495}, L"Add Path");
    Add<platform::Label>(IDC_PICKER_HINT, platform::TwipsRect{90, 510, 4035, 195},
                         L"Remember to Double-click a folder to consider it selected");
    // Two lines high, broken anywhere: a long path without blanks still shows its end.
    pathLabel_ = &Add<platform::Label>(IDC_PICKER_PATH, platform::TwipsRect{60, 3270, 4395, 480}, L"", SS_EDITCONTROL);
    Add<platform::Label>(IDC_PICKER_PATH_LABEL, platform::TwipsRect{60, 3045, 1710, 195}, L"Currently Selected Path:");

    OpenStartFolder(startFolder_);
    driveList_->SetDrive(folderList_->Path());
    folderList_->OnChange([this] { OnFolderChanged(); });
    folderList_->OnOpenFailed([](const std::wstring& folder, const platform::Failure& failure) {
        platform::ShowMessage(L"The folder " + folder + L" cannot be opened.\r\r" + failure.Text(),
                              platform::kErrorIcon, kTitle);
    });
    driveList_->OnChange([this] { OnDriveChanged(); });
    OnFolderChanged();  // the label shows the starting folder
}

void DestinationPicker::OnCommand(int id, int, HWND) {
    switch (id) {
    case IDC_PICKER_ADD: OnAddPath(); break;
    case IDC_PICKER_FINISHED:
    case IDCANCEL:  // Esc: Finished
        OnFinished();
        break;
    default: break;
    }
}

void DestinationPicker::OpenStartFolder(const std::wstring& start) {
    // The nearest folder above it that can be read, else the system drive's top.
    std::wstring folder = start;
    std::optional<platform::Failure> firstFailure;
    for (;;) {
        try {
            folderList_->SetPath(folder);
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
                                  L"\r\rThe picker opens at " + folderList_->Path() + L" instead.",
                              platform::kErrorIcon, kTitle);
    }
}

void DestinationPicker::OnDriveChanged() {
    const std::wstring drive = driveList_->Drive();
    try {
        folderList_->SetPath(drive);
    } catch (const platform::Failure& failure) {
        // A drive without a medium, or one that cannot be read: stay where the picker was.
        driveList_->SetDrive(folderList_->Path());
        platform::ShowMessage(L"The drive " + drive + L" cannot be read.\r\r" + failure.Text(), platform::kErrorIcon,
                              kTitle);
    }
    driveList_->Refresh();
}

void DestinationPicker::OnFolderChanged() { pathLabel_->SetCaption(folderList_->Path()); }

void DestinationPicker::OnAddPath() {
    const std::wstring path = folderList_->Path();
    if (path.empty()) return;
    if (editorList_.AddOnce(path) == platform::ListBoxControl::Added::NoRoom)
        platform::ShowMessage(L"The list holds " + std::to_wstring(platform::kMaxListEntries) +
                                  L" destinations, the most a list can hold, so " + path +
                                  L" was not added. Remove a destination to make room for it.",
                              platform::kErrorIcon, kTitle);
}

void DestinationPicker::OnFinished() { Close(); }

}  // namespace lists
