// The current list and the procedures that move a list between its file and a list control.
#pragma once

#include <string>

#include "platform/controls.h"

namespace lists {

// The full path of the current list file; empty while no list is open.
extern std::wstring ListFile;
// The current list file's name with its extension, for the list editor's caption.
extern std::wstring ListTitle;

// The program's "Distribution Lists" folder, without a trailing backslash.
std::wstring ListsFolder();
// The file of the list named `name` in the lists folder.
std::wstring ListPathOf(const std::wstring& name);

// Appends the entries of ListFile to `list`, each distinct line once (letter case ignored), then
// sets the list editor's caption to "Quorvander - " and ListTitle. A missing file adds nothing.
// A file of more entries than a list can hold is read up to that count, and a message says how
// many were left out.
void FillList(platform::ListBoxControl& list);

// Appends `path` to `list` unless an entry equal to it (letter case ignored) is there already,
// which is then selected. An empty path changes nothing.
void AddUnique(platform::ListBoxControl& list, const std::wstring& path);

// Writes the entries of `list` to ListFile in one step, so that the old list or the new one is
// there at any moment; an empty list deletes the file. With no list open, does nothing.
void SaveList(const platform::ListBoxControl& list);

// The list editor registers its window here; FillList sets that window's caption.
void SetEditorWindow(platform::Window* editor) noexcept;

}  // namespace lists
