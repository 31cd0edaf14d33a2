#pragma once

namespace ondrevan {

class KeyStates;

inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkT = 0x54;

// Ctrl+Shift+T: Ctrl down now, Shift down or pressed since, T pressed since it was last
// asked about. T is asked about only when the other two hold.
bool HotKeyFires(KeyStates& keys);

}  // namespace ondrevan
