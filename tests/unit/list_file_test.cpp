#include "lists/list_file.h"

#include <optional>

#include <gtest/gtest.h>

#include "platform/failure.h"

using lists::DecodeListFile;
using lists::EncodeListFile;
using lists::ListCoding;
using Lines = std::vector<std::wstring>;

constexpr unsigned kWestern = 1252, kUtf8CodePage = 65001;
constexpr char kMark[] = "\xEF\xBB\xBF";
// Greek, Hebrew and Chinese together: no ANSI code page holds all three.
const std::wstring kForeign = L"D:\\\u03A9\u05D0\u4E2D";
const std::string kForeignUtf8 = "D:\\\xCE\xA9\xD7\x90\xE4\xB8\xAD";
const std::wstring kDonnees = L"D:\\Donn\u00E9es";

TEST(ListFileBytes, EachCodingAUserWritesIsReadAndWrittenBackByteForByte) {
    const std::tuple<std::string, Lines, ListCoding> cases[] = {
        {"C:\\Shared\r\nD:\\Donn\xE9" "es\r\n", {L"C:\\Shared", kDonnees}, ListCoding::Ansi},
        {"C:\\Shared\r\nD:\\Backup\r\n", {L"C:\\Shared", L"D:\\Backup"}, ListCoding::Ansi},
        {"D:\\Donn\xC3\xA9" "es\r\n" + kForeignUtf8 + "\r\n", {kDonnees, kForeign}, ListCoding::Utf8},  // Notepad's
        {kMark + kForeignUtf8 + "\r\n", {kForeign}, ListCoding::Utf8WithMark},
        {std::string("\xFF\xFE" "C\0:\0\\\0\xA9\x03\r\0\n\0", 14), {L"C:\\\u03A9"}, ListCoding::Utf16WithMark},
    };
    for (const auto& [bytes, lines, coding] : cases) {
        const lists::ListText text = DecodeListFile(bytes, kWestern);
        EXPECT_EQ(text.lines, lines) << testing::PrintToString(bytes);
        EXPECT_EQ(text.coding, coding) << testing::PrintToString(bytes);
        EXPECT_EQ(EncodeListFile(lines, coding, kWestern), bytes);
    }
}

// An entry outside the code page, or one the system would write as a look-alike (A for A with
// macron), makes the file UTF-8 after a mark; with UTF-8 as the ANSI code page, a list stays plain.
TEST(ListFileBytes, WhatACodingCannotHoldGoesToOneThatHoldsItExactly) {
    EXPECT_EQ(EncodeListFile({kDonnees, kForeign}, ListCoding::Ansi, kWestern),
              kMark + std::string("D:\\Donn\xC3\xA9" "es\r\n") + kForeignUtf8 + "\r\n");
    EXPECT_EQ(EncodeListFile({L"C:\\\u0100"}, ListCoding::Ansi, kWestern), kMark + std::string("C:\\\xC4\x80\r\n"));
    EXPECT_EQ(EncodeListFile({L"C:\\Shared", kDonnees}, ListCoding::Ansi, kUtf8CodePage), "C:\\Shared\r\nD:\\Donn\xC3\xA9" "es\r\n");
}

// Every kind of line end ends a line, nothing is trimmed, and bytes that are no valid UTF-8 are
// ANSI even when some of them would be; a file that holds no text is refused (nullopt).
TEST(ListFileBytes, EveryKindOfLineEndEndsALineAndAFileThatHoldsNoTextIsRefused) {
    const std::pair<std::string, std::optional<Lines>> cases[] = {
        {"A\r\nB\rC\nD\n\rE\r\n\r\n C:\\x ", Lines{L"A", L"B", L"C", L"D", L"", L"E", L"", L" C:\\x "}},
        {kMark, Lines{}},
        {"C:\\Caf\xC3\xA9\r\nD:\\\xE9t\xE9", Lines{L"C:\\Caf\u00C3\u00A9", L"D:\\\u00E9t\u00E9"}},
        {std::string("PK\x03\x04\x14\0\x06\0", 8) + "word/document.xml", std::nullopt},  // a .docx
        {std::string("C:\\one\r\nC:\\t\0wo\r\n", 16), std::nullopt},
        {"C:\\bell\x07\r\n", std::nullopt},
        {std::string("\xFF\xFE" "C\0:\0", 5), std::nullopt},  // UTF-16 cut in a character
    };
    for (const auto& [bytes, lines] : cases) {
        if (lines)
            EXPECT_EQ(DecodeListFile(bytes, kWestern).lines, *lines) << testing::PrintToString(bytes);
        else
            EXPECT_THROW(DecodeListFile(bytes, kWestern), platform::Failure) << testing::PrintToString(bytes);
    }
}
