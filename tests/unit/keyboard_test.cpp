// The keyboard alone, through the program's own event handling: Tab, Enter and Esc as a person uses them.
#include <gtest/gtest.h>

#include "lists/destination_picker.h"
#include "platform/app.h"
#include "test_support.h"

static std::vector<int> Keys(std::initializer_list<UINT> keys) {  // the focus before and after each key
    std::vector<int> focus{::GetDlgCtrlID(::GetFocus())};
    for (const UINT key : keys) {
        for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) ::PostMessageW(::GetFocus(), message, key, 1);
        for (MSG m; ::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) platform::DispatchEvent(m);
        focus.push_back(::GetDlgCtrlID(::GetFocus()));
    }
    return focus;
}
struct Owner : platform::Window {  // the last command of its buttons
    Owner() { Create(L"Quorvander.KeyboardTest", L"", 4000, 3000, WS_OVERLAPPED | WS_CAPTION); }
    void OnCommand(int id, int, HWND) override { command = id; }
    int command = 0;
};

TEST(Keyboard, TabWalksTheTabOrderEnterPressesTheFocusedButtonOrOpensTheFolderEscIsFinished) {
    test::ScratchFolder scratch;
    test::MakeFolder(scratch / L"Dest");
    Owner owner;
    auto& first = owner.Add<platform::Button>(7, platform::TwipsRect{}, L"");
    owner.Add<platform::Button>(8, platform::TwipsRect{}, L"");
    owner.Show();
    first.SetEnabled(false);  // a button disabled under the focus hands it on; Enter presses the one that has it
    EXPECT_EQ(Keys({VK_RETURN}), (std::vector<int>{8, 8}));
    EXPECT_EQ(owner.command, 8);
    auto& added = owner.Add<platform::ListBoxControl>(1, platform::TwipsRect{}, false);
    lists::DestinationPicker picker(added, scratch.Path());
    picker.Show();  // Down only highlights Dest: Add Path adds the open folder; Enter opens Dest
    EXPECT_EQ(Keys({VK_TAB, VK_DOWN, VK_TAB, VK_TAB, VK_RETURN, VK_TAB, VK_TAB, VK_RETURN, VK_TAB, VK_TAB, VK_RETURN,
                    VK_ESCAPE}),
              (std::vector<int>{2001, 2003, 2003, 2005, 2004, 2004, 2001, 2003, 2003, 2005, 2004, 2004, 8}));
    EXPECT_EQ(added.Items(), (test::Lines{scratch.Path(), scratch / L"Dest"}));
}
