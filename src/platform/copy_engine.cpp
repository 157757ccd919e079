#include "platform/copy_engine.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/app.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/replacement_file.h"

namespace platform {
namespace {

// Measured under Wine on a 1 GiB file: 64 and 128 KiB chunks copy at about 2.5 GB/s, while 256 KiB
// and more (4 MiB before) fell to 0.3-0.5 GB/s once the system had been writing many small files.
// Even at 10 MB/s, 128 KiB is 13 ms between two rounds of events.
constexpr DWORD kChunkSize = 128 * 1024;
constexpr ULONGLONG kYieldIntervalMs = 30;
// Not the read-only attribute: a copy of a read-only file stays replaceable, so that sending
// the same file again replaces it. A target that its owner made read-only is still refused.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

std::function<void(std::uint64_t, std::uint64_t)>& YieldHook() {
    static std::function<void(std::uint64_t, std::uint64_t)> hook;
    return hook;
}

void YieldBetweenChunks(std::uint64_t copied, std::uint64_t total) {
    if (auto& hook = YieldHook()) {
        hook(copied, total);
        return;
    }
    static ULONGLONG last = 0;
    const ULONGLONG now = ::GetTickCount64();
    if (now - last < kYieldIntervalMs) return;
    last = now;
    ProcessEvents();
}

FILETIME ToFileTime(const LARGE_INTEGER& time) { return FILETIME{time.LowPart, static_cast<DWORD>(time.HighPart)}; }

}  // namespace

void SetCopyYield(std::function<void(std::uint64_t, std::uint64_t)> yield) { YieldHook() = std::move(yield); }

void CopyFile(const std::wstring& source, const std::wstring& target, TargetFolder folder, CopyProgress* progress) {
    UniqueFile input(::CreateFileW(ApiPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!input) ThrowLastError();
    // Times and attributes only: GetFileInformationByHandle also asks for the volume's serial
    // number, which under Wine costs about half a millisecond a file, a large part of the copy of
    // a small file. The size is asked for only when the file is larger than one chunk.
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(input.get(), FileBasicInfo, &basic, sizeof basic)) ThrowLastError();
    if (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ThrowWin32(ERROR_ACCESS_DENIED);

    ReplacementFile output(target, ReplacementFile::Replace::KeepingTargetSettings, folder == TargetFolder::MayHoldIt);
    // One buffer for every copy: its size is all the memory a copy takes, whatever the file's.
    static thread_local const std::unique_ptr<char[]> buffer(new char[kChunkSize]);
    std::uint64_t copied = 0, total = 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(input.get(), buffer.get(), kChunkSize, &got, nullptr)) ThrowLastError();
        if (got == 0) break;
        if (copied == 0) {
            LARGE_INTEGER size{};
            const bool large = got == kChunkSize && ::GetFileSizeEx(input.get(), &size);
            total = large ? static_cast<std::uint64_t>(size.QuadPart) : got;
            if (total > got) output.Reserve(total);
        }
        output.Write(buffer.get(), got);
        copied += got;
        YieldBetweenChunks(copied, std::max(total, copied));
        if (progress && !progress->OnChunk(copied)) ThrowWin32(ERROR_CANCELLED);
    }
    const FILETIME created = ToFileTime(basic.CreationTime), accessed = ToFileTime(basic.LastAccessTime),
                   written = ToFileTime(basic.LastWriteTime);
    output.SetBasicInfo(basic.FileAttributes & kKeptAttributes, &created, &accessed, &written);
    // Flushed when it replaces a file: then the old content is kept even through a power loss.
    // A new file has nothing to keep, and a flush per file would make a copy of many small files
    // several times slower (the system's CopyFileW does not flush either).
    output.Commit(output.ReplacesExisting());
}

}  // namespace platform
