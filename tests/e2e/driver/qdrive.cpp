// qdrive: acts on another program's windows from outside, the way a person would, for the
// end-to-end scenarios. Every subcommand prints its results one value per line (UTF-8) and ends
// with 0; on a failure or a timeout it prints "qdrive: <why>" to stderr and ends with 1 (2 for a
// wrong command line). Window handles are printed and taken in hex (0x1a2b).
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const wchar_t kUsage[] = LR"(usage: qdrive SUBCOMMAND [ARGS] [OPTIONS]

Processes
  start [--dir FOLDER] COMMANDLINE   start a program (CreateProcessW); prints its process id
  wait-exit PID                      wait for the process to end; prints its exit code (fails
                                     when it has ended already: see --await-exit)
  kill PID [--image NAME]            end the process (cleanup only); with --image only when its
                                     image file is named NAME; prints "ended", "not running" or
                                     "other program"
Windows (top level)
  wait-window [--pid PID] [--class CLASS] [--title CAPTION] [--hidden]
                                     wait for a visible (--hidden: any) window; prints its handle
  windows PID                        its windows: handle TAB class TAB visible(1/0) TAB caption
  caption HWND                       the window's caption
  client-size HWND                   "width height" of the client area, pixels
  frame HWND                         "left top width height" of the outer frame on the screen
  icon HWND EXE ID                   where the window's caption shows icon ID of EXE (its image
                                     at the small-icon size), as the screen has it: prints "x y"
                                     in the frame; fails when it shows none by the timeout
  close HWND                         post WM_CLOSE (the close box)
  command HWND ID                    post WM_COMMAND(ID) (a menu item, a list-menu element)
Controls (by control id, decimal or 0x hex; OK CANCEL YES NO ABORT RETRY IGNORE name buttons)
  text HWND ID                       the control's text (WM_GETTEXT)
  enabled HWND ID / visible HWND ID  1 or 0 (visible: the control's own WS_VISIBLE)
  rect HWND ID                       "left top right bottom" in the parent's client pixels
  click HWND ID                      post BM_CLICK; fails when the control is disabled or hidden
  set-text HWND ID TEXT              WM_SETTEXT
  ink HWND ID                        what the control shows, as the screen has it: "COLOUR WIDTH
                                     HEIGHT STEM", its text's colour (RRGGBB: the commonest after
                                     the background's), the size of all that is not background,
                                     and the commonest run of the text's colour along a row (the
                                     width of a stroke)
Keyboard (the window's thread, as a person's keys reach it)
  focus HWND                         the control that has the keyboard focus: id TAB class TAB
                                     text ("0" alone when no control of HWND has it)
  key HWND enter|esc|tab|space|down|up
                                     post the key (down and up) to the focused control, or to
                                     HWND when none has the focus
List boxes and combo boxes
  items HWND ID                      the entries, one a line
  selected HWND ID                   the selected index (-1: none)
  select HWND ID INDEX               select as a user does: *_SETCURSEL, then SELCHANGE posted
  dblclick HWND ID INDEX             list box: LB_SETCURSEL, then LBN_DBLCLK posted
Boxes and dialogs (#32770) and pop-up menus (#32768)
  msgbox [--pid PID] [--title T]     wait for a message box; prints its handle, its title, its
                                     buttons (id=caption, TAB between), then its text's lines
  input TITLE ID TEXT [--pid PID]    in the dialog captioned TITLE: set control ID, click OK
  open-file PATH [--pid PID] [--title T]
                                     in the open-file dialog: file name PATH, click OK
  menu N|esc [--pid PID]             in the pop-up menu: VK_DOWN x N, VK_RETURN (N=1: first
                                     item, separators not counted) or VK_ESCAPE; waits until
                                     the menu has closed
Shell
  lnk PATH                           a shortcut's target, arguments and working folder (3 lines)
  folder NAME                        a special folder: sendto programs startmenu desktop appdata
                                     documents profile windows
  subst X: PATH|/D                   make the drive letter X: lead to PATH (DefineDosDeviceW), or
                                     remove it (/D)
Options of every subcommand (anywhere; after "--" every argument is taken as it is)
  --timeout MS                       how long waits last (default 10000)
  --await-exit PID                   hold PID before acting, then wait for it to end and print
                                     its exit code as the last line (a close that ends a program)
)";

struct Failed {
    int code;
    std::wstring message;
};
[[noreturn]] void Fail(const std::wstring& message, int code = 1) { throw Failed{code, message}; }
[[noreturn]] void FailLast(const std::wstring& what) {
    const DWORD error = ::GetLastError();
    Fail(what + L" failed (error " + std::to_wstring(error) + L")");
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                          nullptr, nullptr);
    return result;
}

void Print(const std::wstring& line) {
    const std::string bytes = Utf8(line) + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Hex(HWND hwnd) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return buffer;
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

// ----- The command line -----

class Args {
public:
    Args(int argc, wchar_t** argv) {
        static const wchar_t* const kValued[] = {L"--dir", L"--image", L"--pid", L"--class", L"--title",
                                                 L"--timeout", L"--await-exit"};
        bool optionsEnded = false;
        for (int i = 1; i < argc; ++i) {
            const std::wstring arg = argv[i];
            bool valued = false;
            for (const wchar_t* name : kValued) valued = valued || arg == name;
            if (optionsEnded) {
                positional_.push_back(arg);
            } else if (arg == L"--") {
                optionsEnded = true;
            } else if (valued) {
                if (i + 1 >= argc) Fail(arg + L" needs a value", 2);
                options_[arg] = argv[++i];
            } else if (arg == L"--hidden") {
                options_[arg] = L"1";
            } else if (arg.size() > 2 && arg.rfind(L"--", 0) == 0) {
                Fail(L"unknown option " + arg, 2);
            } else {
                positional_.push_back(arg);
            }
        }
        if (positional_.empty()) Fail(L"no subcommand", 2);
        command_ = positional_.front();
        positional_.erase(positional_.begin());
    }

    const std::wstring& Command() const { return command_; }
    void Expect(std::size_t count) const {
        if (positional_.size() != count)
            Fail(command_ + L" takes " + std::to_wstring(count) + L" argument(s)", 2);
    }
    const std::wstring& At(std::size_t i) const { return positional_.at(i); }
    bool Has(const std::wstring& option) const { return options_.count(option) != 0; }
    std::wstring Option(const std::wstring& option) const {
        auto found = options_.find(option);
        return found == options_.end() ? std::wstring() : found->second;
    }

private:
    std::wstring command_;
    std::vector<std::wstring> positional_;
    std::map<std::wstring, std::wstring> options_;
};

long long Number(const std::wstring& text, const wchar_t* what) {
    static const std::map<std::wstring, int> kButtons = {
        {L"OK", IDOK}, {L"CANCEL", IDCANCEL}, {L"ABORT", IDABORT}, {L"RETRY", IDRETRY},
        {L"IGNORE", IDIGNORE}, {L"YES", IDYES}, {L"NO", IDNO}};
    for (const auto& [name, id] : kButtons)
        if (EqualNoCase(text, name)) return id;
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0' || errno != 0) Fail(std::wstring(L"not a ") + what + L": " + text, 2);
    return value;
}

DWORD g_timeoutMs = 10000;

// Polls `found` every 50 ms until it gives a window or the timeout has passed.
HWND WaitFor(const std::function<HWND()>& found, const std::wstring& what) {
    const ULONGLONG deadline = ::GetTickCount64() + g_timeoutMs;
    for (;;) {
        if (HWND hwnd = found()) return hwnd;
        if (::GetTickCount64() >= deadline)
            Fail(L"timed out after " + std::to_wstring(g_timeoutMs) + L" ms waiting for " + what);
        ::Sleep(50);
    }
}

// ----- Processes -----

HANDLE OpenProcessById(DWORD pid) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) Fail(L"process " + std::to_wstring(pid) + L" is not running");
    return process;
}

DWORD WaitExit(HANDLE process, DWORD pid) {
    const DWORD waited = ::WaitForSingleObject(process, g_timeoutMs);
    if (waited == WAIT_TIMEOUT)
        Fail(L"timed out after " + std::to_wstring(g_timeoutMs) + L" ms waiting for process " +
             std::to_wstring(pid) + L" to end");
    DWORD code = 0;
    if (waited != WAIT_OBJECT_0 || !::GetExitCodeProcess(process, &code)) FailLast(L"waiting for the process");
    return code;
}

void Start(const Args& args) {
    args.Expect(1);
    std::wstring commandLine = args.At(0);
    const std::wstring folder = args.Option(L"--dir");
    // The program gets none of our standard handles: else a shell reading our output waits for the
    // program to end (Wine passes its own unix standard error on all the same).
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        FailLast(L"starting " + args.At(0));
    if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    Print(std::to_wstring(info.dwProcessId));
}

void Kill(const Args& args) {
    args.Expect(1);
    const DWORD pid = static_cast<DWORD>(Number(args.At(0), L"process id"));
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process || ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
        if (process) ::CloseHandle(process);
        Print(L"not running");
        return;
    }
    if (args.Has(L"--image")) {
        wchar_t image[MAX_PATH * 4] = L"";
        DWORD size = MAX_PATH * 4;
        if (!::QueryFullProcessImageNameW(process, 0, image, &size)) FailLast(L"reading the image name");
        std::wstring path(image, size);
        const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
        if (!EqualNoCase(name, args.Option(L"--image"))) {
            ::CloseHandle(process);
            Print(L"other program");  // the id belongs to another program now
            return;
        }
    }
    const BOOL terminated = ::TerminateProcess(process, 1);
    if (terminated) WaitExit(process, pid);
    ::CloseHandle(process);
    if (!terminated) FailLast(L"TerminateProcess");
    Print(L"ended");
}

// ----- Windows -----

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    ::GetClassNameW(hwnd, name, 256);
    return name;
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

// A window's text through WM_GETTEXT, so that controls of other processes answer too.
std::wstring TextOf(HWND hwnd) {
    const LRESULT length = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
}

// The caption as the window manager holds it (no message to the window's thread).
std::wstring CaptionOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    ::GetWindowTextW(hwnd, text, 1024);
    return text;
}

HWND WindowArg(const std::wstring& text) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number(text, L"window handle")));
    if (!::IsWindow(hwnd)) Fail(L"no window " + text);
    return hwnd;
}

HWND ControlArg(HWND parent, const std::wstring& id) {
    HWND control = ::GetDlgItem(parent, static_cast<int>(Number(id, L"control id")));
    if (!control) Fail(L"window " + Hex(parent) + L" has no control " + id);
    return control;
}

struct WindowQuery {
    DWORD pid = 0;
    std::wstring className, title;
    bool anyTitle = true, anyClass = true, hiddenToo = false;
    std::function<bool(HWND)> extra;

    bool Matches(HWND hwnd) const {
        return (!pid || ProcessOf(hwnd) == pid) && (hiddenToo || ::IsWindowVisible(hwnd)) &&
               (anyClass || ClassOf(hwnd) == className) && (anyTitle || CaptionOf(hwnd) == title) &&
               (!extra || extra(hwnd));
    }
    std::wstring Describe() const {
        std::wstring text = hiddenToo ? L"a window" : L"a visible window";
        if (!anyClass) text += L" of class " + className;
        if (!anyTitle) text += L" captioned \"" + title + L"\"";
        if (pid) text += L" of process " + std::to_wstring(pid);
        return text;
    }
    HWND Wait() const {
        return WaitFor(
            [this]() -> HWND {
                for (HWND hwnd : TopLevelWindows())
                    if (Matches(hwnd)) return hwnd;
                return nullptr;
            },
            Describe());
    }
};

WindowQuery QueryFrom(const Args& args, const wchar_t* className = nullptr) {
    WindowQuery query;
    if (args.Has(L"--pid")) query.pid = static_cast<DWORD>(Number(args.Option(L"--pid"), L"process id"));
    if (className) {
        query.className = className;
        query.anyClass = false;
    } else if (args.Has(L"--class")) {
        query.className = args.Option(L"--class");
        query.anyClass = false;
    }
    if (args.Has(L"--title")) {
        query.title = args.Option(L"--title");
        query.anyTitle = false;
    }
    query.hiddenToo = args.Has(L"--hidden");
    return query;
}

void ListWindows(const Args& args) {
    args.Expect(1);
    const DWORD pid = static_cast<DWORD>(Number(args.At(0), L"process id"));
    for (HWND hwnd : TopLevelWindows())
        if (ProcessOf(hwnd) == pid)
            Print(Hex(hwnd) + L"\t" + ClassOf(hwnd) + L"\t" + (::IsWindowVisible(hwnd) ? L"1" : L"0") + L"\t" +
                  CaptionOf(hwnd));
}

// ----- Controls -----

void Click(HWND control) {
    if (!::IsWindowEnabled(control)) Fail(L"control " + Hex(control) + L" is disabled");
    if (!::IsWindowVisible(control)) Fail(L"control " + Hex(control) + L" is not visible");
    Post(control, BM_CLICK, 0, 0);
}

void SetText(HWND control, const std::wstring& text) {
    if (!Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
        Fail(L"control " + Hex(control) + L" refused the text");
}

void ControlRect(HWND control) {
    RECT rect{};
    if (!::GetWindowRect(control, &rect)) FailLast(L"GetWindowRect");
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    Print(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) +
          L" " + std::to_wstring(rect.bottom));
}

// The messages of a list box or a combo box.
struct ListMessages {
    UINT count, textLength, text, getSelection, setSelection;
    WORD selectionChanged;
    bool isList;
};

ListMessages ListKind(HWND control) {
    const std::wstring name = ClassOf(control);
    if (EqualNoCase(name, L"ListBox"))
        return {LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL, LB_SETCURSEL, LBN_SELCHANGE, true};
    if (EqualNoCase(name, L"ComboBox"))
        return {CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL, CB_SETCURSEL, CBN_SELCHANGE, false};
    Fail(L"control " + Hex(control) + L" is a " + name + L", not a list box or combo box");
}

int ListCount(HWND control, const ListMessages& kind) {
    const LRESULT count = Send(control, kind.count, 0, 0);
    if (count < 0) Fail(L"control " + Hex(control) + L" gave no count");
    return static_cast<int>(count);
}

std::wstring ListEntry(HWND control, const ListMessages& kind, int index) {
    const LRESULT length = Send(control, kind.textLength, index, 0);
    if (length < 0) Fail(L"control " + Hex(control) + L" has no entry " + std::to_wstring(index));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = Send(control, kind.text, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
}

// Selects entry `index` and tells the parent as the control itself would after a user's click.
void SelectEntry(HWND control, int index, WORD notification) {
    const ListMessages kind = ListKind(control);
    if (!::IsWindowEnabled(control)) Fail(L"control " + Hex(control) + L" is disabled");
    const int count = ListCount(control, kind);
    if (index < 0 || index >= count)
        Fail(L"index " + std::to_wstring(index) + L" outside the " + std::to_wstring(count) + L" entries");
    Send(control, kind.setSelection, index, 0);
    const int id = ::GetDlgCtrlID(control);
    Post(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, notification ? notification : kind.selectionChanged),
         reinterpret_cast<LPARAM>(control));
}

// ----- Boxes and menus -----

bool IsMessageBox(HWND hwnd) { return ::GetDlgItem(hwnd, 0xFFFF) != nullptr; }

// The focus of the thread that owns the window, when it lies in that window (the window itself
// or one of its controls).
HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) FailLast(L"GetGUIThreadInfo");
    HWND focus = info.hwndFocus;
    return focus && (focus == window || ::IsChild(window, focus)) ? focus : nullptr;
}

void Focus(const Args& args) {
    args.Expect(1);
    HWND window = WindowArg(args.At(0));
    HWND focus = FocusIn(window);
    if (!focus || focus == window) return Print(L"0");
    // The edit box inside a combo box reports the combo box.
    HWND parent = ::GetParent(focus);
    if (parent && parent != window && EqualNoCase(ClassOf(parent), L"ComboBox")) focus = parent;
    Print(std::to_wstring(::GetDlgCtrlID(focus)) + L"\t" + ClassOf(focus) + L"\t" + TextOf(focus));
}

void Key(const Args& args) {
    args.Expect(2);
    HWND window = WindowArg(args.At(0));
    static const std::pair<const wchar_t*, UINT> kKeys[] = {
        {L"enter", VK_RETURN}, {L"esc", VK_ESCAPE}, {L"tab", VK_TAB},
        {L"space", VK_SPACE},  {L"down", VK_DOWN},  {L"up", VK_UP}};
    UINT key = 0;
    for (const auto& [name, code] : kKeys)
        if (EqualNoCase(args.At(1), name)) key = code;
    if (!key) Fail(L"unknown key " + args.At(1), 2);
    HWND focus = FocusIn(window);
    HWND target = focus ? focus : window;
    const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    Post(target, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
    // The key down may have closed the window (Enter or Esc in a box): then the key up has
    // nowhere to go, as when a person releases the key.
    if (!::PostMessageW(target, WM_KEYUP, key, 1 | (static_cast<LPARAM>(scan) << 16) | (3LL << 30)) &&
        ::IsWindow(target))
        FailLast(L"posting the key up to " + Hex(target));
}

void MessageBoxInfo(const Args& args) {
    args.Expect(0);
    WindowQuery query = QueryFrom(args, L"#32770");
    query.extra = IsMessageBox;
    HWND box = query.Wait();
    Print(Hex(box));
    Print(CaptionOf(box));
    std::wstring buttons;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!EqualNoCase(ClassOf(child), L"Button") || !::IsWindowVisible(child)) continue;
        std::wstring caption;
        for (wchar_t c : TextOf(child))
            if (c != L'&') caption += c;
        buttons += (buttons.empty() ? L"" : L"\t") + std::to_wstring(::GetDlgCtrlID(child)) + L"=" + caption;
    }
    Print(buttons);
    // The text's lines, each on its own line of output (CR LF, CR and LF all break).
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

void Input(const Args& args) {
    args.Expect(3);
    WindowQuery query = QueryFrom(args, L"#32770");
    query.title = args.At(0);
    query.anyTitle = false;
    HWND dialog = query.Wait();
    SetText(ControlArg(dialog, args.At(1)), args.At(2));
    Click(ControlArg(dialog, L"OK"));
}

void OpenFile(const Args& args) {
    args.Expect(1);
    WindowQuery query = QueryFrom(args, L"#32770");
    query.extra = [](HWND hwnd) { return ::GetDlgItem(hwnd, 0x47C) != nullptr; };
    HWND dialog = query.Wait();
    SetText(::GetDlgItem(dialog, 0x47C), args.At(0));
    Click(ControlArg(dialog, L"OK"));
}

void Menu(const Args& args) {
    args.Expect(1);
    const bool dismiss = EqualNoCase(args.At(0), L"esc");
    const long long steps = dismiss ? 0 : Number(args.At(0), L"menu item number");
    if (!dismiss && steps < 1) Fail(L"menu items are counted from 1", 2);
    WindowQuery query = QueryFrom(args, L"#32768");
    HWND menu = query.Wait();
    for (long long i = 0; i < steps; ++i) Post(menu, WM_KEYDOWN, VK_DOWN, 1);
    Post(menu, WM_KEYDOWN, dismiss ? VK_ESCAPE : VK_RETURN, 1);
    WaitFor([menu]() -> HWND { return ::IsWindow(menu) && ::IsWindowVisible(menu) ? nullptr : menu; },
            L"the menu to close");
}

// ----- Shell -----

struct Com {
    Com() {
        if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) Fail(L"COM did not start");
    }
    ~Com() { ::CoUninitialize(); }
};

void CheckHr(HRESULT result, const wchar_t* what) {
    if (FAILED(result)) {
        wchar_t code[16];
        std::swprintf(code, 16, L"%08lx", static_cast<unsigned long>(result));
        Fail(std::wstring(what) + L" failed (0x" + code + L")");
    }
}

void ReadLink(const Args& args) {
    args.Expect(1);
    Com com;
    IShellLinkW* link = nullptr;
    CheckHr(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               reinterpret_cast<void**>(&link)),
            L"creating a shell link");
    IPersistFile* file = nullptr;
    HRESULT result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) result = file->Load(args.At(0).c_str(), STGM_READ);
    wchar_t target[MAX_PATH * 4] = L"", arguments[INFOTIPSIZE] = L"", folder[MAX_PATH * 4] = L"";
    if (SUCCEEDED(result)) result = link->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH);
    if (SUCCEEDED(result)) result = link->GetArguments(arguments, INFOTIPSIZE);
    if (SUCCEEDED(result)) result = link->GetWorkingDirectory(folder, MAX_PATH * 4);
    if (file) file->Release();
    link->Release();
    CheckHr(result, (L"reading the shortcut " + args.At(0)).c_str());
    Print(target);
    Print(arguments);
    Print(folder);
}

void SpecialFolder(const Args& args) {
    args.Expect(1);
    static const std::map<std::wstring, int> kFolders = {
        {L"sendto", CSIDL_SENDTO},   {L"programs", CSIDL_PROGRAMS}, {L"startmenu", CSIDL_STARTMENU},
        {L"desktop", CSIDL_DESKTOPDIRECTORY}, {L"appdata", CSIDL_APPDATA}, {L"documents", CSIDL_PERSONAL},
        {L"profile", CSIDL_PROFILE}, {L"windows", CSIDL_WINDOWS}};
    auto found = kFolders.find(args.At(0));
    if (found == kFolders.end()) Fail(L"unknown folder " + args.At(0), 2);
    wchar_t path[MAX_PATH] = L"";
    CheckHr(::SHGetFolderPathW(nullptr, found->second, nullptr, SHGFP_TYPE_CURRENT, path), L"SHGetFolderPathW");
    Print(path);
}

// ----- Icons -----

// 0x00RRGGBB pixels of an area of a device context, top row first.
std::vector<DWORD> Capture(HDC source, int left, int top, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(source);
    if (!bitmap || !memory) Fail(L"no memory for a picture");
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    const BOOL copied = ::BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY | CAPTUREBLT);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    if (!copied) FailLast(L"BitBlt");
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// Icon ID of the program EXE at the small-icon size, drawn once on black and once on white: the
// pixels that come out the same both times are the picture's own, the others its background.
struct IconPicture {
    int size = 0;
    std::vector<DWORD> colours;
    std::vector<bool> own;
};

IconPicture LoadIconPicture(const std::wstring& exe, int id) {
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) FailLast(L"loading " + exe);
    IconPicture picture;
    picture.size = ::GetSystemMetrics(SM_CXSMICON);
    HICON icon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, picture.size,
                                                 picture.size, LR_DEFAULTCOLOR));
    if (!icon) {
        ::FreeLibrary(module);
        Fail(exe + L" has no icon " + std::to_wstring(id));
    }
    std::vector<DWORD> drawn[2];
    for (int background = 0; background < 2; ++background) {
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, picture.size, picture.size);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::PatBlt(memory, 0, 0, picture.size, picture.size, background ? WHITENESS : BLACKNESS);
        ::DrawIconEx(memory, 0, 0, icon, picture.size, picture.size, 0, nullptr, DI_NORMAL);
        drawn[background] = Capture(memory, 0, 0, picture.size, picture.size);
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
    }
    ::DestroyIcon(icon);
    ::FreeLibrary(module);
    picture.colours = drawn[0];
    for (std::size_t i = 0; i < drawn[0].size(); ++i) picture.own.push_back(drawn[0][i] == drawn[1][i]);
    return picture;
}

// Looks in the window's caption and menu bar (the frame above the client area), as the screen
// shows them, for the picture of icon ID of EXE.
void ShownIcon(const Args& args) {
    args.Expect(3);
    HWND window = WindowArg(args.At(0));
    const IconPicture picture = LoadIconPicture(args.At(1), static_cast<int>(Number(args.At(2), L"icon id")));
    const ULONGLONG deadline = ::GetTickCount64() + g_timeoutMs;
    for (;;) {
        RECT frame{};
        POINT client{0, 0};
        if (!::GetWindowRect(window, &frame) || !::ClientToScreen(window, &client)) FailLast(L"GetWindowRect");
        const int width = frame.right - frame.left, height = client.y - frame.top, size = picture.size;
        if (width >= size && height >= size) {
            HDC screen = ::GetDC(nullptr);
            const std::vector<DWORD> shown = Capture(screen, frame.left, frame.top, width, height);
            ::ReleaseDC(nullptr, screen);
            for (int y = 0; y + size <= height; ++y) {
                for (int x = 0; x + size <= width; ++x) {
                    bool same = true;
                    for (int i = 0; same && i < size * size; ++i)
                        same = !picture.own[i] || shown[(y + i / size) * width + x + i % size] == picture.colours[i];
                    if (same) {
                        Print(std::to_wstring(x) + L" " + std::to_wstring(y));
                        return;
                    }
                }
            }
        }
        if (::GetTickCount64() >= deadline)
            Fail(L"window " + Hex(window) + L" shows no icon " + args.At(2) + L" of " + args.At(1) +
                 L" above its client area");
        ::Sleep(50);
    }
}

// What a control shows on the screen: its commonest colour is the background, the next the ink.
void Ink(HWND control) {
    RECT rect{};
    if (!::GetWindowRect(control, &rect)) FailLast(L"GetWindowRect");
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    const std::vector<DWORD> shown = Capture(screen, rect.left, rect.top, width, height);
    ::ReleaseDC(nullptr, screen);
    std::map<DWORD, int> counts;
    for (DWORD pixel : shown) ++counts[pixel];
    DWORD background = 0, ink = 0;
    int most = 0, next = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            ink = background, next = most;
            background = colour, most = count;
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
            if (pixel != background) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
            if (pixel == ink) {
                ++run;
            } else if (run > 0) {
                ++runs[run];
                run = 0;
            }
        }
    }
    int stem = 0, stems = 0;
    for (const auto& [length, count] : runs)
        if (count > stems) stem = length, stems = count;
    wchar_t colour[8];
    std::swprintf(colour, 8, L"%06lx", static_cast<unsigned long>(ink));
    Print(std::wstring(colour) + L" " + std::to_wstring(right - left + 1) + L" " +
          std::to_wstring(bottom - top + 1) + L" " + std::to_wstring(stem));
}

// ----- Dispatch -----

void Run(const Args& args) {
    const std::wstring& command = args.Command();
    auto window = [&] { return WindowArg(args.At(0)); };
    auto control = [&] { return ControlArg(window(), args.At(1)); };
    if (command == L"start") {
        Start(args);
    } else if (command == L"wait-exit") {
        args.Expect(1);
        const DWORD pid = static_cast<DWORD>(Number(args.At(0), L"process id"));
        HANDLE process = OpenProcessById(pid);
        Print(std::to_wstring(WaitExit(process, pid)));
        ::CloseHandle(process);
    } else if (command == L"kill") {
        Kill(args);
    } else if (command == L"wait-window") {
        args.Expect(0);
        const WindowQuery query = QueryFrom(args);
        if (query.anyClass && query.anyTitle) Fail(L"wait-window needs --class or --title", 2);
        Print(Hex(query.Wait()));
    } else if (command == L"windows") {
        ListWindows(args);
    } else if (command == L"caption") {
        args.Expect(1);
        Print(TextOf(window()));
    } else if (command == L"client-size") {
        args.Expect(1);
        RECT rect{};
        if (!::GetClientRect(window(), &rect)) FailLast(L"GetClientRect");
        Print(std::to_wstring(rect.right) + L" " + std::to_wstring(rect.bottom));
    } else if (command == L"frame") {
        args.Expect(1);
        RECT rect{};
        if (!::GetWindowRect(window(), &rect)) FailLast(L"GetWindowRect");
        Print(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
              std::to_wstring(rect.right - rect.left) + L" " + std::to_wstring(rect.bottom - rect.top));
    } else if (command == L"close") {
        args.Expect(1);
        Post(window(), WM_CLOSE, 0, 0);
    } else if (command == L"command") {
        args.Expect(2);
        Post(window(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Number(args.At(1), L"command id")), 0), 0);
    } else if (command == L"text") {
        args.Expect(2);
        Print(TextOf(control()));
    } else if (command == L"enabled") {
        args.Expect(2);
        Print(::IsWindowEnabled(control()) ? L"1" : L"0");
    } else if (command == L"visible") {
        args.Expect(2);
        Print((::GetWindowLongPtrW(control(), GWL_STYLE) & WS_VISIBLE) ? L"1" : L"0");
    } else if (command == L"rect") {
        args.Expect(2);
        ControlRect(control());
    } else if (command == L"click") {
        args.Expect(2);
        Click(control());
    } else if (command == L"ink") {
        args.Expect(2);
        Ink(control());
    } else if (command == L"set-text") {
        args.Expect(3);
        SetText(control(), args.At(2));
    } else if (command == L"items") {
        args.Expect(2);
        HWND list = control();
        const ListMessages kind = ListKind(list);
        for (int i = 0, count = ListCount(list, kind); i < count; ++i) Print(ListEntry(list, kind, i));
    } else if (command == L"selected") {
        args.Expect(2);
        HWND list = control();
        const LRESULT selected = Send(list, ListKind(list).getSelection, 0, 0);
        Print(std::to_wstring(selected < 0 ? -1 : selected));
    } else if (command == L"select" || command == L"dblclick") {
        args.Expect(3);
        HWND list = control();
        const bool twice = command == L"dblclick";
        if (twice && !ListKind(list).isList) Fail(L"dblclick takes a list box", 2);
        SelectEntry(list, static_cast<int>(Number(args.At(2), L"index")), twice ? LBN_DBLCLK : 0);
    } else if (command == L"focus") {
        Focus(args);
    } else if (command == L"key") {
        Key(args);
    } else if (command == L"msgbox") {
        MessageBoxInfo(args);
    } else if (command == L"input") {
        Input(args);
    } else if (command == L"open-file") {
        OpenFile(args);
    } else if (command == L"menu") {
        Menu(args);
    } else if (command == L"lnk") {
        ReadLink(args);
    } else if (command == L"folder") {
        SpecialFolder(args);
    } else if (command == L"subst") {
        args.Expect(2);
        const bool remove = EqualNoCase(args.At(1), L"/D");
        if (!::DefineDosDeviceW(remove ? DDD_REMOVE_DEFINITION : 0, args.At(0).c_str(),
                                remove ? nullptr : args.At(1).c_str()))
            FailLast(L"DefineDosDeviceW");
    } else if (command == L"icon") {
        ShownIcon(args);
    } else if (command == L"help" || command == L"-h") {
        std::fputs(Utf8(kUsage).c_str(), stdout);
    } else {
        Fail(L"unknown subcommand " + command, 2);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    int code = 0;
    try {
        const Args args(argc, argv);
        if (args.Has(L"--timeout")) g_timeoutMs = static_cast<DWORD>(Number(args.Option(L"--timeout"), L"timeout"));
        HANDLE awaited = nullptr;
        DWORD awaitedPid = 0;
        if (args.Has(L"--await-exit")) {
            awaitedPid = static_cast<DWORD>(Number(args.Option(L"--await-exit"), L"process id"));
            awaited = OpenProcessById(awaitedPid);
        }
        Run(args);
        if (awaited) Print(std::to_wstring(WaitExit(awaited, awaitedPid)));
    } catch (const Failed& failed) {
        std::fflush(stdout);
        std::fputs(("qdrive: " + Utf8(failed.message) + "\n").c_str(), stderr);
        if (failed.code == 2) std::fputs("qdrive: \"qdrive help\" lists the subcommands\n", stderr);
        code = failed.code;
    }
    std::fflush(stdout);
    return code;
}
