// New content for a file, written beside it and moved over it only when complete.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/app.h"
#include "platform/handles.h"

namespace platform {

// Until Commit, the new content lives in a hidden temporary file in the target's folder, so a
// failure, a cancel or a killed process never leaves a partial file under the target's name and
// an existing target keeps its old content. A ReplacementFile that is not committed removes its
// temporary file when destroyed, and EndProgram removes it too.
class ReplacementFile final : private EndProgramCleanup {
public:
    // How Commit puts the content in place of a target that exists.
    enum class Replace {
        // One rename over it: the old file goes whole, with its permissions and streams.
        ByRename,
        // As the system's safe save (ReplaceFileW): the target keeps what its owner set on it,
        // its permissions, owner, creation time and alternate streams.
        KeepingTargetSettings,
    };
    // `targetMayExist` false: the caller knows that no file of the target's name exists (it has
    // just made its folder), and no time goes into looking for one.
    explicit ReplacementFile(const std::wstring& target, Replace replace = Replace::ByRename,
                             bool targetMayExist = true);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() override;

    const std::wstring& TemporaryPath() const noexcept { return temporary_; }
    HANDLE Handle() const noexcept { return file_.get(); }

    void Write(const void* data, std::size_t size);
    // Reserves room for the content up front (a hint; a file system may ignore it).
    void Reserve(std::uint64_t size) noexcept;
    // The attributes and times that the target will have (times may be null), set at Commit.
    void SetBasicInfo(DWORD attributes, const FILETIME* created, const FILETIME* accessed, const FILETIME* written);
    // Whether a file of the target's name existed when this replacement began.
    bool ReplacesExisting() const noexcept { return replacesExisting_; }
    // Moves the content over the target in one rename. With `flush` (the default), the content is
    // first written through to the disk, so that even a power loss leaves the old content or the
    // new one, never a part; without it the rename is as durable as the file system makes it.
    void Commit(bool flush = true);
    void Discard() noexcept;

private:
    void OnEndProgram() noexcept override { Discard(); }
    bool RenameOpenFile();

    std::wstring target_;
    Replace replace_;
    std::wstring temporary_;
    UniqueFile file_;
    bool replacesExisting_ = false;
    FILE_BASIC_INFO basicInfo_{};  // what the target gets at Commit
};

// A seam for fault tests: called with the temporary file's path after the content is written and
// flushed, just before the rename; what it throws aborts the replacement. Empty: no call.
void SetBeforeReplaceHook(std::function<void(const std::wstring& temporaryPath)> hook);

// The temporary files of ReplacementFile are named so; a folder listing can leave them out.
bool IsReplacementTemporaryName(const std::wstring& name);

// Removes from `folder` what writers of this program left there when they were killed: files of
// the temporaries' exact name form whose writing process no longer runs. A temporary of a process
// that runs (this one among them), a file of any other name, and one that cannot be deleted (open
// elsewhere) are left as they are. One listing of the folder, of the temporaries' names only.
// Never fails: what cannot be read or removed now waits for the next writer.
void RemoveLeftoverTemporaries(const std::wstring& folder) noexcept;

// Whether this user may make files in `folder`: a hidden temporary is made there and removed at
// once. Throws Failure with the system's reason when it cannot be made.
void CheckCanWriteInto(const std::wstring& folder);

// Writes `bytes` beside `path`, flushes them and moves them over `path` in one step: readers
// see the old content or the new one, never a part. Then removes the leftovers beside it.
void ReplaceFileContents(const std::wstring& path, std::string_view bytes);

}  // namespace platform
