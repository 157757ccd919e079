// What the command line names as sources, and the rules on them that need no system call.
#pragma once

#include <string>
#include <vector>

namespace distribution {

// The sources still to distribute: the command line, taken when a list is chosen.
extern std::wstring CommandLine;

// The sources of a command line: words separated by runs of blanks; a path in quotation marks
// (as Explorer passes one that holds a blank) is one source, without its quotation marks.
std::vector<std::wstring> SplitSources(const std::wstring& commandLine);

// The characters after the last backslash of `path`; the whole path without one; "" when it ends
// with a backslash.
std::wstring FileNameOf(const std::wstring& path);

// Whether a source begins like an absolute path: any character, colon and backslash (C:\...), or
// two backslashes (a UNC path).
bool LooksAbsolute(const std::wstring& source);

bool IsUncPath(const std::wstring& path);

// A folder source as the walk takes it: without a trailing backslash, but for a drive's top.
std::wstring WithoutTrailingBackslash(const std::wstring& path);

}  // namespace distribution
