// The bytes of a list file and the entries they hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lists {

// The lines of a list file, without their line ends, in file order (empty lines included). A file
// that begins with the UTF-8 byte-order mark is UTF-8; every other file is in the ANSI code page.
// CR LF, a lone CR and a lone LF each end a line.
std::vector<std::wstring> DecodeListFile(std::string_view bytes);

// The bytes of a list file: each entry followed by CR LF, in the ANSI code page, or, when an entry
// holds a character that the code page cannot hold, in UTF-8 after a byte-order mark.
std::string EncodeListFile(const std::vector<std::wstring>& entries);

}  // namespace lists
