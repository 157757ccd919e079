// Small move-only owners, one per kind of Win32 handle.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <utility>

namespace platform {

// Owns one handle value; Traits gives its invalid value and how to close it.
template <typename Traits>
class UniqueHandle {
public:
    using Value = typename Traits::Value;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Value value) noexcept : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Value get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::Invalid(); }
    Value release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void reset(Value value = Traits::Invalid()) noexcept {
        Value old = std::exchange(value_, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Value value_ = Traits::Invalid();
};

// A handle kind: its type, what closes one, and whether "none" is INVALID_HANDLE_VALUE (what
// CreateFileW and FindFirstFileW return) rather than null.
template <typename T, auto close, bool noneIsMinusOne = false>
struct HandleTraits {
    using Value = T;
    static Value Invalid() noexcept {
        if constexpr (noneIsMinusOne)
            return INVALID_HANDLE_VALUE;
        else
            return nullptr;
    }
    static void Close(Value h) noexcept { close(h); }
};

inline void CloseKernelObject(HANDLE h) noexcept { ::CloseHandle(h); }
inline void CloseFind(HANDLE h) noexcept { ::FindClose(h); }
inline void CloseMenu(HMENU h) noexcept { ::DestroyMenu(h); }
inline void CloseFont(HFONT h) noexcept { ::DeleteObject(h); }
inline void CloseIcon(HICON h) noexcept { ::DestroyIcon(h); }
inline void CloseModule(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void CloseDrop(HDROP h) noexcept { ::DragFinish(h); }

using UniqueFile = UniqueHandle<HandleTraits<HANDLE, CloseKernelObject, true>>;
using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, CloseKernelObject>>;  // processes, threads, events
using UniqueFind = UniqueHandle<HandleTraits<HANDLE, CloseFind, true>>;
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, CloseMenu>>;
using UniqueFont = UniqueHandle<HandleTraits<HFONT, CloseFont>>;
using UniqueIcon = UniqueHandle<HandleTraits<HICON, CloseIcon>>;
using UniqueModule = UniqueHandle<HandleTraits<HMODULE, CloseModule>>;
using UniqueDrop = UniqueHandle<HandleTraits<HDROP, CloseDrop>>;  // what WM_DROPFILES hands over

// A window's device context, given back to that window at the end of the scope.
class UniqueWindowDc {
public:
    explicit UniqueWindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    UniqueWindowDc(const UniqueWindowDc&) = delete;
    UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;
    ~UniqueWindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Releases a COM interface pointer when it goes out of scope.
template <typename Interface>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    Interface* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For functions that hand out a new reference through an out parameter.
    Interface** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    void Reset() noexcept {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    Interface* p_ = nullptr;
};

}  // namespace platform
