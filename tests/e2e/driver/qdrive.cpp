// qdrive: acts on another program's windows from outside, as a person would. It prints its results one a line
// (UTF-8) and ends with 0, or prints "qdrive: <why>" to stderr and ends with 1. W is a window's handle, ID a
// control's id (decimal or 0x hex). Options: --pid, --class, --title (the window waited for), --dir (start),
// --timeout MS (waits; 10000), --await-exit PID (after acting, print PID's exit code).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Text = std::wstring;
std::map<Text, Text> g_options;  // each "--name value", wherever it stands
DWORD g_timeoutMs = 10000;

[[noreturn]] void Fail(const Text& why) { throw why + L" (error " + std::to_wstring(::GetLastError()) + L")"; }

void Print(const Text& text, FILE* to = stdout) {
    std::string bytes(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.back() = '\n';
    std::fputs(bytes.c_str(), to);
}

long long Number(const Text& text) try { return std::stoll(text, nullptr, 0); } catch (...) {
    Fail(L"not a number " + text);
}
HANDLE Process(const Text& pid) {
    HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(Number(pid)));
    if (!process) Fail(L"process " + pid + L" is not running");
    return process;
}

// Prints the process id. The program gets none of our standard handles (null), else a shell reading our output waits.
void Start(Text line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info{};
    const Text folder = g_options[L"--dir"];
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        Fail(L"starting " + line);
    Print(std::to_wstring(info.dwProcessId));
}

// A window's class name, or its caption as the window manager holds it (no message to its thread).
Text NameOf(HWND hwnd, bool caption = false) {
    wchar_t text[1024] = L"";
    caption ? ::GetWindowTextW(hwnd, text, 1024) : ::GetClassNameW(hwnd, text, 1024);
    return text;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, g_timeoutMs, &result))
        Fail(L"sending message " + std::to_wstring(message));
    return static_cast<LRESULT>(result);
}

Text TextOf(HWND hwnd) {
    Text text(static_cast<std::size_t>(Send(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

HWND Existing(HWND hwnd) {
    if (!hwnd || !::IsWindow(hwnd)) Fail(L"no such window or control");
    return hwnd;
}
HWND Control(HWND parent, const Text& id) { return Existing(::GetDlgItem(parent, static_cast<int>(Number(id)))); }

// Waits for a visible top-level window of --pid, of the class `wanted`, captioned --title, that `accepts`.
HWND WaitWindow(const Text& wanted, const std::function<bool(HWND)>& accepts = nullptr) {
    const Text pid = g_options[L"--pid"];
    for (const ULONGLONG deadline = ::GetTickCount64() + g_timeoutMs;; ::Sleep(50)) {
        for (HWND hwnd = nullptr; (hwnd = ::FindWindowExW(nullptr, hwnd, nullptr, nullptr)) != nullptr;) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(hwnd, &process);
            if ((pid.empty() || process == Number(pid)) && ::IsWindowVisible(hwnd) &&
                (wanted.empty() || NameOf(hwnd) == wanted) &&
                (!g_options.count(L"--title") || NameOf(hwnd, true) == g_options[L"--title"]) &&
                (!accepts || accepts(hwnd)))
                return hwnd;
        }
        if (::GetTickCount64() >= deadline) Fail(L"no window [" + wanted + L"] [" + g_options[L"--title"] + L"]");
    }
}

// Selects the first entry of a list box or combo box that begins with TEXT (letter case aside) and
// tells the parent, as the control itself does after a user's click (or double click: `open`).
void Select(HWND control, const Text& text, bool open = false) {
    const bool combo = NameOf(control) == L"ComboBox";
    const LRESULT index =
        Send(control, combo ? CB_FINDSTRING : LB_FINDSTRING, -1, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0 || Send(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0) != index) Fail(L"no entry " + text);
    const WORD notification = combo ? CBN_SELCHANGE : open ? LBN_DBLCLK : LBN_SELCHANGE;
    ::PostMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), notification),
                   reinterpret_cast<LPARAM>(control));
}

// What a control shows on the screen: "COLOUR STROKE": the commonest colour but the background's
// (its corner's) is the ink (RRGGBB); the commonest run of ink along a row is a stroke's width.
void Ink(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<DWORD> shown;
    HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) shown.push_back(::GetPixel(memory, x, y));
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen);
    std::map<DWORD, int> counts, runs;  // runs: length, how many
    for (const DWORD pixel : shown) ++counts[pixel];
    counts.erase(shown.at(0));
    const auto commonest = [](const auto& m) {
        return std::max_element(m.begin(), m.end(), [](auto a, auto b) { return a.second < b.second; })->first;
    };
    if (counts.empty()) Fail(L"the control shows one colour only");
    const DWORD ink = commonest(counts);
    for (int y = 0; y < height; ++y)  // a run counted where it ends
        for (int x = 0, run = 0; x <= width; ++x)
            run = x < width && shown[y * width + x] == ink ? run + 1 : (run && ++runs[run], 0);
    wchar_t colour[8];
    std::swprintf(colour, 8, L"%02x%02x%02x", GetRValue(ink), GetGValue(ink), GetBValue(ink));
    Print(colour + (L" " + std::to_wstring(commonest(runs))));
}

// The focus of the window's thread, when it lies in the window (the window or one of its controls).
HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus && (info.hwndFocus == window || ::IsChild(window, info.hwndFocus)) ? info.hwndFocus : nullptr;
}

// Enter or Esc, down and up, to the control that has the focus, or to the window when none has it.
void Key(HWND window, const Text& name) {
    if (name != L"enter" && name != L"esc") Fail(L"unknown key " + name);
    const WPARAM key = name == L"enter" ? VK_RETURN : VK_ESCAPE;
    HWND target = FocusIn(window) ? FocusIn(window) : window;
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 1 | (3LL << 30));  // the window may be gone by now
}

// Waits for a message box; prints its handle, its title, its buttons (id=caption, TAB between), its text.
void MessageBoxInfo() {
    HWND box = WaitWindow(L"#32770", [](HWND hwnd) { return ::GetDlgItem(hwnd, 0xFFFF) != nullptr; });
    Text buttons;
    for (int id = IDOK; id <= IDCONTINUE; ++id)
        if (HWND button = ::GetDlgItem(box, id); button && ::IsWindowVisible(button))
            buttons += (buttons.empty() ? L"" : L"\t") + std::to_wstring(id) + L"=" + TextOf(button);
    std::erase(buttons, L'&');
    const Text text = TextOf(::GetDlgItem(box, 0xFFFF));
    for (const Text& line : {std::to_wstring(reinterpret_cast<UINT_PTR>(box)), NameOf(box, true), buttons, text})
        Print(line);
}

// In the dialog captioned --title, types TEXT into control ID, which must have the focus (it or a
// part of it, a combo box's edit field), and presses Enter.
void Input(const Text& id, const Text& text) {
    HWND dialog = WaitWindow(L"#32770"), field = Control(dialog, id);
    if (HWND focus = FocusIn(dialog); focus != field && !::IsChild(field, focus)) Fail(L"the focus is elsewhere");
    if (!Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()))) Fail(L"the text was refused");
    Key(dialog, L"enter");
}

// Chooses element N (from 1) of the pop-up menu.
void Menu(long long n) {
    HWND menu = WaitWindow(L"#32768");
    for (; n > 0; --n) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
}

void Subst(const Text& drive, const Text& path) {
    const bool remove = path == L"/D";
    if (!::DefineDosDeviceW(remove ? DDD_REMOVE_DEFINITION : 0, drive.c_str(), remove ? nullptr : path.c_str()))
        Fail(L"DefineDosDeviceW");
}

// ----- The subcommands: how many arguments each takes, and what it does with them -----

using Args = std::vector<Text>;
HWND W(const Args& a) { return Existing(reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(a[0])))); }
HWND C(const Args& a) { return Control(W(a), a[1]); }

// clang-format off
const std::map<Text, std::pair<std::size_t, std::function<void(const Args&)>>> kCommands = {
    {L"start", {1, [](const Args& a) { Start(a[0]); }}},  // COMMANDLINE: prints the process id
    {L"wait-window", {0, [](const Args&) { Print(std::to_wstring(reinterpret_cast<UINT_PTR>(WaitWindow(g_options[L"--class"])))); }}},
    {L"caption", {1, [](const Args& a) { Print(TextOf(W(a))); }}},
    {L"close", {1, [](const Args& a) { ::PostMessageW(W(a), WM_CLOSE, 0, 0); }}},
    {L"command", {2, [](const Args& a) { ::PostMessageW(W(a), WM_COMMAND, static_cast<WORD>(Number(a[1])), 0); }}},  // W ID
    {L"control", {2, [](const Args& a) {  // W ID: "VISIBLE ENABLED TEXT", 1 or 0 each
        Print(std::to_wstring(::IsWindowVisible(C(a))) + L" " + std::to_wstring(::IsWindowEnabled(C(a))) + L" " + TextOf(C(a)));
    }}},
    {L"click", {2, [](const Args& a) { ::PostMessageW(C(a), BM_CLICK, 0, 0); }}},
    {L"select", {3, [](const Args& a) { Select(C(a), a[2]); }}},  // W ID TEXT: the entry beginning with TEXT
    {L"open", {3, [](const Args& a) { Select(C(a), a[2], true); }}},  // W ID TEXT: the same, double-clicked
    {L"ink", {2, [](const Args& a) { Ink(C(a)); }}},
    {L"key", {2, [](const Args& a) { Key(W(a), a[1]); }}},  // W enter|esc
    {L"msgbox", {0, [](const Args&) { MessageBoxInfo(); }}},
    {L"input", {2, [](const Args& a) { Input(a[0], a[1]); }}},  // ID TEXT --title TITLE
    {L"wait", {0, [](const Args&) {}}},  // with --await-exit: the exit alone
    {L"menu", {1, [](const Args& a) { Menu(Number(a[0])); }}},  // N
    {L"subst", {2, [](const Args& a) { Subst(a[0], a[1]); }}},  // X: PATH|/D
};
// clang-format on

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        Args args;
        for (int i = 1; i < argc; ++i) {
            if (const Text arg = argv[i]; arg.size() > 2 && arg.starts_with(L"--") && i + 1 < argc)
                g_options[arg] = argv[++i];
            else
                args.push_back(arg);
        }
        const auto command = args.empty() ? kCommands.end() : kCommands.find(args.front());
        if (command == kCommands.end()) Fail(L"no such subcommand");
        args.erase(args.begin());
        if (args.size() != command->second.first) Fail(L"wrong number of arguments");
        if (g_options.count(L"--timeout")) g_timeoutMs = static_cast<DWORD>(Number(g_options[L"--timeout"]));
        HANDLE awaited = g_options.count(L"--await-exit") ? Process(g_options[L"--await-exit"]) : nullptr;
        command->second.second(args);
        if (DWORD code = 0; awaited) {
            if (::WaitForSingleObject(awaited, g_timeoutMs) != WAIT_OBJECT_0 || !::GetExitCodeProcess(awaited, &code))
                Fail(L"waiting for the exit");
            Print(std::to_wstring(code));
        }
    } catch (const Text& message) {
        Print(L"qdrive: " + message, stderr);
        return 1;
    }
    return 0;
}
