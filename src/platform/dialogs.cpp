#include "platform/dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/app.h"
#include "resources/resource_ids.h"

namespace platform {
namespace {

BOOL CALLBACK FindEnabledWindow(HWND hwnd, LPARAM found) {
    if (!::IsWindowVisible(hwnd) || !::IsWindowEnabled(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

// The window the box belongs to, so that the program takes no other input while it is up: the
// active window, or, while another program has the foreground, the topmost visible window of
// this thread that takes input (a modal window comes before its owner).
HWND BoxOwner() {
    HWND owner = ::GetActiveWindow();
    if (owner && ::IsWindowVisible(owner)) return owner;
    owner = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindEnabledWindow, reinterpret_cast<LPARAM>(&owner));
    return owner;
}

struct AskTextState {
    const std::wstring* prompt;
    const std::wstring* title;
    std::wstring answer;
};

INT_PTR CALLBACK AskTextProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            auto* state = reinterpret_cast<AskTextState*>(lParam);
            ::SetWindowTextW(dialog, state->title->c_str());
            ::SetDlgItemTextW(dialog, IDC_ASK_PROMPT, state->prompt->c_str());
            ::SendDlgItemMessageW(dialog, IDC_ASK_ANSWER, EM_LIMITTEXT, 32767, 0);
            return TRUE;  // the answer field, first in the tab order, takes the focus
        }
        auto* state = reinterpret_cast<AskTextState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (message == WM_COMMAND && state) {
            const int id = LOWORD(wParam);
            if (id == IDOK) {
                HWND field = ::GetDlgItem(dialog, IDC_ASK_ANSWER);
                const int length = ::GetWindowTextLengthW(field);
                std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
                text.resize(static_cast<std::size_t>(::GetWindowTextW(field, text.data(), length + 1)));
                state->answer = std::move(text);
                ::EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (id == IDCANCEL) {
                state->answer.clear();
                ::EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
        }
        return FALSE;
    });
}

DialogAnswers*& Answers() {
    static DialogAnswers* answers = nullptr;
    return answers;
}

}  // namespace

void SetDialogAnswers(DialogAnswers* answers) noexcept { Answers() = answers; }

std::wstring MessageBoxText(const std::wstring& text) {
    std::wstring shown;
    shown.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        shown += text[i];
        if (text[i] == L'\r' && (i + 1 >= text.size() || text[i + 1] != L'\n')) shown += L'\n';
    }
    return shown;
}

int ShowMessage(const std::wstring& text, int style, const std::wstring& title) {
    if (DialogAnswers* answers = Answers()) return answers->Message(text, style, title);
    const int answer = ::MessageBoxW(BoxOwner(), MessageBoxText(text).c_str(), title.c_str(),
                                     static_cast<UINT>(style) | MB_SETFOREGROUND);
    if (answer == 0) ThrowLastError();
    return answer;
}

std::wstring AskText(const std::wstring& prompt, const std::wstring& title) {
    if (DialogAnswers* answers = Answers()) return answers->Text(prompt, title);
    AskTextState state{&prompt, &title, {}};
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ASK_TEXT), BoxOwner(),
                                             &AskTextProcedure, reinterpret_cast<LPARAM>(&state));
    if (result == -1) ThrowLastError();
    return result == IDOK ? state.answer : std::wstring();
}

OpenFileChoice ShowOpenFile(const OpenFileRequest& request) {
    if (DialogAnswers* answers = Answers()) return answers->OpenFile(request);
    // "A|B|C|D" becomes "A\0B\0C\0D\0\0".
    std::wstring filter = request.filter;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    std::vector<wchar_t> path(32768, L'\0');
    std::vector<wchar_t> fileTitle(MAX_PATH + 1, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = BoxOwner();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    dialog.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!::GetOpenFileNameW(&dialog)) {
        const DWORD error = ::CommDlgExtendedError();
        if (error != 0) throw Failure(error, L"The open-file dialog could not be shown.");
        return {};
    }
    return OpenFileChoice{path.data(), fileTitle.data()};
}

void ShowStandardError(const Failure& failure) {
    if (DialogAnswers* answers = Answers()) {
        answers->Message(StandardErrorText(failure), kErrorIcon, kProgramTitle);
        return;
    }
    // A quit already waiting (the failing window closed on its way out) would close the box
    // before anyone saw it; the program ends after the box all the same.
    MSG quit;
    ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    // No owner and task-modal: every window of the program is disabled while it is up.
    ::MessageBoxW(nullptr, MessageBoxText(StandardErrorText(failure)).c_str(), kProgramTitle,
                  MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TASKMODAL);
}

}  // namespace platform
