#include "lists/list_file.h"

#include <gtest/gtest.h>

#include "platform/failure.h"

using lists::DecodeListFile;
using lists::EncodeListFile;
using lists::ListCoding;
using Lines = std::vector<std::wstring>;

namespace {

constexpr unsigned kWestern = 1252, kUtf8CodePage = 65001;
constexpr char kMark[] = "\xEF\xBB\xBF";
// Greek, Hebrew and Chinese together: no ANSI code page holds all three.
const std::wstring kForeign = L"D:\\\u03A9\u05D0\u4E2D";
const std::string kForeignUtf8 = "D:\\\xCE\xA9\xD7\x90\xE4\xB8\xAD";
const std::wstring kDonnees = L"D:\\Donn\u00E9es";

struct Coded {
    const char* what;
    std::string bytes;
    Lines lines;
    ListCoding coding;
};

}  // namespace

TEST(ListFileBytes, EachCodingAUserWritesIsReadAndWrittenBackByteForByte) {
    const Coded cases[] = {
        {"ANSI, as the program writes it", "C:\\Shared\r\nD:\\Donn\xE9" "es\r\n", {L"C:\\Shared", kDonnees}, ListCoding::Ansi},
        {"plain ASCII", "C:\\Shared\r\nD:\\Backup\r\n", {L"C:\\Shared", L"D:\\Backup"}, ListCoding::Ansi},
        {"UTF-8 without a mark (Notepad's default)", "D:\\Donn\xC3\xA9" "es\r\n" + kForeignUtf8 + "\r\n",
         {kDonnees, kForeign}, ListCoding::Utf8},
        {"UTF-8 after a mark", kMark + kForeignUtf8 + "\r\n", {kForeign}, ListCoding::Utf8WithMark},
        {"UTF-16 after its mark", std::string("\xFF\xFE" "C\0:\0\\\0\xA9\x03\r\0\n\0", 14), {L"C:\\\u03A9"},
         ListCoding::Utf16WithMark},
    };
    for (const auto& c : cases) {
        const lists::ListText text = DecodeListFile(c.bytes, kWestern);
        EXPECT_EQ(text.lines, c.lines) << c.what;
        EXPECT_EQ(text.coding, c.coding) << c.what;
        EXPECT_EQ(EncodeListFile(c.lines, text.coding, kWestern), c.bytes) << c.what;
    }
    EXPECT_EQ(EncodeListFile({}), "");
}

TEST(ListFileBytes, WhatACodingCannotHoldGoesToOneThatHoldsItExactly) {
    // An entry outside the code page makes the whole file UTF-8 after a mark.
    EXPECT_EQ(EncodeListFile({kDonnees, kForeign}, ListCoding::Ansi, kWestern),
              kMark + std::string("D:\\Donn\xC3\xA9" "es\r\n") + kForeignUtf8 + "\r\n");
    // So does one that the system would write as a look-alike (A for A with macron).
    EXPECT_EQ(EncodeListFile({L"C:\\\u0100"}, ListCoding::Ansi, kWestern), kMark + std::string("C:\\\xC4\x80\r\n"));
    // Where the ANSI code page is UTF-8, a plain list stays plain, without a mark.
    EXPECT_EQ(EncodeListFile({L"C:\\Shared", kDonnees}, ListCoding::Ansi, kUtf8CodePage), "C:\\Shared\r\nD:\\Donn\xC3\xA9" "es\r\n");
    // A name with an unpaired surrogate (NTFS allows one) is kept exactly, in UTF-16.
    const Lines odd{L"E:\\odd\xD800name", L"C:\\x"};
    for (ListCoding coding : {ListCoding::Ansi, ListCoding::Utf8, ListCoding::Utf8WithMark}) {
        const std::string bytes = EncodeListFile(odd, coding, kUtf8CodePage);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    }
}

TEST(ListFileBytes, EveryKindOfLineEndEndsALineAndNothingIsTrimmed) {
    EXPECT_EQ(DecodeListFile("A\r\nB\rC\nD\n\rE\r\n\r\n C:\\x ").lines, (Lines{L"A", L"B", L"C", L"D", L"", L"E", L"", L" C:\\x "}));
    EXPECT_EQ(DecodeListFile(kMark).lines, Lines{});
    // Bytes that are no valid UTF-8 are ANSI, even when some of them would be.
    EXPECT_EQ(DecodeListFile("C:\\Caf\xC3\xA9\r\nD:\\\xE9t\xE9", kWestern).lines,
              (Lines{L"C:\\Caf\u00C3\u00A9", L"D:\\\u00E9t\u00E9"}));
}

TEST(ListFileBytes, AFileThatHoldsNoTextIsRefused) {
    const std::string notText[] = {
        std::string("PK\x03\x04\x14\0\x06\0", 8) + "word/document.xml",  // a .docx
        std::string("C:\\one\r\nC:\\t\0wo\r\n", 16),
        "C:\\bell\x07\r\n",
        std::string("\xFF\xFE" "C\0:\0", 5),  // UTF-16 cut in a character
    };
    for (const auto& bytes : notText)
        EXPECT_THROW(DecodeListFile(bytes, kWestern), platform::Failure) << testing::PrintToString(bytes);
    EXPECT_EQ(DecodeListFile("C:\\tab\there\r\n").lines, Lines{L"C:\\tab\there"});
}
