// The program's copy engine: content, times and attributes, failures that leave the target as it
// was and no temporary file behind, long paths and names outside the ANSI code page.
#include "platform/copy_engine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "../faults/copy_test_files.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/replacement_file.h"

using namespace copy_test;

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

std::wstring CurrentTestName() {
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return std::wstring(name, name + std::char_traits<char>::length(name));
}

FILETIME TimeOf(int year, int month, int day, int hour, int minute, int second, int milliseconds) {
    SYSTEMTIME system{};
    system.wYear = static_cast<WORD>(year);
    system.wMonth = static_cast<WORD>(month);
    system.wDay = static_cast<WORD>(day);
    system.wHour = static_cast<WORD>(hour);
    system.wMinute = static_cast<WORD>(minute);
    system.wSecond = static_cast<WORD>(second);
    system.wMilliseconds = static_cast<WORD>(milliseconds);
    FILETIME time{};
    ::SystemTimeToFileTime(&system, &time);
    return time;
}

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

WIN32_FILE_ATTRIBUTE_DATA FileData(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(platform::ApiPath(path).c_str(), GetFileExInfoStandard, &data))
        FailOn(path);
    return data;
}

constexpr DWORD kComparedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

class CopyFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::SetCopyYield({});
        platform::SetBeforeReplaceHook({});
    }

    ScratchFolder scratch_{CurrentTestName()};
};

// --- Content -------------------------------------------------------------------------------

using CopyFileContent = CopyFileTest;

TEST_F(CopyFileContent, LargeFileArrivesByteExact) {
    // Several hundred MB, not a multiple of the chunk size, every word different.
    const std::uint64_t size = 300 * kMiB + 4099;
    const std::wstring source = scratch_ / L"large.bin", target = scratch_ / L"large copy.bin";
    WritePatternFile(source, size, 7);

    platform::CopyFile(source, target);

    EXPECT_EQ(CheckPatternFile(target, size, 7), "");
    EXPECT_EQ(CheckPatternFile(source, size, 7), "");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"large copy.bin", L"large.bin"}));
}

TEST_F(CopyFileContent, ReplacesALongerExistingTarget) {
    const std::wstring source = scratch_ / L"new.bin", target = scratch_ / L"old.bin";
    WritePatternFile(source, 1 * kMiB + 1, 11);
    WritePatternFile(target, 9 * kMiB, 12);

    platform::CopyFile(source, target);

    EXPECT_EQ(CheckPatternFile(target, 1 * kMiB + 1, 11), "");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"new.bin", L"old.bin"}));
}

TEST_F(CopyFileContent, ZeroByteFile) {
    const std::wstring source = scratch_ / L"empty", target = scratch_ / L"empty copy";
    WriteText(source, "");
    WriteText(target, "old content");

    platform::CopyFile(source, target);

    EXPECT_EQ(FileSize(target), 0u);
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"empty", L"empty copy"}));
}

// Sizes about the powers of two that a chunk size would be: one byte short, exact, one over.
TEST_F(CopyFileContent, FilesOfOddAndEvenSizes) {
    for (std::uint64_t size : {1ull, 7ull, 4095ull, 65537ull, 131071ull, 131072ull, 131073ull, 262144ull,
                               1048576ull, 4194303ull, 4194304ull, 4194305ull}) {
        const std::wstring source = scratch_ / L"source", target = scratch_ / L"target";
        WritePatternFile(source, size, size);
        platform::CopyFile(source, target);
        EXPECT_EQ(CheckPatternFile(target, size, size), "") << size << " bytes";
    }
    EXPECT_EQ(Temporaries(scratch_.Path()), std::vector<std::wstring>{});
}

// While the content is being written, the target still has its old content and the new one
// is in a hidden temporary file beside it; afterwards only the target remains.
TEST_F(CopyFileContent, ExistingTargetKeepsItsOldContentUntilTheCopyIsComplete) {
    const std::wstring source = scratch_ / L"source.bin", target = scratch_ / L"target.txt";
    WritePatternFile(source, 24 * kMiB + 5, 3);
    WriteText(target, "old content");
    int calls = 0;
    platform::SetCopyYield([&](std::uint64_t, std::uint64_t) {
        ++calls;
        EXPECT_EQ(ReadText(target), "old content") << "call " << calls;
        const std::vector<std::wstring> temporaries = Temporaries(scratch_.Path());
        ASSERT_EQ(temporaries.size(), 1u) << Describe(Names(scratch_.Path()));
        EXPECT_TRUE(Attributes(scratch_ / temporaries[0]) & FILE_ATTRIBUTE_HIDDEN);
    });

    platform::CopyFile(source, target);

    EXPECT_GE(calls, 2);
    EXPECT_EQ(CheckPatternFile(target, 24 * kMiB + 5, 3), "");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"source.bin", L"target.txt"}));
}

// The program gets control back between chunks, with the progress of the file: often enough
// that a Cancel is seen within a fraction of a second even during a very large file.
TEST_F(CopyFileContent, YieldsBetweenChunksWithTheProgress) {
    const std::uint64_t size = 40 * kMiB + 3;
    const std::wstring source = scratch_ / L"source.bin", target = scratch_ / L"target.bin";
    WritePatternFile(source, size, 5);
    std::vector<std::uint64_t> progress;
    platform::SetCopyYield([&](std::uint64_t copied, std::uint64_t total) {
        EXPECT_EQ(total, size);
        progress.push_back(copied);
    });

    platform::CopyFile(source, target);

    ASSERT_GE(progress.size(), 5u);
    std::uint64_t previous = 0;
    for (std::uint64_t copied : progress) {
        EXPECT_GT(copied, previous);
        // At 10 MB/s (a slow network drive), 1 MiB is a tenth of a second.
        EXPECT_LE(copied - previous, 1 * kMiB) << "too much work between two yields";
        previous = copied;
    }
    EXPECT_EQ(progress.back(), size);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++*reinterpret_cast<int*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Without a hook, the copy handles the program's pending events between chunks.
TEST_F(CopyFileContent, HandlesPendingEventsDuringTheCopy) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KelvaronCopyTestEvents";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    int handled = 0;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handled));
    const std::wstring source = scratch_ / L"source.bin", target = scratch_ / L"target.bin";
    WritePatternFile(source, 16 * kMiB, 9);
    ::PostMessageW(window, WM_APP, 0, 0);
    ::Sleep(50);  // past the shortest interval between two rounds of events

    platform::CopyFile(source, target);

    EXPECT_EQ(handled, 1) << "the posted event was not handled during the copy";
    ::DestroyWindow(window);
    EXPECT_EQ(CheckPatternFile(target, 16 * kMiB, 9), "");
}

// --- Times and attributes ------------------------------------------------------------------

using CopyFileMetadata = CopyFileTest;

void SetTimes(const std::wstring& path, const FILETIME& created, const FILETIME& written) {
    platform::UniqueFile file(::CreateFileW(platform::ApiPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(::SetFileTime(file.get(), &created, nullptr, &written));
}

// Not read-only: sending the same file again must be able to replace the copy.
TEST_F(CopyFileMetadata, KeepsTheTimesAndTheArchiveAttributeButNotReadOnly) {
    const std::wstring source = scratch_ / L"source.txt", target = scratch_ / L"target.txt";
    WriteText(source, "some text");
    WriteText(target, "old");
    const FILETIME created = TimeOf(2001, 2, 3, 4, 5, 6, 700);
    const FILETIME written = TimeOf(2004, 5, 6, 7, 8, 9, 100);
    SetTimes(source, created, written);
    ASSERT_TRUE(::SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    // Wine keeps no creation time (it reports the last write time instead): there the creation
    // time cannot be told apart from the write time, and only Windows checks it.
    const bool keepsCreationTimes = Ticks(FileData(source).ftCreationTime) == Ticks(created);

    platform::CopyFile(source, target);

    const WIN32_FILE_ATTRIBUTE_DATA after = FileData(target);
    EXPECT_EQ(after.dwFileAttributes & kComparedAttributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(Ticks(after.ftLastWriteTime), Ticks(written));
    if (keepsCreationTimes) {
        EXPECT_EQ(Ticks(after.ftCreationTime), Ticks(created));
    }
    EXPECT_EQ(ReadText(target), "some text");
}

TEST_F(CopyFileMetadata, KeepsHiddenAndSystemAndLeavesAPlainFilePlain) {
    const std::wstring hidden = scratch_ / L"hidden.txt", plain = scratch_ / L"plain.txt";
    WriteText(hidden, "h");
    WriteText(plain, "p");
    ASSERT_TRUE(::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::SetFileAttributesW(plain.c_str(), FILE_ATTRIBUTE_NORMAL));
    const DWORD plainBefore = Attributes(plain) & kComparedAttributes;

    platform::CopyFile(hidden, scratch_ / L"hidden copy.txt");
    platform::CopyFile(plain, scratch_ / L"plain copy.txt");

    EXPECT_EQ(Attributes(scratch_ / L"hidden copy.txt") & kComparedAttributes,
              Attributes(hidden) & kComparedAttributes);
    EXPECT_TRUE(Attributes(scratch_ / L"hidden copy.txt") & FILE_ATTRIBUTE_HIDDEN);
    // A plain source gives a plain target: in particular, not the temporary file's hidden mark.
    EXPECT_EQ(Attributes(scratch_ / L"plain copy.txt") & kComparedAttributes, plainBefore);
    EXPECT_FALSE(plainBefore & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
}

// --- Failures: the system's number and text, the target as it was, no temporary ------------

using CopyFileFailures = CopyFileTest;

TEST_F(CopyFileFailures, MissingTargetFolderIs3AndCreatesNothing) {
    const std::wstring source = scratch_ / L"source.txt";
    WriteText(source, "x");

    const auto failure = CopyFailure(source, scratch_ / L"no such folder\\target.txt");

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(failure->Description(), platform::SystemErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Names(scratch_.Path()), std::vector<std::wstring>{L"source.txt"});
}

TEST_F(CopyFileFailures, MissingSourceIs2AndLeavesTheTargetAlone) {
    WriteText(scratch_ / L"target.txt", "old");

    const auto missing = CopyFailure(scratch_ / L"absent.txt", scratch_ / L"target.txt");
    const auto absentTarget = CopyFailure(scratch_ / L"absent.txt", scratch_ / L"new.txt");

    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing->Description(), platform::SystemErrorText(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(absentTarget);
    EXPECT_EQ(absentTarget->Number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadText(scratch_ / L"target.txt"), "old");
    EXPECT_EQ(Names(scratch_.Path()), std::vector<std::wstring>{L"target.txt"});
}

TEST_F(CopyFileFailures, SourceIsAFolder) {
    platform::MakeFolder(scratch_ / L"folder");

    const auto failure = CopyFailure(scratch_ / L"folder", scratch_ / L"target");

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Names(scratch_.Path()), std::vector<std::wstring>{L"folder"});
}

TEST_F(CopyFileFailures, SourceLockedByAnotherHandleIs32) {
    const std::wstring source = scratch_ / L"source.txt", target = scratch_ / L"target.txt";
    WriteText(source, "new");
    WriteText(target, "old");
    platform::UniqueFile lock(::CreateFileW(source.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);

    const auto failure = CopyFailure(source, target);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(failure->Description(), platform::SystemErrorText(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"source.txt", L"target.txt"}));
}

TEST_F(CopyFileFailures, TargetHeldOpenWithoutLeaveToDeleteIs32) {
    const std::wstring source = scratch_ / L"source.bin", target = scratch_ / L"target.txt";
    WritePatternFile(source, 6 * kMiB, 1);
    WriteText(target, "old");
    platform::UniqueFile holder(::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);

    const auto failure = CopyFailure(source, target);
    holder.reset();

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"source.bin", L"target.txt"}));
}

// A read-only target fails before any content is copied, not after a long copy. (Windows would
// refuse the final replace too; the early refusal spares the copy.)
TEST_F(CopyFileFailures, AReadOnlyTargetFailsBeforeAnyContentIsCopied) {
    const std::wstring source = scratch_ / L"source.bin", target = scratch_ / L"target.txt";
    WritePatternFile(source, 6 * kMiB, 2);
    WriteText(target, "old");
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    int chunks = 0;
    platform::SetCopyYield([&](std::uint64_t, std::uint64_t) { ++chunks; });

    const auto failure = CopyFailure(source, target);
    platform::SetCopyYield({});

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(chunks, 0);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"source.bin", L"target.txt"}));
}

// What a Cancel does in the program: the yield hook throws in the middle of the content.
TEST_F(CopyFileFailures, FailureThrownMidwayKeepsTheOldTargetAndRemovesTheTemporary) {
    const std::wstring source = scratch_ / L"source.bin";
    const std::wstring existing = scratch_ / L"existing.txt", fresh = scratch_ / L"fresh.bin";
    WritePatternFile(source, 20 * kMiB, 4);
    WriteText(existing, "old content");
    for (const std::wstring& target : {existing, fresh}) {
        int calls = 0;
        platform::SetCopyYield([&](std::uint64_t copied, std::uint64_t total) {
            ASSERT_LT(copied, total);
            if (++calls == 2) platform::ThrowWin32(ERROR_CANCELLED);
        });

        const auto failure = CopyFailure(source, target);

        ASSERT_TRUE(failure) << Narrow(target);
        EXPECT_EQ(failure->Number(), ERROR_CANCELLED);
        EXPECT_EQ(calls, 2);
    }
    EXPECT_EQ(ReadText(existing), "old content");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"existing.txt", L"source.bin"}));
}

// --- Paths ---------------------------------------------------------------------------------

using CopyFilePaths = CopyFileTest;

// A folder chain under the scratch folder whose path is longer than MAX_PATH.
std::wstring MakeLongFolder(const std::wstring& base) {
    std::wstring folder = base;
    for (int level = 0; folder.size() < 300; ++level) {
        folder = platform::JoinPath(folder, L"level " + std::to_wstring(level) + L" " + std::wstring(40, L'x'));
        platform::MakeFolder(folder);
    }
    return folder;
}

TEST_F(CopyFilePaths, LongerThanMaxPath) {
    const std::wstring folder = MakeLongFolder(scratch_.Path());
    const std::wstring source = platform::JoinPath(folder, L"source.bin");
    const std::wstring target = platform::JoinPath(folder, L"a target with a long name " + std::wstring(60, L'y'));
    ASSERT_GT(target.size(), 360u);
    WritePatternFile(source, 5 * kMiB + 1, 21);
    WriteText(target, "old");

    platform::CopyFile(source, target);

    EXPECT_EQ(CheckPatternFile(target, 5 * kMiB + 1, 21), "");
    EXPECT_EQ(Names(folder).size(), 2u) << Describe(Names(folder));
    EXPECT_EQ(Temporaries(folder), std::vector<std::wstring>{});
}

TEST_F(CopyFilePaths, LongerThanMaxPathInTheExtendedForm) {
    const std::wstring folder = MakeLongFolder(scratch_.Path());
    const std::wstring source = LR"(\\?\)" + platform::JoinPath(folder, L"source.bin");
    const std::wstring target = LR"(\\?\)" + platform::JoinPath(folder, L"target.bin");
    WritePatternFile(source, 64 * 1024 + 3, 22);

    platform::CopyFile(source, target);

    EXPECT_EQ(CheckPatternFile(target, 64 * 1024 + 3, 22), "");
    EXPECT_EQ(Names(folder), (std::vector<std::wstring>{L"source.bin", L"target.bin"}));
    const auto missingFolder = CopyFailure(source, LR"(\\?\)" + platform::JoinPath(folder, L"none\\t.bin"));
    ASSERT_TRUE(missingFolder);
    EXPECT_EQ(missingFolder->Number(), ERROR_PATH_NOT_FOUND);
}

TEST_F(CopyFilePaths, NamesOutsideTheAnsiCodePage) {
    const std::wstring folder = scratch_ / L"Φάκελος 文件夹";
    platform::MakeFolder(folder);
    const std::wstring source = platform::JoinPath(folder, L"αρχείο-ファイル-\U0001F600.bin");
    const std::wstring target = platform::JoinPath(folder, L"αντίγραφο-副本-한국어.bin");
    WritePatternFile(source, 3 * kMiB + 17, 23);

    platform::CopyFile(source, target);

    EXPECT_EQ(CheckPatternFile(target, 3 * kMiB + 17, 23), "");
    EXPECT_EQ(Names(folder), (std::vector<std::wstring>{L"αντίγραφο-副本-한국어.bin",
                                                         L"αρχείο-ファイル-\U0001F600.bin"}));
}

}  // namespace
