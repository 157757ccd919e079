// Rules on path and command-line text that need no system call.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The text after the program's name in a full command line, as a program sees it: the name
// (quoted or not) and the blanks after it removed, the rest unchanged.
std::wstring CommandLineTail(std::wstring_view fullCommandLine);

// The command line that starts `program` (a path) with one argument: each quoted so that the
// program reads them back as they are (CommandLineToArgvW's rules), blanks, backslashes and
// quotes included.
std::wstring CommandLineOf(const std::wstring& program, std::wstring_view argument);

// From this length on, a path needs the \\?\ form (CreateDirectoryW's limit is MAX_PATH - 12).
constexpr std::size_t kLongPathLength = 248;

// The form in which the file APIs take a path of any length: paths of kLongPathLength and more
// get the \\?\ (or \\?\UNC\) prefix; `path` must be absolute and already normalised.
std::wstring ExtendedLengthPath(const std::wstring& path);

// `path` with the \\?\ (or \\?\UNC\) prefix at any length: the file APIs then take every name
// as it stands. `path` must be absolute and already normalised.
std::wstring LiteralPath(const std::wstring& path);

// Whether a name of the path ends with a point or a blank ("notes.", "draft "): other tools make
// such names, but the file APIs drop those characters unless the path is in its literal form.
bool HasNameEndingInPointOrBlank(std::wstring_view path);

// Whether `path` is absolute (X:\... or \\server\share...) and already normalised: no forward
// slash, no "." or ".." name, no doubled backslash after its start.
bool IsNormalisedAbsolute(std::wstring_view path);

// True for "X:\" and for "\\server\share\" (with or without the last backslash).
bool IsRootPath(std::wstring_view path);

// Whether the text holds a wildcard character (* or ?).
bool HasWildcard(std::wstring_view path);

// Whether `name` matches one of the wildcard patterns in `patterns` (separated by ";"), with
// * for any run of characters and ? for one; "*" and "*.*" match every name. Exact comparison:
// fold the letter case of both first to ignore it.
bool MatchesWildcards(std::wstring_view name, std::wstring_view patterns);

// The folder part of a path (before its last backslash), and the part after it.
std::wstring ParentOf(const std::wstring& path);
std::wstring LastComponent(const std::wstring& path);
// The path without trailing backslashes, but for a drive's top (C:\).
std::wstring WithoutTrailingBackslash(const std::wstring& path);

// `folder` and `name` joined by exactly one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

}  // namespace platform
