// Text conversions and comparisons. The program keeps all text as UTF-16 (std::wstring);
// narrow text exists only at the list file boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-16 to the system's ANSI code page; nothing when a character has no exact counterpart there.
std::optional<std::string> ToAnsiExactly(std::wstring_view text);
// The system's ANSI code page to UTF-16.
std::wstring FromAnsi(std::string_view text);

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// The form in which two texts that differ only in letter case are equal (used as a lookup key).
std::wstring CaseFolded(std::wstring_view text);
// Whole-text equality, letter case ignored (the list controls' rule).
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b);
// Ordering by name, letter case ignored (the enumerators' order); < 0, 0 or > 0.
int CompareNamesIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace platform
