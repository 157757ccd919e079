#include "platform/menus.h"

#include "platform/failure.h"
#include "platform/window.h"

namespace platform {

void Menu::Append(int commandId, const std::wstring& caption) {
    if (!::AppendMenuW(menu_, MF_STRING, static_cast<UINT_PTR>(commandId), caption.c_str())) ThrowLastError();
}

void Menu::SetCaption(int commandId, const std::wstring& caption) {
    if (!::ModifyMenuW(menu_, static_cast<UINT>(commandId), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(commandId),
                       caption.c_str()))
        ThrowLastError();
}

std::wstring Menu::Caption(int commandId) const {
    const int length = ::GetMenuStringW(menu_, static_cast<UINT>(commandId), nullptr, 0, MF_BYCOMMAND);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetMenuStringW(menu_, static_cast<UINT>(commandId), text.data(), length + 1, MF_BYCOMMAND);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void Menu::PopUpAtPointer(Window& owner) const {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    HWND ownerHandle = owner.Handle();
    // A pop-up of a window without the foreground does not close when the user clicks elsewhere.
    ::SetForegroundWindow(ownerHandle);
    const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(menu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                                             pointer.x, pointer.y, ownerHandle, nullptr));
    ::PostMessageW(ownerHandle, WM_NULL, 0, 0);
    if (chosen != 0) ::SendMessageW(ownerHandle, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

MenuBar::MenuBar() : MenuBar(::CreateMenu()) {}

MenuBar::MenuBar(HMENU bar) : bar_(bar) {
    if (!bar_) ThrowLastError();
}

MenuBar MenuBar::FromResource(int id) {
    return MenuBar(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
}

Menu MenuBar::AddEntry(const std::wstring& caption) {
    HMENU entry = ::CreatePopupMenu();
    if (!entry) ThrowLastError();
    if (!::AppendMenuW(bar_.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(entry), caption.c_str())) {
        ::DestroyMenu(entry);
        ThrowLastError();
    }
    return Menu(entry);
}

MenuItemArray::MenuItemArray(Menu menu, int firstId, const std::wstring& firstCaption)
    : menu_(menu), firstId_(firstId) {
    menu_.Append(firstId_, firstCaption);
}

void MenuItemArray::Load(int index, const std::wstring& caption) {
    if (index != count_ || count_ >= kMaxListEntries) ThrowWin32(ERROR_INVALID_INDEX);
    menu_.Append(firstId_ + index, caption);
    ++count_;
}

void MenuItemArray::SetCaption(int index, const std::wstring& caption) {
    if (index < 0 || index >= count_) ThrowWin32(ERROR_INVALID_INDEX);
    menu_.SetCaption(firstId_ + index, caption);
}

std::wstring MenuItemArray::Caption(int index) const {
    return index >= 0 && index < count_ ? menu_.Caption(firstId_ + index) : std::wstring();
}

int MenuItemArray::IndexOf(int commandId) const noexcept {
    const int index = commandId - firstId_;
    return index >= 0 && index < count_ ? index : -1;
}

}  // namespace platform
