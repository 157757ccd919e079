// The program's start: the Send To shortcut, the lists folder and the first window.
#pragma once

#include <string>

namespace startup {

// The Send To folder under the Windows folder; set by Main.
extern std::wstring SendToDir;

// Prepares the shortcut and the lists folder, then shows the list editor (empty command line) or
// the distribution window (any other).
void Main();

// Places the "Quorvander" shortcut to KELVARON.EXE in the user's Send To folder.
void CreateSendToShortcut();

// The whole life of the process: Main, then the windows' events until the last one closes.
int Run();

}  // namespace startup
