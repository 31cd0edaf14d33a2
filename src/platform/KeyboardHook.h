#pragma once

#include <cstdint>

#include "platform/HotKey.h"

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
    // The key it watches for (an empty one: none), and whether the press that toggles
    // still reaches the program in front.
    virtual void SetHotKey(const HotKeySpec& hotKey, bool passThrough) = 0;
};

}  // namespace ondrevan
