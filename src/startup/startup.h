// The program's start: the Send To shortcut, the lists folder and the first window.
#pragma once

#include <memory>

#include "platform/window.h"

namespace startup {

// Prepares the shortcut and the lists folder, then shows the list editor (empty command line) or
// the distribution window (any other) and gives it to the caller, who keeps it while events run.
std::unique_ptr<platform::Window> Main();

// Places the "Quorvander" shortcut to KELVARON.EXE in the user's Send To folder.
void CreateSendToShortcut();

// The whole life of the process: Main, then the windows' events until the last one closes.
int Run();

}  // namespace startup
