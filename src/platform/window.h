// Windows and their simple controls, laid out in twips and scaled to the window's DPI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace platform {

// Counts and indexes of lists (list controls, menu item arrays) are 16-bit signed: a list holds
// at most this many entries.
constexpr int kMaxListEntries = 32767;

// What a control tells its window with a command (the notification of OnCommand).
enum Notification : int {
    kClicked = BN_CLICKED,              // a button, or a menu item (0)
    kSelectionChanged = LBN_SELCHANGE,  // a list: the user chose another entry
    kDoubleClicked = LBN_DBLCLK,
};

// Twips (1/1440 inch) to pixels at a DPI.
int TwipsToPixels(int twips, UINT dpi) noexcept;

// A place in twips: left, top, width, height.
struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// How a control's text is drawn: the dialog font (MS Shell Dlg, 8 points) unless told otherwise.
struct FontSpec {
    const wchar_t* face = nullptr;  // null: the dialog font
    int hundredthsOfPoint = 0;      // 0: 8 points
    bool bold = false;
};

class Window;

// A child control of a Window; the window owns it, places it and gives it its font.
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    HWND Handle() const noexcept { return handle_; }
    int Id() const noexcept { return id_; }

    void SetCaption(const std::wstring& text);
    std::wstring Caption() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetVisible(bool visible);
    // Text colour as 0x00BBGGRR; drawn by the owning window.
    void SetTextColor(COLORREF color);
    COLORREF TextColor() const noexcept { return color_; }
    bool HasTextColor() const noexcept { return hasColor_; }
    void SetFont(const FontSpec& font);
    // Paints what is pending of this control alone, at once.
    void PaintNow();
    // Moves the control: a place in twips, as at its creation.
    void SetPlace(const TwipsRect& place);
    // The height in twips that the caption needs, wrapped at the control's width in its font.
    int TextHeightTwips() const;

protected:
    Control(Window& owner, int id, const wchar_t* className, DWORD style, DWORD exStyle, const TwipsRect& place,
            const std::wstring& caption);
    // A notification the control sends its window (LBN_DBLCLK, CBN_SELCHANGE...); the window
    // passes it here before its own command handler sees it.
    virtual void OnNotification(int /*code*/) {}
    // Enter pressed while the control has the focus (and no button does): true when the
    // control acted on it, as a folder list opens its highlighted folder.
    virtual bool OnEnterKey() { return false; }

private:
    friend class Window;
    void ApplyLayout(UINT dpi);

    Window& owner_;
    HWND handle_ = nullptr;
    int id_;
    TwipsRect place_;
    FontSpec fontSpec_;
    UniqueFont font_;
    COLORREF color_ = 0;
    bool hasColor_ = false;
};

class Label : public Control {
public:
    Label(Window& owner, int id, const TwipsRect& place, const std::wstring& caption = {}, DWORD extraStyle = 0);
};

class Button : public Control {
public:
    Button(Window& owner, int id, const TwipsRect& place, const std::wstring& caption, bool isDefault = false);
    // The window's default button: Enter presses it when the focus is on no other button.
    bool IsDefault() const noexcept { return isDefault_; }

private:
    bool isDefault_;
};

// How far a piece of work is, as a bar.
class ProgressBar : public Control {
public:
    ProgressBar(Window& owner, int id, const TwipsRect& place);
    // `done` of `total` (any unit); a total of 0 shows an empty bar.
    void SetProgress(std::uint64_t done, std::uint64_t total);
    // The bar in the colour of an error, where it stays.
    void ShowHalted();
};

// A top-level window of the program. One window procedure serves every window class; it keeps
// `this` from WM_NCCREATE on and sends every message through the failure boundary.
class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return handle_; }
    bool Exists() const noexcept { return handle_ != nullptr; }
    UINT Dpi() const noexcept;

    void SetCaption(const std::wstring& text);
    std::wstring Caption() const;
    // Modeless show (no owner window).
    void Show();
    // Modal show: the owner takes no input until this window has closed; returns then.
    void ShowModal(Window& owner);
    // Closes (unloads) the window.
    void Close();
    // The outer frame's place in twips.
    void PlaceFrameTwips(const TwipsRect& frame);
    // The client area's size in twips; the frame grows around it.
    void SetClientSizeTwips(int width, int height);
    // What the window does when the system moves it to a screen of another DPI (WM_DPICHANGED):
    // the size last asked for, in twips, and every control are laid out anew at that DPI.
    void ChangeDpi(UINT dpi, const RECT& suggested);

    // The menu bar, hidden or shown again; hidden, the window keeps it.
    void SetMenuBarVisible(bool visible);
    bool MenuBarVisible() const noexcept;

    // Controls are created by the window's owner through these and live as long as the window.
    template <typename ControlType, typename... Args>
    ControlType& Add(Args&&... args) {
        auto control = std::make_unique<ControlType>(*this, std::forward<Args>(args)...);
        ControlType& result = *control;
        AdoptControl(std::move(control));
        return result;
    }

protected:
    Window() = default;
    // Registers (once) and creates the window with the given class and caption, client size in
    // twips, hidden. `OnCreate` runs inside, with `Handle()` valid. `iconId` names the class's
    // icon resource (0: none): its large image goes to Alt+Tab, its small one to the caption.
    void Create(const wchar_t* className, const std::wstring& caption, int clientWidthTwips, int clientHeightTwips,
                DWORD style, HMENU menuBar = nullptr, HWND owner = nullptr, int iconId = 0);

    virtual void OnCreate() {}
    virtual void OnCommand(int /*id*/, int /*notification*/, HWND /*control*/) {}
    // The close box: true lets the window close.
    virtual bool OnCloseRequest() { return true; }
    // Files and folders dragged from Explorer and dropped on the window (or on a control in it),
    // once AcceptDroppedFiles has been called: their full paths, in the order of the drop.
    virtual void OnFilesDropped(const std::vector<std::wstring>& /*paths*/) {}
    // From now on the window takes files and folders dropped on it.
    void AcceptDroppedFiles();
    // The window's taskbar button exists (again, when Explorer restarted): only from now on does
    // it show progress.
    virtual void OnTaskbarButtonCreated() {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The messages HandleMessage passes on, one handler each.
    void HandleCommand(WPARAM wParam, LPARAM lParam);
    void HandleActivate(WPARAM wParam);
    void HandleFinalDestroy();
    LRESULT ColorOfStatic(HDC dc, HWND control) const;
    LRESULT DefaultButtonId() const;
    void AdoptControl(std::unique_ptr<Control> control);
    void LayoutControls();
    SIZE SizeAt(UINT dpi) const;
    void ApplySize();
    void CenterOver(HWND owner);
    Control* FindControl(HWND hwnd) const noexcept;
    Control* FocusedControl() const noexcept;
    void RestoreFocus();

    HWND handle_ = nullptr;
    UINT dpi_ = 0;  // set once the system has told the window its DPI; else GetDpiForWindow
    // The size last asked for in twips: the frame's place, or else the client area's size.
    bool sizeIsFrame_ = false;
    TwipsRect sizeTwips_;
    HWND lastFocus_ = nullptr;  // the control to give the focus back to on activation
    int iconId_ = 0;
    UniqueIcon bigIcon_, smallIcon_;  // the class's icons redrawn for a screen of another DPI
    bool modalDone_ = false;
    bool inModal_ = false;
    bool ownerWasEnabled_ = false;  // what a modal show gives back to its owner
    UniqueMenu hiddenMenuBar_;
    std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace platform
