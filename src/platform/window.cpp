#include "platform/window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "platform/app.h"
#include "platform/failure.h"

namespace platform {
namespace {

// A progress bar's steps, fine enough for a bar a screen wide.
constexpr int kProgressSteps = 10000;

WPARAM ProgressSteps(std::uint64_t done, std::uint64_t total) noexcept {
    if (total == 0) return 0;
    return static_cast<WPARAM>(static_cast<double>(std::min(done, total)) / static_cast<double>(total) *
                               kProgressSteps);
}

UINT DpiOf(HWND hwnd) noexcept {
    const UINT dpi = hwnd ? ::GetDpiForWindow(hwnd) : 0;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

HFONT MakeFont(const FontSpec& wanted, UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    // The dialog font at 8 points unless the control asks for another: the layouts in twips are
    // measured for it.
    ::lstrcpynW(font.lfFaceName, wanted.face ? wanted.face : L"MS Shell Dlg", LF_FACESIZE);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfHeight = -::MulDiv(wanted.hundredthsOfPoint ? wanted.hundredthsOfPoint : 800, static_cast<int>(dpi), 7200);
    if (wanted.bold) font.lfWeight = FW_BOLD;
    return ::CreateFontIndirectW(&font);
}

// An icon resource's image of one size (SM_CXICON or SM_CXSMICON) at a DPI: the image drawn for
// that size where there is one (32 and 16 pixels at 96 DPI), else the system's scaling of the
// nearest.
HICON LoadIconAt(int iconId, bool small, UINT dpi) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                           ::GetSystemMetricsForDpi(small ? SM_CXSMICON : SM_CXICON, dpi),
                                           ::GetSystemMetricsForDpi(small ? SM_CYSMICON : SM_CYICON, dpi),
                                           LR_DEFAULTCOLOR));
}

std::wstring TextOf(HWND hwnd) {
    if (!hwnd) return {};
    const int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

// The full paths that a drop hands over; the drop's memory is given back here, whatever happens.
std::vector<std::wstring> DroppedPaths(HDROP handle) {
    const UniqueDrop drop(handle);
    std::vector<std::wstring> paths(::DragQueryFileW(drop.get(), 0xFFFFFFFF, nullptr, 0));
    for (UINT i = 0; i < paths.size(); ++i) {
        paths[i].resize(::DragQueryFileW(drop.get(), i, nullptr, 0) + 1);
        paths[i].resize(::DragQueryFileW(drop.get(), i, paths[i].data(), static_cast<UINT>(paths[i].size())));
    }
    return paths;
}

}  // namespace

int TwipsToPixels(int twips, UINT dpi) noexcept { return ::MulDiv(twips, static_cast<int>(dpi), 1440); }

// ----- Control -----

Control::Control(Window& owner, int id, const wchar_t* className, DWORD style, DWORD exStyle, const TwipsRect& place,
                 const std::wstring& caption)
    : owner_(owner), id_(id), place_(place) {
    handle_ =
        ::CreateWindowExW(exStyle, className, caption.c_str(), WS_CHILD | style, 0, 0, 0, 0, owner.Handle(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!handle_) ThrowLastError();
}

void Control::SetCaption(const std::wstring& text) {
    if (handle_ && !::SetWindowTextW(handle_, text.c_str())) ThrowLastError();
}

std::wstring Control::Caption() const { return TextOf(handle_); }

void Control::SetEnabled(bool enabled) {
    if (!handle_) return;
    // A control that loses its input while it has the focus hands the focus on, as in a
    // dialog; else the keyboard would reach nothing.
    HWND focus = ::GetFocus();
    if (!enabled && focus && (focus == handle_ || ::IsChild(handle_, focus))) {
        HWND next = ::GetNextDlgTabItem(owner_.Handle(), handle_, FALSE);
        ::EnableWindow(handle_, FALSE);
        ::SetFocus(next && next != handle_ ? next : owner_.Handle());
        return;
    }
    ::EnableWindow(handle_, enabled);
}

bool Control::Enabled() const { return handle_ && ::IsWindowEnabled(handle_); }

void Control::SetVisible(bool visible) {
    if (handle_) ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetTextColor(COLORREF color) {
    color_ = color;
    hasColor_ = true;
    if (handle_) ::InvalidateRect(handle_, nullptr, TRUE);
}

void Control::SetFont(const FontSpec& font) {
    fontSpec_ = font;
    ApplyLayout(owner_.Dpi());
}

void Control::PaintNow() {
    if (handle_) ::UpdateWindow(handle_);
}

void Control::SetPlace(const TwipsRect& place) {
    place_ = place;
    ApplyLayout(owner_.Dpi());
}

int Control::TextHeightTwips() const {
    const UINT dpi = owner_.Dpi();
    const std::wstring text = Caption();
    UniqueWindowDc dc(handle_);
    const HGDIOBJ old = ::SelectObject(dc.get(), font_.get());
    RECT rect{0, 0, TwipsToPixels(place_.width, dpi), 0};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    ::SelectObject(dc.get(), old);
    return ::MulDiv(rect.bottom - rect.top, 1440, static_cast<int>(dpi)) + 30;  // and a little air
}

void Control::ApplyLayout(UINT dpi) {
    if (!handle_) return;
    font_.reset(MakeFont(fontSpec_, dpi));
    ::SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    ::SetWindowPos(handle_, nullptr, TwipsToPixels(place_.left, dpi), TwipsToPixels(place_.top, dpi),
                   TwipsToPixels(place_.width, dpi), TwipsToPixels(place_.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

Label::Label(Window& owner, int id, const TwipsRect& place, const std::wstring& caption, DWORD extraStyle)
    : Control(owner, id, L"STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | extraStyle, 0, place, caption) {}

Button::Button(Window& owner, int id, const TwipsRect& place, const std::wstring& caption, bool isDefault)
    : Control(owner, id, L"BUTTON", WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, place,
              caption),
      isDefault_(isDefault) {}

ProgressBar::ProgressBar(Window& owner, int id, const TwipsRect& place)
    : Control(owner, id, PROGRESS_CLASSW, WS_VISIBLE, 0, place, L"") {
    ::SendMessageW(Handle(), PBM_SETRANGE32, 0, kProgressSteps);
}

void ProgressBar::SetProgress(std::uint64_t done, std::uint64_t total) {
    ::SendMessageW(Handle(), PBM_SETPOS, ProgressSteps(done, total), 0);
}

void ProgressBar::ShowHalted() { ::SendMessageW(Handle(), PBM_SETSTATE, PBST_ERROR, 0); }

// ----- Window -----

Window::~Window() {
    if (handle_) {
        ::SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        HWND hwnd = std::exchange(handle_, nullptr);
        ::DestroyWindow(hwnd);
        TopLevelWindowClosed();
    }
}

UINT Window::Dpi() const noexcept { return dpi_ ? dpi_ : DpiOf(handle_); }

void Window::Create(const wchar_t* className, const std::wstring& caption, int clientWidthTwips, int clientHeightTwips,
                    DWORD style, HMENU menuBar, HWND owner, int iconId) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!::GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Window::Procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className;
        if (iconId) {
            // The class lives as long as the program, and so do its icons.
            windowClass.hIcon = LoadIconAt(iconId, false, ::GetDpiForSystem());
            windowClass.hIconSm = LoadIconAt(iconId, true, ::GetDpiForSystem());
        }
        if (!::RegisterClassExW(&windowClass)) ThrowLastError();
    }
    iconId_ = iconId;
    HWND created = ::CreateWindowExW(WS_EX_CONTROLPARENT, className, caption.c_str(), style, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, menuBar, instance, this);
    if (!created) ThrowLastError();
    SetClientSizeTwips(clientWidthTwips, clientHeightTwips);
}

void Window::SetCaption(const std::wstring& text) {
    if (handle_ && !::SetWindowTextW(handle_, text.c_str())) ThrowLastError();
}

std::wstring Window::Caption() const { return TextOf(handle_); }

void Window::Show() {
    if (!handle_) return;
    ::ShowWindow(handle_, SW_SHOW);
    ::SetForegroundWindow(handle_);
    ::UpdateWindow(handle_);
}

void Window::ShowModal(Window& owner) {
    if (!handle_) return;
    HWND ownerHandle = owner.Handle();
    ::SetWindowLongPtrW(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerHandle));
    modalDone_ = false;
    inModal_ = true;
    // An owner that is disabled already (by a modal window of its own) stays so afterwards.
    ownerWasEnabled_ = !::EnableWindow(ownerHandle, FALSE);
    CenterOver(ownerHandle);
    Show();
    MSG msg;
    while (!modalDone_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (got == -1) break;
        DispatchEvent(msg);
    }
    inModal_ = false;
    if (ownerWasEnabled_) ::EnableWindow(ownerHandle, TRUE);
    if (::IsWindow(ownerHandle)) ::SetActiveWindow(ownerHandle);
    if (handle_) Close();
}

void Window::CenterOver(HWND owner) {
    RECT ownerRect{}, rect{};
    if (!::GetWindowRect(owner, &ownerRect) || !::GetWindowRect(handle_, &rect)) return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int left = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    int top = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    // Kept on the owner's screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max<int>(work.left, std::min<int>(left, work.right - width));
        top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    }
    ::SetWindowPos(handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::Close() {
    if (!handle_) return;
    if (inModal_) {
        // Give the owner its input back before this window goes, so that the activation
        // returns to it rather than to another program.
        HWND owner = ::GetWindow(handle_, GW_OWNER);
        if (owner && ownerWasEnabled_) ::EnableWindow(owner, TRUE);
    }
    ::DestroyWindow(handle_);
}

void Window::PlaceFrameTwips(const TwipsRect& frame) {
    if (!handle_) return;
    sizeIsFrame_ = true;
    sizeTwips_ = frame;
    const UINT dpi = Dpi();
    ::SetWindowPos(handle_, nullptr, TwipsToPixels(frame.left, dpi), TwipsToPixels(frame.top, dpi),
                   TwipsToPixels(frame.width, dpi), TwipsToPixels(frame.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::SetClientSizeTwips(int width, int height) {
    if (!handle_) return;
    sizeIsFrame_ = false;
    sizeTwips_ = TwipsRect{0, 0, width, height};
    ApplySize();
}

// The window's outer size at a DPI for what was last asked for in twips.
SIZE Window::SizeAt(UINT dpi) const {
    RECT rect{0, 0, TwipsToPixels(sizeTwips_.width, dpi), TwipsToPixels(sizeTwips_.height, dpi)};
    if (!sizeIsFrame_) {
        const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(handle_, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(handle_, GWL_EXSTYLE));
        ::AdjustWindowRectExForDpi(&rect, style, ::GetMenu(handle_) != nullptr, exStyle, dpi);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Sizes the window at its DPI to what was last asked for, leaving its place alone.
void Window::ApplySize() {
    const SIZE size = SizeAt(Dpi());
    ::SetWindowPos(handle_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::ChangeDpi(UINT dpi, const RECT& suggested) {
    if (!handle_ || !dpi) return;
    dpi_ = dpi;
    // The system's rectangle says where the window belongs on the new screen; its size is
    // worked out again from the twips (as WM_GETDPISCALEDSIZE told the system beforehand), so
    // that the layout stays exact at every DPI.
    SIZE size{suggested.right - suggested.left, suggested.bottom - suggested.top};
    if (sizeTwips_.width > 0) size = SizeAt(dpi);
    ::SetWindowPos(handle_, nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls();
    if (iconId_) {  // the caption's and Alt+Tab's icons, loaded for the new size
        UniqueIcon big(LoadIconAt(iconId_, false, dpi)), small(LoadIconAt(iconId_, true, dpi));
        ::SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
        ::SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
        bigIcon_ = std::move(big);  // the old ones go once the window no longer uses them
        smallIcon_ = std::move(small);
    }
    ::RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void Window::SetMenuBarVisible(bool visible) {
    if (!handle_ || visible == MenuBarVisible()) return;
    if (visible) {
        ::SetMenu(handle_, hiddenMenuBar_.release());
    } else {
        hiddenMenuBar_.reset(::GetMenu(handle_));
        ::SetMenu(handle_, nullptr);
    }
    ::DrawMenuBar(handle_);
}

void Window::AcceptDroppedFiles() {
    if (handle_) ::DragAcceptFiles(handle_, TRUE);
}

bool Window::MenuBarVisible() const noexcept { return handle_ && ::GetMenu(handle_) != nullptr; }

void Window::AdoptControl(std::unique_ptr<Control> control) {
    control->ApplyLayout(Dpi());
    controls_.push_back(std::move(control));
}

void Window::LayoutControls() {
    const UINT dpi = Dpi();
    for (auto& control : controls_) control->ApplyLayout(dpi);
}

Control* Window::FindControl(HWND hwnd) const noexcept {
    for (auto& control : controls_)
        if (control->Handle() == hwnd) return control.get();
    return nullptr;
}

// The control that has the focus, also when the focus lies in a part of it (a combo box's edit).
Control* Window::FocusedControl() const noexcept {
    for (HWND focus = ::GetFocus(); focus && focus != handle_; focus = ::GetParent(focus))
        if (Control* control = FindControl(focus)) return control;
    return nullptr;
}

// As a dialog does: the control that had the focus when the window was last left gets it back,
// else the first control in the tab order.
void Window::RestoreFocus() {
    HWND target = lastFocus_;
    if (!target || !::IsWindow(target) || !::IsChild(handle_, target) || !::IsWindowEnabled(target) ||
        !::IsWindowVisible(target))
        target = ::GetNextDlgTabItem(handle_, nullptr, FALSE);
    ::SetFocus(target ? target : handle_);  // the window itself when no control can take it
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->handle_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        TopLevelWindowOpened();
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return Guarded([&] { return self->HandleMessage(message, wParam, lParam); });
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT taskbarButtonCreated = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
    if (message == taskbarButtonCreated && message != 0) {
        OnTaskbarButtonCreated();
        return 0;
    }
    switch (message) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_COMMAND: HandleCommand(wParam, lParam); return 0;
    case WM_ACTIVATE: HandleActivate(wParam); return 0;
    case WM_GETDPISCALEDSIZE:  // the size the window will take at the new DPI (see ChangeDpi)
        if (sizeTwips_.width <= 0) break;
        *reinterpret_cast<SIZE*>(lParam) = SizeAt(static_cast<UINT>(wParam));
        return TRUE;
    case WM_CLOSE:
        if (OnCloseRequest()) Close();
        return 0;
    case WM_DESTROY:
        if (inModal_) modalDone_ = true;
        return 0;
    case WM_NCDESTROY: {
        HWND hwnd = handle_;
        HandleFinalDestroy();
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    case WM_CTLCOLORSTATIC: return ColorOfStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case DM_GETDEFID: return DefaultButtonId();  // IsDialogMessage asks which button Enter presses
    case WM_DPICHANGED: ChangeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_DROPFILES: OnFilesDropped(DroppedPaths(reinterpret_cast<HDROP>(wParam))); return 0;
    default: break;
    }
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

void Window::HandleCommand(WPARAM wParam, LPARAM lParam) {
    if (Control* control = lParam ? FindControl(reinterpret_cast<HWND>(lParam)) : nullptr)
        control->OnNotification(HIWORD(wParam));
    // Enter with no button to press: the control that has the focus may act on it.
    if (LOWORD(wParam) == IDOK && !lParam)
        if (Control* focused = FocusedControl(); focused && focused->OnEnterKey()) return;
    OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
}

void Window::HandleActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(handle_, focus)) lastFocus_ = focus;
    } else if (!HIWORD(wParam)) {  // not while minimised
        RestoreFocus();
    }
}

void Window::HandleFinalDestroy() {
    HWND hwnd = std::exchange(handle_, nullptr);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    for (auto& control : controls_) control->handle_ = nullptr;
    hiddenMenuBar_.reset();
    TopLevelWindowClosed();
}

LRESULT Window::ColorOfStatic(HDC dc, HWND control) const {
    const Control* label = FindControl(control);
    if (label && label->HasTextColor()) ::SetTextColor(dc, label->TextColor());
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT Window::DefaultButtonId() const {
    // The button that has the focus, else the button made as the window's default, else none.
    // Not a button whose style says default: the dialog manager leaves that style on a button
    // that the focus left other than by Tab.
    if (Control* focused = FocusedControl(); focused && (::SendMessageW(focused->Handle(), WM_GETDLGCODE, 0, 0) &
                                                         (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        return MAKELRESULT(focused->Id(), DC_HASDEFID);
    for (auto& control : controls_)
        if (auto* button = dynamic_cast<Button*>(control.get()); button && button->IsDefault() && button->Enabled())
            return MAKELRESULT(button->Id(), DC_HASDEFID);
    return 0;
}

}  // namespace platform
