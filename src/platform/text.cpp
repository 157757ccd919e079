#include "platform/text.h"

#include <windows.h>

#include <climits>

#include "platform/failure.h"

namespace platform {
namespace {

int CheckedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) ThrowWin32(ERROR_ARITHMETIC_OVERFLOW);
    return static_cast<int>(size);
}

std::wstring Widen(UINT codePage, DWORD flags, std::string_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed = ::MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (needed <= 0) ThrowLastError();
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), length, result.data(), needed);
    return result;
}

}  // namespace

std::optional<std::string> ToAnsiExactly(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int length = CheckedLength(text.size());
    // No best-fit mapping: a character that the code page cannot hold must be seen, not replaced
    // by a look-alike (which would silently name another folder).
    constexpr DWORD flags = WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    const int needed = ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr,
                                             &usedDefault);
    if (needed <= 0 || usedDefault) return std::nullopt;
    std::string result(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, result.data(), needed, nullptr,
                          &usedDefault);
    if (usedDefault) return std::nullopt;
    // A round trip catches what the flag cannot (code pages without a default-char report).
    if (FromAnsi(result) != text) return std::nullopt;
    return result;
}

std::wstring FromAnsi(std::string_view text) { return Widen(CP_ACP, 0, text); }

std::wstring FromUtf8(std::string_view text) { return Widen(CP_UTF8, 0, text); }

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = CheckedLength(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) ThrowLastError();
    std::string result(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), needed, nullptr, nullptr);
    return result;
}

std::wstring CaseFolded(std::wstring_view text) {
    std::wstring folded(text);
    if (!folded.empty()) ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && CaseFolded(a) == CaseFolded(b);
}

int CompareNamesIgnoringCase(std::wstring_view a, std::wstring_view b) {
    const int result = ::CompareStringOrdinal(a.data(), CheckedLength(a.size()), b.data(),
                                              CheckedLength(b.size()), TRUE);
    return result - CSTR_EQUAL;
}

}  // namespace platform
