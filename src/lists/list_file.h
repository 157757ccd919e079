// The bytes of a list file and the entries they hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace lists {

// How a list file's text is written.
enum class ListCoding {
    Ansi,  // the system's ANSI code page, no mark (what the program writes by default)
    Utf8,  // UTF-8 without a byte-order mark (Notepad's default)
    Utf8WithMark,
    Utf16WithMark,  // UTF-16 little-endian after its mark
};

struct ListText {
    std::vector<std::wstring> lines;
    ListCoding coding = ListCoding::Ansi;
};

// The lines of a list file, without their line ends, in file order (empty lines included), and
// the coding they were found in. A byte-order mark names the coding; a file without one is UTF-8
// when it holds valid UTF-8 beyond ASCII, else ANSI. CR LF, a lone CR and a lone LF each end a
// line. Throws Failure (ERROR_INVALID_DATA) when the file holds no text: a NUL or another control
// character than tab, CR and LF (no folder name holds one).
ListText DecodeListFile(std::string_view bytes, unsigned ansiCodePage = platform::AnsiCodePage());

// The bytes of a list file: each entry followed by CR LF, in `coding` when that holds every
// entry exactly (DecodeListFile reads the entries back from the bytes), else in UTF-8 after a
// mark, else (an entry with an unpaired surrogate) in UTF-16 after its mark.
std::string EncodeListFile(const std::vector<std::wstring>& entries, ListCoding coding = ListCoding::Ansi,
                           unsigned ansiCodePage = platform::AnsiCodePage());

}  // namespace lists
