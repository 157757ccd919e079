#include "platform/files.h"

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "test_support.h"

using platform::FirstMatch;
using platform::kAnyFiles;
using platform::kFoldersAndFiles;
using platform::kPlainFiles;

namespace {

constexpr int kMasks[] = {kPlainFiles, kAnyFiles, kFoldersAndFiles};

// Files of every attribute and a folder.
class FirstMatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteBytes(scratch / L"Plain.txt", "x");
        test::WriteBytes(scratch / L"ReadOnly.txt", "x", FILE_ATTRIBUTE_READONLY);
        test::WriteBytes(scratch / L"Hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN);
        test::WriteBytes(scratch / L"System.txt", "x", FILE_ATTRIBUTE_SYSTEM);
        test::MakeFolder(scratch / L"MixedCase");
    }
    test::ScratchFolder scratch;
};

TEST_F(FirstMatchTest, PlainAndReadOnlyFilesMatchEveryMaskByTheirStoredName) {
    for (int mask : kMasks) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(FirstMatch(scratch / L"Plain.txt", mask), L"Plain.txt");
        EXPECT_EQ(FirstMatch(scratch / L"pLAIN.TXT", mask), L"Plain.txt");
        EXPECT_EQ(FirstMatch(scratch / L"ReadOnly.txt", mask), L"ReadOnly.txt");
    }
}

TEST_F(FirstMatchTest, HiddenAndSystemFilesMatchOnlyTheMaskThatNamesThem) {
    EXPECT_EQ(FirstMatch(scratch / L"Hidden.txt", kAnyFiles), L"Hidden.txt");
    EXPECT_EQ(FirstMatch(scratch / L"System.txt", kAnyFiles), L"System.txt");
    for (int mask : {kPlainFiles, kFoldersAndFiles}) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(FirstMatch(scratch / L"Hidden.txt", mask), L"");
        EXPECT_EQ(FirstMatch(scratch / L"System.txt", mask), L"");
    }
}

TEST_F(FirstMatchTest, FoldersMatchOnlyTheFolderMask) {
    EXPECT_EQ(FirstMatch(scratch / L"mixedcase", kFoldersAndFiles), L"MixedCase");
    EXPECT_NE(FirstMatch(scratch / L"MixedCase\\", kFoldersAndFiles), L"");
    EXPECT_NE(FirstMatch(scratch.Path() + L"\\", kFoldersAndFiles), L"");
    EXPECT_NE(FirstMatch(L"C:\\", kFoldersAndFiles), L"");
    for (int mask : {kPlainFiles, kAnyFiles}) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(FirstMatch(scratch / L"MixedCase", mask), L"");
        EXPECT_EQ(FirstMatch(scratch / L"MixedCase\\", mask), L"");
        EXPECT_EQ(FirstMatch(L"C:\\", mask), L"");
    }
}

TEST_F(FirstMatchTest, NothingThereAndWildcardsMatchNothing) {
    for (int mask : kMasks) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(FirstMatch(scratch / L"Missing.txt", mask), L"");
        EXPECT_EQ(FirstMatch(scratch / L"Missing\\", mask), L"");
        EXPECT_EQ(FirstMatch(scratch / L"Missing\\Plain.txt", mask), L"");
        EXPECT_EQ(FirstMatch(L"", mask), L"");
        EXPECT_EQ(FirstMatch(scratch / L"*.txt", mask), L"");
        EXPECT_EQ(FirstMatch(scratch / L"Plain.tx?", mask), L"");
        EXPECT_EQ(FirstMatch(scratch / L"*", mask), L"");
    }
}

TEST(FirstMatch, LongPathsAndNamesOutsideTheCodePage) {
    test::ScratchFolder scratch;
    const std::wstring folder = test::MakeLongFolder(scratch.Path());
    ASSERT_GT(folder.size(), 300u);
    const std::wstring name = L"\u03A9\u05D0\u4E2D list.qvl";
    test::WriteBytes(folder + L"\\" + name, "C:\\x\r\n");
    EXPECT_EQ(FirstMatch(folder + L"\\" + name, kPlainFiles), name);
    const std::wstring level = folder.substr(folder.rfind(L'\\') + 1);
    EXPECT_EQ(FirstMatch(folder + L"\\..\\" + level + L"\\.\\" + name, kPlainFiles), name);
    EXPECT_EQ(FirstMatch(folder + L"\\missing.qvl", kAnyFiles), L"");
    EXPECT_EQ(FirstMatch(folder, kFoldersAndFiles), level);
    EXPECT_NE(FirstMatch(folder + L"\\", kFoldersAndFiles), L"");
    EXPECT_EQ(platform::ReadWholeFile(folder + L"\\" + name), "C:\\x\r\n");
}

TEST(ProgramVersion, IsTheVersionInTheExecutablesResources) {
    // This test program carries KELVARON.EXE's resource script.
    const platform::Version version = platform::ProgramVersion();
    EXPECT_EQ(version.major, 1);
    EXPECT_EQ(version.minor, 1);
    EXPECT_EQ(version.revision, 1);
}

}  // namespace
