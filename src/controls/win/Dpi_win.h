#pragma once

#include <windows.h>

namespace ondrevan::win {

// The DPI Windows lays everything out at unless told otherwise.
inline constexpr int kDefaultDpi = USER_DEFAULT_SCREEN_DPI;

// The window's DPI: 1440 twips make an inch, so 15 twips make a pixel at 96 DPI.
struct Dpi {
    int value = kDefaultDpi;

    static Dpi ForWindow(HWND window);
    int Px(int twips) const { return ::MulDiv(twips, value, 1440); }
    // A font height in pixels for a size in points (negative: the character height).
    int FontHeight(double points) const { return -static_cast<int>(points * value / 72.0 + 0.5); }
};

// Sent when the window moves to a monitor of another DPI, or the DPI of its monitor changes:
// the new DPI in wParam, the rectangle Windows suggests at that DPI in lParam.
inline constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED

// Sizes a window for a client area of the given twips at the monitor's DPI, or at the largest
// below it that fits the monitor's work area, and places it inside that work area: centred,
// or with its top left corner as near `wanted` as fits. Returns the DPI it is laid out at.
Dpi FitToWorkArea(HWND window, Dpi monitor, int widthTwips, int heightTwips,
                  const POINT* wanted = nullptr);

// Takes a kDpiChangedMessage: the window is fitted again at the new DPI around the place
// Windows suggests. Returns the DPI it is laid out at.
Dpi TakeSuggestedPlace(HWND window, WPARAM wParam, LPARAM lParam, int widthTwips, int heightTwips);

}  // namespace ondrevan::win
