// Path rules: trailing backslashes removed are only they, and a second time changes nothing; the
// literal form of a literal path is the path; a name joined to a folder is the path's last
// component; a name matches itself as a pattern, and so does any start of it with a star after it.
#include "fuzz.h"
#include "platform/path_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring input = Latin1(data, size);
    const std::wstring trimmed = platform::WithoutTrailingBackslash(input);
    REQUIRE(platform::WithoutTrailingBackslash(trimmed) == trimmed);
    REQUIRE(input.starts_with(trimmed) && input.find_first_not_of(L'\\', trimmed.size()) == std::wstring::npos);
    const std::wstring literal = platform::LiteralPath(input);
    REQUIRE(platform::LiteralPath(literal) == literal);
    // The input cut at its first NUL: a folder and a name.
    const std::size_t cut = std::min(input.find(L'\0'), input.size());
    const std::wstring folder = input.substr(0, cut), name = input.substr(std::min(cut + 1, input.size()));
    if (!name.empty() && name.find(L'\\') == std::wstring::npos)
        REQUIRE(platform::LastComponent(platform::JoinPath(folder, name)) == name);
    if (name.find_first_of(L"*?;") == std::wstring::npos) {
        REQUIRE(platform::MatchesWildcards(name, name));
        REQUIRE(platform::MatchesWildcards(name, name.substr(0, folder.size()) + L"*"));
    }
    return 0;
}
