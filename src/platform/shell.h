// The Windows shell: special folders and shortcuts.
#pragma once

#include <string>

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

// The user's Start Menu "Programs" folder.
std::wstring StartMenuProgramsFolder();

// Creates (or replaces) the shortcut `name`.lnk in `folder`, which may be relative to the user's
// Start Menu "Programs" folder (as "..\..\SendTo" is). It starts `target` with `arguments`, in
// the target's own folder. Throws Failure when the shortcut cannot be written.
void CreateShellLink(const std::wstring& folder, const std::wstring& name, const std::wstring& target,
                     const std::wstring& arguments);

}  // namespace platform
