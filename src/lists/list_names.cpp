#include "lists/list_names.h"

#include <array>
#include <iterator>
#include <string_view>

#include "lists/list_store.h"
#include "platform/text.h"

namespace lists {
namespace {

// A file name holds 255 characters, the extension included.
constexpr std::size_t kLongestName = 255 - (std::size(kListExtension) - 1);

// The part of a name that Windows compares with its device names: before the first point, with
// trailing blanks ignored ("nul .txt" is NUL too).
std::wstring DeviceStem(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    return platform::CaseFolded(stem);
}

bool IsDeviceName(const std::wstring& name) {
    static constexpr std::array<std::wstring_view, 6> kPlain{L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    const std::wstring stem = DeviceStem(name);
    for (auto device : kPlain)
        if (stem == device) return true;
    // The ports' numbers: 1 to 9, and the superscript digits 1 to 3.
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           std::wstring_view(L"123456789\u00B9\u00B2\u00B3").find(stem[3]) != std::wstring_view::npos;
}

}  // namespace

std::wstring ListNameProblem(const std::wstring& name) {
    for (wchar_t c : name) {
        if (c < 32) return L"A list name cannot hold control characters.";
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return std::wstring(L"A list name cannot hold the character ") + c + L" (nor any of \\ / : * ? \" < > |).";
    }
    if (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        return L"A list name cannot end with a point or a space.";
    if (IsDeviceName(name))
        return L"\"" + name + L"\" is a name Windows keeps for a device. Please choose another name.";
    if (name.size() > kLongestName)
        return L"A list name can be at most " + std::to_wstring(kLongestName) + L" characters long.";
    return {};
}

}  // namespace lists
