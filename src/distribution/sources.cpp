#include "distribution/sources.h"

#include <algorithm>

#include "platform/path_rules.h"
#include "platform/text.h"

namespace distribution {

namespace {

// The word of `text` at `i` or after the blanks there: up to the next blank, or between quotation
// marks without them. Moves `i` past it; "" at the end.
std::wstring NextWord(const std::wstring& text, std::size_t& i) {
    const std::size_t size = text.size();
    while (i < size && text[i] == L' ') ++i;
    if (i == size) return {};
    if (text[i] == L'"') {
        const std::size_t close = text.find(L'"', i + 1);
        const std::size_t end = close == std::wstring::npos ? size : close;
        std::wstring quoted = text.substr(i + 1, end - i - 1);
        i = end == size ? size : end + 1;
        return quoted;
    }
    const std::size_t end = std::min(text.find(L' ', i), size);
    std::wstring word = text.substr(i, end - i);
    i = end;
    return word;
}

}  // namespace

std::vector<std::wstring> SplitSources(const std::wstring& commandLine) {
    std::vector<std::wstring> sources;
    for (std::size_t i = 0; i < commandLine.size();)
        if (std::wstring word = NextWord(commandLine, i); !word.empty()) sources.push_back(std::move(word));
    return sources;
}

Invocation ReadInvocation(const std::wstring& commandLine) {
    Invocation invocation;
    std::size_t i = 0;
    while (i < commandLine.size() && commandLine[i] == L'/') {
        const std::wstring word = NextWord(commandLine, i), folded = platform::CaseFolded(word);
        std::wstring problem;
        if (folded == L"/QUIET") {
            invocation.quiet = true;
        } else if (folded == L"/LIST") {
            if (invocation.list) problem = L"The switch /list is given twice.";
            invocation.list = NextWord(commandLine, i);
            if (invocation.list->empty()) problem = L"The switch /list needs the name of a distribution list.";
        } else {
            problem = L"The switch " + word + L" is not known.";
        }
        if (invocation.problem.empty()) invocation.problem = problem;
        while (i < commandLine.size() && commandLine[i] == L' ') ++i;
    }
    invocation.sources = commandLine.substr(i);
    if (invocation.problem.empty() && invocation.quiet && !invocation.list)
        invocation.problem = L"The switch /quiet needs /list and the name of a distribution list.";
    if (invocation.problem.empty() && invocation.list && SplitSources(invocation.sources).empty())
        invocation.problem = L"Name the files or the folder to distribute after the list's name.";
    if (!invocation.problem.empty()) invocation.problem += std::wstring(L"\r\r") + kSwitchesUsage;
    return invocation;
}

bool LooksAbsolute(const std::wstring& source) {
    // A text shorter than the range does not match ("C:" alone is no absolute path).
    return (source.size() >= 3 && source.compare(1, 2, L":\\") == 0) || IsUncPath(source);
}

bool IsUncPath(const std::wstring& path) { return path.compare(0, 2, L"\\\\") == 0; }

}  // namespace distribution
