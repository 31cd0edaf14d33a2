#pragma once

#include <windows.h>

#include <utility>

namespace ondrevan::win {

// A move-only owner of one handle; the traits name its type, its invalid value and
// how it is closed.
template <class Traits>
class UniqueHandle {
  public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Type get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    Type release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Type handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) Traits::Close(handle_);
        handle_ = handle;
    }
    // For APIs that hand back a handle through a pointer.
    Type* put() {
        reset();
        return &handle_;
    }

  private:
    Type handle_ = Traits::Invalid();
};

template <class T, auto CloseFunction>
struct NullInvalidTraits {
    using Type = T;
    static T Invalid() { return nullptr; }
    static void Close(T handle) { CloseFunction(handle); }
};

struct FileHandleTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::FindClose(handle); }
};

inline void DeleteGdiObject(HGDIOBJ object) {
    ::DeleteObject(object);
}

using UniqueHkey = UniqueHandle<NullInvalidTraits<HKEY, ::RegCloseKey>>;
using UniqueHandleObject = UniqueHandle<NullInvalidTraits<HANDLE, ::CloseHandle>>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueHicon = UniqueHandle<NullInvalidTraits<HICON, ::DestroyIcon>>;
using UniqueHcursor = UniqueHandle<NullInvalidTraits<HCURSOR, ::DestroyCursor>>;
using UniqueHfont = UniqueHandle<NullInvalidTraits<HFONT, DeleteGdiObject>>;
using UniqueHbrush = UniqueHandle<NullInvalidTraits<HBRUSH, DeleteGdiObject>>;
using UniqueHhook = UniqueHandle<NullInvalidTraits<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueHmenu = UniqueHandle<NullInvalidTraits<HMENU, ::DestroyMenu>>;
using UniqueHglobal = UniqueHandle<NullInvalidTraits<HGLOBAL, ::GlobalFree>>;
using UniqueHlocal = UniqueHandle<NullInvalidTraits<HLOCAL, ::LocalFree>>;

// A device context of a window, given back when done: of its client area (GetDC) or of the
// whole window, frame included (GetWindowDC).
template <HDC (*Get)(HWND)>
class BasicWindowDc {
  public:
    explicit BasicWindowDc(HWND window) : window_(window), dc_(Get(window)) {}
    ~BasicWindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    BasicWindowDc(const BasicWindowDc&) = delete;
    BasicWindowDc& operator=(const BasicWindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};
inline HDC ClientDc(HWND window) {
    return ::GetDC(window);
}
inline HDC FrameDc(HWND window) {
    return ::GetWindowDC(window);
}
using WindowDc = BasicWindowDc<ClientDc>;
using WholeWindowDc = BasicWindowDc<FrameDc>;

// An object selected into a device context for a scope; the one it replaced comes back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace ondrevan::win
