#include "schedule/HotKey.h"

#include "platform/KeyboardHook.h"

namespace ondrevan {

bool HotKeyFires(KeyStates& keys) {
    const bool control = (keys.AsyncKeyState(kVkControl) & 0x8000) != 0;
    const bool shift = keys.AsyncKeyState(kVkShift) != 0;
    if (!control || !shift) return false;
    return (keys.AsyncKeyState(kVkT) & 1) != 0;
}

}  // namespace ondrevan
