#include "lists/list_editor.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lists/destination_picker.h"
#include "lists/list_names.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/menus.h"
#include "platform/path_rules.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace lists {
namespace {

// Who answers questions about the program.
constexpr wchar_t kSupportContact[] = L"Quorvander Support, support@ondrevo.example";

// The About box's text for a version.
std::wstring AboutText(const platform::Version& version) {
    return std::wstring(platform::kProgramTitle) +
           L"\r"
           L"Version: " +
           std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L" Build:" +
           std::to_wstring(version.revision) +
           L"\r\r"
           L"Contact / Support: " +
           kSupportContact;
}

// The text shown when the licence agreement document is missing.
std::wstring MissingLicenseText() {
    return std::wstring(
               L"The License Agreement is missing.  Please either re-install this application, "
               L"or contact Ondrevo for replacement. \r\rContact: ") +
           kSupportContact;
}

constexpr wchar_t kTypedPathTitle[] = L"Add Typed Path";

// A path as typed or pasted: without the blanks around it, the quotation marks of Explorer's
// "Copy as path" and a trailing backslash (but a drive's top keeps its own).
std::wstring TypedFolderPath(const std::wstring& typed) {
    const std::size_t first = typed.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    std::wstring path = typed.substr(first, typed.find_last_not_of(L" \t") - first + 1);
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
    return platform::WithoutTrailingBackslash(path);
}

// Why `path` cannot be a destination, "" when it can.
std::wstring FolderProblem(const std::wstring& path) {
    if (!platform::IsNormalisedAbsolute(path))
        return L"is not the full path of a folder. Type it as C:\\Folder, or \\\\server\\share\\folder for a "
               L"network folder.";
    switch (platform::KindOf(path)) {
    case platform::PathKind::Folder: return {};
    case platform::PathKind::File: return L"is a file, not a folder.";
    default: return L"does not exist, or it cannot be reached (a share that is not there, a drive not ready).";
    }
}

}  // namespace

ListEditor::ListEditor() {
    Create(L"Quorvander.ListEditor", L"Quorvander", 5370, 3195,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
           platform::MenuBar::FromResource(IDM_EDITOR_MENU).Release(), nullptr, IDI_PROGRAM);
}

ListEditor::~ListEditor() = default;

void ListEditor::OnCreate() {
    // Created in tab order.
    addButton_ = &Add<platform::Button>(IDC_EDITOR_ADD, platform::TwipsRect{120, 2595, 1215, 495}, L"Add Dest.");
    removeButton_ =
        &Add<platform::Button>(IDC_EDITOR_REMOVE, platform::TwipsRect{1430, 2595, 1215, 495}, L"Remove Dest.");
    doneButton_ = &Add<platform::Button>(IDC_EDITOR_DONE, platform::TwipsRect{4050, 2595, 1215, 495}, L"Done");
    destinationList_ = &Add<platform::ListBoxControl>(IDC_EDITOR_LIST, platform::TwipsRect{120, 105, 5070, 2400});
    removeButton_->SetEnabled(false);
    AcceptDroppedFiles();
}

void ListEditor::OnCommand(int id, int notification, HWND) {
    switch (id) {
    case IDC_EDITOR_ADD: OnAddDestination(); break;
    case IDC_EDITOR_REMOVE: OnRemoveDestination(); break;
    case IDC_EDITOR_DONE:
    case IDCANCEL:  // Esc: Done
        OnDone();
        break;
    case IDC_EDITOR_LIST:
        if (notification == platform::kSelectionChanged) OnSelectionChanged();
        break;
    case IDM_FILE_NEW: OnNewList(); break;
    case IDM_FILE_LOAD: OnLoadList(); break;
    case IDM_FILE_ADD_PATH: OnAddTypedPath(); break;
    case IDM_HELP_ABOUT: OnAbout(); break;
    case IDM_HELP_LICENSE: OnLicense(); break;
    default: break;
    }
}

bool ListEditor::OnCloseRequest() { return MayLeaveList(); }

void ListEditor::OnFilesDropped(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> folders, others;
    for (const auto& path : paths) {
        if (platform::FolderExists(path))
            folders.push_back(path);
        else
            others.push_back(platform::LastComponent(path));
    }
    if (!folders.empty()) AddFolders(folders);
    if (!others.empty()) {
        platform::ShowMessage(L"Only folders can be destinations. Not added: " + platform::NameList(others) + L".",
                              platform::kWarningIcon, platform::kProgramTitle);
    }
}

void ListEditor::OnAddDestination() {
    if (!HaveList()) return;
    DestinationPicker picker(*destinationList_, platform::CurrentFolder());
    picker.ShowModal(*this);
    SaveList();
}

void ListEditor::OnAddTypedPath() {
    if (!HaveList()) return;
    const std::wstring path = TypedFolderPath(
        platform::AskText(L"Type or paste the full path of a folder to add (C:\\Folder, or \\\\server\\share\\folder):",
                          kTypedPathTitle));
    if (path.empty()) return;
    if (const std::wstring problem = FolderProblem(path); !problem.empty()) {
        platform::ShowMessage(path + L" was not added: it " + problem, platform::kErrorIcon, kTypedPathTitle);
        return;
    }
    AddFolders({path});
}

void ListEditor::OnRemoveDestination() {
    if (destinationList_->ListIndex() >= 0) destinationList_->RemoveItem(destinationList_->ListIndex());
    SaveList();
    removeButton_->SetEnabled(false);
}

void ListEditor::OnDone() {
    if (MayLeaveList()) Close();
}

void ListEditor::OnSelectionChanged() { removeButton_->SetEnabled(destinationList_->ListIndex() >= 0); }

void ListEditor::OnNewList() {
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

void ListEditor::OnLoadList() {
    if (!MayLeaveList()) return;
    const platform::OpenFileChoice choice =
        platform::ShowOpenFile({L"Kelvaron Files|*.QVL", L"Quorvander Lists", ListsFolder()});
    if (choice.path.empty()) return;
    std::vector<std::wstring> entries;
    try {
        entries = list_.Open(choice.path);
    } catch (const platform::Failure& failure) {
        // What is open now stays, and the chosen file is left as it is.
        platform::ShowMessage(
            L"The list " + choice.path + L" cannot be read.\r\r" + failure.Text() + L"\r\rThe file was left as it is.",
            platform::kErrorIcon, platform::kProgramTitle);
        return;
    }
    ShowEntries(entries);
    title_ = choice.fileTitle;
    SetCaption(L"Quorvander - " + title_);
    if (!beyondLimit_.empty()) {
        platform::ShowMessage(L"The list " + title_ + L" holds " + std::to_wstring(entries.size()) +
                                  L" destinations, more than the 32,767 this window can show. The first 32,767 "
                                  L"are shown; the other " +
                                  std::to_wstring(beyondLimit_.size()) +
                                  L" stay in the list file and are kept when you change the list.",
                              platform::kWarningIcon, platform::kProgramTitle);
    }
}

void ListEditor::OnAbout() {
    platform::ShowMessage(AboutText(platform::ProgramVersion()), platform::kInformationIcon, L"About");
}

void ListEditor::OnLicense() {
    const std::wstring path = platform::ProgramFolder() + L"\\EULA.TXT";
    if (!platform::FileExists(path)) {
        platform::ShowMessage(MissingLicenseText(), platform::kErrorIcon, L"ERROR");
        return;
    }
    // The system's own Notepad: a search by name would look in the program's folder and the
    // current one first.
    platform::RunProgram(platform::SystemFolder() + L"\\notepad.exe", path);
}

bool ListEditor::SaveList() {
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
                platform::kErrorIcon | platform::kRetryCancel, platform::kProgramTitle);
            if (answer != platform::kAnswerRetry) return false;
        }
    }
}

bool ListEditor::HaveList() {
    if (list_.Path().empty()) OnNewList();
    return !list_.Path().empty();
}

void ListEditor::AddFolders(const std::vector<std::wstring>& folders) {
    if (!HaveList()) return;
    std::vector<std::wstring> noRoom;
    for (const auto& folder : folders)
        if (destinationList_->AddOnce(folder) == platform::ListBoxControl::Added::NoRoom) noRoom.push_back(folder);
    OnSelectionChanged();
    SaveList();
    if (!noRoom.empty()) {
        platform::ShowMessage(L"The list holds " + std::to_wstring(platform::kMaxListEntries) +
                                  L" destinations, the most a list can hold. Not added: " + platform::NameList(noRoom) +
                                  L". Remove destinations to make room for them.",
                              platform::kErrorIcon, platform::kProgramTitle);
    }
}

bool ListEditor::MayLeaveList() {
    while (unsaved_) {
        const int answer = platform::ShowMessage(
            L"The changes to the list " + title_ + L" have not been saved to " + list_.Path() +
                L".\r\rSave them now?\r\rYes tries to save them again. No drops them: the list file keeps what it "
                L"held before. Cancel goes back to the list.",
            platform::kWarningIcon | platform::kYesNoCancel, platform::kProgramTitle);
        if (answer == platform::kAnswerNo) {
            unsaved_ = false;
        } else if (answer != platform::kAnswerYes || !SaveList()) {
            return false;
        }
    }
    return true;
}

void ListEditor::ShowEntries(const std::vector<std::wstring>& entries) {
    const std::size_t shown = std::min<std::size_t>(entries.size(), platform::kMaxListEntries);
    destinationList_->SetItems({entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(shown)});
    beyondLimit_.assign(entries.begin() + static_cast<std::ptrdiff_t>(shown), entries.end());
}

std::vector<std::wstring> ListEditor::Entries() const {
    std::vector<std::wstring> entries = destinationList_->Items();
    entries.insert(entries.end(), beyondLimit_.begin(), beyondLimit_.end());
    return entries;
}

}  // namespace lists
