// Text conversions and comparisons. The program keeps all text as UTF-16 (std::wstring);
// narrow text exists only at the list file boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// UTF-8's code page number (CP_UTF8).
constexpr unsigned kUtf8CodePage = 65001;

// The system's ANSI code page (65001 where Windows is set to use UTF-8 for it).
unsigned AnsiCodePage();

// UTF-16 to a code page; nothing when a character has no exact counterpart there (for UTF-8: an
// unpaired surrogate).
std::optional<std::string> ToCodePageExactly(std::wstring_view text, unsigned codePage);
// A code page to UTF-16; with `strict`, nothing when the bytes are not valid in that code page.
std::optional<std::wstring> FromCodePage(std::string_view text, unsigned codePage, bool strict = false);

// The form in which two texts that differ only in letter case are equal (used as a lookup key).
std::wstring CaseFolded(std::wstring_view text);
// Whole-text equality, letter case ignored (the list controls' rule).
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b);
// Ordering by name, letter case ignored (the enumerators' order); < 0, 0 or > 0.
int CompareNamesIgnoringCase(std::wstring_view a, std::wstring_view b);

// At most a few names, then how many more ("A; B; C; and 4 more"): a message read at a glance.
std::wstring NameList(const std::vector<std::wstring>& names);

}  // namespace platform
