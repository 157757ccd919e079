#include "platform/app.h"

#include <windows.h>

#include <algorithm>
#include <vector>

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

void Dispatch(MSG& msg) {
    if (PreTranslate(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

}  // namespace

EndProgramCleanup::EndProgramCleanup() noexcept {
    try {
        Cleanups().push_back(this);
    } catch (...) {
    }
}

EndProgramCleanup::~EndProgramCleanup() {
    auto& cleanups = Cleanups();
    cleanups.erase(std::remove(cleanups.begin(), cleanups.end(), this), cleanups.end());
}

void ProcessEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the event loop
            return;
        }
        Dispatch(msg);
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
    if (g_topLevelWindows == 0) return 0;
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        Dispatch(msg);
    }
    return static_cast<int>(msg.wParam);
}

void TopLevelWindowOpened() noexcept { ++g_topLevelWindows; }

void TopLevelWindowClosed() noexcept {
    if (--g_topLevelWindows == 0) ::PostQuitMessage(0);
}

}  // namespace platform
