#include "distribution/run_record.h"

#include "lists/list_store.h"
#include "platform/files.h"
#include "platform/path_rules.h"
#include "platform/text.h"

namespace distribution {
namespace {

using State = DestinationOutcome::State;
using End = RunOutcome::End;

// One field: quoted, its quotation marks doubled. A text that a spreadsheet would take for a
// formula (a list named "=cmd|..." ) is kept as text by a leading apostrophe.
std::wstring Field(const std::wstring& text) {
    std::wstring field = L"\"";
    if (!text.empty() && std::wstring_view(L"=+-@\t\r").find(text.front()) != std::wstring_view::npos) field += L'\'';
    for (const wchar_t c : text) field += c == L'"' ? std::wstring(L"\"\"") : std::wstring(1, c);
    return field + L"\"";
}

// What became of a destination, and the reason when it did not simply get everything.
std::pair<const wchar_t*, std::wstring> Result(const RunOutcome& outcome, const DestinationOutcome& destination) {
    switch (destination.state) {
    case State::Complete: return {L"Complete", L""};
    case State::Failed: return {L"Failed", destination.failure->Text() + L", writing " + destination.file};
    case State::Skipped: return {L"Skipped", SkipReason(destination)};
    case State::Unfinished: break;
    }
    switch (outcome.end) {
    case End::Refused: return {L"Refused", outcome.refusal};
    case End::Stopped: return {L"Stopped", L"stopped before copying: destinations failed the checks"};
    case End::Cancelled: return {L"Cancelled", L"the distribution was cancelled first"};
    default: return {L"Unfinished", L"the distribution halted first"};
    }
}

// UTF-8; a lone surrogate (a name no file system would keep) becomes U+FFFD.
std::string Utf8(std::wstring text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] < 0xDC00, low = text[i] >= 0xDC00 && text[i] < 0xE000;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            ++i;
        else if (high || low)
            text[i] = 0xFFFD;
    }
    return platform::ToCodePageExactly(text, platform::kUtf8CodePage).value_or(std::string());
}

}  // namespace

std::wstring RecordFile() { return platform::JoinPath(lists::ListsFolder(), L"Distribution Record.csv"); }

std::string RecordHeader() {
    // The byte order mark tells a spreadsheet that the text is UTF-8.
    return "\xEF\xBB\xBF"
           "Time,List,Sources,Destination,Outcome,Files,Bytes,Error\r\n";
}

std::string RecordLines(const RunRequestRecord& request, const RunOutcome& outcome) {
    std::wstring sources;
    for (const auto& source : request.sources) sources += (sources.empty() ? L"" : L" | ") + source;
    const std::wstring start = Field(request.time) + L"," + Field(request.list) + L"," + Field(sources) + L",";
    std::wstring lines;
    for (const auto& destination : outcome.destinations) {
        const auto [result, reason] = Result(outcome, destination);
        lines += start + Field(destination.destination) + L"," + result + L"," + std::to_wstring(destination.files) +
                 L"," + std::to_wstring(destination.bytes) + L"," + Field(reason) + L"\r\n";
    }
    if (outcome.destinations.empty()) {
        const DestinationOutcome none;
        const auto [result, reason] =
            outcome.end == End::Completed
                ? std::pair<const wchar_t*, std::wstring>{L"Nothing done", L"the list holds no destination"}
                : Result(outcome, none);
        lines += start + L"\"\"," + result + L",0,0," + Field(reason) + L"\r\n";
    }
    return Utf8(lines);
}

std::wstring AddToRecord(const RunRequestRecord& request, const RunOutcome& outcome) noexcept {
    try {
        platform::AppendToFile(RecordFile(), RecordHeader(), RecordLines(request, outcome));
        return {};
    } catch (const platform::Failure& failure) {
        return L"The record of this distribution could not be written to " + RecordFile() + L": " +
               failure.Description();
    } catch (...) {
        return L"The record of this distribution could not be written.";
    }
}

}  // namespace distribution
