// qdrive: acts on another program's windows from outside, as a person would, for the end-to-end
// scenarios and the setup test. Each subcommand prints its results one value a line (UTF-8) and
// ends with 0; on a failure or a timeout it prints "qdrive: <why>" to stderr and ends with 1.
// Windows are printed and taken as hex handles, controls by id (decimal, 0x hex, or OK CANCEL YES
// NO RETRY naming a button). Options anywhere: --pid, --class, --title (which windows to wait
// for), --dir (start), --image (kill), --timeout MS (waits; 10000), --await-exit PID (hold PID
// first; after acting, wait for it to end and print its exit code as the last line).
//
//   start [--dir FOLDER] COMMANDLINE   wait-exit PID   kill PID [--image NAME]
//   wait-window   windows PID   caption HWND   client-size HWND   frame HWND   close HWND
//   command HWND ID   text|enabled|visible|rect|click|ink|items|selected HWND ID
//   set-text HWND ID TEXT   select|dblclick HWND ID INDEX   focus HWND   key HWND KEY
//   msgbox   input TITLE ID TEXT   open-file NAME   menu N|esc   lnk PATH   folder NAME
//   subst X: PATH|/D
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

struct Failed {
    std::wstring message;
};
[[noreturn]] void Fail(const std::wstring& message) { throw Failed{message}; }
[[noreturn]] void FailLast(const std::wstring& what) {
    Fail(what + L" failed (error " + std::to_wstring(::GetLastError()) + L")");
}

// The text in UTF-8, and a line end.
std::string Utf8Line(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.back() = '\n';
    return bytes;
}

void Print(const std::wstring& line) { std::fputs(Utf8Line(line).c_str(), stdout); }

std::wstring Hex(HWND hwnd) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return buffer;
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

long long Number(const std::wstring& text) {
    static const std::map<std::wstring, int> kButtons = {
        {L"OK", IDOK}, {L"CANCEL", IDCANCEL}, {L"RETRY", IDRETRY}, {L"YES", IDYES}, {L"NO", IDNO}};
    for (const auto& [name, id] : kButtons)
        if (EqualNoCase(text, name)) return id;
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') Fail(L"not a number: " + text);
    return value;
}

struct Args {
    std::wstring command;
    std::vector<std::wstring> at;
    std::map<std::wstring, std::wstring> options;

    Args(int argc, wchar_t** argv) {
        for (int i = 1; i < argc; ++i) {
            const std::wstring arg = argv[i];
            if (arg.rfind(L"--", 0) == 0 && arg.size() > 2) {
                if (i + 1 >= argc) Fail(arg + L" needs a value");
                options[arg] = argv[++i];
            } else {
                at.push_back(arg);
            }
        }
        if (at.empty()) Fail(L"no subcommand");
        command = at.front();
        at.erase(at.begin());
    }
    void Expect(std::size_t count) const {
        if (at.size() != count) Fail(command + L" takes " + std::to_wstring(count) + L" argument(s)");
    }
    std::wstring Option(const std::wstring& name) const {
        const auto found = options.find(name);
        return found == options.end() ? std::wstring() : found->second;
    }
};

DWORD g_timeoutMs = 10000;

// Polls `found` every 50 ms until it gives a window or the timeout has passed.
HWND WaitFor(const std::function<HWND()>& found, const std::wstring& what) {
    const ULONGLONG deadline = ::GetTickCount64() + g_timeoutMs;
    for (;;) {
        if (HWND hwnd = found()) return hwnd;
        if (::GetTickCount64() >= deadline) Fail(L"timed out waiting for " + what);
        ::Sleep(50);
    }
}

// ----- Processes -----

HANDLE OpenProcessById(DWORD pid, DWORD access = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION) {
    HANDLE process = ::OpenProcess(access, FALSE, pid);
    if (!process) Fail(L"process " + std::to_wstring(pid) + L" is not running");
    return process;
}

DWORD WaitExit(HANDLE process) {
    DWORD code = 0;
    if (::WaitForSingleObject(process, g_timeoutMs) != WAIT_OBJECT_0) Fail(L"timed out waiting for the exit");
    if (!::GetExitCodeProcess(process, &code)) FailLast(L"GetExitCodeProcess");
    return code;
}

void Start(const Args& args) {
    std::wstring line = args.at[0];
    const std::wstring folder = args.Option(L"--dir");
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

// Ends the process, only when its image is named --image (the id may belong to another by now).
void Kill(const Args& args) {
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   static_cast<DWORD>(Number(args.at[0])));
    if (!process) return;
    wchar_t image[MAX_PATH * 4] = L"";
    DWORD size = MAX_PATH * 4;
    ::QueryFullProcessImageNameW(process, 0, image, &size);
    const std::wstring path(image, size);
    if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
        EqualNoCase(path.substr(path.find_last_of(L"\\/") + 1), args.Option(L"--image")) &&
        ::TerminateProcess(process, 1))
        ::WaitForSingleObject(process, g_timeoutMs);
    ::CloseHandle(process);
}

// ----- Windows -----

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    ::GetClassNameW(hwnd, name, 256);
    return name;
}

// The caption as the window manager holds it (no message to the window's thread).
std::wstring CaptionOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND hwnd, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
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

// A window's text through WM_GETTEXT, which controls of other processes answer too.
std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(Send(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

HWND WindowArg(const std::wstring& text) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(text)));
    if (!::IsWindow(hwnd)) Fail(L"no window " + text);
    return hwnd;
}

HWND ControlArg(HWND parent, const std::wstring& id) {
    HWND control = ::GetDlgItem(parent, static_cast<int>(Number(id)));
    if (!control) Fail(L"window " + Hex(parent) + L" has no control " + id);
    return control;
}

// Waits for a visible top-level window of --pid, --class (or the class given) and --title that
// `extra` accepts.
HWND WaitWindow(const Args& args, const std::wstring& className = L"",
                const std::function<bool(HWND)>& extra = nullptr) {
    const std::wstring wanted = className.empty() ? args.Option(L"--class") : className;
    const std::wstring pid = args.Option(L"--pid"), title = args.Option(L"--title");
    const bool anyTitle = !args.options.count(L"--title");
    return WaitFor(
        [&]() -> HWND {
            for (HWND hwnd : TopLevelWindows())
                if ((pid.empty() || ProcessOf(hwnd) == Number(pid)) && ::IsWindowVisible(hwnd) &&
                    (wanted.empty() || ClassOf(hwnd) == wanted) && (anyTitle || CaptionOf(hwnd) == title) &&
                    (!extra || extra(hwnd)))
                    return hwnd;
            return nullptr;
        },
        L"a window [" + wanted + L"] [" + title + L"] of process " + pid);
}

RECT Rect(HWND hwnd) {
    RECT rect{};
    if (!::GetWindowRect(hwnd, &rect)) FailLast(L"GetWindowRect");
    return rect;
}

std::wstring Numbers(std::initializer_list<long> values) {
    std::wstring text;
    for (long value : values) text += (text.empty() ? L"" : L" ") + std::to_wstring(value);
    return text;
}

// ----- Controls -----

void Click(HWND control) {
    if (!::IsWindowEnabled(control) || !::IsWindowVisible(control))
        Fail(L"control " + Hex(control) + L" is disabled or hidden");
    Post(control, BM_CLICK, 0, 0);
}

void SetText(HWND control, const std::wstring& text) {
    if (!Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
        Fail(L"control " + Hex(control) + L" refused the text");
}

// The messages of a list box or a combo box.
struct ListMessages {
    UINT count, textLength, text, getSelection, setSelection;
    WORD selectionChanged;
};

ListMessages ListKind(HWND control) {
    if (EqualNoCase(ClassOf(control), L"ComboBox"))
        return {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL, CB_SETCURSEL, CBN_SELCHANGE};
    return {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL, LB_SETCURSEL, LBN_SELCHANGE};
}

void Items(HWND list) {
    const ListMessages kind = ListKind(list);
    for (LRESULT i = 0, count = Send(list, kind.count, 0, 0); i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(Send(list, kind.textLength, i, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(Send(list, kind.text, i, reinterpret_cast<LPARAM>(text.data()))));
        Print(text);
    }
}

// Selects entry `index` and tells the parent, as the control itself does after a user's click.
void SelectEntry(HWND control, int index, WORD notification) {
    const ListMessages kind = ListKind(control);
    if (Send(control, kind.setSelection, index, 0) != index) Fail(L"no entry " + std::to_wstring(index));
    Post(::GetParent(control), WM_COMMAND,
         MAKEWPARAM(::GetDlgCtrlID(control), notification ? notification : kind.selectionChanged),
         reinterpret_cast<LPARAM>(control));
}

// What a control shows on the screen: "COLOUR WIDTH HEIGHT STROKE": its commonest colour is the
// background, the next the ink (RRGGBB); the size of all that is not background; the commonest
// run of ink along a row (a stroke's width).
void Ink(HWND control) {
    const RECT rect = Rect(control);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(screen);
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
    DWORD background = 0, ink = 0;
    int most = 0, next = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            ink = background, next = most, background = colour, most = count;
        } else if (count > next) {
            ink = colour, next = count;
        }
    }
    if (next == 0) Fail(L"control " + Hex(control) + L" shows one colour only");
    int left = width, top = height, right = -1, bottom = -1;
    std::map<int, int> runs;  // length: how many
    for (int y = 0; y < height; ++y) {
        for (int x = 0, run = 0; x <= width; ++x) {
            const DWORD pixel = x < width ? shown[y * width + x] : background;
            if (pixel != background) 
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
            if (pixel == ink) {
                ++run;
            } else if (run > 0) {
                ++runs[run];
                run = 0;
            }
        }
    }
    int stroke = 0, strokes = 0;
    for (const auto& [length, count] : runs)
        if (count > strokes) stroke = length, strokes = count;
    wchar_t colour[8];
    std::swprintf(colour, 8, L"%06lx", static_cast<unsigned long>(ink));
    Print(colour + (L" " + Numbers({right - left + 1, bottom - top + 1, stroke})));
}

// ----- The keyboard -----

// The focus of the window's thread, when it lies in the window (the window or one of its controls).
HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) FailLast(L"GetGUIThreadInfo");
    return info.hwndFocus && (info.hwndFocus == window || ::IsChild(window, info.hwndFocus)) ? info.hwndFocus
                                                                                           : nullptr;
}

// Posts the key (down and up) to the focused control, or to the window when none has the focus.
void Key(HWND window, const std::wstring& name) {
    static const std::map<std::wstring, UINT> kKeys = {
        {L"enter", VK_RETURN}, {L"esc", VK_ESCAPE}, {L"tab", VK_TAB}, {L"down", VK_DOWN}};
    const auto key = kKeys.find(name);
    if (key == kKeys.end()) Fail(L"unknown key " + name);
    HWND focus = FocusIn(window);
    HWND target = focus ? focus : window;
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key->second, MAPVK_VK_TO_VSC)) << 16;
    Post(target, WM_KEYDOWN, key->second, 1 | scan);
    // The key down may have closed the window (Enter or Esc in a box): the key up then goes nowhere.
    ::PostMessageW(target, WM_KEYUP, key->second, 1 | scan | (3LL << 30));
}

// ----- Boxes, dialogs (#32770) and pop-up menus (#32768) -----

// Waits for a message box; prints its handle, its title, its buttons (id=caption, TAB between),
// then its text's lines.
void MessageBoxInfo(const Args& args) {
    HWND box = WaitWindow(args, L"#32770", [](HWND hwnd) { return ::GetDlgItem(hwnd, 0xFFFF) != nullptr; });
    Print(Hex(box));
    Print(CaptionOf(box));
    std::wstring buttons;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!EqualNoCase(ClassOf(child), L"Button") || !::IsWindowVisible(child)) continue;
        std::wstring caption = TextOf(child);
        std::erase(caption, L'&');
        buttons += (buttons.empty() ? L"" : L"\t") + std::to_wstring(::GetDlgCtrlID(child)) + L"=" + caption;
    }
    Print(buttons);
    const std::wstring text = TextOf(::GetDlgItem(box, 0xFFFF));
    std::wstring line;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L'\r' || text[i] == L'\n') {
            Print(line);
            line.clear();
            if (i + 1 < text.size() && text[i] == L'\r' && text[i + 1] == L'\n') ++i;
        } else {
            line += text[i];
        }
    }
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

// ----- Shell -----

void ReadLink(const std::wstring& path) {
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
    Print(target);
    Print(arguments);
    Print(folder);
}

// ----- Dispatch -----

void Run(const Args& args) {
    const std::wstring& command = args.command;
    const auto& at = args.at;
    auto window = [&] { return WindowArg(at.at(0)); };
    auto control = [&] { return ControlArg(window(), at.at(1)); };
    static const std::map<std::wstring, std::size_t> kArguments = {
        {L"wait-window", 0}, {L"msgbox", 0}, {L"set-text", 3}, {L"select", 3}, {L"dblclick", 3}, {L"input", 3},
        {L"command", 2}, {L"text", 2}, {L"enabled", 2}, {L"visible", 2}, {L"rect", 2}, {L"click", 2},
        {L"ink", 2}, {L"items", 2}, {L"selected", 2}, {L"key", 2}, {L"subst", 2}};
    const auto arguments = kArguments.find(command);
    args.Expect(arguments == kArguments.end() ? 1 : arguments->second);
    if (command == L"start") {
        Start(args);
    } else if (command == L"wait-exit") {
        Print(std::to_wstring(WaitExit(OpenProcessById(static_cast<DWORD>(Number(at[0]))))));
    } else if (command == L"kill") {
        Kill(args);
    } else if (command == L"wait-window") {
        Print(Hex(WaitWindow(args)));
    } else if (command == L"windows") {  // handle TAB class TAB visible TAB caption
        for (HWND hwnd : TopLevelWindows())
            if (ProcessOf(hwnd) == Number(at[0]))
                Print(Hex(hwnd) + L"\t" + ClassOf(hwnd) + L"\t" + (::IsWindowVisible(hwnd) ? L"1\t" : L"0\t") +
                      CaptionOf(hwnd));
    } else if (command == L"caption") {
        Print(TextOf(window()));
    } else if (command == L"client-size") {
        RECT rect{};
        ::GetClientRect(window(), &rect);
        Print(Numbers({rect.right, rect.bottom}));
    } else if (command == L"frame") {
        const RECT rect = Rect(window());
        Print(Numbers({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}));
    } else if (command == L"rect") {  // in the parent's client area
        HWND item = control();
        RECT rect = Rect(item);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(item), reinterpret_cast<POINT*>(&rect), 2);
        Print(Numbers({rect.left, rect.top, rect.right, rect.bottom}));
    } else if (command == L"close") {
        Post(window(), WM_CLOSE, 0, 0);
    } else if (command == L"command") {
        Post(window(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Number(at[1])), 0), 0);
    } else if (command == L"text") {
        Print(TextOf(control()));
    } else if (command == L"enabled") {
        Print(::IsWindowEnabled(control()) ? L"1" : L"0");
    } else if (command == L"visible") {  // the control's own WS_VISIBLE
        Print((::GetWindowLongPtrW(control(), GWL_STYLE) & WS_VISIBLE) ? L"1" : L"0");
    } else if (command == L"click") {
        Click(control());
    } else if (command == L"ink") {
        Ink(control());
    } else if (command == L"set-text") {
        SetText(control(), at[2]);
    } else if (command == L"items") {
        Items(control());
    } else if (command == L"selected") {
        HWND list = control();
        Print(std::to_wstring(Send(list, ListKind(list).getSelection, 0, 0)));
    } else if (command == L"select" || command == L"dblclick") {
        SelectEntry(control(), static_cast<int>(Number(at[2])), command == L"dblclick" ? LBN_DBLCLK : 0);
    } else if (command == L"focus") {  // the focused control's id, 0 when none
        HWND focus = FocusIn(window());
        Print(std::to_wstring(focus && focus != window() ? ::GetDlgCtrlID(focus) : 0));
    } else if (command == L"key") {
        Key(window(), at[1]);
    } else if (command == L"msgbox") {
        MessageBoxInfo(args);
    } else if (command == L"input" || command == L"open-file") {  // set the text, click OK
        const bool input = command == L"input";
        HWND dialog = WaitWindow(args, L"#32770", [&](HWND hwnd) {
            return input ? CaptionOf(hwnd) == at[0] : ::GetDlgItem(hwnd, 0x47C) != nullptr;
        });
        SetText(ControlArg(dialog, input ? at[1] : L"0x47C"), input ? at[2] : at[0]);
        Click(ControlArg(dialog, L"OK"));
    } else if (command == L"menu") {
        Menu(args);
    } else if (command == L"lnk") {
        ReadLink(at[0]);
    } else if (command == L"folder") {  // sendto or programs
        wchar_t path[MAX_PATH] = L"";
        const int folder = at[0] == L"sendto" ? CSIDL_SENDTO : at[0] == L"programs" ? CSIDL_PROGRAMS : -1;
        if (folder < 0 || FAILED(::SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)))
            Fail(L"no folder " + at[0]);
        Print(path);
    } else if (command == L"subst") {  // the drive letter leads to PATH, or nowhere again (/D)
        const bool remove = EqualNoCase(at[1], L"/D");
        if (!::DefineDosDeviceW(remove ? DDD_REMOVE_DEFINITION : 0, at[0].c_str(), remove ? nullptr : at[1].c_str()))
            FailLast(L"DefineDosDeviceW");
    } else {
        Fail(L"unknown subcommand " + command);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    int code = 0;
    try {
        const Args args(argc, argv);
        if (args.options.count(L"--timeout")) g_timeoutMs = static_cast<DWORD>(Number(args.Option(L"--timeout")));
        HANDLE awaited = nullptr;
        if (args.options.count(L"--await-exit"))
            awaited = OpenProcessById(static_cast<DWORD>(Number(args.Option(L"--await-exit"))));
        Run(args);
        if (awaited) Print(std::to_wstring(WaitExit(awaited)));
    } catch (const Failed& failed) {
        std::fflush(stdout);
        std::fputs(Utf8Line(L"qdrive: " + failed.message).c_str(), stderr);
        code = 1;
    }
    std::fflush(stdout);
    return code;
}
