#include "startup/startup.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "distribution/form_dist.h"
#include "lists/form_main.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/shell.h"

namespace startup {

std::wstring SendToDir;

namespace {

// The window that Main shows lives as long as the process.
std::unique_ptr<lists::form_Main> g_editor;
std::unique_ptr<distribution::form_Dist> g_distribution;

}  // namespace

void CreateSendToShortcut() {
    const std::wstring target = platform::ProgramFolder() + L"\\" + L"KELVARON.EXE";
    try {
        platform::CreateShellLink(L"..\\..\\SendTo", L"Quorvander", target, L"");
    } catch (const platform::Failure&) {
        // Like the setup library's result, a shortcut that could not be made is not reported:
        // the program works without it, and the next start tries again.
    }
}

void Main() {
    SendToDir = platform::EnvironmentValue(L"WinDir") + L"\\SendTo";
    if (platform::FirstMatch(SendToDir + L"\\QUORVA~1.LNK", platform::kPlainFiles).empty())
        CreateSendToShortcut();
    const std::wstring listsFolder = lists::ListsFolder();
    // Whatever has that name already (a file, a hidden or system entry) is left as it is:
    // making the folder over it would fail and stop every start.
    if (platform::KindOf(listsFolder) == platform::PathKind::Nothing) platform::MakeFolder(listsFolder);
    if (platform::CommandLineText().empty()) {
        g_editor = std::make_unique<lists::form_Main>();
        g_editor->Show();
    } else {
        // Its load runs the list menu and, when a list is chosen, the whole distribution; a window
        // that closed meanwhile (a source refused) is not shown.
        g_distribution = std::make_unique<distribution::form_Dist>();
        g_distribution->Show();
    }
}

int Run() {
    platform::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    platform::Guarded([] { Main(); });
    return platform::RunEventLoop();
}

}  // namespace startup
