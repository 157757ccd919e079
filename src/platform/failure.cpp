#include "platform/failure.h"

#include <windows.h>

namespace platform {

std::wstring SystemErrorText(std::uint32_t number) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, number, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer) text.assign(buffer, length);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    if (text.empty()) text = L"Unknown error " + std::to_wstring(number) + L".";
    return text;
}

void ThrowWin32(std::uint32_t number) { throw Failure(number, SystemErrorText(number)); }

void ThrowLastError() { ThrowWin32(::GetLastError()); }

std::wstring StandardErrorText(const Failure& failure) {
    return L"Quorvander Utility has met an error it cannot recover from and will close.\r\rError " +
           std::to_wstring(failure.Number()) + L": " + failure.Description();
}

}  // namespace platform
