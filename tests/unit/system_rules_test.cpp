// The rules that only the system itself can check: its command-line reading, its error texts, and
// its text conversions, which the portable ones (the build without Windows) must give exactly.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/path_rules.h"
#include "platform/portable_text.h"
#include "platform/text.h"

// What the started program reads back: its path and the argument as they are.
TEST(CommandLine, OfAProgramReadsBackAsItIsWithBlanksBackslashesAndQuotes) {
    const std::wstring program = LR"(C:\Windows Folder\system32\notepad.exe)";
    for (const std::wstring argument : {LR"(C:\Program Files\Q\EULA.TXT)", LR"(C:\My Files\)", LR"(say \"hi\" "there")", L""}) {
        int count = 0;
        wchar_t** words = ::CommandLineToArgvW(platform::CommandLineOf(program, argument).c_str(), &count);
        EXPECT_EQ(std::vector<std::wstring>(words, words + count), (std::vector<std::wstring>{program, argument}));
        ::LocalFree(words);
    }
}

TEST(Failure, CarriesTheNumberAndTheSystemsTextWithoutItsLineEnd) {
    ::SetLastError(ERROR_DISK_FULL);
    try {
        platform::ThrowLastError();
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.Number(), static_cast<DWORD>(ERROR_DISK_FULL));
        const std::wstring& text = failure.Description();
        EXPECT_TRUE(!text.empty() && text.find_last_not_of(L"\r\n ") == text.size() - 1) << testing::PrintToString(text);
        EXPECT_TRUE(platform::StandardErrorText(failure).ends_with(L"Error 112: " + text));
    }
}

// Every byte and pair of bytes read, every UTF-16 code unit written, and longer UTF-8 sequences
// (beyond U+FFFF, a surrogate, an overlong form, cut short).
TEST(PortableText, ConvertsAsTheSystemDoes) {
    for (const unsigned codePage : {platform::portable::kWesternCodePage, platform::kUtf8CodePage}) {
        std::vector<std::string> texts{"\xF0\x9F\x98\x80", "\xED\xA0\x80", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xF0\x9F\x98\x41"};
        for (unsigned n = 0; n < 0x10100; ++n)
            texts.push_back(n < 0x100 ? std::string(1, static_cast<char>(n)) : std::string{static_cast<char>((n - 0x100) >> 8), static_cast<char>(n)});
        for (const auto& bytes : texts)
            for (const bool strict : {false, true})
                if (strict || codePage != platform::kUtf8CodePage) {  // damaged UTF-8: see portable_text.h
                    ASSERT_EQ(platform::portable::FromCodePage(bytes, codePage, strict), platform::FromCodePage(bytes, codePage, strict))
                        << codePage << " " << strict << " " << testing::PrintToString(bytes);
                }
        std::vector<std::wstring> units{{0xD83D, 0xDE00}, {0xDC00, 0xD800}, {0xD800, L'A'}};
        for (unsigned unit = 0; unit < 0x10000; ++unit) units.emplace_back(1, static_cast<wchar_t>(unit));
        for (const auto& text : units)
            ASSERT_EQ(platform::portable::ToCodePageExactly(text, codePage), platform::ToCodePageExactly(text, codePage))
                << codePage << " " << testing::PrintToString(text);
    }
}
