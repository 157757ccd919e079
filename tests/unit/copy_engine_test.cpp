// The copy engine: content, times and attributes, and failures that leave the target as it was
// and no temporary file behind.
#include "platform/copy_engine.h"

#include <gtest/gtest.h>

#include "test_support.h"

using test::Lines;

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

using CopyEngine = test::ScratchTest<::testing::Test>;

// The new content grows in a hidden temporary file beside the target, which keeps its old content
// until the copy is whole; the program gets control back at least every MiB (a tenth of a second
// on a slow network drive), so a Cancel is seen. The copy keeps the time of the last write and the
// attributes, and is not hidden for having been a temporary (read-only goes: see DistributionRun).
TEST_F(CopyEngine, AnySizeArrivesByteExactWithItsTimeAndTheOldTargetStaysUntilTheCopyIsWhole) {
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    const FILETIME written{0x12345678, 0x01C4A1B2};
    // Empty, about the powers of two that a chunk size would be, and many chunks.
    for (std::size_t size : {0ull, 1ull, 4095ull, 65537ull, 131072ull, 1048577ull, 4194303ull, 4194304ull, 4194305ull,
                             40 * kMiB + 3}) {
        const std::string content = test::Pattern(size, size), old = size % 2 ? "old" : test::Pattern(size + 5000, 1);
        const DWORD attributes = size % 2 ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM : FILE_ATTRIBUTE_ARCHIVE;
        test::WriteBytes(Path(L"source"), content);
        test::WriteBytes(Path(L"target"), old);
        HANDLE file = ::CreateFileW(Path(L"source").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ::SetFileTime(file, nullptr, nullptr, &written);
        ::CloseHandle(file);
        ::SetFileAttributesW(Path(L"source").c_str(), attributes);
        std::uint64_t last = 0;
        platform::SetCopyYield([&](std::uint64_t copied, std::uint64_t total) {
            EXPECT_EQ(total, size);
            EXPECT_GT(copied, last);
            EXPECT_LE(copied - last, kMiB);
            last = copied;
            EXPECT_TRUE(test::ReadBytes(Path(L"target")) == old);
            const Lines names = test::AllNames(scratch.Path());
            ASSERT_EQ(names.size(), 3u);  // source, target and the temporary
            EXPECT_TRUE(platform::IsReplacementTemporaryName(names.back())) << testing::PrintToString(names);
            EXPECT_TRUE(test::Attributes(Path(names.back())) & FILE_ATTRIBUTE_HIDDEN);
        });
        platform::CopyFile(Path(L"source"), Path(L"target"));
        EXPECT_EQ(last, size);
        EXPECT_TRUE(test::ReadBytes(Path(L"target")) == content) << size << " bytes";
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW(Path(L"target").c_str(), GetFileExInfoStandard, &data);
        EXPECT_EQ(data.dwFileAttributes & kKept, test::Attributes(Path(L"source")) & kKept);
        EXPECT_EQ(::CompareFileTime(&data.ftLastWriteTime, &written), 0);
        for (const wchar_t* name : {L"source", L"target"}) ::SetFileAttributesW(Path(name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"source", L"target"}));
}

// Each failure is the system's number, comes before any content is copied, and leaves every file
// as it was. A read-only target in particular is refused at once, not after a long copy.
TEST_F(CopyEngine, AFailureComesBeforeTheContentAndLeavesEveryFileAsItWas) {
    test::WriteBytes(Path(L"source"), test::Pattern(6 * kMiB, 1));
    for (const wchar_t* name : {L"locked", L"held", L"target"}) test::WriteBytes(Path(name), "old");
    test::WriteBytes(Path(L"read-only"), "old", FILE_ATTRIBUTE_READONLY);
    test::MakeFolder(Path(L"folder"));
    // A source another program holds without sharing; a target held open without leave to delete.
    HANDLE locked = ::CreateFileW(Path(L"locked").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE held = ::CreateFileW(Path(L"held").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    int chunks = 0;
    platform::SetCopyYield([&](std::uint64_t, std::uint64_t) { ++chunks; });
    const struct {
        const wchar_t *source, *target;
        DWORD error;
    } cases[] = {{L"source", L"missing\\target", ERROR_PATH_NOT_FOUND}, {L"absent", L"target", ERROR_FILE_NOT_FOUND},
                 {L"absent", L"new", ERROR_FILE_NOT_FOUND},           {L"folder", L"target", ERROR_ACCESS_DENIED},
                 {L"locked", L"target", ERROR_SHARING_VIOLATION},     {L"source", L"held", ERROR_SHARING_VIOLATION},
                 {L"source", L"read-only", ERROR_ACCESS_DENIED}};
    for (const auto& c : cases) {
        EXPECT_EQ(test::CopyError(Path(c.source), Path(c.target)), c.error) << testing::PrintToString(c.target);
        EXPECT_EQ(chunks, 0) << testing::PrintToString(c.target);
    }
    ::CloseHandle(locked);
    ::CloseHandle(held);
    for (const wchar_t* name : {L"held", L"read-only", L"target"}) EXPECT_EQ(test::ReadBytes(Path(name)), "old");
    EXPECT_EQ(test::AllNames(scratch.Path()), (Lines{L"folder", L"held", L"locked", L"read-only", L"source", L"target"}));
}

}  // namespace
