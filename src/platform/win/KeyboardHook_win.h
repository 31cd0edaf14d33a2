#pragma once

#include <windows.h>

#include "platform/KeyboardHook.h"

namespace ondrevan::win {

// Posted to the main window when the hook sees Ctrl+Shift+T.
inline constexpr UINT kHotKeyMessage = WM_APP + 1;

class Win32KeyStates : public KeyStates {
  public:
    std::int16_t AsyncKeyState(int virtualKey) override { return ::GetAsyncKeyState(virtualKey); }
};

// The global low-level keyboard hook (modKeyboard), on a thread of its own. Its procedure
// only detects the hot key and posts a message: Windows passes a key on when a low-level
// hook does not return in time, and the toggle may show modal message boxes.
class Win32KeyboardHook : public KeyboardHook {
  public:
    void SetTarget(HWND window);
    void Install() override;
    void Remove() override;
    void SetHotKey(const HotKeySpec& hotKey, bool passThrough) override;
    bool Installed() const;
};

}  // namespace ondrevan::win
