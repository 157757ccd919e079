// The copy engine against faults that need a prepared system: a drive that fills up, and a user
// who is not root (Wine lets root write read-only files). Run by disk_full.sh and
// read_only_user.sh, which prepare the system and name what they prepared in the environment;
// without it these tests fail rather than pass unchecked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "copy_test_files.h"
#include "platform/copy_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/replacement_file.h"

using namespace copy_test;

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

std::wstring Prepared(const wchar_t* variable) {
    return platform::EnvironmentValue(variable);
}

// --- A drive that fills up: a small tmpfs linked as a drive letter ----------------------------

class CopyToAFullDrive : public ::testing::Test {
protected:
    void SetUp() override {
        drive_ = Prepared(L"QUORVANDER_FULL_DRIVE");
        ASSERT_FALSE(drive_.empty()) << "QUORVANDER_FULL_DRIVE (a small drive such as Q:) is not set: run "
                                        "tests/faults/disk_full.sh";
        ULARGE_INTEGER free{}, total{};
        ASSERT_TRUE(::GetDiskFreeSpaceExW((drive_ + L"\\").c_str(), &free, &total, nullptr))
            << "drive " << Narrow(drive_) << " is not there";
        ASSERT_LT(total.QuadPart, 16 * kMiB) << "the drive is not small enough to fill";
        onDrive_.emplace(L"full", drive_);
    }
    void TearDown() override { onDrive_.reset(); }

    ScratchFolder source_{L"full-source"};
    std::wstring drive_;
    std::optional<ScratchFolder> onDrive_;
};

TEST_F(CopyToAFullDrive, DiskFullIs112WithTheSystemTextAndLeavesNothing) {
    const std::wstring source = source_ / L"large.bin";
    WritePatternFile(source, 20 * kMiB, 1);
    const std::wstring target = *onDrive_ / L"large.bin";

    const auto failure = CopyFailure(source, target);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_DISK_FULL);
    EXPECT_EQ(failure->Description(), platform::SystemErrorText(ERROR_DISK_FULL));
    EXPECT_EQ(failure->Description().rfind(L"Unknown error", 0), std::wstring::npos);
    EXPECT_EQ(Names(onDrive_->Path()), std::vector<std::wstring>{});
}

TEST_F(CopyToAFullDrive, ExistingTargetKeepsItsOldContentAndTheSpaceComesBack) {
    const std::wstring source = source_ / L"large.bin", small = source_ / L"small.bin";
    WritePatternFile(source, 20 * kMiB, 2);
    WritePatternFile(small, 5 * kMiB, 4);
    const std::wstring target = *onDrive_ / L"existing.bin";
    WritePatternFile(target, 1 * kMiB, 3);

    const auto failure = CopyFailure(source, target);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_DISK_FULL);
    EXPECT_EQ(CheckPatternFile(target, 1 * kMiB, 3), "");
    EXPECT_EQ(Names(onDrive_->Path()), std::vector<std::wstring>{L"existing.bin"});
    // The partial content was removed, not only hidden: its room is free again.
    platform::CopyFile(small, target);
    EXPECT_EQ(CheckPatternFile(target, 5 * kMiB, 4), "");
    EXPECT_EQ(Names(onDrive_->Path()), std::vector<std::wstring>{L"existing.bin"});
}

// --- A user who is not root -------------------------------------------------------------------

class CopyAsAUserWithoutRights : public ::testing::Test {
protected:
    void SetUp() override {
        noWrite_ = Prepared(L"QUORVANDER_NO_WRITE_FOLDER");
        ASSERT_FALSE(noWrite_.empty()) << "QUORVANDER_NO_WRITE_FOLDER is not set: run "
                                          "tests/faults/read_only_user.sh";
        // Only meaningful where read-only files really are read-only (not as root under Wine).
        const std::wstring probe = scratch_ / L"probe.txt";
        WriteText(probe, "x");
        ASSERT_TRUE(::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_READONLY));
        HANDLE handle = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
        ASSERT_EQ(handle, INVALID_HANDLE_VALUE) << "this user may write read-only files: run as a user who "
                                                   "is not root";
        ::SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(probe.c_str());
    }
    void TearDown() override { platform::SetBeforeReplaceHook({}); }

    ScratchFolder scratch_{L"user"};
    std::wstring noWrite_;
};

TEST_F(CopyAsAUserWithoutRights, ReadOnlyTargetIs5AndKeepsItsContent) {
    const std::wstring source = scratch_ / L"source.txt", target = scratch_ / L"target.txt";
    WriteText(source, "new content");
    WriteText(target, "old content");
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));

    const auto failure = CopyFailure(source, target);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(failure->Description(), platform::SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadText(target), "old content");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"source.txt", L"target.txt"}));
}

// A copy of a read-only file is not read-only: the same file sent again replaces it.
TEST_F(CopyAsAUserWithoutRights, ACopyOfAReadOnlySourceIsReplacedByTheNextCopy) {
    const std::wstring source = scratch_ / L"source.txt", target = scratch_ / L"target.txt";
    const std::wstring other = scratch_ / L"other.txt";
    WriteText(source, "first");
    WriteText(other, "second");
    ASSERT_TRUE(::SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY));

    platform::CopyFile(source, target);
    EXPECT_FALSE(Attributes(target) & FILE_ATTRIBUTE_READONLY);
    platform::CopyFile(source, target);
    platform::CopyFile(other, target);

    EXPECT_EQ(ReadText(target), "second");
    EXPECT_EQ(Temporaries(scratch_.Path()), std::vector<std::wstring>{});
}

TEST_F(CopyAsAUserWithoutRights, FailureAtTheRenameOfAReadOnlySourceLeavesNoTemporary) {
    const std::wstring source = scratch_ / L"source.txt", target = scratch_ / L"target.txt";
    WriteText(source, "new");
    WriteText(target, "old");
    ASSERT_TRUE(::SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY));
    platform::SetBeforeReplaceHook([](const std::wstring&) { platform::ThrowWin32(ERROR_CANCELLED); });

    const auto failure = CopyFailure(source, target);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number(), ERROR_CANCELLED);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_EQ(Names(scratch_.Path()), (std::vector<std::wstring>{L"source.txt", L"target.txt"}));
}

// The prepared folder belongs to root and may not be written by this user; it holds one file,
// existing.txt ("old content"), that this user may write.
TEST_F(CopyAsAUserWithoutRights, FolderWithoutWriteRightsIs5AndGetsNothing) {
    const std::wstring source = scratch_ / L"source.bin";
    WritePatternFile(source, 3 * kMiB, 5);
    const std::vector<std::wstring> before = Names(noWrite_);
    ASSERT_EQ(before, std::vector<std::wstring>{L"existing.txt"}) << "the prepared folder is not as expected";

    const auto fresh = CopyFailure(source, platform::JoinPath(noWrite_, L"fresh.bin"));
    const auto existing = CopyFailure(source, platform::JoinPath(noWrite_, L"existing.txt"));

    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->Number(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(fresh->Description(), platform::SystemErrorText(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(existing);
    EXPECT_EQ(existing->Number(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadText(platform::JoinPath(noWrite_, L"existing.txt")), "old content");
    EXPECT_EQ(Names(noWrite_), before);
}

}  // namespace
