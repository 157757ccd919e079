// Menus: a menu bar's entries, pop-up menus and menu item arrays.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"

namespace platform {

class Window;

// A drop-down menu: an entry of a menu bar, or popped up on its own.
class Menu {
public:
    explicit Menu(HMENU menu) noexcept : menu_(menu) {}
    HMENU Handle() const noexcept { return menu_; }

    void Append(int commandId, const std::wstring& caption);
    void SetCaption(int commandId, const std::wstring& caption);
    std::wstring Caption(int commandId) const;
    // Pops the menu up at the mouse pointer over `owner` (which may still be hidden). Returns when
    // the user has dismissed it, or after the chosen item's command has been handled to its end.
    void PopUpAtPointer(Window& owner) const;

private:
    HMENU menu_;  // owned by the menu bar it belongs to
};

// A menu bar built in code: its entries are drop-down menus.
class MenuBar {
public:
    MenuBar();
    // The menu bar of the program's resources with this id.
    static MenuBar FromResource(int id);
    // A new drop-down entry with `caption`; the bar owns it.
    Menu AddEntry(const std::wstring& caption);
    // Hands the bar to a window, which owns it from then on.
    HMENU Release() noexcept { return bar_.release(); }

private:
    explicit MenuBar(HMENU bar);
    UniqueMenu bar_;
};

// Elements 0, 1, 2... of a menu, each a command id from `firstId` on; an element's index is its
// command id less `firstId`. Element 0 exists from the start; further ones are loaded at run time.
class MenuItemArray {
public:
    MenuItemArray(Menu menu, int firstId, const std::wstring& firstCaption);
    // Creates element `index` (the next one) with `caption`.
    void Load(int index, const std::wstring& caption);
    void SetCaption(int index, const std::wstring& caption);
    std::wstring Caption(int index) const;
    // The element that a command id stands for, -1 when none.
    int IndexOf(int commandId) const noexcept;

private:
    Menu menu_;
    int firstId_;
    int count_ = 1;
};

}  // namespace platform
