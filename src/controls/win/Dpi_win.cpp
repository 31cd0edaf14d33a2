#include "controls/win/Dpi_win.h"

#include <algorithm>

#include "controls/Fitting.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {

Dpi Dpi::ForWindow(HWND window) {
    // GetDpiForWindow exists from Windows 10 on; older systems give the screen's DPI.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        if (UINT dpi = getDpiForWindow(window)) return {static_cast<int>(dpi)};
    }
    const WindowDc screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return {dpi > 0 ? dpi : kDefaultDpi};
}

Dpi FitToWorkArea(HWND window, Dpi monitor, int widthTwips, int heightTwips, const POINT* wanted) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL menu = ::GetMenu(window) != nullptr;
    // The frame at the monitor's DPI, where the system can say it (Windows 10 on).
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT frame{0, 0, 0, 0};
    if (!adjustForDpi ||
        !adjustForDpi(&frame, style, menu, exStyle, static_cast<UINT>(monitor.value)))
        ::AdjustWindowRectEx(&frame, style, menu, exStyle);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    const RECT& work = info.rcWork;
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    Dpi dpi{FittingDpi(monitor.value, widthTwips, heightTwips, frame.right - frame.left,
                       frame.bottom - frame.top, workWidth, workHeight)};
    const int width = dpi.Px(widthTwips) + frame.right - frame.left;
    const int height = dpi.Px(heightTwips) + frame.bottom - frame.top;
    // Centred in the work area, or as near `wanted` as fits.
    const auto place = [&](int w, int h) {
        POINT at{work.left + std::max(0, (workWidth - w) / 2),
                 work.top + std::max(0, (workHeight - h) / 2)};
        if (wanted) {
            at.x =
                std::clamp<LONG>(wanted->x, work.left, std::max<LONG>(work.left, work.right - w));
            at.y = std::clamp<LONG>(wanted->y, work.top, std::max<LONG>(work.top, work.bottom - h));
        }
        ::SetWindowPos(window, nullptr, at.x, at.y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(width, height);
    // The frame as the window really has it (the system may draw it at another DPI than it
    // said): measured, and the window sized and placed again where they differ.
    RECT outer{}, inner{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &inner);
    const int frameWidth = (outer.right - outer.left) - inner.right;
    const int frameHeight = (outer.bottom - outer.top) - inner.bottom;
    if (frameWidth != frame.right - frame.left || frameHeight != frame.bottom - frame.top) {
        dpi = {FittingDpi(monitor.value, widthTwips, heightTwips, frameWidth, frameHeight,
                          workWidth, workHeight)};
        place(dpi.Px(widthTwips) + frameWidth, dpi.Px(heightTwips) + frameHeight);
    }
    return dpi;
}

Dpi TakeSuggestedPlace(HWND window, WPARAM wParam, LPARAM lParam, int widthTwips, int heightTwips) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const int dpi = HIWORD(wParam);
    const POINT at{suggested.left, suggested.top};
    return FitToWorkArea(window, {dpi > 0 ? dpi : 96}, widthTwips, heightTwips, &at);
}

}  // namespace ondrevan::win
