#include "lists/form_main.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lists/form_dir.h"
#include "lists/list_names.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/menus.h"
#include "resources/resource_ids.h"

namespace lists {
namespace {

constexpr wchar_t kTitle[] = L"Quorvander Utility";

}  // namespace

form_Main::form_Main() {
    Create(L"Quorvander.ListEditor", L"Quorvander", 5370, 3195,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
           platform::MenuBar::FromResource(IDM_EDITOR_MENU).Release(), nullptr, IDI_PROGRAM);
}

form_Main::~form_Main() = default;

void form_Main::OnCreate() {
    // Created in tab order.
    cmd_Add = &Add<platform::Button>(IDC_EDITOR_ADD, platform::TwipsRect{120, 2595, 1215, 495}, L"Add Dest.");
    cmd_Del = &Add<platform::Button>(IDC_EDITOR_REMOVE, platform::TwipsRect{1430, 2595, 1215, 495}, L"Remove Dest.");
    cmd_Cancel = &Add<platform::Button>(IDC_EDITOR_DONE, platform::TwipsRect{4050, 2595, 1215, 495}, L"Done");
    lst_Dist = &Add<platform::ListBoxControl>(IDC_EDITOR_LIST, platform::TwipsRect{120, 105, 5070, 2400});
    cmd_Del->SetEnabled(false);
}

void form_Main::OnCommand(int id, int notification, HWND) {
    switch (id) {
    case IDC_EDITOR_ADD: cmd_Add_Click(); break;
    case IDC_EDITOR_REMOVE: cmd_Del_Click(); break;
    case IDC_EDITOR_DONE:
    case IDCANCEL:  // Esc: Done
        cmd_Cancel_Click();
        break;
    case IDC_EDITOR_LIST:
        if (notification == platform::kSelectionChanged) lst_Dist_Click();
        break;
    case IDM_FILE_NEW: menu_FileNew_Click(); break;
    case IDM_FILE_LOAD: menu_FileLoad_Click(); break;
    case IDM_HELP_ABOUT: Menu_About_Click(); break;
    case IDM_HELP_LICENSE: menu_license_Click(); break;
    default: break;
    }
}

bool form_Main::OnCloseRequest() { return MayLeaveList(); }

void form_Main::cmd_Add_Click() {
    if (list_.Path().empty()) {
        menu_FileNew_Click();
        if (list_.Path().empty()) return;
    }
    form_Dir picker(*lst_Dist, platform::CurrentFolder());
    picker.ShowModal(*this);
    SaveList();
}

void form_Main::cmd_Del_Click() {
    if (lst_Dist->ListIndex() >= 0) lst_Dist->RemoveItem(lst_Dist->ListIndex());
    SaveList();
    cmd_Del->SetEnabled(false);
}

void form_Main::cmd_Cancel_Click() {
    if (MayLeaveList()) Close();
}

void form_Main::lst_Dist_Click() { cmd_Del->SetEnabled(lst_Dist->ListIndex() >= 0); }

void form_Main::menu_FileNew_Click() {
    if (!MayLeaveList()) return;
    ShowEntries({});
    SetCaption(L"Quorvander");
    list_.Close();
    for (;;) {
        const std::wstring name = platform::AskText(L"Enter a name for this list:", L"New Destination List");
        if (name.empty()) return;
        const std::wstring problem = ListNameProblem(name);
        if (problem.empty()) {
            try {
                list_.OpenNew(ListPathOf(name));
            } catch (const platform::Failure& failure) {
                platform::ShowMessage(L"The list " + ListPathOf(name) + L" cannot be read.\r\r" + failure.Text(),
                                      platform::kErrorIcon, L"New Destination List");
                continue;
            }
            title_ = name;
            SetCaption(L"Quorvander - " + name);
            return;
        }
        platform::ShowMessage(problem, platform::kErrorIcon, L"New Destination List");
    }
}

void form_Main::menu_FileLoad_Click() {
    if (!MayLeaveList()) return;
    const platform::OpenFileChoice choice =
        platform::ShowOpenFile({L"Kelvaron Files|*.QVL", L"Quorvander Lists", ListsFolder(), 4});
    if (choice.path.empty()) return;
    std::vector<std::wstring> entries;
    try {
        entries = list_.Open(choice.path);
    } catch (const platform::Failure& failure) {
        // What is open now stays, and the chosen file is left as it is.
        platform::ShowMessage(L"The list " + choice.path + L" cannot be read.\r\r" + failure.Text() +
                                  L"\r\rThe file was left as it is.",
                              platform::kErrorIcon, kTitle);
        return;
    }
    ShowEntries(entries);
    title_ = choice.fileTitle;
    SetCaption(L"Quorvander - " + title_);
    if (!beyondLimit_.empty()) {
        platform::ShowMessage(L"The list " + title_ + L" holds " + std::to_wstring(entries.size()) +
                                  L" destinations, more than the 32,767 this window can show. The first 32,767 "
                                  L"are shown; the other " + std::to_wstring(beyondLimit_.size()) +
                                  L" stay in the list file and are kept when you change the list.",
                              platform::kWarningIcon, kTitle);
    }
}

void form_Main::Menu_About_Click() {
    platform::ShowMessage(AboutText(platform::ProgramVersion()), platform::kInformationIcon, L"About");
}

void form_Main::menu_license_Click() {
    const std::wstring path = platform::ProgramFolder() + L"\\EULA.TXT";
    if (platform::FirstMatch(path, platform::kPlainFiles).empty()) {
        platform::ShowMessage(MissingLicenseText(), platform::kErrorIcon, L"ERROR");
        return;
    }
    // The system's own Notepad: a search by name would look in the program's folder and the
    // current one first.
    platform::RunProgram(platform::SystemFolder() + L"\\notepad.exe", path, 1);
}

bool form_Main::SaveList() {
    for (;;) {
        try {
            const ListStore::Saved saved = list_.Save(Entries());
            if (saved.tookInChanges) ShowEntries(saved.entries);
            unsaved_ = false;
            return true;
        } catch (const platform::Failure& failure) {
            unsaved_ = true;
            const int answer = platform::ShowMessage(
                L"The list could not be saved to " + list_.Path() + L".\r\r" + failure.Text() +
                    L"\r\rRetry to save it again. Cancel keeps the destinations in this window, not saved: the "
                    L"next change, Done or another list offers to save them again.",
                platform::kErrorIcon | platform::kRetryCancel, kTitle);
            if (answer != platform::kAnswerRetry) return false;
        }
    }
}

bool form_Main::MayLeaveList() {
    while (unsaved_) {
        const int answer = platform::ShowMessage(
            L"The changes to the list " + title_ + L" have not been saved to " + list_.Path() +
                L".\r\rSave them now?\r\rYes tries to save them again. No drops them: the list file keeps what it "
                L"held before. Cancel goes back to the list.",
            platform::kWarningIcon | platform::kYesNoCancel, kTitle);
        if (answer == platform::kAnswerNo) {
            unsaved_ = false;
        } else if (answer != platform::kAnswerYes || !SaveList()) {
            return false;
        }
    }
    return true;
}

void form_Main::ShowEntries(const std::vector<std::wstring>& entries) {
    const std::size_t shown = std::min<std::size_t>(entries.size(), platform::kMaxListEntries);
    lst_Dist->SetItems({entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(shown)});
    beyondLimit_.assign(entries.begin() + static_cast<std::ptrdiff_t>(shown), entries.end());
}

std::vector<std::wstring> form_Main::Entries() const {
    std::vector<std::wstring> entries = lst_Dist->Items();
    entries.insert(entries.end(), beyondLimit_.begin(), beyondLimit_.end());
    return entries;
}

}  // namespace lists
