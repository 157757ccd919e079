// qdrive: acts on another program's windows from outside, as a person would, for the end-to-end
// scenarios and the setup test. Each subcommand prints its results one value a line (UTF-8) and
// ends with 0; on a failure or a timeout it prints "qdrive: <why>" to stderr and ends with 1.
// Windows are printed and taken as hex handles, controls by id (decimal, 0x hex, or OK CANCEL YES
// NO RETRY naming a button). Options anywhere: --pid, --class, --title (which window to wait for),
// --dir (start), --image (kill), --timeout MS (waits; 10000), --await-exit PID (hold PID first;
// after acting, wait for it to end and print its exit code as the last line).
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using Text = std::wstring;
struct Failed {
    Text message;
};
[[noreturn]] void Fail(const Text& message) { throw Failed{message}; }
[[noreturn]] void FailLast(const Text& what) {
    Fail(what + L" failed (error " + std::to_wstring(::GetLastError()) + L")");
}

// The text in UTF-8, and a line end.
std::string Utf8Line(const Text& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.back() = '\n';
    return bytes;
}
void Print(const Text& line) { std::fputs(Utf8Line(line).c_str(), stdout); }

Text Hex(HWND hwnd) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return buffer;
}

bool EqualNoCase(const Text& a, const Text& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

long long Number(const Text& text) {
    static const std::map<Text, int> kButtons = {
        {L"OK", IDOK}, {L"CANCEL", IDCANCEL}, {L"RETRY", IDRETRY}, {L"YES", IDYES}, {L"NO", IDNO}};
    for (const auto& [name, id] : kButtons)
        if (EqualNoCase(text, name)) return id;
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

// ----- Processes -----

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

void Start(Text line, const Text& folder) {
    // The program gets none of our standard handles: else a shell reading our output waits for it.
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
    ::CloseHandle(nul);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    Print(std::to_wstring(info.dwProcessId));
}

// Ends the process when it still runs the program IMAGE (the id may belong to another by now).
void Kill(const Text& pid, const Text& image) {
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   static_cast<DWORD>(Number(pid)));
    if (!process) return;
    wchar_t name[MAX_PATH * 4] = L"";
    DWORD size = MAX_PATH * 4;
    ::QueryFullProcessImageNameW(process, 0, name, &size);
    const Text path(name, size);
    if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
        EqualNoCase(path.substr(path.find_last_of(L"\\/") + 1), image) && ::TerminateProcess(process, 1))
        ::WaitForSingleObject(process, g_timeoutMs);
    ::CloseHandle(process);
}

// ----- Windows -----

Text ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    ::GetClassNameW(hwnd, name, 256);
    return name;
}

// The caption as the window manager holds it (no message to the window's thread).
Text CaptionOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, g_timeoutMs, &result))
        FailLast(L"sending message " + std::to_wstring(message) + L" to " + Hex(hwnd));
    return static_cast<LRESULT>(result);
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!::PostMessageW(hwnd, message, wParam, lParam))
        FailLast(L"posting message " + std::to_wstring(message) + L" to " + Hex(hwnd));
}

// A text got by a pair of messages (its length, then the text), which other processes answer too.
Text Get(HWND hwnd, UINT lengthMessage, UINT textMessage, WPARAM index = 0) {
    Text text(static_cast<std::size_t>(Send(hwnd, lengthMessage, index, 0)) + 1, L'\0');
    const LRESULT got =
        Send(hwnd, textMessage, textMessage == WM_GETTEXT ? text.size() : index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    return text;
}
Text TextOf(HWND hwnd) { return Get(hwnd, WM_GETTEXTLENGTH, WM_GETTEXT); }

HWND WindowArg(const Text& text) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(text)));
    if (!::IsWindow(hwnd)) Fail(L"no window " + text);
    return hwnd;
}

HWND ControlArg(HWND parent, const Text& id) {
    HWND control = ::GetDlgItem(parent, static_cast<int>(Number(id)));
    if (!control) Fail(L"window " + Hex(parent) + L" has no control " + id);
    return control;
}

// Waits for a visible top-level window of --pid, of --class (or the class given), captioned
// --title, that `accepts`.
HWND WaitWindow(const Args& args, const Text& className = L"", const std::function<bool(HWND)>& accepts = nullptr) {
    const Text wanted = className.empty() ? args.Option(L"--class") : className, pid = args.Option(L"--pid");
    return WaitFor(
        [&]() -> HWND {
            for (HWND hwnd = nullptr; (hwnd = ::FindWindowExW(nullptr, hwnd, nullptr, nullptr)) != nullptr;) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(hwnd, &process);
                if ((pid.empty() || process == Number(pid)) && ::IsWindowVisible(hwnd) &&
                    (wanted.empty() || ClassOf(hwnd) == wanted) &&
                    (!args.options.count(L"--title") || CaptionOf(hwnd) == args.Option(L"--title")) &&
                    (!accepts || accepts(hwnd)))
                    return hwnd;
            }
            return nullptr;
        },
        L"a window [" + wanted + L"] [" + args.Option(L"--title") + L"] of process " + pid);
}

RECT Rect(HWND hwnd) {
    RECT rect{};
    if (!::GetWindowRect(hwnd, &rect)) FailLast(L"GetWindowRect");
    return rect;
}

// ----- Controls -----

void Click(HWND control) {
    if (!::IsWindowEnabled(control) || !::IsWindowVisible(control))
        Fail(L"control " + Hex(control) + L" is disabled or hidden");
    Post(control, BM_CLICK, 0, 0);
}

void SetText(HWND control, const Text& text) {
    if (!Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
        Fail(L"control " + Hex(control) + L" refused the text");
}

// The messages of a list box or a combo box: count, text length, text, get and set the selection.
struct ListMessages {
    UINT count, length, text, selected, select;
    WORD changed;
};
ListMessages ListKind(HWND control) {
    if (EqualNoCase(ClassOf(control), L"ComboBox"))
        return {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL, CB_SETCURSEL, CBN_SELCHANGE};
    return {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL, LB_SETCURSEL, LBN_SELCHANGE};
}

// Selects entry `index` and tells the parent, as the control itself does after a user's click.
void SelectEntry(HWND control, const Text& index, WORD notification) {
    const ListMessages kind = ListKind(control);
    if (Send(control, kind.select, static_cast<WPARAM>(Number(index)), 0) != Number(index)) Fail(L"no entry " + index);
    Post(::GetParent(control), WM_COMMAND,
         MAKEWPARAM(::GetDlgCtrlID(control), notification ? notification : kind.changed),
         reinterpret_cast<LPARAM>(control));
}

// What a control shows on the screen: "COLOUR STROKE": its commonest colour is the background,
// the next the ink (RRGGBB); the commonest run of ink along a row is a stroke's width.
void Ink(HWND control) {
    const RECT rect = Rect(control);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr), memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    std::vector<DWORD> shown(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    ::ReleaseDC(nullptr, screen);
    std::map<DWORD, int> counts;
    for (DWORD& pixel : shown) ++counts[pixel &= 0xFFFFFF];
    std::vector<std::pair<int, DWORD>> byCount;
    for (const auto& [colour, count] : counts) byCount.push_back({count, colour});
    std::sort(byCount.rbegin(), byCount.rend());
    if (byCount.size() < 2) Fail(L"control " + Hex(control) + L" shows one colour only");
    const DWORD ink = byCount[1].second;
    std::map<int, int> runs;  // length: how many
    for (int y = 0, run = 0; y < height; ++y, run = 0) {
        for (int x = 0; x <= width; ++x) {
            if (x < width && shown[y * width + x] == ink) {
                ++run;
            } else if (run > 0) {
                ++runs[std::exchange(run, 0)];
            }
        }
    }
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

// Posts the key (down and up) to the focused control, or to the window when none has the focus.
void Key(HWND window, const Text& name) {
    static const std::map<Text, UINT> kKeys = {
        {L"enter", VK_RETURN}, {L"esc", VK_ESCAPE}, {L"tab", VK_TAB}, {L"down", VK_DOWN}};
    if (!kKeys.count(name)) Fail(L"unknown key " + name);
    const UINT key = kKeys.at(name);
    HWND target = FocusIn(window) ? FocusIn(window) : window;
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    Post(target, WM_KEYDOWN, key, 1 | scan);
    // The key down may have closed the window (Enter or Esc in a box): the key up then goes nowhere.
    ::PostMessageW(target, WM_KEYUP, key, 1 | scan | (3LL << 30));
}

// ----- Boxes, dialogs (#32770) and pop-up menus (#32768) -----

// Waits for a message box; prints its handle, its title, its buttons (id=caption, TAB between),
// then its text's lines.
void MessageBoxInfo(const Args& args) {
    HWND box = WaitWindow(args, L"#32770", [](HWND hwnd) { return ::GetDlgItem(hwnd, 0xFFFF) != nullptr; });
    Print(Hex(box));
    Print(CaptionOf(box));
    Text buttons;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!EqualNoCase(ClassOf(child), L"Button") || !::IsWindowVisible(child)) continue;
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

// Chooses element N (from 1) of the pop-up menu, or dismisses it (esc); waits until it has closed.
void Menu(const Args& args) {
    const bool dismiss = args.at[0] == L"esc";
    HWND menu = WaitWindow(args, L"#32768");
    for (long long i = dismiss ? 0 : Number(args.at[0]); i > 0; --i) Post(menu, WM_KEYDOWN, VK_DOWN, 1);
    Post(menu, WM_KEYDOWN, dismiss ? VK_ESCAPE : VK_RETURN, 1);
    WaitFor([menu]() -> HWND { return ::IsWindow(menu) && ::IsWindowVisible(menu) ? nullptr : menu; },
            L"the menu to close");
}

// A shortcut's target, arguments and working folder.
void ReadLink(const Text& path) {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) Fail(L"COM did not start");
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH * 4] = L"", arguments[INFOTIPSIZE] = L"", folder[MAX_PATH * 4] = L"";
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                        reinterpret_cast<void**>(&link));
    if (SUCCEEDED(result)) result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) result = file->Load(path.c_str(), STGM_READ);
    if (SUCCEEDED(result)) result = link->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH);
    if (SUCCEEDED(result)) result = link->GetArguments(arguments, INFOTIPSIZE);
    if (SUCCEEDED(result)) result = link->GetWorkingDirectory(folder, MAX_PATH * 4);
    if (file) file->Release();
    if (link) link->Release();
    if (FAILED(result)) Fail(L"reading the shortcut " + path + L" failed");
    for (const Text line : {target, arguments, folder}) Print(line);
}

// ----- The subcommands: how many arguments each takes, and what it does -----

using Command = std::function<void(const Args&)>;
HWND W(const Args& args) { return WindowArg(args.at[0]); }
HWND C(const Args& args) { return ControlArg(W(args), args.at[1]); }

void Items(const Args& a) {
    const ListMessages kind = ListKind(C(a));
    for (LRESULT i = 0, count = Send(C(a), kind.count, 0, 0); i < count; ++i)
        Print(Get(C(a), kind.length, kind.text, static_cast<WPARAM>(i)));
}

void Focus(const Args& a) {
    HWND focus = FocusIn(W(a));
    Print(std::to_wstring(focus && focus != W(a) ? ::GetDlgCtrlID(focus) : 0));
}

void Input(const Args& a) {
    HWND dialog = WaitWindow(a, L"#32770", [&](HWND hwnd) { return CaptionOf(hwnd) == a.at[0]; });
    SetText(ControlArg(dialog, a.at[1]), a.at[2]);
    Click(ControlArg(dialog, L"OK"));
}

void SpecialFolder(const Args& a) {
    wchar_t path[MAX_PATH] = L"";
    const int folder = a.at[0] == L"sendto" ? CSIDL_SENDTO : a.at[0] == L"programs" ? CSIDL_PROGRAMS : -1;
    if (folder < 0 || FAILED(::SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)))
        Fail(L"no folder " + a.at[0]);
    Print(path);
}

void Subst(const Args& a) {
    const bool remove = EqualNoCase(a.at[1], L"/D");
    if (!::DefineDosDeviceW(remove ? DDD_REMOVE_DEFINITION : 0, a.at[0].c_str(), remove ? nullptr : a.at[1].c_str()))
        FailLast(L"DefineDosDeviceW");
}

// clang-format off
const std::map<Text, std::pair<std::size_t, Command>> kCommands = {
    {L"start", {1, [](const Args& a) { Start(a.at[0], a.Option(L"--dir")); }}},  // prints the process id
    {L"wait-exit", {1, [](const Args& a) { Print(std::to_wstring(WaitExit(OpenProcessById(a.at[0])))); }}},
    {L"kill", {1, [](const Args& a) { Kill(a.at[0], a.Option(L"--image")); }}},
    {L"wait-window", {0, [](const Args& a) { Print(Hex(WaitWindow(a))); }}},
    {L"caption", {1, [](const Args& a) { Print(TextOf(W(a))); }}},
    {L"close", {1, [](const Args& a) { Post(W(a), WM_CLOSE, 0, 0); }}},
    {L"command", {2, [](const Args& a) { Post(W(a), WM_COMMAND, static_cast<WORD>(Number(a.at[1])), 0); }}},
    {L"text", {2, [](const Args& a) { Print(TextOf(C(a))); }}},
    {L"enabled", {2, [](const Args& a) { Print(::IsWindowEnabled(C(a)) ? L"1" : L"0"); }}},
    {L"visible", {2, [](const Args& a) { Print(::GetWindowLongPtrW(C(a), GWL_STYLE) & WS_VISIBLE ? L"1" : L"0"); }}},
    {L"click", {2, [](const Args& a) { Click(C(a)); }}},
    {L"set-text", {3, [](const Args& a) { SetText(C(a), a.at[2]); }}},
    {L"ink", {2, [](const Args& a) { Ink(C(a)); }}},
    {L"items", {2, Items}},
    {L"selected", {2, [](const Args& a) { Print(std::to_wstring(Send(C(a), ListKind(C(a)).selected, 0, 0))); }}},
    {L"select", {3, [](const Args& a) { SelectEntry(C(a), a.at[2], 0); }}},
    {L"dblclick", {3, [](const Args& a) { SelectEntry(C(a), a.at[2], LBN_DBLCLK); }}},
    {L"focus", {1, Focus}},  // the focused control's id, 0 when none
    {L"key", {2, [](const Args& a) { Key(W(a), a.at[1]); }}},  // enter esc tab down
    {L"msgbox", {0, MessageBoxInfo}},
    {L"input", {3, Input}},  // TITLE ID TEXT: in the dialog captioned TITLE control ID gets TEXT, then OK
    {L"menu", {1, Menu}},
    {L"lnk", {1, [](const Args& a) { ReadLink(a.at[0]); }}},
    {L"folder", {1, SpecialFolder}},  // sendto or programs
    {L"subst", {2, Subst}},  // X: PATH makes the drive letter lead to PATH; X: /D nowhere again
};
// clang-format on

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    try {
        Args args;
        for (int i = 1; i < argc; ++i) {
            const Text arg = argv[i];
            if (arg.size() > 2 && arg.starts_with(L"--") && i + 1 < argc) {
                args.options[arg] = argv[++i];
            } else {
                args.at.push_back(arg);
            }
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
    } catch (const Failed& failed) {
        std::fflush(stdout);
        std::fputs(Utf8Line(L"qdrive: " + failed.message).c_str(), stderr);
        return 1;
    }
    std::fflush(stdout);
    return 0;
}
