// The program's own file copy.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#undef CopyFile  // the program's CopyFile below, not the Win32 macro

namespace platform {

// Copies `source` to `target` (both full file paths), replacing a target that exists. The content
// goes in chunks of 128 KiB into a temporary file in the target's folder, which is moved over the
// target only when complete, with the source's times and attributes but for read-only (so that
// the copy can be replaced by the next one). A replaced target keeps what its owner set on it
// (permissions, owner, alternate streams); one that is read-only, a folder, or held open by
// another program without leave to delete it fails at once, before anything is written. A
// failed, cancelled or killed copy never leaves a partial file under the target's name, and an
// existing target keeps its old content until then (flushed to the disk before the rename, the
// new content of a target that existed replaces the old one whole even through a power loss).
// Between chunks the program handles its pending events (ProcessEvents), so a window repaints
// and a Cancel click is seen within a fraction of a second even during a long file. Throws
// Failure with the system's number and text; no temporary file is left behind then.
//
// `target` in a folder that the caller has just made: no file of its name can be there yet, and
// the copy does not look for one (under Wine every look in a large folder reads the whole folder).
enum class TargetFolder { MayHoldIt, JustMade };

// Told after each chunk how far the copy of one file is; false cancels the copy, which then
// throws Failure 1223 (ERROR_CANCELLED) and leaves every file as it was.
class CopyProgress {
public:
    virtual ~CopyProgress() = default;
    virtual bool OnChunk(std::uint64_t copied) = 0;
};

void CopyFile(const std::wstring& source, const std::wstring& target, TargetFolder folder = TargetFolder::MayHoldIt,
              CopyProgress* progress = nullptr);

// What CopyFile calls between chunks instead of ProcessEvents, with the bytes copied so far of
// the current file (for tests and benchmarks). An empty function restores the default.
void SetCopyYield(std::function<void(std::uint64_t copied, std::uint64_t total)> yield);

}  // namespace platform
