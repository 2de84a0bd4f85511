#pragma once
// One move-only owner for every kind of Windows handle, with a typedef per kind.
#include <windows.h>

#include <utility>

namespace platform {

template <typename T, auto Close, T Invalid = T{}> class unique_handle {
public:
    unique_handle() = default;
    explicit unique_handle(T value) : value_(value) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept : value_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_handle() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }

    // Gives up ownership, for handles that the system takes over (a window region).
    T release() { return std::exchange(value_, Invalid); }

    void reset(T value = Invalid) {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }

    // For APIs that return the handle through an out parameter.
    T* put() {
        reset();
        return &value_;
    }

private:
    T value_ = Invalid;
};

namespace detail {
inline void close_key(HKEY key) { RegCloseKey(key); }
inline void delete_gdi(HGDIOBJ object) { DeleteObject(object); }
inline void close_kernel(HANDLE handle) { CloseHandle(handle); }
inline void destroy_menu(HMENU menu) { DestroyMenu(menu); }
inline void destroy_accel(HACCEL accel) { DestroyAcceleratorTable(accel); }
inline void delete_dc(HDC dc) { DeleteDC(dc); }
inline void unregister_device_notify(HDEVNOTIFY notify) { UnregisterDeviceNotification(notify); }
} // namespace detail

using unique_hkey = unique_handle<HKEY, detail::close_key>;
using unique_hrgn = unique_handle<HRGN, detail::delete_gdi>;
using unique_hfont = unique_handle<HFONT, detail::delete_gdi>;
using unique_hbrush = unique_handle<HBRUSH, detail::delete_gdi>;
using unique_hbitmap = unique_handle<HBITMAP, detail::delete_gdi>;
using unique_hmenu = unique_handle<HMENU, detail::destroy_menu>;
using unique_haccel = unique_handle<HACCEL, detail::destroy_accel>;
using unique_memory_dc = unique_handle<HDC, detail::delete_dc>;
using unique_kernel_handle = unique_handle<HANDLE, detail::close_kernel>;
using unique_device_notify = unique_handle<HDEVNOTIFY, detail::unregister_device_notify>;

// CreateFile reports failure as INVALID_HANDLE_VALUE rather than null.
inline unique_kernel_handle own_file(HANDLE file) {
    return unique_kernel_handle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// A device context borrowed from a window with GetDC.
class window_dc {
public:
    explicit window_dc(HWND window) : window_(window), dc_(GetDC(window)) {}
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    ~window_dc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for the life of the scope.
class selected_object {
public:
    selected_object(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    selected_object(const selected_object&) = delete;
    selected_object& operator=(const selected_object&) = delete;
    ~selected_object() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace platform
