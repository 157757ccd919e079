#include "distribution/form_dist.h"

#include <algorithm>

#include "distribution/sources.h"
#include "lists/works.h"
#include "platform/app.h"
#include "platform/copy_engine.h"
#include "platform/dialogs.h"
#include "platform/path_rules.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

namespace distribution {
namespace {

constexpr COLORREF kPureBlue = 0x00FF0000;  // 0x00BBGGRR
constexpr COLORREF kPureRed = 0x000000FF;
constexpr wchar_t kTitle[] = L"Quorvander Utility";
const platform::FontSpec kHeadingFont{L"MS Sans Serif", 825, true};
const platform::FontSpec kStatusFont{L"MS Sans Serif", 1200, true};

// At most a few names, then how many more: a note read at a glance.
std::wstring NameList(const std::vector<std::wstring>& names) {
    constexpr std::size_t kShown = 3;
    std::wstring text;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += (i ? L"; " : L"") + names[i];
    if (names.size() > kShown) text += L"; and " + std::to_wstring(names.size() - kShown) + L" more";
    return text;
}

void AddOnce(std::vector<std::wstring>& names, const std::wstring& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

}  // namespace

form_Dist::form_Dist() {
    platform::MenuBar bar;
    list.emplace(bar.AddEntry(L"List"));
    menu_qvl.emplace(*list, IDM_LIST_FIRST, L"Files");
    Create(L"Quorvander.Distribution", L"Distributing ", 5910, 3765,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, bar.Release(), nullptr,
           IDI_DISTRIBUTION);
    Form_Load();
}

void form_Dist::OnCreate() {
    lbl_Dist = &Add<platform::Label>(IDC_DIST_HEADING, platform::TwipsRect{90, 75, 1395, 195}, L"Distributing File:");
    lbl_Command = &Add<platform::Label>(IDC_DIST_SOURCE, platform::TwipsRect{1545, 30, 4245, 285}, L"", SS_PATHELLIPSIS);
    Label1 = &Add<platform::Label>(IDC_DIST_TARGET_HEADING, platform::TwipsRect{90, 465, 1770, 195}, L"Pushing to Location:");
    lbl_Path = &Add<platform::Label>(IDC_DIST_TARGET, platform::TwipsRect{90, 720, 5715, 285}, L"", SS_PATHELLIPSIS);
    cmd_Cancel = &Add<platform::Button>(IDC_DIST_CANCEL, platform::TwipsRect{4590, 1095, 1215, 495}, L"Cancel");
    lbl_status = &Add<platform::Label>(IDC_DIST_STATUS, platform::TwipsRect{165, 1200, 4395, 285});
    lbl_notes = &Add<platform::Label>(IDC_DIST_NOTES, platform::TwipsRect{165, 1560, 5640, 840}, L"", SS_EDITCONTROL);
    lst_Dest = &Add<platform::ListBoxControl>(IDC_DIST_DESTINATIONS, platform::TwipsRect{180, 1890, 1215, 450}, false);
    File = &Add<platform::FileListControl>(IDC_DIST_FILES, platform::TwipsRect{1725, 1395, 1215, 480}, false);
    DirBox = &Add<platform::FolderListControl>(IDC_DIST_FOLDERS, platform::TwipsRect{1560, 2130, 1005, 990}, false);
    lbl_Dist->SetFont(kHeadingFont);
    Label1->SetFont(kHeadingFont);
    lbl_status->SetFont(kStatusFont);
    lbl_status->SetTextColor(kPureBlue);
    lbl_status->SetVisible(false);
    lbl_notes->SetVisible(false);
}

void form_Dist::OnCommand(int id, int, HWND) {
    if (id == IDC_DIST_CANCEL || id == IDCANCEL) {
        cmd_Cancel_Click();
        return;
    }
    if (menu_qvl) {
        if (const int index = menu_qvl->IndexOf(id); index >= 0) menu_qvl_Click(index);
    }
}

bool form_Dist::OnCloseRequest() {
    cmd_Cancel_Click();  // the close box ends the program as the button does
    return false;
}

void form_Dist::Form_Load() { ShowListMenu(); }

void form_Dist::ShowListMenu() {
    File->SetPath(lists::ListsFolder());
    File->SetPattern(L"*.qvl");
    const int count = File->ListCount();
    if (count == 0) {
        platform::ShowMessage(L"You have not created any distribution lists.  Please create one prior to "
                              L"attempting a distribution.",
                              platform::kErrorIcon, L"Nothing To Do!");
        platform::EndProgram();
    }
    for (int i = 0; i < count; ++i) {
        const std::wstring name = File->List(i);
        const std::wstring caption = name.substr(0, name.size() - std::min<std::size_t>(4, name.size()));
        if (i > 0) menu_qvl->Load(i, caption);
        else menu_qvl->SetCaption(0, caption);
    }
    list->PopUpAtPointer(*this);
}

void form_Dist::menu_qvl_Click(int index) {
    const std::wstring caption = menu_qvl->Caption(index);
    lists::ListFile = lists::ListPathOf(caption);
    lists::ListTitle = caption + L".qvl";
    if (!platform::FirstMatch(lists::ListFile, platform::kAnyFiles).empty()) {
        CommandLine = platform::CommandLineText();
        BeginDistribution();
        return;
    }
    platform::ShowMessage(L"A Valid Distribution list was not found.  Please run this application from the Start "
                          L"Menu first, create a distribution list, then attempt this action again.",
                          platform::kInformationIcon, kTitle);
}

void form_Dist::BeginDistribution() {
    PlaceFrameTwips({100, 100, 6030, 2070});
    if (!CheckSource()) {
        Close();
        return;
    }
    lists::FillList(*lst_Dest);
    Show();
    SetMenuBarVisible(false);
    File->SetPattern(L"*.*");
    Distribute();
}

bool form_Dist::CheckSource() {
    IsFolder = false;
    folderAnswer_.reset();
    sources_ = SplitSources(CommandLine);
    if (sources_.empty() || !LooksAbsolute(sources_.front())) return false;
    const bool anyPoint = std::any_of(sources_.begin(), sources_.end(),
                                      [](const std::wstring& source) { return source.find(L'.') != std::wstring::npos; });
    if (!anyPoint) {
        std::wstring shown;
        for (const auto& source : sources_) shown += (shown.empty() ? L"" : L" ") + source;
        IsFolder = platform::ShowMessage(L"is '" + shown + L"' a Directory?",
                                         platform::kQuestionIcon + platform::kYesNo,
                                         L"File or DirBoxectory") == platform::kAnswerYes;
        folderAnswer_ = IsFolder;
    }
    return true;
}

void form_Dist::cmd_Cancel_Click() {
    Close();
    platform::EndProgram();
}

// ----- The run -----

bool form_Dist::IsFolderSource(const std::wstring& source) const {
    // The user's answer decides; without a question, a source that names a folder is one.
    return folderAnswer_ ? *folderAnswer_ : platform::FolderExists(source);
}

bool form_Dist::DestinationExists(const std::wstring& destination) {
    if (!platform::FirstMatch(destination, platform::kFoldersAndFiles).empty()) return true;
    AddOnce(skipped_, destination);
    return false;
}

void form_Dist::Distribute() {
    // Refused before anything is copied.
    for (const auto& source : sources_) {
        if (!IsFolderSource(source)) continue;
        if (IsUncPath(source)) {
            ShowRefused(L"although you can distribute individual files from a UNC path, you need to map a drive to "
                        L"the desired network location in order to distribute a folder.");
            return;
        }
        if (platform::IsRootPath(WithoutTrailingBackslash(source))) {
            ShowRefused(L"The whole drive " + source + L" cannot be distributed as one folder.  Please send the "
                        L"folders and files on it instead.");
            return;
        }
    }
    try {
        for (const auto& source : sources_) {
            if (IsFolderSource(source)) CopyFolderSource(source);
            else CopyFileSource(source);
        }
        CommandLine.clear();  // every source taken
    } catch (const platform::Failure& failure) {
        ShowHalted(failure);
        return;
    }
    ShowCompleted();
}

void form_Dist::CopyFileSource(const std::wstring& source) {
    for (int i = 0; i < lst_Dest->ListCount(); ++i) {
        std::wstring destination = lst_Dest->List(i);
        if (!destination.empty() && destination.back() == L'\\') destination.pop_back();
        lbl_Command->SetCaption(source);
        const std::wstring target = destination + L"\\" + FileNameOf(source);
        lbl_Path->SetCaption(target);
        if (DestinationExists(destination)) platform::CopyFile(source, target);
        Repaint();
        platform::ProcessEvents();
    }
}

void form_Dist::CopyFolderSource(const std::wstring& source) {
    const std::wstring root = WithoutTrailingBackslash(source);
    // The top folder of the copy at every destination: the walk never enters one of them, so that
    // a destination inside the source does not make it copy its own copies.
    topName_ = platform::FirstMatch(root, platform::kFoldersAndFiles);
    if (topName_.empty()) topName_ = platform::LastComponent(root);  // a hidden source folder
    topTargets_.clear();
    for (int i = 0; i < lst_Dest->ListCount(); ++i)
        topTargets_.push_back(WithoutTrailingBackslash(lst_Dest->List(i)) + L"\\" + topName_);

    for (int i = 0; i < lst_Dest->ListCount(); ++i) {
        const std::wstring entry = lst_Dest->List(i);
        if (!DestinationExists(entry)) continue;
        DirBox->SetPath(root);
        platform::ChangeFolder(DirBox->Path());
        File->SetPath(DirBox->Path());
        SourceRoot = root;
        SourceFolder = DirBox->Path();
        DestPath = entry;
        if (!DestPath.empty() && DestPath.back() == L'\\') DestPath.pop_back();
        visited_ = {platform::IdentityOf(SourceFolder)};
        CopyFolder(DestPath + L"\\" + topName_);
    }
}

void form_Dist::CopyFolder(const std::wstring& target) {
    if (platform::FirstMatch(target, platform::kFoldersAndFiles).empty()) platform::MakeFolder(target);
    const int files = File->ListCount();
    for (int j = 0; j < files; ++j) {
        const std::wstring name = File->List(j);
        lbl_Command->SetCaption(platform::JoinPath(File->Path(), name));
        lbl_Path->SetCaption(target + L"\\" + name);
        Repaint();
        platform::CopyFile(platform::JoinPath(File->Path(), name), target + L"\\" + name);
        platform::ProcessEvents();
    }
    const int count = DirBox->ListCount();
    if (count > 0) {
        // Taken before the walk goes down: folders made inside the source meanwhile (a destination
        // there) do not shift the ones still to come.
        std::vector<std::wstring> subfolders;
        for (int k = 0; k < count; ++k) subfolders.push_back(DirBox->List(k));
        for (const auto& subfolder : subfolders) {
            const bool isCopy = std::any_of(topTargets_.begin(), topTargets_.end(),
                                            [&](const std::wstring& top) { return IsSameOrInside(subfolder, top); });
            // A link or junction back up the tree reaches a folder a second time: copied once.
            if (isCopy || !visited_.insert(platform::IdentityOf(subfolder)).second) {
                AddOnce(leftOut_, subfolder);
                continue;
            }
            File->SetPath(subfolder);
            DirBox->SetPath(subfolder);
            const std::wstring relative = File->Path().substr(SourceFolder.size() + 1);
            CopyFolder(DestPath + L"\\" + topName_ + L"\\" + relative);
        }
        platform::ProcessEvents();
    }
    StepUp();
    File->SetPath(DirBox->Path());
}

void form_Dist::StepUp() {
    if (DirBox->List(-1) != SourceRoot) {
        platform::ChangeFolder(DirBox->List(-2));
        DirBox->SetPath(DirBox->List(-2));
    }
}

// ----- End states -----

void form_Dist::ShowCompleted() {
    SetCaption(L"Finished");
    for (platform::Label* label : {lbl_Dist, lbl_Path, lbl_Command, Label1}) label->SetEnabled(false);
    lbl_status->SetVisible(true);
    lbl_status->SetTextColor(kPureBlue);
    lbl_status->SetCaption(L"Distribution Complete");
    cmd_Cancel->SetCaption(L"OK");
    ShowNotes();
}

void form_Dist::ShowHalted(const platform::Failure& failure) {
    platform::ShowMessage(L"The Quorvander Utility was unable to complete your request.  The system has returned "
                          L"this error:\r\r" + failure.Description(),
                          platform::kErrorIcon, L"Error received: " + std::to_wstring(failure.Number()));
    SetCaption(L"Incomplete");
    for (platform::Label* label : {lbl_Dist, lbl_Path, lbl_Command, Label1}) label->SetEnabled(false);
    lbl_status->SetVisible(true);
    lbl_status->SetTextColor(kPureRed);
    lbl_status->SetCaption(L"Distribution Halted");
    cmd_Cancel->SetCaption(L"EXIT");
    ShowNotes();
}

void form_Dist::ShowRefused(const std::wstring& message) {
    platform::ShowMessage(message, platform::kErrorIcon, kTitle);
    lbl_Dist->SetVisible(false);
    lbl_Command->SetVisible(false);
    lbl_Path->SetVisible(false);
    cmd_Cancel->SetCaption(L"OK");
    Label1->SetCaption(L"Distribution Halted");
}

void form_Dist::ShowNotes() {
    std::wstring notes;
    if (!skipped_.empty())
        notes += L"Skipped " + std::to_wstring(skipped_.size()) +
                 (skipped_.size() == 1 ? L" destination that does not exist: " : L" destinations that do not exist: ") +
                 NameList(skipped_);
    if (!leftOut_.empty())
        notes += (notes.empty() ? L"" : L"\r\n") + std::wstring(L"Left out ") + std::to_wstring(leftOut_.size()) +
                 (leftOut_.size() == 1 ? L" folder" : L" folders") +
                 L" (the copies this run made, or a folder reached again through a link): " + NameList(leftOut_);
    if (notes.empty()) return;
    lbl_notes->SetCaption(notes);
    lbl_notes->SetVisible(true);
    PlaceFrameTwips({100, 100, 6030, 2070 + 900});  // room for the note below the status line
}

}  // namespace distribution
