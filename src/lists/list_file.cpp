#include "lists/list_file.h"

#include <cstdint>
#include <optional>

#include "platform/failure.h"

namespace lists {
namespace {

constexpr std::uint32_t kInvalidData = 13;  // ERROR_INVALID_DATA
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::wstring FromUtf16(std::string_view bytes) {
    if (bytes.size() % 2 != 0) throw platform::Failure(kInvalidData, L"The file ends in the middle of a character.");
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return text;
}

std::string ToUtf16(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

std::wstring Decoded(std::string_view bytes, unsigned ansiCodePage, ListCoding& coding) {
    if (StartsWith(bytes, kUtf16Mark)) {
        coding = ListCoding::Utf16WithMark;
        return FromUtf16(bytes.substr(kUtf16Mark.size()));
    }
    if (StartsWith(bytes, kUtf8Mark)) {
        coding = ListCoding::Utf8WithMark;
        return *platform::FromCodePage(bytes.substr(kUtf8Mark.size()), platform::kUtf8CodePage);
    }
    if (!IsAscii(bytes)) {
        if (auto utf8 = platform::FromCodePage(bytes, platform::kUtf8CodePage, true)) {
            coding = ListCoding::Utf8;
            return *utf8;
        }
    }
    coding = ListCoding::Ansi;
    return *platform::FromCodePage(bytes, ansiCodePage);
}

std::optional<std::string> Encoded(const std::wstring& text, ListCoding coding, unsigned ansiCodePage) {
    switch (coding) {
    case ListCoding::Ansi: return platform::ToCodePageExactly(text, ansiCodePage);
    case ListCoding::Utf8: return platform::ToCodePageExactly(text, platform::kUtf8CodePage);
    case ListCoding::Utf8WithMark:
        if (auto utf8 = platform::ToCodePageExactly(text, platform::kUtf8CodePage))
            return std::string(kUtf8Mark) + *utf8;
        return std::nullopt;
    case ListCoding::Utf16WithMark: return std::string(kUtf16Mark) + ToUtf16(text);
    }
    return std::nullopt;
}

// Whether the bytes are read back as the text: bytes without a mark may begin like a mark
// (U+FEFF, or "ÿþ" in code page 1252, first), and ANSI bytes may be valid UTF-8 ("Ã©").
bool ReadsBackAs(const std::string& bytes, unsigned ansiCodePage, const std::wstring& text) {
    try {
        ListCoding coding;
        return Decoded(bytes, ansiCodePage, coding) == text;
    } catch (const platform::Failure&) {
        return false;
    }
}

}  // namespace

ListText DecodeListFile(std::string_view bytes, unsigned ansiCodePage) {
    ListText result;
    const std::wstring text = Decoded(bytes, ansiCodePage, result.coding);
    for (wchar_t c : text) {
        if (c < 32 && c != L'\t' && c != L'\r' && c != L'\n')
            throw platform::Failure(kInvalidData, L"The file holds no text: it is not a list of folders.");
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            result.lines.push_back(text.substr(start));
            break;
        }
        result.lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
    }
    return result;
}

std::string EncodeListFile(const std::vector<std::wstring>& entries, ListCoding coding, unsigned ansiCodePage) {
    std::wstring text;
    for (const auto& entry : entries) {
        text += entry;
        text += L"\r\n";
    }
    for (ListCoding next : {coding, ListCoding::Utf8WithMark})
        if (auto bytes = Encoded(text, next, ansiCodePage); bytes && ReadsBackAs(*bytes, ansiCodePage, text))
            return std::move(*bytes);
    return *Encoded(text, ListCoding::Utf16WithMark, ansiCodePage);
}

}  // namespace lists
