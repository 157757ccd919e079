// List files: any bytes are read in one pass into no more lines than they hold, and entries (those
// read, and lines of the input taken as UTF-16) are read back as they are from the bytes written in
// any coding the writer may be asked for, with code page 1252 or UTF-8 as the ANSI code page.
#include <algorithm>

#include "fuzz.h"
#include "lists/list_file.h"
#include "platform/failure.h"

static void RequireReadBack(const std::vector<std::wstring>& entries) {
    using enum lists::ListCoding;
    for (const unsigned ansi : {1252u, 65001u})
        for (const lists::ListCoding coding : {Ansi, Utf8, Utf8WithMark, Utf16WithMark})
            REQUIRE(lists::DecodeListFile(lists::EncodeListFile(entries, coding, ansi), ansi).lines == entries);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lineEnds = std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; });
    for (const unsigned ansi : {1252u, 65001u}) {
        try {
            const auto lines = lists::DecodeListFile(bytes, ansi).lines;
            REQUIRE(lines.size() <= static_cast<std::size_t>(lineEnds) + 1);
            RequireReadBack(lines);
        } catch (const platform::Failure&) {}  // bytes that hold no text
    }
    // Entries hold no line end and no other control character than tab (the reader refuses those).
    std::vector<std::wstring> entries(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
        if (unit == L'\n')
            entries.emplace_back();
        else if (unit >= 32 || unit == L'\t')
            entries.back() += unit;
    }
    RequireReadBack(entries);
    return 0;
}
