#pragma once

#include <array>

#include "controls/Control.h"
#include "controls/Fitting.h"

namespace ondrevan {

// One row of the main window's design: where a control sits and what it says.
struct LayoutEntry {
    const char* name;
    ControlKind kind;
    const char* caption;
    const char* container;  // the frame it sits in, or nullptr for the window
    TwipRect position;      // relative to the container
    double fontPoints;
};

inline constexpr int kClientWidthTwips = 15960;
inline constexpr int kClientHeightTwips = 5745;
inline constexpr double kCaptionPoints = 9.0;
inline constexpr double kButtonPoints = 11.25;

extern const std::array<LayoutEntry, 38> kLayout;

// The row of a control, or nullptr.
const LayoutEntry* FindLayout(const char* name);
// The position in twips relative to the window's client area.
TwipRect ClientPosition(const LayoutEntry& entry);

}  // namespace ondrevan
