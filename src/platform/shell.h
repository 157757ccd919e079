// The Windows shell: special folders and shortcuts.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <cstdint>
#include <string>

#include "platform/handles.h"
#include "platform/window.h"

namespace platform {

// COM for this thread (the shell link and the common dialogs need it), for the object's life.
class ComApartment {
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

private:
    bool initialised_;
};

// The progress that a window's taskbar button shows, green while the work goes on and red when
// it halted. Where the shell offers no taskbar button progress, it shows nothing.
class TaskbarProgress {
public:
    explicit TaskbarProgress(const Window& window) noexcept;
    void Show(std::uint64_t done, std::uint64_t total) noexcept;
    void ShowHalted() noexcept;
    // No progress shown any more.
    void Clear() noexcept;
    // Shows the last state again: what was shown before the button existed was lost.
    void ShowAgain() noexcept;

private:
    enum class State { Going, Halted, None };
    HWND window_;
    ComPtr<ITaskbarList3> taskbar_;
    std::uint64_t done_ = 0, total_ = 0;
    State state_ = State::None;
};

// The user's Start Menu "Programs" folder.
std::wstring StartMenuProgramsFolder();

// Creates (or replaces) the shortcut `name`.lnk in `folder`, which may be relative to the user's
// Start Menu "Programs" folder (as "..\..\SendTo" is). It starts `target` with `arguments`, in
// the target's own folder. Throws Failure when the shortcut cannot be written.
void CreateShellLink(const std::wstring& folder, const std::wstring& name, const std::wstring& target,
                     const std::wstring& arguments);

}  // namespace platform
