#include "platform/path_rules.h"

namespace platform {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring CommandLineTail(std::wstring_view line) {
    std::size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        const std::size_t close = line.find(L'"', 1);
        i = close == std::wstring_view::npos ? line.size() : close + 1;
    }
    while (i < line.size() && !IsBlank(line[i])) ++i;
    while (i < line.size() && IsBlank(line[i])) ++i;
    return std::wstring(line.substr(i));
}

std::wstring CommandLineOf(const std::wstring& program, std::wstring_view argument) {
    // The program's name ends at the next quote, backslashes and all (a path holds no quote).
    std::wstring line = L"\"" + program + L"\" \"";
    // In an argument, backslashes count only before a quote: doubled there, and the quote escaped.
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        line += c;
        backslashes = 0;
    }
    line.append(2 * backslashes, L'\\');  // before the closing quote
    return line + L'"';
}

std::wstring ExtendedLengthPath(const std::wstring& path) {
    return path.size() < kLongPathLength ? path : LiteralPath(path);
}

std::wstring LiteralPath(const std::wstring& path) {
    if (path.rfind(LR"(\\?\)", 0) == 0) return path;
    if (path.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + path.substr(2);
    return LR"(\\?\)" + path;
}

namespace {

// Calls `each` with every name of a path, from the first after its root.
template <typename Each>
bool AnyName(std::wstring_view path, Each each) {
    std::size_t start = path.rfind(LR"(\\)", 0) == 0 ? 2 : 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        if (each(path.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

bool HasNameEndingInPointOrBlank(std::wstring_view path) {
    return AnyName(path, [](std::wstring_view name) {
        return !name.empty() && name != L"." && name != L".." && (name.back() == L'.' || name.back() == L' ');
    });
}

bool IsNormalisedAbsolute(std::wstring_view path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool unc = path.size() > 2 && path.substr(0, 2) == LR"(\\)" && path[2] != L'?' && path[2] != L'.';
    if ((!drive && !unc) || path.find(L'/') != std::wstring_view::npos) return false;
    const std::wstring_view rest = path.substr(drive ? 3 : 2);
    bool bad = false;
    AnyName(rest, [&](std::wstring_view name) {
        const bool last = name.data() + name.size() == rest.data() + rest.size();
        bad = bad || name == L"." || name == L".." || (name.empty() && !last);
        return bad;
    });
    return !bad;
}

bool IsRootPath(std::wstring_view path) {
    if (path.size() == 3 && path[1] == L':' && path[2] == L'\\') return true;
    if (path.size() > 2 && path.substr(0, 2) == LR"(\\)") {
        const std::size_t serverEnd = path.find(L'\\', 2);
        if (serverEnd == std::wstring_view::npos || serverEnd == 2) return false;
        const std::size_t shareEnd = path.find(L'\\', serverEnd + 1);
        if (shareEnd == serverEnd + 1) return false;
        return shareEnd == std::wstring_view::npos || shareEnd == path.size() - 1;
    }
    return false;
}

bool HasWildcard(std::wstring_view path) { return path.find_first_of(L"*?") != std::wstring_view::npos; }

namespace {

bool MatchesOne(std::wstring_view name, std::wstring_view pattern) {
    if (pattern == L"*" || pattern == L"*.*") return true;
    // Greedy match with one back-track point for the last star.
    std::size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

}  // namespace

bool MatchesWildcards(std::wstring_view name, std::wstring_view patterns) {
    if (patterns.empty()) return true;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = patterns.find(L';', start);
        const std::wstring_view one =
            patterns.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        if (!one.empty() && MatchesOne(name, one)) return true;
        if (end == std::wstring_view::npos) return false;
        start = end + 1;
    }
}

std::wstring ParentOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring LastComponent(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
    std::wstring trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == L'\\' && !IsRootPath(trimmed)) trimmed.pop_back();
    return trimmed;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') return folder + name;
    return folder + L'\\' + name;
}

}  // namespace platform
