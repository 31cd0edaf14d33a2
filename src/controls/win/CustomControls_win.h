#pragma once

#include <windows.h>

#include "controls/Color.h"

namespace ondrevan::win {

// Window classes for the controls Windows has no match for: a frame that contains its
// controls and paints its caption from the model, and a progress bar with a caption.
// Both find their model through their entry (ControlWindows::EntryOf).
inline constexpr const wchar_t* kFrameClass = L"OndrevanFrame";
inline constexpr const wchar_t* kProgressClass = L"OndrevanProgressBar";

bool RegisterCustomControlClasses(HINSTANCE instance);

COLORREF ToColorRef(Color color);
// Whether the user has turned high contrast on, and the colour drawn for a role then.
bool HighContrastOn();
COLORREF ShownColorRef(Color designed, ColorRole role);

}  // namespace ondrevan::win
