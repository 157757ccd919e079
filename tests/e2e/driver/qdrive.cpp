// qdrive: acts on another program's windows from outside, as a person would, for the end-to-end
// scenarios and the benchmarks. Each subcommand prints its results one value a line (UTF-8) and
// ends with 0; on a failure or a timeout it prints "qdrive: <why>" to stderr and ends with 1.
// Windows and controls are numbers (decimal or 0x hex): a window's handle, a control's id. Options:
// --pid, --class, --title (the window to wait for), --dir (start), --timeout MS (waits; 10000),
// --await-exit PID (hold PID first; after acting, wait for it to end and print its exit code).
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using Text = std::wstring;
[[noreturn]] void Fail(const Text& message) { throw message; }
[[noreturn]] void FailLast(const Text& what) {
    Fail(what + L" failed (error " + std::to_wstring(::GetLastError()) + L")");
}

void Print(const Text& text, FILE* to = stdout) {
    std::string bytes(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.back() = '\n';
    std::fputs(bytes.c_str(), to);
}
Text Num(HWND hwnd) { return std::to_wstring(reinterpret_cast<UINT_PTR>(hwnd)); }

long long Number(const Text& text) {
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') Fail(L"not a number: " + text);
    return value;
}

// The subcommand's arguments, and the options (each "--name value") found anywhere.
struct Args {
    std::vector<Text> at;
    std::map<Text, Text> options;
    Text Option(const Text& name) const { return options.count(name) ? options.at(name) : Text(); }
};

DWORD g_timeoutMs = 10000;

// Polls `found` every 50 ms until it gives a window or the timeout has passed.
HWND WaitFor(const std::function<HWND()>& found, const Text& what) {
    for (const ULONGLONG deadline = ::GetTickCount64() + g_timeoutMs;; ::Sleep(50)) {
        if (HWND hwnd = found()) return hwnd;
        if (::GetTickCount64() >= deadline) Fail(L"timed out waiting for " + what);
    }
}

HANDLE OpenProcessById(const Text& pid) {
    HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(Number(pid)));
    if (!process) Fail(L"process " + pid + L" is not running");
    return process;
}

DWORD WaitExit(HANDLE process) {
    DWORD code = 0;
    if (::WaitForSingleObject(process, g_timeoutMs) != WAIT_OBJECT_0) Fail(L"timed out waiting for the exit");
    if (!::GetExitCodeProcess(process, &code)) FailLast(L"GetExitCodeProcess");
    return code;
}

// Prints the process id. The program gets none of our standard handles: else a shell reading our
// output waits for it.
void Start(Text line, const Text& folder) {
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        FailLast(L"starting " + line);
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
        FailLast(L"sending message " + std::to_wstring(message) + L" to " + Num(hwnd));
    return static_cast<LRESULT>(result);
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!::PostMessageW(hwnd, message, wParam, lParam))
        FailLast(L"posting message " + std::to_wstring(message) + L" to " + Num(hwnd));
}

Text TextOf(HWND hwnd) {
    Text text(static_cast<std::size_t>(Send(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// A window by its handle, or a control of `parent` by its id.
HWND Find(const Text& number, HWND parent = nullptr) {
    HWND hwnd = parent ? ::GetDlgItem(parent, static_cast<int>(Number(number)))
                       : reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(number)));
    if (!hwnd || !::IsWindow(hwnd)) Fail(L"no window or control " + number);
    return hwnd;
}

// Waits for a visible top-level window of --pid, of --class (or the class given), captioned
// --title, that `accepts`.
HWND WaitWindow(const Args& args, Text wanted = L"", const std::function<bool(HWND)>& accepts = nullptr) {
    const Text pid = args.Option(L"--pid");
    if (wanted.empty()) wanted = args.Option(L"--class");
    return WaitFor(
        [&]() -> HWND {
            for (HWND hwnd = nullptr; (hwnd = ::FindWindowExW(nullptr, hwnd, nullptr, nullptr)) != nullptr;) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(hwnd, &process);
                if ((pid.empty() || process == Number(pid)) && ::IsWindowVisible(hwnd) &&
                    (wanted.empty() || NameOf(hwnd) == wanted) &&
                    (!args.options.count(L"--title") || NameOf(hwnd, true) == args.Option(L"--title")) &&
                    (!accepts || accepts(hwnd)))
                    return hwnd;
            }
            return nullptr;
        },
        L"a window [" + wanted + L"] [" + args.Option(L"--title") + L"] of process " + pid);
}

// "VISIBLE ENABLED TEXT": 1 or 0 each, and the control's text.
void Control(HWND control) {
    Print(std::to_wstring(::IsWindowVisible(control)) + L" " + std::to_wstring(::IsWindowEnabled(control)) + L" " +
          TextOf(control));
}

void Click(HWND control) {
    if (!::IsWindowEnabled(control) || !::IsWindowVisible(control))
        Fail(L"control " + Num(control) + L" is disabled or hidden");
    Post(control, BM_CLICK, 0, 0);
}

// Selects the first entry of a list box or combo box that begins with TEXT (letter case aside) and
// tells the parent, as the control itself does after a user's click (or double click: `open`).
void Select(HWND control, const Text& text, bool open = false) {
    const bool combo = NameOf(control) == L"ComboBox";
    const LRESULT index =
        Send(control, combo ? CB_FINDSTRING : LB_FINDSTRING, -1, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0 || Send(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0) != index) Fail(L"no entry " + text);
    const WORD notification = combo ? CBN_SELCHANGE : open ? LBN_DBLCLK : LBN_SELCHANGE;
    Post(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), notification),
         reinterpret_cast<LPARAM>(control));
}

// What a control shows on the screen: "COLOUR STROKE": its commonest colour is the background,
// the next the ink (RRGGBB); the commonest run of ink along a row is a stroke's width.
void Ink(HWND control) {
    RECT rect{};
    if (!::GetWindowRect(control, &rect)) FailLast(L"GetWindowRect");
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> shown(static_cast<std::size_t>(width * height));
    HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    ::GetDIBits(memory, bitmap, 0, height, shown.data(), &info, DIB_RGB_COLORS);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen);
    std::map<DWORD, int> counts, runs;  // runs: length, how many
    for (DWORD& pixel : shown) ++counts[pixel &= 0xFFFFFF];
    std::vector<std::pair<int, DWORD>> byCount;
    for (const auto& [colour, count] : counts) byCount.push_back({count, colour});
    std::sort(byCount.rbegin(), byCount.rend());
    if (byCount.size() < 2) Fail(L"control " + Num(control) + L" shows one colour only");
    const DWORD ink = byCount[1].second;
    for (int y = 0; y < height; ++y)  // a run counted where it ends
        for (int x = 0, run = 0; x <= width; ++x)
            run = x < width && shown[y * width + x] == ink ? run + 1 : (run && ++runs[run], 0);
    const auto stroke = std::max_element(runs.begin(), runs.end(), [](auto a, auto b) { return a.second < b.second; });
    wchar_t colour[8];
    std::swprintf(colour, 8, L"%06lx", static_cast<unsigned long>(ink));
    Print(colour + (L" " + std::to_wstring(stroke == runs.end() ? 0 : stroke->first)));
}

// The focus of the window's thread, when it lies in the window (the window or one of its controls).
HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) FailLast(L"GetGUIThreadInfo");
    return info.hwndFocus && (info.hwndFocus == window || ::IsChild(window, info.hwndFocus)) ? info.hwndFocus : nullptr;
}

// Enter or Esc, down and up, to the control that has the focus, or to the window when none has it.
void Key(HWND window, const Text& name) {
    if (name != L"enter" && name != L"esc") Fail(L"unknown key " + name);
    const WPARAM key = name == L"enter" ? VK_RETURN : VK_ESCAPE;
    HWND target = FocusIn(window) ? FocusIn(window) : window;
    Post(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 1 | (3LL << 30));  // the window may be gone by now
}

// Waits for a message box; prints its handle, its title, its buttons (id=caption, TAB between),
// then its text's lines.
void MessageBoxInfo(const Args& args) {
    HWND box = WaitWindow(args, L"#32770", [](HWND hwnd) { return ::GetDlgItem(hwnd, 0xFFFF) != nullptr; });
    Print(Num(box));
    Print(NameOf(box, true));
    Text buttons;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (NameOf(child) != L"Button" || !::IsWindowVisible(child)) continue;
        Text caption = TextOf(child);
        std::erase(caption, L'&');
        buttons += (buttons.empty() ? L"" : L"\t") + std::to_wstring(::GetDlgCtrlID(child)) + L"=" + caption;
    }
    Print(buttons);
    Text text = TextOf(::GetDlgItem(box, 0xFFFF));  // its lines, whatever ends them
    for (std::size_t at; (at = text.find(L"\r\n")) != Text::npos;) text.erase(at, 1);
    std::replace(text.begin(), text.end(), L'\r', L'\n');
    Print(text);
}

// In the dialog captioned TITLE, types TEXT into control ID, which must have the focus (it or a part of
// it, a combo box's edit field), and presses Enter.
void Input(const Args& a) {
    HWND dialog = WaitWindow(a, L"#32770", [&](HWND hwnd) { return NameOf(hwnd, true) == a.at[0]; });
    HWND field = Find(a.at[1], dialog);
    if (HWND focus = FocusIn(dialog); focus != field && !::IsChild(field, focus)) Fail(L"the focus is elsewhere");
    if (!Send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.at[2].c_str()))) Fail(L"the text was refused");
    Key(dialog, L"enter");
}

// Chooses element N (from 1) of the pop-up menu.
void Menu(const Args& args) {
    HWND menu = WaitWindow(args, L"#32768");
    for (long long i = Number(args.at[0]); i > 0; --i) Post(menu, WM_KEYDOWN, VK_DOWN, 1);
    Post(menu, WM_KEYDOWN, VK_RETURN, 1);
}

// A shortcut's target, arguments and working folder.
void ReadLink(const Text& path) {
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH * 4] = L"", arguments[INFOTIPSIZE] = L"", folder[MAX_PATH * 4] = L"";
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) ||
        FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link->QueryInterface(IID_PPV_ARGS(&file))) || FAILED(file->Load(path.c_str(), STGM_READ)) ||
        FAILED(link->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetArguments(arguments, INFOTIPSIZE)) || FAILED(link->GetWorkingDirectory(folder, MAX_PATH * 4)))
        Fail(L"reading the shortcut " + path + L" failed");
    for (const Text line : {target, arguments, folder}) Print(line);
}

// X: PATH makes the drive letter lead to PATH; X: /D nowhere again.
void Subst(const Text& drive, const Text& path) {
    const bool remove = path == L"/D";
    if (!::DefineDosDeviceW(remove ? DDD_REMOVE_DEFINITION : 0, drive.c_str(), remove ? nullptr : path.c_str()))
        FailLast(L"DefineDosDeviceW");
}

// ----- The subcommands: how many arguments each takes, and what it does -----

using Command = std::function<void(const Args&)>;
HWND W(const Args& args) { return Find(args.at[0]); }
HWND C(const Args& args) { return Find(args.at[1], W(args)); }

// clang-format off
const std::map<Text, std::pair<std::size_t, Command>> kCommands = {
    {L"start", {1, [](const Args& a) { Start(a.at[0], a.Option(L"--dir")); }}},  // prints the process id
    {L"wait-exit", {1, [](const Args& a) { Print(std::to_wstring(WaitExit(OpenProcessById(a.at[0])))); }}},
    {L"wait-window", {0, [](const Args& a) { Print(Num(WaitWindow(a))); }}},
    {L"caption", {1, [](const Args& a) { Print(TextOf(W(a))); }}},
    {L"close", {1, [](const Args& a) { Post(W(a), WM_CLOSE, 0, 0); }}},
    {L"command", {2, [](const Args& a) { Post(W(a), WM_COMMAND, static_cast<WORD>(Number(a.at[1])), 0); }}},
    {L"control", {2, [](const Args& a) { Control(C(a)); }}},  // W ID
    {L"click", {2, [](const Args& a) { Click(C(a)); }}},
    {L"select", {3, [](const Args& a) { Select(C(a), a.at[2]); }}},  // W ID TEXT: the entry beginning with TEXT
    {L"open", {3, [](const Args& a) { Select(C(a), a.at[2], true); }}},  // W ID TEXT: the same, double-clicked
    {L"ink", {2, [](const Args& a) { Ink(C(a)); }}},
    {L"key", {2, [](const Args& a) { Key(W(a), a.at[1]); }}},  // enter esc
    {L"msgbox", {0, MessageBoxInfo}},
    {L"input", {3, Input}},  // TITLE ID TEXT
    {L"menu", {1, Menu}},
    {L"lnk", {1, [](const Args& a) { ReadLink(a.at[0]); }}},
    {L"subst", {2, [](const Args& a) { Subst(a.at[0], a.at[1]); }}},
};
// clang-format on

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        Args args;
        for (int i = 1; i < argc; ++i) {
            const Text arg = argv[i];
            if (arg.size() > 2 && arg.starts_with(L"--") && i + 1 < argc)
                args.options[arg] = argv[++i];
            else
                args.at.push_back(arg);
        }
        const auto command = args.at.empty() ? kCommands.end() : kCommands.find(args.at.front());
        if (command == kCommands.end()) Fail(L"no such subcommand");
        args.at.erase(args.at.begin());
        if (args.at.size() != command->second.first)
            Fail(command->first + L" takes " + std::to_wstring(command->second.first) + L" argument(s)");
        if (args.options.count(L"--timeout")) g_timeoutMs = static_cast<DWORD>(Number(args.Option(L"--timeout")));
        HANDLE awaited = args.options.count(L"--await-exit") ? OpenProcessById(args.Option(L"--await-exit")) : nullptr;
        command->second.second(args);
        if (awaited) Print(std::to_wstring(WaitExit(awaited)));
    } catch (const Text& message) {
        std::fflush(stdout);
        Print(L"qdrive: " + message, stderr);
        return 1;
    }
    return 0;
}
