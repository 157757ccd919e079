// Command lines. Each source split off is a non-empty run of the line's own characters, in order,
// with only blanks and quotation marks between and around them; one that holds a blank holds no
// quotation mark. Sources without control characters or quotation marks, joined as Explorer joins
// them (quoted when they hold a blank) after the program's name, split back into the same sources.
// A line that does not begin with "/" is sources alone; one that does ends its switches where its
// sources begin.
#include "distribution/sources.h"
#include "fuzz.h"
#include "platform/path_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring line = Latin1(data, size);
    std::size_t at = 0;
    for (const std::wstring& source : distribution::SplitSources(line)) {
        const std::size_t found = line.find(source, at);
        REQUIRE(!source.empty() && found != std::wstring::npos);
        REQUIRE(line.find_first_not_of(L" \"", at) >= found);
        REQUIRE(source.find(L' ') == std::wstring::npos || source.find(L'"') == std::wstring::npos);
        at = found + source.size();
    }
    REQUIRE(line.find_first_not_of(L" \"", at) == std::wstring::npos);

    std::vector<std::wstring> sources;
    std::wstring joined = LR"("C:\Program Files\Quorvander\KELVARON.EXE")";
    for (std::size_t start = 0; start < line.size();) {  // the sources: the line cut at quotation marks
        const std::size_t end = std::min(line.find(L'"', start), line.size());
        std::wstring source = line.substr(start, end - start);
        std::erase_if(source, [](wchar_t c) { return c < 32; });
        if (!source.empty()) {
            joined += source.find(L' ') == std::wstring::npos ? L" " + source : L" \"" + source + L"\"";
            sources.push_back(source);
        }
        start = end + 1;
    }
    REQUIRE(distribution::SplitSources(platform::CommandLineTail(joined)) == sources);

    const distribution::Invocation invocation = distribution::ReadInvocation(line);
    if (line.starts_with(L"/"))
        REQUIRE(line.ends_with(invocation.sources) && !invocation.sources.starts_with(L" ") && !invocation.sources.starts_with(L"/"));
    else
        REQUIRE(invocation.sources == line && !invocation.list && !invocation.quiet && invocation.problem.empty());
    return 0;
}
