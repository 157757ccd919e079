#include "platform/replacement_file.h"

#include <cstring>
#include <cwchar>
#include <optional>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/path_rules.h"

namespace platform {
namespace {

constexpr wchar_t kTemporaryPrefix[] = L"~kelvaron-";
constexpr wchar_t kTemporarySuffix[] = L".tmp";

// A temporary's name says who writes it: ~kelvaron-PPPPPPPP-CCCCCCCCCCCCCCCC-SSSS.tmp, the writing
// process's id and creation time (a later process that gets the same id is not taken for it) and
// a serial, in lowercase hexadecimal. Earlier versions wrote ~kelvaron-PPPPPPPPSSSS.tmp, the id
// without the time.
struct Writer {
    DWORD process = 0;
    std::optional<ULONGLONG> created;  // none in the earlier form
};

ULONGLONG CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// The value of `digits` lowercase hexadecimal digits, none when there is anything else.
std::optional<ULONGLONG> Hex(std::wstring_view digits) {
    ULONGLONG value = 0;
    for (const wchar_t c : digits) {
        if (!(c >= L'0' && c <= L'9') && !(c >= L'a' && c <= L'f')) return std::nullopt;
        value = value * 16 + (c <= L'9' ? c - L'0' : c - L'a' + 10);
    }
    return value;
}

// What stands between a temporary's prefix and suffix; none for a name without them.
std::optional<std::wstring_view> TemporaryMiddle(std::wstring_view name) {
    const std::wstring_view prefix(kTemporaryPrefix), suffix(kTemporarySuffix);
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
        return std::nullopt;
    return name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
}

// The writer named by a temporary's name in either form; none for any other name.
std::optional<Writer> WriterOf(std::wstring_view name) {
    const auto found = TemporaryMiddle(name);
    if (!found) return std::nullopt;
    const std::wstring_view middle = *found;
    const auto process = Hex(middle.substr(0, 8));
    if (middle.size() == 12 && process && Hex(middle.substr(8))) return Writer{static_cast<DWORD>(*process), {}};
    if (middle.size() != 30 || !process || middle[8] != L'-' || middle[25] != L'-' || !Hex(middle.substr(26)))
        return std::nullopt;
    const auto created = Hex(middle.substr(9, 16));
    if (!created) return std::nullopt;
    return Writer{static_cast<DWORD>(*process), created};
}

// Whether the process that writes a temporary still runs. In doubt (a process of another user,
// which may not be asked) it does. A temporary of the earlier form counts as a running writer's
// while any process of its id runs: a later process of that id only keeps it until a later run.
bool Runs(const Writer& writer) {
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, writer.process));
    if (!process) return ::GetLastError() != ERROR_INVALID_PARAMETER;            // 87: no process of that id
    if (::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return false;  // it has ended
    return !writer.created || CreationTime(process.get()) == *writer.created;
}

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

bool IsReplacementTemporaryName(const std::wstring& name) { return TemporaryMiddle(name).has_value(); }

void RemoveLeftoverTemporaries(const std::wstring& folder) noexcept {
    try {
        WIN32_FIND_DATAW found{};
        const std::wstring query = ApiPath(JoinPath(folder, kTemporaryPrefix + std::wstring(L"*") + kTemporarySuffix));
        UniqueFind find(::FindFirstFileExW(query.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
        if (!find) return;
        do {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
            const auto writer = WriterOf(found.cFileName);
            // One that is still open (a writer elsewhere on the network) cannot be deleted: left.
            if (writer && !Runs(*writer)) ::DeleteFileW(ApiPath(JoinPath(folder, found.cFileName)).c_str());
        } while (::FindNextFileW(find.get(), &found));
    } catch (...) {  // no memory for a path: the leftovers wait for the next run
    }
}

ReplacementFile::ReplacementFile(const std::wstring& target, Replace replace, bool targetMayExist)
    : target_(IsNormalisedAbsolute(target) ? target : FullPath(target)), replace_(replace) {
    basicInfo_.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    replacesExisting_ = targetMayExist && CheckReplaceable(target_);
    const std::wstring folder = ParentOf(target_);
    static unsigned serial = 0;
    static const ULONGLONG created = CreationTime(::GetCurrentProcess());
    for (int attempt = 0;; ++attempt) {
        wchar_t unique[48];
        std::swprintf(unique, 48, L"%08lx-%016llx-%04x", static_cast<unsigned long>(::GetCurrentProcessId()), created,
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

void CheckCanWriteInto(const std::wstring& folder) {
    const ReplacementFile probe(JoinPath(folder, L"probe"), ReplacementFile::Replace::ByRename, false);
}

void ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
    ReplacementFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.SetBasicInfo(FILE_ATTRIBUTE_NORMAL, nullptr, nullptr, nullptr);
    file.Commit();
    RemoveLeftoverTemporaries(ParentOf(IsNormalisedAbsolute(path) ? path : FullPath(path)));
}

}  // namespace platform
