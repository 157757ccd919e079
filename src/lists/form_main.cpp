#include "lists/form_main.h"

#include <string>
#include <vector>

#include "lists/form_dir.h"
#include "lists/list_names.h"
#include "lists/works.h"
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
    SetEditorWindow(this);
}

form_Main::~form_Main() { SetEditorWindow(nullptr); }

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

void form_Main::cmd_Add_Click() {
    if (ListFile.empty()) {
        menu_FileNew_Click();
        if (ListFile.empty()) return;
    }
    form_Dir picker(*lst_Dist);
    picker.ShowModal(*this);
    SaveList();
}

void form_Main::cmd_Del_Click() {
    if (lst_Dist->ListIndex() >= 0) lst_Dist->RemoveItem(lst_Dist->ListIndex());
    SaveList();
    cmd_Del->SetEnabled(false);
}

void form_Main::cmd_Cancel_Click() { Close(); }

void form_Main::lst_Dist_Click() { cmd_Del->SetEnabled(lst_Dist->ListIndex() >= 0); }

void form_Main::menu_FileNew_Click() {
    lst_Dist->Clear();
    SetCaption(L"Quorvander");
    ListFile.clear();
    for (;;) {
        const std::wstring name = platform::AskText(L"Enter a name for this list:", L"New Destination List");
        if (name.empty()) return;
        const std::wstring problem = ListNameProblem(name);
        if (problem.empty()) {
            ListFile = ListPathOf(name);
            SetCaption(L"Quorvander - " + name);
            return;
        }
        platform::ShowMessage(problem, platform::kErrorIcon, L"New Destination List");
    }
}

void form_Main::menu_FileLoad_Click() {
    const platform::OpenFileChoice choice =
        platform::ShowOpenFile({L"Kelvaron Files|*.QVL", L"Quorvander Lists", ListsFolder(), 4});
    if (choice.path.empty()) return;

    // What is open now comes back if the chosen file cannot be read.
    const std::wstring oldFile = ListFile, oldTitle = ListTitle, oldCaption = Caption();
    std::vector<std::wstring> oldEntries;
    for (int i = 0; i < lst_Dist->ListCount(); ++i) oldEntries.push_back(lst_Dist->List(i));
    const int oldIndex = lst_Dist->ListIndex();

    lst_Dist->Clear();
    SetCaption(L"Quorvander");
    ListFile = choice.path;
    ListTitle = choice.fileTitle;
    try {
        FillList(*lst_Dist);
    } catch (const platform::Failure& failure) {
        ListFile = oldFile;
        ListTitle = oldTitle;
        SetCaption(oldCaption);
        lst_Dist->Clear();
        for (const auto& entry : oldEntries) lst_Dist->AddItem(entry);
        lst_Dist->SetListIndex(oldIndex);
        platform::ShowMessage(L"The list " + choice.path + L" cannot be read.\r\r" + failure.Description() +
                                  L" (error " + std::to_wstring(failure.Number()) + L")",
                              platform::kErrorIcon, kTitle);
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

void form_Main::SaveList() {
    try {
        lists::SaveList(*lst_Dist);
    } catch (const platform::Failure& failure) {
        platform::ShowMessage(L"The list could not be saved to " + ListFile + L".\r\r" + failure.Description() +
                                  L" (error " + std::to_wstring(failure.Number()) +
                                  L")\r\rIts destinations stay in the list; the next change saves them again.",
                              platform::kErrorIcon, kTitle);
    }
}

}  // namespace lists
