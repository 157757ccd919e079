#include "platform/app.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "platform/dialogs.h"

namespace platform {
namespace {

std::vector<EndProgramCleanup*>& Cleanups() {
    static std::vector<EndProgramCleanup*> cleanups;
    return cleanups;
}

int g_topLevelWindows = 0;

// Keyboard navigation (Tab, Enter, Esc) for the window that has the message.
bool PreTranslate(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    return root && ::IsDialogMessageW(root, &msg);
}

}  // namespace

void DispatchEvent(MSG& msg) {
    if (PreTranslate(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

EndProgramCleanup::EndProgramCleanup() noexcept {
    try {
        Cleanups().push_back(this);
    } catch (...) {}
}

EndProgramCleanup::~EndProgramCleanup() {
    auto& cleanups = Cleanups();
    cleanups.erase(std::remove(cleanups.begin(), cleanups.end(), this), cleanups.end());
}

void NoSystemErrorBoxes() noexcept { ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

void ProcessEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The last window closed while work yielded here: nothing is left to show it or to
            // cancel it, so the program ends now (removing what the work left unfinished).
            if (g_topLevelWindows == 0) EndProgram(static_cast<unsigned>(msg.wParam));
            continue;  // a quit left over from an earlier last window
        }
        DispatchEvent(msg);
    }
}

void EndProgram(unsigned exitCode) noexcept {
    // Newest first: a nested operation is undone before the one that started it.
    auto& cleanups = Cleanups();
    while (!cleanups.empty()) {
        EndProgramCleanup* cleanup = cleanups.back();
        cleanups.pop_back();
        cleanup->OnEndProgram();
    }
    ::ExitProcess(exitCode);
}

int RunEventLoop() {
    MSG msg;
    while (g_topLevelWindows > 0) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return 1;
        if (got != 0) DispatchEvent(msg);  // 0: a quit left over from an earlier last window
    }
    return 0;
}

void TopLevelWindowOpened() noexcept { ++g_topLevelWindows; }

void TopLevelWindowClosed() noexcept {
    if (--g_topLevelWindows == 0) ::PostQuitMessage(0);
}

Failure CurrentExceptionAsFailure() noexcept {
    DWORD number = ERROR_INTERNAL_ERROR;
    try {
        try {
            throw;
        } catch (const Failure& failure) {
            return failure;
        } catch (const std::bad_alloc&) {
            number = ERROR_NOT_ENOUGH_MEMORY;
        } catch (...) {}
        return Failure(number, SystemErrorText(number));
    } catch (...) {
        return Failure(number, std::wstring());  // no memory left even for the text
    }
}

void FailAndEnd(const Failure& failure) noexcept {
    // The box runs a message loop of its own: a failure in a handler it calls (a paint that fails
    // again) must not open a second box inside the first.
    static bool ending = false;
    if (!std::exchange(ending, true)) {
        try {
            ShowStandardError(failure);
        } catch (...) {}
    }
    EndProgram(1);
}

}  // namespace platform
