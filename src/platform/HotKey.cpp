#include "platform/HotKey.h"

#include "platform/KeyboardHook.h"

namespace ondrevan {

bool HotKeyDetector::OnKey(KeyStates& keys, int virtualKey, bool keyDown) {
    if (virtualKey != kVkT) return false;
    const bool newPress = keyDown && !tIsDown_;
    tIsDown_ = keyDown;
    if (!newPress) return false;
    const bool control = (keys.AsyncKeyState(kVkControl) & 0x8000) != 0;
    const bool shift = keys.AsyncKeyState(kVkShift) != 0;
    return control && shift;
}

}  // namespace ondrevan
