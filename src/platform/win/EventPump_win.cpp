#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

void Win32EventPump::DoEvents() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit for the main loop, which ends the program.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (dialogWindow_ && ::IsDialogMessageW(dialogWindow_, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace ondrevan::win
