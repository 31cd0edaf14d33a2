#pragma once

#include <cstdint>

namespace ondrevan {

// GetAsyncKeyState: the top bit is "down now", the bottom bit "pressed since last asked".
class KeyStates {
  public:
    virtual ~KeyStates() = default;
    virtual std::int16_t AsyncKeyState(int virtualKey) = 0;
};

// The global low-level keyboard hook. When it sees the hot key it tells the main window,
// which toggles the switch from its own message loop.
class KeyboardHook {
  public:
    virtual ~KeyboardHook() = default;
    virtual void Install() = 0;
    virtual void Remove() = 0;
};

}  // namespace ondrevan
