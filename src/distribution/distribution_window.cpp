#include "distribution/distribution_window.h"

#include <algorithm>

#include "distribution/sources.h"
#include "distribution/unattended_run.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "resources/resource_ids.h"

namespace distribution {
namespace {

constexpr COLORREF kPureBlue = 0x00FF0000;  // 0x00BBGGRR
constexpr COLORREF kPureRed = 0x000000FF;
const platform::FontSpec kHeadingFont{L"MS Sans Serif", 825, true};
const platform::FontSpec kStatusFont{L"MS Sans Serif", 1200, true};

// The labels name the copy under way at most this often; the final state is always exact.
constexpr ULONGLONG kShowIntervalMs = 50;
// Between two files, pending events (a Cancel, a repaint) are handled at most this often.
constexpr ULONGLONG kEventsIntervalMs = 30;
// The progress goes below the window's first controls, which grows by this much.
constexpr int kProgressTop = 1680;
constexpr int kProgressRoom = 660;
constexpr int kFrameHeight = 2070 + kProgressRoom;
constexpr int kNoteTop = 1560 + kProgressRoom;

}  // namespace

DistributionWindow::DistributionWindow(const Invocation& invocation)
    : commandLine_(invocation.sources), namedList_(invocation.list) {
    platform::MenuBar bar;
    listMenu_.emplace(bar.AddEntry(L"List"));
    listItems_.emplace(*listMenu_, IDM_LIST_FIRST, L"Files");
    Create(L"Quorvander.Distribution", L"Distributing ", 5910, 3765,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, bar.Release(), nullptr, IDI_DISTRIBUTION);
    if (!namedList_) {
        ShowListMenu();
        return;
    }
    if (const std::wstring problem = ListProblem(*namedList_); !problem.empty()) {
        platform::ShowMessage(problem, platform::kErrorIcon, platform::kProgramTitle);
        End();
    }
    listFile_ = lists::ListPathOf(*namedList_);
    BeginDistribution();
}

void DistributionWindow::OnCreate() {
    sourceHeading_ =
        &Add<platform::Label>(IDC_DIST_HEADING, platform::TwipsRect{90, 75, 1395, 195}, L"Distributing File:");
    sourceLabel_ =
        &Add<platform::Label>(IDC_DIST_SOURCE, platform::TwipsRect{1545, 30, 4245, 285}, L"", SS_PATHELLIPSIS);
    targetHeading_ = &Add<platform::Label>(IDC_DIST_TARGET_HEADING, platform::TwipsRect{90, 465, 1770, 195},
                                           L"Pushing to Location:");
    targetLabel_ =
        &Add<platform::Label>(IDC_DIST_TARGET, platform::TwipsRect{90, 720, 5715, 285}, L"", SS_PATHELLIPSIS);
    cancelButton_ = &Add<platform::Button>(IDC_DIST_CANCEL, platform::TwipsRect{4590, 1095, 1215, 495}, L"Cancel");
    statusLabel_ = &Add<platform::Label>(IDC_DIST_STATUS, platform::TwipsRect{165, 1200, 4395, 285});
    noteLabel_ =
        &Add<platform::Label>(IDC_DIST_NOTES, platform::TwipsRect{165, kNoteTop, 5640, 840}, L"", SS_EDITCONTROL);
    progressBar_ = &Add<platform::ProgressBar>(IDC_DIST_PROGRESS, platform::TwipsRect{90, kProgressTop, 5715, 225});
    progressLabel_ =
        &Add<platform::Label>(IDC_DIST_PROGRESS_TEXT, platform::TwipsRect{90, kProgressTop + 285, 5715, 195});
    sourceHeading_->SetFont(kHeadingFont);
    targetHeading_->SetFont(kHeadingFont);
    statusLabel_->SetFont(kStatusFont);
    statusLabel_->SetTextColor(kPureBlue);
    statusLabel_->SetVisible(false);
    noteLabel_->SetVisible(false);
}

void DistributionWindow::OnCommand(int id, int, HWND) {
    if (id == IDC_DIST_CANCEL || id == IDCANCEL) {
        OnCancel();
        return;
    }
    if (listItems_) {
        if (const int index = listItems_->IndexOf(id); index >= 0) OnListChosen(index);
    }
}

bool DistributionWindow::OnCloseRequest() {
    OnCancel();  // the close box ends the program as the button does
    return false;
}

void DistributionWindow::ShowListMenu() {
    const std::vector<std::wstring> names = lists::ListNames();
    const int count = static_cast<int>(std::min<std::size_t>(names.size(), platform::kMaxListEntries));
    if (count == 0) {
        platform::ShowMessage(
            L"You have not created any distribution lists.  Please create one prior to "
            L"attempting a distribution.",
            platform::kErrorIcon, L"Nothing To Do!");
        End();
    }
    for (int i = 0; i < count; ++i) {
        const std::wstring& caption = names[static_cast<std::size_t>(i)];
        if (i > 0)
            listItems_->Load(i, caption);
        else
            listItems_->SetCaption(0, caption);
    }
    listMenu_->PopUpAtPointer(*this);
}

void DistributionWindow::OnListChosen(int index) {
    const std::wstring caption = listItems_->Caption(index);
    namedList_ = caption;
    listFile_ = lists::ListPathOf(caption);
    if (platform::FileExists(listFile_)) {
        BeginDistribution();
        return;
    }
    platform::ShowMessage(
        L"A Valid Distribution list was not found.  Please run this application from the Start "
        L"Menu first, create a distribution list, then attempt this action again.",
        platform::kInformationIcon, platform::kProgramTitle);
}

void DistributionWindow::BeginDistribution() {
    PlaceFrameTwips({100, 100, 6030, kFrameHeight});
    if (!CheckSource()) End();
    destinations_ = lists::ListStore().Open(listFile_);
    Show();
    SetMenuBarVisible(false);
    taskbar_.emplace(*this);
    Distribute();
}

bool DistributionWindow::CheckSource() {
    folderAnswer_.reset();
    sources_ = SplitSources(commandLine_);
    if (sources_.empty() || !LooksAbsolute(sources_.front())) return false;
    const bool anyPoint = std::any_of(sources_.begin(), sources_.end(), [](const std::wstring& source) {
        return source.find(L'.') != std::wstring::npos;
    });
    if (!anyPoint) {
        std::wstring shown;
        for (const auto& source : sources_) shown += (shown.empty() ? L"" : L" ") + source;
        folderAnswer_ =
            platform::ShowMessage(L"is '" + shown + L"' a Directory?", platform::kQuestionIcon + platform::kYesNo,
                                  L"File or Directory") == platform::kAnswerYes;
    }
    return true;
}

void DistributionWindow::OnCancel() {
    // During the run: the run ends at its next step, and the copy under way at its next chunk.
    if (running_)
        cancelRequested_ = true;
    else
        End();
}

void DistributionWindow::End() {
    Close();
    platform::EndProgram(static_cast<unsigned>(exitCode_));
}

// ----- The run -----

void DistributionWindow::Distribute() {
    record_ = {platform::LocalTimeText(), namedList_.value_or(L""), sources_};
    running_ = true;
    const RunOutcome outcome = RunDistribution({sources_, folderAnswer_, destinations_}, *this);
    running_ = false;
    exitCode_ = ExitCodeOf(outcome);
    const std::wstring recordProblem = AddToRecord(record_, outcome);
    if (outcome.end == RunOutcome::End::Cancelled || outcome.end == RunOutcome::End::Stopped) {
        // The window goes at once: what the note line would say, a box says.
        if (!recordProblem.empty())
            platform::ShowMessage(recordProblem, platform::kWarningIcon, platform::kProgramTitle);
        End();
    }
    if (outcome.end == RunOutcome::End::Refused) {
        ShowRefused(outcome.refusal);
        ShowNote(recordProblem);
        return;
    }
    if (!copyShown_) ShowCopy();  // the last copy, exactly
    ShowProgress(outcome.progress);
    switch (outcome.end) {
    case RunOutcome::End::Halted:
        progressBar_->ShowHalted();
        taskbar_->ShowHalted();
        ShowHalted(*outcome.failure);
        break;
    default:
        taskbar_->Clear();
        ShowEnd(L"Finished", kPureBlue, L"Distribution Complete", L"OK");
        break;
    }
    const std::wstring note = OutcomeNote(outcome);
    ShowNote(recordProblem.empty() ? note : note.empty() ? recordProblem : note + L"\r\n" + recordProblem);
}

bool DistributionWindow::OnChecksFailed(const std::wstring& problems) {
    return platform::ShowMessage(L"These destinations cannot take this distribution:\r\r" + problems +
                                     L"\rDistribute to the other destinations?  No stops with nothing copied.",
                                 platform::kWarningIcon + platform::kYesNo,
                                 L"Before Distributing") == platform::kAnswerYes;
}

void DistributionWindow::OnCopying(const std::wstring& source, const std::wstring& target) {
    copySource_ = source;
    copyTarget_ = target;
    copyShown_ = false;
    if (::GetTickCount64() - lastShown_ >= kShowIntervalMs) ShowCopy();
}

void DistributionWindow::ShowCopy() {
    sourceLabel_->SetCaption(copySource_);
    targetLabel_->SetCaption(copyTarget_);
    sourceLabel_->PaintNow();
    targetLabel_->PaintNow();
    copyShown_ = true;
    lastShown_ = ::GetTickCount64();
}

bool DistributionWindow::OnProgress(const Progress& progress) {
    const ULONGLONG now = ::GetTickCount64();
    if (now - lastEvents_ >= kEventsIntervalMs) {
        lastEvents_ = now;
        ShowProgress(progress);
        platform::ProcessEvents();
    }
    return !cancelRequested_;
}

void DistributionWindow::OnTaskbarButtonCreated() {
    if (taskbar_) taskbar_->ShowAgain();
}

void DistributionWindow::ShowProgress(const Progress& progress) {
    const bool byBytes = progress.bytesTotal > 0;
    const std::uint64_t done = byBytes ? progress.bytesDone : progress.filesDone;
    const std::uint64_t total = byBytes ? progress.bytesTotal : progress.filesTotal;
    progressBar_->SetProgress(done, total);
    taskbar_->Show(done, total);
    progressLabel_->SetCaption(ProgressText(progress));
    progressLabel_->PaintNow();
}

// ----- End states -----

void DistributionWindow::ShowHalted(const platform::Failure& failure) {
    platform::ShowMessage(
        L"The Quorvander Utility was unable to complete your request.  The system has returned "
        L"this error:\r\r" +
            failure.Description(),
        platform::kErrorIcon, L"Error received: " + std::to_wstring(failure.Number()));
    ShowEnd(L"Incomplete", kPureRed, L"Distribution Halted", L"EXIT");
}

void DistributionWindow::ShowEnd(const wchar_t* caption, COLORREF color, const wchar_t* status, const wchar_t* button) {
    SetCaption(caption);
    for (platform::Label* label : {sourceHeading_, targetLabel_, sourceLabel_, targetHeading_})
        label->SetEnabled(false);
    statusLabel_->SetVisible(true);
    statusLabel_->SetTextColor(color);
    statusLabel_->SetCaption(status);
    cancelButton_->SetCaption(button);
}

void DistributionWindow::ShowRefused(const std::wstring& message) {
    platform::ShowMessage(message, platform::kErrorIcon, platform::kProgramTitle);
    for (platform::Control* control : std::initializer_list<platform::Control*>{
             sourceHeading_, sourceLabel_, targetLabel_, progressBar_, progressLabel_})
        control->SetVisible(false);
    cancelButton_->SetCaption(L"OK");
    targetHeading_->SetCaption(L"Distribution Halted");
}

// The note grows the window below the status line by as much as its text needs.
void DistributionWindow::ShowNote(const std::wstring& note) {
    if (note.empty()) return;
    noteLabel_->SetCaption(note);
    const int height = noteLabel_->TextHeightTwips();
    noteLabel_->SetPlace({165, kNoteTop, 5640, height});
    noteLabel_->SetVisible(true);
    PlaceFrameTwips({100, 100, 6030, kFrameHeight + 360 + height});
}

}  // namespace distribution
