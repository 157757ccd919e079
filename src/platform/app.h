// The program's life: its event loop, yielding to events during long work, and its end.
#pragma once

#include <windows.h>

#include "platform/failure.h"

namespace platform {

// The program's name, as its boxes are titled.
constexpr wchar_t kProgramTitle[] = L"Quorvander Utility";

// Something that must be undone before the process ends through EndProgram (a temporary file
// of a copy in progress). Registered for its lifetime.
class EndProgramCleanup {
public:
    EndProgramCleanup() noexcept;
    EndProgramCleanup(const EndProgramCleanup&) = delete;
    EndProgramCleanup& operator=(const EndProgramCleanup&) = delete;
    virtual ~EndProgramCleanup();
    virtual void OnEndProgram() noexcept = 0;
};

// From now on the system shows no box of its own for this process (no disk in a drive, a file it
// cannot open): the failure goes to the caller. For runs that nobody watches.
void NoSystemErrorBoxes() noexcept;

// Handles pending paint and input events before the caller goes on.
void ProcessEvents();

// Closes every window and ends the process at once, from anywhere (a nested event included),
// after the registered cleanups have run. The exit code is 0 unless a failure ends the program.
[[noreturn]] void EndProgram(unsigned exitCode = 0) noexcept;

// Runs the event loop until the last top-level window has closed; returns the exit code.
int RunEventLoop();

// Hands one message to its window, with the keyboard navigation of dialogs (Tab, Enter, Esc).
void DispatchEvent(MSG& msg);

// Top-level windows tell the program they exist; when the last one goes, the loop ends.
void TopLevelWindowOpened() noexcept;
void TopLevelWindowClosed() noexcept;

// Shows the standard error message and ends the program. Used by the boundary below.
[[noreturn]] void FailAndEnd(const Failure& failure) noexcept;

// The boundary that every window procedure, dialog procedure and other Win32 callback goes
// through: runs `body`, and turns any exception that escapes it into the standard error
// message and a clean end of the program. No exception ever crosses into Win32.
template <typename Body>
auto Guarded(Body&& body) noexcept -> decltype(body());

// The exception being handled, as a Failure (a foreign exception gets a generic one).
Failure CurrentExceptionAsFailure() noexcept;

template <typename Body>
auto Guarded(Body&& body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        FailAndEnd(CurrentExceptionAsFailure());
    }
}

}  // namespace platform
