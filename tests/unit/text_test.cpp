#include "platform/text.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace platform;

TEST(TextConversion, AnsiExactlyRefusesWhatTheCodePageCannotHold) {
    EXPECT_EQ(ToAnsiExactly(L""), "");
    EXPECT_EQ(ToAnsiExactly(L"C:\\Shared"), "C:\\Shared");
    EXPECT_EQ(ToAnsiExactly(L"C:\\\u03A9\u05D0\u4E2D"), std::nullopt);  // no code page holds all three
    if (::GetACP() != 1252) GTEST_SKIP() << "the cases below are those of code page 1252, not " << ::GetACP();
    EXPECT_EQ(ToAnsiExactly(L"Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
    // Characters the system would replace by a look-alike (A, L, ") are refused, not replaced.
    EXPECT_EQ(ToAnsiExactly(L"C:\\\u0100"), std::nullopt);
    EXPECT_EQ(ToAnsiExactly(L"C:\\\u0141odz"), std::nullopt);
    EXPECT_EQ(ToAnsiExactly(L"C:\\2\u2033"), std::nullopt);
    EXPECT_EQ(ToAnsiExactly(L"?"), "?");
}

TEST(TextConversion, AnsiAndUtf8RoundTrips) {
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte) everyByte += static_cast<char>(byte);
    EXPECT_EQ(ToAnsiExactly(FromAnsi(everyByte)), everyByte);
    EXPECT_EQ(FromAnsi(""), L"");

    const std::wstring text = L"C:\\Caf\u00E9\\\u03A9\u05D0\u4E2D\\\U0001F600";
    EXPECT_EQ(ToUtf8(text), "C:\\Caf\xC3\xA9\\\xCE\xA9\xD7\x90\xE4\xB8\xAD\\\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(FromUtf8(""), L"");
    EXPECT_EQ(ToUtf8(L""), "");
}
