// List names: a name is accepted exactly when, with the list's extension, it is a valid Windows
// file name and no name Windows keeps for a device. Both rules written out here on their own.
#include <string_view>

#include "fuzz.h"
#include "lists/list_names.h"

static bool ValidFileName(const std::wstring& name) {
    for (const wchar_t c : name)
        if (c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    return (name.empty() || (name.back() != L'.' && name.back() != L' ')) && name.size() + 4 <= 255;
}

// The part before the first point, trailing blanks removed, is a device's name in any letter case.
static bool DeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    stem.erase(stem.find_last_not_of(L' ') + 1);
    for (wchar_t& c : stem) c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
    for (const std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
           std::wstring_view(L"123456789\u00B9\u00B2\u00B3").find(stem[3]) != std::wstring_view::npos;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring name = Latin1(data, size);
    REQUIRE(lists::ListNameProblem(name).empty() == (ValidFileName(name) && !DeviceName(name)));
    return 0;
}
