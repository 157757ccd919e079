#include "platform/replacement_file.h"

#include <cstring>
#include <cwchar>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/path_rules.h"

namespace platform {
namespace {

constexpr wchar_t kTemporaryPrefix[] = L"~kelvaron-";
constexpr wchar_t kTemporarySuffix[] = L".tmp";

// A target that exists must be one the rename can replace: a file, not read-only, and not held
// open by another program without leave to delete it. Checked before any content is written, so
// that such a target fails at once rather than after a long copy. Tells whether it exists.
bool CheckReplaceable(const std::wstring& target) {
    const DWORD attributes = ::GetFileAttributesW(ApiPath(target).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ThrowWin32(ERROR_ACCESS_DENIED);
    UniqueFile probe(::CreateFileW(ApiPath(target).c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) ThrowLastError();
    return true;
}

std::function<void(const std::wstring&)>& BeforeReplaceHook() {
    static std::function<void(const std::wstring&)> hook;
    return hook;
}

}  // namespace

void SetBeforeReplaceHook(std::function<void(const std::wstring&)> hook) { BeforeReplaceHook() = std::move(hook); }

bool IsReplacementTemporaryName(const std::wstring& name) {
    const std::wstring_view view(name);
    const std::wstring_view prefix(kTemporaryPrefix), suffix(kTemporarySuffix);
    return view.size() > prefix.size() + suffix.size() && view.substr(0, prefix.size()) == prefix &&
           view.substr(view.size() - suffix.size()) == suffix;
}

ReplacementFile::ReplacementFile(const std::wstring& target, Replace replace, bool targetMayExist)
    : target_(IsNormalisedAbsolute(target) ? target : FullPath(target)), replace_(replace) {
    basicInfo_.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    replacesExisting_ = targetMayExist && CheckReplaceable(target_);
    const std::wstring folder = ParentOf(target_);
    static unsigned serial = 0;
    for (int attempt = 0;; ++attempt) {
        wchar_t unique[32];
        std::swprintf(unique, 32, L"%08lx%04x", static_cast<unsigned long>(::GetCurrentProcessId()),
                      static_cast<unsigned>((++serial + ::GetTickCount()) & 0xFFFF));
        std::wstring candidate = JoinPath(folder, kTemporaryPrefix + std::wstring(unique) + kTemporarySuffix);
        HANDLE handle = ::CreateFileW(ApiPath(candidate).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file_.reset(handle);
            temporary_ = std::move(candidate);
            return;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS || attempt > 100) ThrowLastError();
    }
}

ReplacementFile::~ReplacementFile() { Discard(); }

void ReplacementFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file_.get(), bytes, chunk, &written, nullptr)) ThrowLastError();
        if (written == 0) ThrowWin32(ERROR_WRITE_FAULT);
        bytes += written;
        size -= written;
    }
}

void ReplacementFile::Reserve(std::uint64_t size) noexcept {
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    ::SetFileInformationByHandle(file_.get(), FileAllocationInfo, &allocation, sizeof allocation);
}

void ReplacementFile::SetBasicInfo(DWORD attributes, const FILETIME* created, const FILETIME* accessed,
                                   const FILETIME* written) {
    FILE_BASIC_INFO info{};
    auto put = [](LARGE_INTEGER& field, const FILETIME* time) {
        if (time) {
            field.LowPart = time->dwLowDateTime;
            field.HighPart = static_cast<LONG>(time->dwHighDateTime);
        }
    };
    put(info.CreationTime, created);
    put(info.LastAccessTime, accessed);
    put(info.LastWriteTime, written);
    put(info.ChangeTime, written);
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    basicInfo_ = info;
}

void ReplacementFile::Commit(bool flush) {
    if (flush && !::FlushFileBuffers(file_.get())) ThrowLastError();
    // Only now: until the content is on its way, the temporary stays hidden, also from a folder
    // listing after a killed save.
    if (!::SetFileInformationByHandle(file_.get(), FileBasicInfo, &basicInfo_, sizeof basicInfo_)) ThrowLastError();
    if (auto& hook = BeforeReplaceHook()) hook(temporary_);
    // A new file without the flush: renamed through its open handle, which costs no second
    // opening by name (under Wine a third of a small file's copy). A file system that cannot
    // rename so still takes the rename by name.
    if (!flush && !replacesExisting_ && RenameOpenFile()) return;
    file_.reset();
    if (replacesExisting_ && replace_ == Replace::KeepingTargetSettings) {
        if (::ReplaceFileW(ApiPath(target_).c_str(), ApiPath(temporary_).c_str(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            temporary_.clear();
            return;
        }
        // The target went meanwhile, or the system moved it aside and could not put the new
        // content under its name (1177): a rename still can.
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ThrowWin32(error);
    }
    if (!::MoveFileExW(ApiPath(temporary_).c_str(), ApiPath(target_).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastError();
    temporary_.clear();
}

bool ReplacementFile::RenameOpenFile() {
    // An absolute path: a bare name would be taken relative to the current folder.
    const std::wstring name = ApiPath(target_);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, name.data(), rename->FileNameLength);
    if (!::SetFileInformationByHandle(file_.get(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size())))
        return false;
    file_.reset();
    temporary_.clear();
    return true;
}

void ReplacementFile::Discard() noexcept {
    file_.reset();
    if (temporary_.empty()) return;
    const std::wstring path = ApiPath(temporary_);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // it may carry the source's read-only
    ::DeleteFileW(path.c_str());
    temporary_.clear();
}

void ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
    ReplacementFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.SetBasicInfo(FILE_ATTRIBUTE_NORMAL, nullptr, nullptr, nullptr);
    file.Commit();
}

}  // namespace platform
