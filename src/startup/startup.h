// The program's start: the Send To shortcut, the lists folder and the first window.
#pragma once

#include <memory>

#include "distribution/sources.h"
#include "platform/window.h"

namespace startup {

// Prepares the shortcut and the lists folder, then shows the list editor (no sources and no list
// named) or the distribution window and gives it to the caller, who keeps it while events run.
// Switches that are not understood end the program with a message and exit code 2.
std::unique_ptr<platform::Window> Main(const distribution::Invocation& invocation);

// Makes the Send To shortcut and the lists folder where they are missing.
void PrepareFolders();

// Places the "Quorvander" shortcut to KELVARON.EXE in the user's Send To folder.
void CreateSendToShortcut();

// The whole life of the process: Main, then the windows' events until the last one closes; or,
// with /quiet, an unattended run alone. Returns the exit code.
int Run();

}  // namespace startup
