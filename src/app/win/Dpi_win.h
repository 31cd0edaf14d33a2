#pragma once

#include <windows.h>

namespace ondrevan::win {

// The window's DPI: 1440 twips make an inch, so 15 twips make a pixel at 96 DPI.
struct Dpi {
    int value = 96;

    static Dpi ForWindow(HWND window);
    int Px(int twips) const { return ::MulDiv(twips, value, 1440); }
    // A font height in pixels for a size in points (negative: the character height).
    int FontHeight(double points) const { return -static_cast<int>(points * value / 72.0 + 0.5); }
};

}  // namespace ondrevan::win
