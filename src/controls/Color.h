#pragma once

#include <cstdint>

namespace ondrevan {

// An OLE colour: 0x00BBGGRR, or a system colour when the top bit is set (0x800000nn).
using Color = std::uint32_t;

namespace colors {
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kSystemButtonFace = 0x8000000F;
inline constexpr Color kSystemWindowText = 0x80000008;
inline constexpr bool IsSystemColor(Color c) {
    return (c & 0x80000000u) != 0;
}
}  // namespace colors

}  // namespace ondrevan
