// A window built from the platform's controls, menus and dialogs, for end-to-end tests of the
// platform itself: each command runs one service and appends what it gave to a log file.
//
//   platform_probe.exe LOG FOLDER
//
// The window "Platform Probe" holds a list box (id 10), a folder list (11) at FOLDER, a drive list
// (13) and a label (14) that follows the folder list. Its menu bar has
// "Actions" and "Lists"; the commands (WM_COMMAND ids) are:
//   100 ShowMessage("Line one" CR "Line two", 36, "Probe Question")  -> "message <answer>"
//   101 AskText("Enter a name:", "Probe Ask")                        -> "ask [<answer>]"
//   102 the open-file dialog ("Kelvaron Files|*.QVL", "Probe Open", FOLDER, flags 4)
//                                                                      -> "open [<path>] [<title>]"
//   103 pops up the "Lists" menu                                      -> "chose <i> <caption>" from
//       the element's handler, then "popup returned"
//   104 loads the elements "Office" and "Servers" and renames element 0 "Alpha"
//   105 EndProgram
//   106 a failure nobody handles (number 5)
//   107 / 108 hides / shows the menu bar
//   500 + i element i of the "Lists" item array                       -> "chose <i> <caption>"
// A change of the folder list logs "folder <path>"; a drive chosen logs "drive <X:>".

#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/failure.h"
#include "platform/menus.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

std::wstring g_logPath;
std::wstring g_folder;

void Log(const std::wstring& line) {
    FILE* log = _wfopen(g_logPath.c_str(), L"ab");
    if (!log) return;
    const std::string bytes = platform::ToUtf8(line + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), log);
    std::fclose(log);
}

class ProbeWindow : public platform::Window {
public:
    ProbeWindow() {
        platform::MenuBar bar;
        actions_.emplace(bar.AddEntry(L"Actions"));
        actions_->Append(100, L"Message");
        actions_->Append(101, L"Ask");
        actions_->Append(102, L"Open");
        listsMenu_.emplace(bar.AddEntry(L"Lists"));
        lists_.emplace(*listsMenu_, 500, L"Files");
        Create(L"Quorvander.PlatformProbe", L"Platform Probe", 6000, 5000,
               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, bar.Release());
    }

private:
    void OnCreate() override {
        Add<platform::ListBoxControl>(10, platform::TwipsRect{120, 120, 2000, 1200});
        folders_ = &Add<platform::FolderListControl>(11, platform::TwipsRect{2200, 120, 3600, 1800});
        drives_ = &Add<platform::DriveListControl>(13, platform::TwipsRect{2200, 2000, 3600, 315});
        path_ = &Add<platform::Label>(14, platform::TwipsRect{120, 3200, 5700, 480});
        folders_->OnChange([this] {
            path_->SetCaption(folders_->Path());
            Log(L"folder " + folders_->Path());
        });
        drives_->OnChange([this] {
            Log(L"drive " + drives_->Drive());
            folders_->SetPath(drives_->Drive());
        });
        folders_->SetPath(g_folder);
        drives_->SetDrive(g_folder);
    }

    void OnCommand(int id, int, HWND) override {
        switch (id) {
        case 100:
            Log(L"message " + std::to_wstring(platform::ShowMessage(L"Line one\rLine two", 36, L"Probe Question")));
            break;
        case 101:
            Log(L"ask [" + platform::AskText(L"Enter a name:", L"Probe Ask") + L"]");
            break;
        case 102: {
            const auto choice = platform::ShowOpenFile({L"Kelvaron Files|*.QVL", L"Probe Open", g_folder, 4});
            Log(L"open [" + choice.path + L"] [" + choice.fileTitle + L"]");
            break;
        }
        case 103:
            listsMenu_->PopUpAtPointer(*this);
            Log(L"popup returned");
            break;
        case 104:
            lists_->Load(1, L"Office");
            lists_->Load(2, L"Servers");
            lists_->SetCaption(0, L"Alpha");
            break;
        case 105:
            platform::EndProgram();
        case 106:
            throw platform::Failure(5, platform::SystemErrorText(5));
        case 107:
            SetMenuBarVisible(false);
            break;
        case 108:
            SetMenuBarVisible(true);
            break;
        default:
            if (const int index = lists_->IndexOf(id); index >= 0)
                Log(L"chose " + std::to_wstring(index) + L" " + lists_->Caption(index));
        }
    }

    std::optional<platform::Menu> actions_;
    std::optional<platform::Menu> listsMenu_;
    std::optional<platform::MenuItemArray> lists_;
    platform::FolderListControl* folders_ = nullptr;
    platform::DriveListControl* drives_ = nullptr;
    platform::Label* path_ = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: platform_probe LOG FOLDER\n", stderr);
        return 2;
    }
    g_logPath = argv[1];
    g_folder = argv[2];
    platform::ComApartment com;
    std::unique_ptr<ProbeWindow> window;
    platform::Guarded([&] {
        window = std::make_unique<ProbeWindow>();
        window->Show();
    });
    return platform::RunEventLoop();
}
