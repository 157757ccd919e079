// What the command line names as sources, and the rules on them that need no system call.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace distribution {

// The sources of a command line: words separated by runs of blanks; a path in quotation marks
// (as Explorer passes one that holds a blank) is one source, without its quotation marks.
std::vector<std::wstring> SplitSources(const std::wstring& commandLine);

// What a command line asks for. One that begins with "/" names switches first: "/list NAME"
// distributes to that list without its pop-up, and "/quiet" besides shows no window and no box.
// No path begins with "/", so every other command line is sources alone, as it always was.
struct Invocation {
    std::optional<std::wstring> list;  // the list's name, from /list
    bool quiet = false;
    std::wstring sources;  // the rest of the command line, for SplitSources
    std::wstring problem;  // a switch not understood, in sentences for the user; "" when none
};
Invocation ReadInvocation(const std::wstring& commandLine);

// How the switches are used, for the messages about them.
constexpr wchar_t kSwitchesUsage[] = L"Use:  KELVARON.EXE [/quiet] /list NAME SOURCE...";

// Whether a source begins like an absolute path: any character, colon and backslash (C:\...), or
// two backslashes (a UNC path).
bool LooksAbsolute(const std::wstring& source);

bool IsUncPath(const std::wstring& path);

}  // namespace distribution
