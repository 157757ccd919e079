#include "platform/copy_engine.h"

#include <memory>
#include <utility>

#include "platform/app.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/replacement_file.h"

namespace platform {
namespace {

constexpr DWORD kChunkSize = 4 * 1024 * 1024;
constexpr ULONGLONG kYieldIntervalMs = 30;
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

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

}  // namespace

void SetCopyYield(std::function<void(std::uint64_t, std::uint64_t)> yield) {
    YieldHook() = std::move(yield);
}

void CopyFile(const std::wstring& source, const std::wstring& target) {
    UniqueFile input(::CreateFileW(ApiPath(source).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!input) ThrowLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(input.get(), &info)) ThrowLastError();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ThrowWin32(ERROR_ACCESS_DENIED);
    const std::uint64_t total = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;

    ReplacementFile output(target);
    output.Reserve(total);
    const std::size_t bufferSize = total < kChunkSize ? static_cast<std::size_t>(total) + 1 : kChunkSize;
    std::unique_ptr<char[]> buffer(new char[bufferSize]);
    std::uint64_t copied = 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(input.get(), buffer.get(), static_cast<DWORD>(bufferSize), &got, nullptr))
            ThrowLastError();
        if (got == 0) break;
        output.Write(buffer.get(), got);
        copied += got;
        YieldBetweenChunks(copied, total);
    }
    output.SetBasicInfo(info.dwFileAttributes & kKeptAttributes, &info.ftCreationTime,
                        &info.ftLastAccessTime, &info.ftLastWriteTime);
    output.Commit();
}

}  // namespace platform
