#include "platform/failure.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace platform;

TEST(Failure, CarriesTheNumberAndTheSystemsTextWithoutLineEnd) {
    for (DWORD number : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_DISK_FULL}) {
        SCOPED_TRACE(number);
        wchar_t system[512] = L"";
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, number, 0, system,
                         512, nullptr);
        ASSERT_NE(system[0], L'\0');
        try {
            ::SetLastError(number);
            ThrowLastError();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Number(), number);
            const std::wstring& text = failure.Description();
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(std::wstring(system).rfind(text, 0), 0u) << text;  // the system's text...
            EXPECT_TRUE(text.back() != L'\n' && text.back() != L'\r' && text.back() != L' ');  // ...without its end
        }
    }
    EXPECT_THROW(ThrowWin32(ERROR_DISK_FULL), Failure);
    EXPECT_FALSE(SystemErrorText(0x2ABCDEF).empty());

    const std::wstring text = StandardErrorText(Failure(1234, L"The drive is on fire."));
    EXPECT_NE(text.find(L"1234"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"The drive is on fire."), std::wstring::npos) << text;
}
