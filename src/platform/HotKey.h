#pragma once

namespace ondrevan {

class KeyStates;

inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkT = 0x54;

// Ctrl+Shift+T: Ctrl down now, Shift down or pressed since it was last asked about, and T
// pressed. T's own "pressed since" bit stays set from the key-down to the next question
// and would fire the key-up too, so the press itself is taken from the key events: the
// first key-down of T fires, its auto-repeats and its key-up do not.
class HotKeyDetector {
  public:
    // One keyboard event as the hook sees it; true when the hot key fires.
    bool OnKey(KeyStates& keys, int virtualKey, bool keyDown);

  private:
    bool tIsDown_ = false;
};

}  // namespace ondrevan
