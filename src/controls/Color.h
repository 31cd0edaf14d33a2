#pragma once

#include <cstdint>

namespace ondrevan {

// An OLE colour: 0x00BBGGRR, or a system colour when the top bit is set (0x800000nn).
using Color = std::uint32_t;

namespace colors {
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kSystemButtonFace = 0x8000000F;
inline constexpr Color kSystemWindow = 0x80000005;
inline constexpr Color kSystemWindowText = 0x80000008;
inline constexpr Color kSystemHighlight = 0x8000000D;
inline constexpr Color kProgressGreen = 0x25B006;
inline constexpr bool IsSystemColor(Color c) {
    return (c & 0x80000000u) != 0;
}
}  // namespace colors

// What a colour is for where it is drawn.
enum class ColorRole { Background, Text, Progress };

// The colour drawn: the designed one, or with high contrast on, the system's colour for that
// role, whatever the design or a skin chose.
inline constexpr Color ShownColor(Color designed, ColorRole role, bool highContrast) {
    if (!highContrast) return designed;
    switch (role) {
        case ColorRole::Background:
            return colors::kSystemWindow;
        case ColorRole::Text:
            return colors::kSystemWindowText;
        case ColorRole::Progress:
            return colors::kSystemHighlight;
    }
    return designed;
}

}  // namespace ondrevan
