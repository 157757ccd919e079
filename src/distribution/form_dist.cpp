#include "distribution/form_dist.h"

#include <algorithm>

#include "distribution/sources.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "resources/resource_ids.h"

namespace distribution {
namespace {

constexpr COLORREF kPureBlue = 0x00FF0000;  // 0x00BBGGRR
constexpr COLORREF kPureRed = 0x000000FF;
constexpr wchar_t kTitle[] = L"Quorvander Utility";
const platform::FontSpec kHeadingFont{L"MS Sans Serif", 825, true};
const platform::FontSpec kStatusFont{L"MS Sans Serif", 1200, true};

// The labels name the copy under way at most this often; the final state is always exact.
constexpr ULONGLONG kShowIntervalMs = 50;
// Between two files, pending events (a Cancel, a repaint) are handled at most this often.
constexpr ULONGLONG kEventsIntervalMs = 30;
constexpr int kNoteTop = 1560;

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
    lbl_notes = &Add<platform::Label>(IDC_DIST_NOTES, platform::TwipsRect{165, kNoteTop, 5640, 840}, L"",
                                      SS_EDITCONTROL);
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
    const std::vector<std::wstring> names =
        platform::ListFolder(lists::ListsFolder(), platform::EntryKind::Files, L"*.qvl");
    const int count = static_cast<int>(std::min<std::size_t>(names.size(), platform::kMaxListEntries));
    if (count == 0) {
        platform::ShowMessage(L"You have not created any distribution lists.  Please create one prior to "
                              L"attempting a distribution.",
                              platform::kErrorIcon, L"Nothing To Do!");
        platform::EndProgram();
    }
    for (int i = 0; i < count; ++i) {
        const std::wstring& name = names[static_cast<std::size_t>(i)];
        const std::wstring caption = name.substr(0, name.size() - std::min<std::size_t>(4, name.size()));
        if (i > 0) menu_qvl->Load(i, caption);
        else menu_qvl->SetCaption(0, caption);
    }
    list->PopUpAtPointer(*this);
}

void form_Dist::menu_qvl_Click(int index) {
    const std::wstring caption = menu_qvl->Caption(index);
    listFile_ = lists::ListPathOf(caption);
    if (!platform::FirstMatch(listFile_, platform::kAnyFiles).empty()) {
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
    destinations_ = lists::ListStore().Open(listFile_);
    Show();
    SetMenuBarVisible(false);
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
                                         L"File or Directory") == platform::kAnswerYes;
        folderAnswer_ = IsFolder;
    }
    return true;
}

void form_Dist::cmd_Cancel_Click() {
    Close();
    platform::EndProgram();
}

// ----- The run -----

void form_Dist::Distribute() {
    const RunRequest request{sources_, folderAnswer_, destinations_};
    const RunOutcome outcome = RunDistribution(request, *this);
    if (!copyShown_) ShowCopy();  // the last copy, exactly
    switch (outcome.end) {
    case RunOutcome::End::Refused: ShowRefused(outcome.refusal); return;
    case RunOutcome::End::Halted: ShowHalted(*outcome.failure); break;
    case RunOutcome::End::Completed:
        CommandLine.clear();  // every source taken
        ShowCompleted();
        break;
    }
    ShowNote(OutcomeNote(outcome));
}

void form_Dist::OnCopying(const std::wstring& source, const std::wstring& target) {
    copySource_ = source;
    copyTarget_ = target;
    copyShown_ = false;
    if (::GetTickCount64() - lastShown_ >= kShowIntervalMs) ShowCopy();
}

void form_Dist::ShowCopy() {
    lbl_Command->SetCaption(copySource_);
    lbl_Path->SetCaption(copyTarget_);
    lbl_Command->PaintNow();
    lbl_Path->PaintNow();
    copyShown_ = true;
    lastShown_ = ::GetTickCount64();
}

void form_Dist::OnProgress() {
    const ULONGLONG now = ::GetTickCount64();
    if (now - lastEvents_ < kEventsIntervalMs) return;
    lastEvents_ = now;
    platform::ProcessEvents();
}

// ----- End states -----

void form_Dist::ShowCompleted() {
    SetCaption(L"Finished");
    for (platform::Label* label : {lbl_Dist, lbl_Path, lbl_Command, Label1}) label->SetEnabled(false);
    lbl_status->SetVisible(true);
    lbl_status->SetTextColor(kPureBlue);
    lbl_status->SetCaption(L"Distribution Complete");
    cmd_Cancel->SetCaption(L"OK");
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
}

void form_Dist::ShowRefused(const std::wstring& message) {
    platform::ShowMessage(message, platform::kErrorIcon, kTitle);
    lbl_Dist->SetVisible(false);
    lbl_Command->SetVisible(false);
    lbl_Path->SetVisible(false);
    cmd_Cancel->SetCaption(L"OK");
    Label1->SetCaption(L"Distribution Halted");
}

// The note grows the window below the status line by as much as its text needs.
void form_Dist::ShowNote(const std::wstring& note) {
    if (note.empty()) return;
    lbl_notes->SetCaption(note);
    const int height = lbl_notes->TextHeightTwips();
    lbl_notes->SetPlace({165, kNoteTop, 5640, height});
    lbl_notes->SetVisible(true);
    PlaceFrameTwips({100, 100, 6030, 2070 + (kNoteTop - 1200) + height});
}

}  // namespace distribution
