#include "platform/window.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"

namespace {

constexpr int kButtonId = 7;
constexpr platform::TwipsRect kButtonPlace{120, 2595, 1215, 495};

int Px(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

// A window without frame or caption: its client area is the whole window at every DPI, so that
// the sizes below do not depend on the frame metrics of the screen the tests run on.
class PlainWindow : public platform::Window {
public:
    PlainWindow() { Create(L"Quorvander.UnitTestPlainWindow", L"", 4000, 3000, WS_POPUP, nullptr, nullptr, IDI_PROGRAM); }
};

// What the system sends when the window is moved to a screen of another DPI; the rectangle is
// where the window belongs there (its size as the system would scale it).
void MoveToScreenOfDpi(platform::Window& window, int dpi, RECT suggested) {
    ::SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

SIZE ClientSize(HWND hwnd) {
    RECT rect{};
    ::GetClientRect(hwnd, &rect);
    return {rect.right, rect.bottom};
}

RECT ControlRect(HWND parent, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width of the window's own icon of that kind (WM_GETICON), 0 without one.
int IconWidth(HWND window, WPARAM kind) {
    HICON icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, kind, 0));
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

int FontHeight(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

void ExpectLaidOutAt(const platform::Window& window, HWND button, int dpi, int clientWidth, int clientHeight) {
    SCOPED_TRACE(::testing::Message() << "at " << dpi << " DPI");
    EXPECT_EQ(window.Dpi(), static_cast<UINT>(dpi));
    const SIZE client = ClientSize(window.Handle());
    EXPECT_EQ(client.cx, Px(clientWidth, dpi));
    EXPECT_EQ(client.cy, Px(clientHeight, dpi));
    const RECT place = ControlRect(window.Handle(), button);
    EXPECT_EQ(place.left, Px(kButtonPlace.left, dpi));
    EXPECT_EQ(place.top, Px(kButtonPlace.top, dpi));
    EXPECT_EQ(place.right - place.left, Px(kButtonPlace.width, dpi));
    EXPECT_EQ(place.bottom - place.top, Px(kButtonPlace.height, dpi));
    EXPECT_EQ(FontHeight(button), -::MulDiv(8, dpi, 72));  // 8 points
}

TEST(WindowDpi, MovingToAScreenOfAnotherDpiLaysTheClientAreaAndControlsOutAgain) {
    PlainWindow window;  // client area 4000 x 3000 twips
    auto& button = window.Add<platform::Button>(kButtonId, kButtonPlace, L"Done");
    const int start = static_cast<int>(window.Dpi());
    ExpectLaidOutAt(window, button.Handle(), start, 4000, 3000);

    MoveToScreenOfDpi(window, 144, RECT{200, 150, 900, 700});
    ExpectLaidOutAt(window, button.Handle(), 144, 4000, 3000);
    RECT frame{};
    ::GetWindowRect(window.Handle(), &frame);
    EXPECT_EQ(frame.left, 200);  // where the system put it
    EXPECT_EQ(frame.top, 150);
    // The caption's and Alt+Tab's icons are made anew for the screen.
    EXPECT_EQ(IconWidth(window.Handle(), ICON_SMALL), ::GetSystemMetricsForDpi(SM_CXSMICON, 144));
    EXPECT_EQ(IconWidth(window.Handle(), ICON_BIG), ::GetSystemMetricsForDpi(SM_CXICON, 144));

    // A size asked for after the move is taken at the new DPI too.
    window.SetClientSizeTwips(2880, 1440);
    ExpectLaidOutAt(window, button.Handle(), 144, 2880, 1440);

    MoveToScreenOfDpi(window, 96, RECT{10, 20, 300, 200});
    ExpectLaidOutAt(window, button.Handle(), 96, 2880, 1440);
}

TEST(WindowDpi, AFramePlacedInTwipsKeepsItsSizeInTwipsOnAnotherScreen) {
    PlainWindow window;
    window.PlaceFrameTwips({100, 100, 6030, 2070});
    MoveToScreenOfDpi(window, 192, RECT{1400, 30, 1500, 100});
    RECT frame{};
    ::GetWindowRect(window.Handle(), &frame);
    EXPECT_EQ(frame.left, 1400);
    EXPECT_EQ(frame.top, 30);
    EXPECT_EQ(frame.right - frame.left, Px(6030, 192));
    EXPECT_EQ(frame.bottom - frame.top, Px(2070, 192));
}

}  // namespace
