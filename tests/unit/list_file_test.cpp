#include "lists/list_file.h"

#include <windows.h>

#include <gtest/gtest.h>

using lists::DecodeListFile;
using lists::EncodeListFile;
using Lines = std::vector<std::wstring>;

namespace {

constexpr char kMark[] = "\xEF\xBB\xBF";
// Greek, Hebrew and Chinese together: no ANSI code page holds all three.
const std::wstring kForeign = L"D:\\\u03A9\u05D0\u4E2D";
const std::string kForeignUtf8 = "D:\\\xCE\xA9\xD7\x90\xE4\xB8\xAD";

// The text in the ANSI code page as the system converts it, nothing when it needs a substitute.
std::optional<std::string> SystemAnsi(const std::wstring& text) {
    BOOL usedDefault = FALSE;
    char buffer[256];
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                             buffer, sizeof buffer, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace

TEST(ListFileBytes, AnsiListIsEachEntryFollowedByCrLfWithoutMark) {
    const std::string bytes = EncodeListFile({L"C:\\Shared", L"D:\\Backup"});
    EXPECT_EQ(bytes, "C:\\Shared\r\nD:\\Backup\r\n");
    EXPECT_EQ(bytes.size(), 22u);
    EXPECT_EQ(EncodeListFile({}), "");
    EXPECT_EQ(EncodeListFile({L"   "}), "   \r\n");

    // A character of the code page beyond ASCII stays one ANSI byte.
    const std::wstring accented = L"C:\\Caf\u00E9 \u00C5";
    const auto ansi = SystemAnsi(accented);
    ASSERT_TRUE(ansi) << "the ANSI code page " << ::GetACP() << " lacks \u00E9 or \u00C5";
    EXPECT_EQ(EncodeListFile({accented, L"E:\\x"}), *ansi + "\r\nE:\\x\r\n");
    EXPECT_EQ(DecodeListFile(*ansi + "\r\n"), Lines{accented});
}

TEST(ListFileBytes, EntryOutsideTheCodePageMakesTheWholeFileUtf8WithMark) {
    const std::string bytes = EncodeListFile({L"C:\\Caf\u00E9", kForeign});
    EXPECT_EQ(bytes, std::string(kMark) + "C:\\Caf\xC3\xA9\r\n" + kForeignUtf8 + "\r\n");
    EXPECT_EQ(DecodeListFile(bytes), (Lines{L"C:\\Caf\u00E9", kForeign}));

    // The mark alone decides: the same bytes without it are ANSI.
    EXPECT_EQ(DecodeListFile(std::string(kMark) + "C:\\Caf\xC3\xA9"), Lines{L"C:\\Caf\u00E9"});
    const Lines ansi = DecodeListFile("C:\\Caf\xC3\xA9");
    ASSERT_EQ(ansi.size(), 1u);
    EXPECT_NE(ansi[0], L"C:\\Caf\u00E9");
}

TEST(ListFileBytes, EveryKindOfLineEndEndsALineAndNothingIsTrimmed) {
    EXPECT_EQ(DecodeListFile("A\r\nB\rC\nD"), (Lines{L"A", L"B", L"C", L"D"}));
    EXPECT_EQ(DecodeListFile("A\n\rB\r\n"), (Lines{L"A", L"", L"B"}));
    EXPECT_EQ(DecodeListFile("\r\n   \r\n C:\\x \r\n\r\n"), (Lines{L"", L"   ", L" C:\\x ", L""}));
    EXPECT_EQ(DecodeListFile(""), Lines{});
    EXPECT_EQ(DecodeListFile(kMark), Lines{});
}
