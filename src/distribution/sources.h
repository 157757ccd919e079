// What the command line names as sources, and the rules on them that need no system call.
#pragma once

#include <string>
#include <vector>

namespace distribution {

// The sources of a command line: words separated by runs of blanks; a path in quotation marks
// (as Explorer passes one that holds a blank) is one source, without its quotation marks.
std::vector<std::wstring> SplitSources(const std::wstring& commandLine);

// Whether a source begins like an absolute path: any character, colon and backslash (C:\...), or
// two backslashes (a UNC path).
bool LooksAbsolute(const std::wstring& source);

bool IsUncPath(const std::wstring& path);

}  // namespace distribution
