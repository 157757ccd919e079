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

}  // namespace

unsigned AnsiCodePage() { return ::GetACP(); }

std::optional<std::string> ToCodePageExactly(std::wstring_view text, unsigned codePage) {
    if (text.empty()) return std::string();
    const int length = CheckedLength(text.size());
    // UTF-8 takes no default character and fails on an unpaired surrogate. Other code pages take
    // no best-fit mapping: a character that the code page cannot hold must be seen, not replaced
    // by a look-alike (which would silently name another folder).
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const defaultUsed = utf8 ? nullptr : &usedDefault;
    const int needed = ::WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, defaultUsed);
    if (needed <= 0 || usedDefault) return std::nullopt;
    std::string result(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), length, result.data(), needed, nullptr, defaultUsed);
    if (usedDefault) return std::nullopt;
    // A round trip catches what the flags cannot (code pages without a default-char report).
    if (FromCodePage(result, codePage) != text) return std::nullopt;
    return result;
}

std::optional<std::wstring> FromCodePage(std::string_view text, unsigned codePage, bool strict) {
    if (text.empty()) return std::wstring();
    const int length = CheckedLength(text.size());
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int needed = ::MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        if (strict && ::GetLastError() == ERROR_NO_UNICODE_TRANSLATION) return std::nullopt;
        ThrowLastError();
    }
    std::wstring result(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), length, result.data(), needed);
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
    const int result =
        ::CompareStringOrdinal(a.data(), CheckedLength(a.size()), b.data(), CheckedLength(b.size()), TRUE);
    return result - CSTR_EQUAL;
}

std::wstring NameList(const std::vector<std::wstring>& names) {
    constexpr std::size_t kShown = 3;
    std::wstring text;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += (i ? L"; " : L"") + names[i];
    if (names.size() > kShown) text += L"; and " + std::to_wstring(names.size() - kShown) + L" more";
    return text;
}

}  // namespace platform
