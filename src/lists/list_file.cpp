#include "lists/list_file.h"

#include "platform/text.h"

namespace lists {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::vector<std::wstring> DecodeListFile(std::string_view bytes) {
    const bool utf8 = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    const std::wstring text = utf8 ? platform::FromUtf8(bytes.substr(kUtf8Mark.size()))
                                   : platform::FromAnsi(bytes);
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
    }
    return lines;
}

std::string EncodeListFile(const std::vector<std::wstring>& entries) {
    std::wstring text;
    for (const auto& entry : entries) {
        text += entry;
        text += L"\r\n";
    }
    if (auto ansi = platform::ToAnsiExactly(text)) return *ansi;
    return std::string(kUtf8Mark) + platform::ToUtf8(text);
}

}  // namespace lists
