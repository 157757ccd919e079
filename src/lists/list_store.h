// A list file as one window holds it: read, saved in one step, and changes made to it elsewhere
// (another editor, Notepad) taken in instead of overwritten.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lists/list_file.h"

namespace lists {

// The extension of list files.
constexpr wchar_t kListExtension[] = L".qvl";
// The program's "Distribution Lists" folder, without a trailing backslash.
std::wstring ListsFolder();
// The file of the list named `name` in the lists folder.
std::wstring ListPathOf(const std::wstring& name);
// The names of the lists in the lists folder (their file names less the extension), by name.
std::vector<std::wstring> ListNames();

// The entries of a list's lines: each non-empty line once, the first of those equal to it
// (letter case ignored) in its place.
std::vector<std::wstring> DistinctEntries(const std::vector<std::wstring>& lines);

class ListStore {
public:
    ListStore() = default;
    explicit ListStore(std::wstring path) : path_(std::move(path)) {}

    // The full path of the list file; empty while no list is open.
    const std::wstring& Path() const noexcept { return path_; }

    // Opens the list file at `path` and gives its entries; a missing file holds none. Throws
    // Failure, and stays as it was, when the file cannot be read or holds no text.
    std::vector<std::wstring> Open(const std::wstring& path);
    // Opens `path` as a new, empty list: the first save replaces whatever the file holds now.
    void OpenNew(const std::wstring& path);
    void Close();

    struct Saved {
        std::vector<std::wstring> entries;  // what the file holds now
        bool tookInChanges = false;         // changes made elsewhere were taken in
    };
    // Writes `entries` (each once) to the file in one step, in the coding it was read in; an
    // empty list deletes the file. When the file changed since it was opened or last saved
    // here, the result holds those changes too: what was added or removed elsewhere stays so,
    // and so does what was added or removed here. Throws Failure when the file cannot be read
    // or written (it is then as it was). With no list open, does nothing.
    Saved Save(const std::vector<std::wstring>& entries);

private:
    // The file's bytes, or nothing when there is no file.
    std::optional<std::string> ReadBytes() const;

    std::wstring path_;
    ListCoding coding_ = ListCoding::Ansi;
    std::optional<std::string> known_;  // the file as this store last read or wrote it
};

}  // namespace lists
