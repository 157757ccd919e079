// The distribution window: the list chooser, the source check and the run that copies the
// sources into every destination of the chosen list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "distribution/distribution_run.h"
#include "distribution/run_record.h"
#include "distribution/sources.h"
#include "platform/controls.h"
#include "platform/failure.h"
#include "platform/menus.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace distribution {

class DistributionWindow : public platform::Window, private RunObserver {
public:
    // Creates the window hidden and runs its load: the list menu (or the list the invocation
    // names) and, when a list is chosen, the whole distribution of the invocation's sources. The
    // window is then shown by its creator, unless it has closed. The program's exit code tells
    // what became of the run (see ExitCodeOf).
    explicit DistributionWindow(const Invocation& invocation);

private:
    void OnCreate() override;
    void OnCommand(int id, int notification, HWND control) override;
    bool OnCloseRequest() override;

    void ShowListMenu();
    void OnListChosen(int index);
    void BeginDistribution();
    bool CheckSource();
    void OnCancel();
    // Closes the window and ends the program with the run's exit code.
    [[noreturn]] void End();

    // The run, shown.
    void Distribute();
    bool OnChecksFailed(const std::wstring& problems) override;
    void OnCopying(const std::wstring& source, const std::wstring& target) override;
    bool OnProgress(const Progress& progress) override;
    void ShowCopy();
    void ShowProgress(const Progress& progress);
    void OnTaskbarButtonCreated() override;
    void ShowHalted(const platform::Failure& failure);
    // The end of a run: the caption, the status line in its colour, the button's new caption.
    void ShowEnd(const wchar_t* caption, COLORREF color, const wchar_t* status, const wchar_t* button);
    void ShowRefused(const std::wstring& message);
    void ShowNote(const std::wstring& note);

    std::wstring commandLine_;  // the sources' part
    std::optional<std::wstring> namedList_;
    std::optional<bool> folderAnswer_;  // the answer to the folder question, when it was asked
    std::vector<std::wstring> sources_;
    std::wstring listFile_;                   // the chosen list's file
    std::vector<std::wstring> destinations_;  // its entries
    RunRequestRecord record_;
    bool running_ = false, cancelRequested_ = false;
    int exitCode_ = 2;  // nothing done yet
    // The copy last told by the run, and when the labels and the events were last seen to.
    std::wstring copySource_, copyTarget_;
    bool copyShown_ = true;
    ULONGLONG lastShown_ = 0, lastEvents_ = 0;

    // Controls.
    platform::Label* sourceHeading_ = nullptr;
    platform::Label* sourceLabel_ = nullptr;
    platform::Label* targetHeading_ = nullptr;
    platform::Label* targetLabel_ = nullptr;
    platform::Button* cancelButton_ = nullptr;
    platform::Label* statusLabel_ = nullptr;
    platform::Label* noteLabel_ = nullptr;
    platform::ProgressBar* progressBar_ = nullptr;
    platform::Label* progressLabel_ = nullptr;
    std::optional<platform::TaskbarProgress> taskbar_;
    std::optional<platform::Menu> listMenu_;
    std::optional<platform::MenuItemArray> listItems_;
};

}  // namespace distribution
