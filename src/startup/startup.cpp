#include "startup/startup.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "distribution/distribution_window.h"
#include "distribution/sources.h"
#include "distribution/unattended_run.h"
#include "lists/list_editor.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace startup {

void CreateSendToShortcut() {
    const std::wstring target = platform::ProgramFolder() + L"\\" + L"KELVARON.EXE";
    try {
        platform::CreateShellLink(L"..\\..\\SendTo", L"Quorvander", target, L"");
    } catch (const platform::Failure&) {
        // Like the setup library's result, a shortcut that could not be made is not reported:
        // the program works without it, and the next start tries again.
    }
}

void PrepareFolders() {
    const std::wstring sendToFolder = platform::EnvironmentValue(L"WinDir") + L"\\SendTo";
    if (!platform::FileExists(sendToFolder + L"\\QUORVA~1.LNK")) CreateSendToShortcut();
    const std::wstring listsFolder = lists::ListsFolder();
    // Whatever has that name already (a file, a hidden or system entry) is left as it is:
    // making the folder over it would fail and stop every start.
    if (platform::KindOf(listsFolder) == platform::PathKind::Nothing) platform::MakeFolder(listsFolder);
}

std::unique_ptr<platform::Window> Main(const distribution::Invocation& invocation) {
    PrepareFolders();
    if (!invocation.problem.empty()) {
        platform::ShowMessage(invocation.problem, platform::kErrorIcon, platform::kProgramTitle);
        platform::EndProgram(2);
    }
    if (invocation.sources.empty() && !invocation.list) {
        auto editor = std::make_unique<lists::ListEditor>();
        editor->Show();
        return editor;
    }
    // Its load runs the list menu and, when a list is chosen, the whole distribution; a window
    // that closed meanwhile (a source refused) is not shown.
    auto distribution = std::make_unique<distribution::DistributionWindow>(invocation);
    distribution->Show();
    return distribution;
}

int Run() {
    platform::ComApartment com;
    const distribution::Invocation invocation =
        platform::Guarded([] { return distribution::ReadInvocation(platform::CommandLineText()); });
    if (invocation.quiet) {
        try {
            PrepareFolders();                 // the record goes to the lists folder
        } catch (const platform::Failure&) {  // no box: the record then says nothing, the exit code all
        }
        return distribution::RunUnattended(invocation);
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The window lives as long as the program's events run.
    const std::unique_ptr<platform::Window> window = platform::Guarded([&] { return Main(invocation); });
    return platform::RunEventLoop();
}

}  // namespace startup
