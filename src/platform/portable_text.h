// Code page 1252 and UTF-8 without a system call, converted as Windows converts them: the text
// rules of the build that runs the logic without Windows (sanitizers, fuzzers). Under Windows a
// unit test compares them with the system's own conversions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::portable {

constexpr unsigned kWesternCodePage = 1252;

// As platform::ToCodePageExactly and platform::FromCodePage, for code pages 1252 and 65001 only.
// Text is UTF-16: one code unit to a wchar_t, whatever the wchar_t's size. Damaged UTF-8 read
// without `strict` gives U+FFFD for each longest start of a sequence that could have been valid
// (Unicode's advice); Windows' count of U+FFFD may differ there, and only there.
std::optional<std::string> ToCodePageExactly(std::wstring_view text, unsigned codePage);
std::optional<std::wstring> FromCodePage(std::string_view text, unsigned codePage, bool strict = false);

}  // namespace platform::portable
