#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

namespace {
constexpr LONGLONG kQuietMicroseconds = 5000;

LONGLONG NowMicroseconds() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return count.QuadPart / frequency.QuadPart * 1000000 +
           count.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}
}  // namespace

void Win32EventPump::DoEvents() {
    const LONGLONG now = NowMicroseconds();
    if (lastRun_ != 0 && now - lastRun_ < kQuietMicroseconds) return;
    lastRun_ = now;
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

void Win32EventPump::WaitForEvents(int milliseconds) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds), QS_ALLINPUT);
    lastRun_ = 0;  // something may have arrived: look now
    DoEvents();
}

}  // namespace ondrevan::win
