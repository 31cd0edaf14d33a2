#include "app/win/Dpi_win.h"

namespace ondrevan::win {

Dpi Dpi::ForWindow(HWND window) {
    // GetDpiForWindow exists from Windows 10 on; older systems give the screen's DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        if (UINT dpi = getDpiForWindow(window)) return {static_cast<int>(dpi)};
    }
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return {dpi > 0 ? dpi : 96};
}

Dpi TakeSuggestedPlace(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const int dpi = HIWORD(wParam);
    return {dpi > 0 ? dpi : 96};
}

}  // namespace ondrevan::win
