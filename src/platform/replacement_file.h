// New content for a file, written beside it and moved over it only when complete.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "platform/app.h"
#include "platform/handles.h"

namespace platform {

// Until Commit, the new content lives in a hidden temporary file in the target's folder, so a
// failure, a cancel or a killed process never leaves a partial file under the target's name and
// an existing target keeps its old content. A ReplacementFile that is not committed removes its
// temporary file when destroyed, and EndProgram removes it too.
class ReplacementFile final : private EndProgramCleanup {
public:
    explicit ReplacementFile(std::wstring target);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile() override;

    const std::wstring& TemporaryPath() const noexcept { return temporary_; }
    HANDLE Handle() const noexcept { return file_.get(); }

    void Write(const void* data, std::size_t size);
    // Reserves room for the content up front (a hint; a file system may ignore it).
    void Reserve(std::uint64_t size) noexcept;
    // Sets the attributes and times that the target will have (times may be null).
    void SetBasicInfo(DWORD attributes, const FILETIME* created, const FILETIME* accessed,
                      const FILETIME* written);
    // Flushes the content and moves it over the target in one rename.
    void Commit();
    void Discard() noexcept;

private:
    void OnEndProgram() noexcept override { Discard(); }

    std::wstring target_;
    std::wstring temporary_;
    UniqueFile file_;
    bool attributesSet_ = false;
};

// A seam for fault tests: called with the temporary file's path after the content is written and
// flushed, just before the rename; what it throws aborts the replacement. Empty: no call.
void SetBeforeReplaceHook(std::function<void(const std::wstring& temporaryPath)> hook);

// The temporary files of ReplacementFile are named so; a folder listing can leave them out.
bool IsReplacementTemporaryName(const std::wstring& name);

}  // namespace platform
