#include "lists/list_store.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <unordered_set>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/folder_listing.h"
#include "platform/replacement_file.h"
#include "platform/text.h"

namespace lists {
namespace {

using Entries = std::vector<std::wstring>;
using Keys = std::unordered_set<std::wstring>;

Keys KeysOf(const Entries& entries) {
    Keys keys;
    keys.reserve(entries.size());
    for (const auto& entry : entries) keys.insert(platform::CaseFolded(entry));
    return keys;
}

// `theirs` with what this side removed from `base` taken out and what it added put at the end.
Entries Merged(const Entries& base, const Entries& theirs, const Entries& ours) {
    const Keys baseKeys = KeysOf(base), ourKeys = KeysOf(ours);
    Entries merged;
    Keys mergedKeys;
    for (const auto& entry : theirs) {
        std::wstring key = platform::CaseFolded(entry);
        if (baseKeys.count(key) && !ourKeys.count(key)) continue;
        mergedKeys.insert(std::move(key));
        merged.push_back(entry);
    }
    for (const auto& entry : ours) {
        std::wstring key = platform::CaseFolded(entry);
        if (baseKeys.count(key) || mergedKeys.count(key)) continue;
        mergedKeys.insert(std::move(key));
        merged.push_back(entry);
    }
    return merged;
}

}  // namespace

std::wstring ListsFolder() { return platform::ProgramFolder() + L"\\Distribution Lists"; }

std::wstring ListPathOf(const std::wstring& name) { return ListsFolder() + L"\\" + name + kListExtension; }

std::vector<std::wstring> ListNames() {
    std::vector<std::wstring> names =
        platform::ListFolder(ListsFolder(), platform::EntryKind::Files, std::wstring(L"*") + kListExtension);
    for (auto& name : names) name.resize(name.size() - std::min(name.size(), std::size(kListExtension) - 1));
    return names;
}

Entries DistinctEntries(const Entries& lines) {
    Entries entries;
    Keys seen;
    for (const auto& line : lines) {
        if (!line.empty() && seen.insert(platform::CaseFolded(line)).second) entries.push_back(line);
    }
    return entries;
}

std::optional<std::string> ListStore::ReadBytes() const {
    try {
        return platform::ReadWholeFile(path_);
    } catch (const platform::Failure& failure) {
        if (failure.Number() == ERROR_FILE_NOT_FOUND || failure.Number() == ERROR_PATH_NOT_FOUND) return std::nullopt;
        throw;
    }
}

Entries ListStore::Open(const std::wstring& path) {
    ListStore opened(path);
    opened.known_ = opened.ReadBytes();
    ListText text = opened.known_ ? DecodeListFile(*opened.known_) : ListText{};
    opened.coding_ = text.coding;
    *this = std::move(opened);
    return DistinctEntries(text.lines);
}

void ListStore::OpenNew(const std::wstring& path) {
    ListStore opened(path);
    opened.known_ = opened.ReadBytes();
    *this = std::move(opened);
}

void ListStore::Close() { *this = ListStore(); }

ListStore::Saved ListStore::Save(const Entries& entries) {
    Saved saved;
    if (path_.empty()) return saved;
    const std::optional<std::string> now = ReadBytes();
    if (now != known_) {
        // Changed elsewhere: the base is what this store last saw, and the file's coding is now
        // the one its last writer chose.
        const ListText base = known_ ? DecodeListFile(*known_) : ListText{};
        const ListText theirs = now ? DecodeListFile(*now) : ListText{};
        if (now) coding_ = theirs.coding;
        saved.entries = Merged(DistinctEntries(base.lines), DistinctEntries(theirs.lines), DistinctEntries(entries));
        saved.tookInChanges = true;
    } else {
        saved.entries = DistinctEntries(entries);
    }
    if (saved.entries.empty()) {
        if (now) platform::RemoveFile(path_);
        known_.reset();
        return saved;
    }
    std::string bytes = EncodeListFile(saved.entries, coding_);
    platform::ReplaceFileContents(path_, bytes);
    known_ = std::move(bytes);
    return saved;
}

}  // namespace lists
