#include "platform/portable_text.h"

#include <algorithm>
#include <iterator>

#include "platform/failure.h"
#include "platform/text.h"

namespace platform::portable {
namespace {

// Bytes 0x80-0x9F of code page 1252; every other byte is the character of its own value. The five
// bytes that the code page leaves undefined are the control characters of their value, strict or
// not, as Windows reads them.
constexpr wchar_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<std::string> To1252(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        const auto high = std::find(std::begin(kHigh1252), std::end(kHigh1252), c);
        const char32_t unit = static_cast<char32_t>(c);
        if (high != std::end(kHigh1252))
            bytes += static_cast<char>(0x80 + (high - std::begin(kHigh1252)));
        else if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
            bytes += static_cast<char>(unit);
        else
            return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> ToUtf8(std::wstring_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDFFF) {  // only a high surrogate followed by a low one is a character
            if (c > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
        }
        static constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
        const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        bytes += static_cast<char>(kLead[tail] | c >> 6 * tail);
        for (int t = tail - 1; t >= 0; --t) bytes += static_cast<char>(0x80 | (c >> 6 * t & 0x3F));
    }
    return bytes;
}

// Strict: nothing when the bytes are no valid UTF-8. Else each invalid part (the longest start of
// a sequence that could still have been valid, or one byte) becomes U+FFFD.
std::optional<std::wstring> FromUtf8(std::string_view bytes, bool strict) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned b = static_cast<unsigned char>(bytes[i]);
        // The sequence's length, and the range of its second byte: no overlong form, no
        // surrogate, nothing beyond U+10FFFF.
        const std::size_t length = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
        const unsigned low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        const unsigned high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        std::size_t n = 1;
        for (; n < length && i + n < bytes.size(); ++n) {
            const unsigned t = static_cast<unsigned char>(bytes[i + n]);
            if (t < (n == 1 ? low : 0x80) || t > (n == 1 ? high : 0xBF)) break;
            c = c << 6 | (t & 0x3F);
        }
        i += n;
        if (n != length) {
            if (strict) return std::nullopt;
            text += wchar_t{0xFFFD};
        } else if (c >= 0x10000) {
            text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        } else {
            text += static_cast<wchar_t>(c);
        }
    }
    return text;
}

[[noreturn]] void Unknown(unsigned codePage) {
    throw Failure(87, L"Code page " + std::to_wstring(codePage) + L" is not one this build converts.");
}

}  // namespace

std::optional<std::string> ToCodePageExactly(std::wstring_view text, unsigned codePage) {
    if (codePage == kWesternCodePage) return To1252(text);
    if (codePage == kUtf8CodePage) return ToUtf8(text);
    Unknown(codePage);
}

std::optional<std::wstring> FromCodePage(std::string_view text, unsigned codePage, bool strict) {
    if (codePage == kUtf8CodePage) return FromUtf8(text, strict);
    if (codePage != kWesternCodePage) Unknown(codePage);
    std::wstring result;
    for (const char b : text) {
        const unsigned char byte = static_cast<unsigned char>(b);
        result += byte >= 0x80 && byte < 0xA0 ? kHigh1252[byte - 0x80] : static_cast<wchar_t>(byte);
    }
    return result;
}

}  // namespace platform::portable

#ifndef _WIN32
// Without Windows (the native build of the logic) the system's text rules are these: code page
// 1252 as the ANSI code page, and letter case folded in the ASCII range.
namespace platform {

unsigned AnsiCodePage() { return portable::kWesternCodePage; }

std::optional<std::string> ToCodePageExactly(std::wstring_view text, unsigned codePage) {
    return portable::ToCodePageExactly(text, codePage);
}

std::optional<std::wstring> FromCodePage(std::string_view text, unsigned codePage, bool strict) {
    return portable::FromCodePage(text, codePage, strict);
}

std::wstring CaseFolded(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return folded;
}

}  // namespace platform
#endif
