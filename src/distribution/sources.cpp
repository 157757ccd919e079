#include "distribution/sources.h"

#include "platform/path_rules.h"

namespace distribution {

std::vector<std::wstring> SplitSources(const std::wstring& commandLine) {
    std::vector<std::wstring> sources;
    std::size_t i = 0;
    const std::size_t size = commandLine.size();
    while (i < size) {
        if (commandLine[i] == L' ') {
            ++i;
            continue;
        }
        if (commandLine[i] == L'"') {
            const std::size_t close = commandLine.find(L'"', i + 1);
            const std::size_t end = close == std::wstring::npos ? size : close;
            std::wstring quoted = commandLine.substr(i + 1, end - i - 1);
            if (!quoted.empty()) sources.push_back(std::move(quoted));
            i = end == size ? size : end + 1;
            continue;
        }
        const std::size_t end = commandLine.find(L' ', i);
        sources.push_back(commandLine.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i));
        i = end == std::wstring::npos ? size : end;
    }
    return sources;
}

bool LooksAbsolute(const std::wstring& source) {
    // A text shorter than the range does not match ("C:" alone is no absolute path).
    return (source.size() >= 3 && source.compare(1, 2, L":\\") == 0) || IsUncPath(source);
}

bool IsUncPath(const std::wstring& path) { return path.compare(0, 2, L"\\\\") == 0; }

}  // namespace distribution
