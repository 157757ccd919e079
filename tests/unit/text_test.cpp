#include "platform/text.h"

#include <gtest/gtest.h>

using namespace platform;

constexpr unsigned kWestern = 1252, kUtf8 = 65001;

TEST(TextConversion, ExactlyRefusesWhatTheCodePageCannotHold) {
    EXPECT_EQ(ToCodePageExactly(L"", kWestern), "");
    EXPECT_EQ(ToCodePageExactly(L"C:\\Shared", kWestern), "C:\\Shared");
    EXPECT_EQ(ToCodePageExactly(L"C:\\\u03A9\u05D0\u4E2D", AnsiCodePage()), std::nullopt);  // no code page holds all three
    EXPECT_EQ(ToCodePageExactly(L"Caf\u00E9 \u20AC", kWestern), "Caf\xE9 \x80");
    // Characters the system would replace by a look-alike (A, L, ") are refused, not replaced.
    EXPECT_EQ(ToCodePageExactly(L"C:\\\u0100", kWestern), std::nullopt);
    EXPECT_EQ(ToCodePageExactly(L"C:\\\u0141odz", kWestern), std::nullopt);
    EXPECT_EQ(ToCodePageExactly(L"C:\\2\u2033", kWestern), std::nullopt);
    EXPECT_EQ(ToCodePageExactly(L"?", kWestern), "?");
    // UTF-8 holds everything but an unpaired surrogate, which would come back as another name.
    EXPECT_EQ(ToCodePageExactly(L"C:\\plain", kUtf8), "C:\\plain");
    EXPECT_EQ(ToCodePageExactly(L"C:\\\xD800x", kUtf8), std::nullopt);
    EXPECT_EQ(ToCodePageExactly(L"C:\\\xDC00", kWestern), std::nullopt);
}

TEST(TextConversion, RoundTripsAndStrictReading) {
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte) everyByte += static_cast<char>(byte);
    EXPECT_EQ(ToCodePageExactly(*FromCodePage(everyByte, kWestern), kWestern), everyByte);
    EXPECT_EQ(FromCodePage("", kWestern), L"");

    const std::wstring text = L"C:\\Caf\u00E9\\\u03A9\u05D0\u4E2D\\\U0001F600";
    const std::string utf8 = "C:\\Caf\xC3\xA9\\\xCE\xA9\xD7\x90\xE4\xB8\xAD\\\xF0\x9F\x98\x80";
    EXPECT_EQ(ToCodePageExactly(text, kUtf8), utf8);
    EXPECT_EQ(FromCodePage(utf8, kUtf8, true), text);
    EXPECT_EQ(FromCodePage("Caf\xE9", kUtf8, true), std::nullopt);  // a Western byte is no UTF-8
    EXPECT_EQ(FromCodePage("\xED\xA0\x80", kUtf8, true), std::nullopt);  // an encoded surrogate neither
}
