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
        if (dialogWindow_ && ::IsDialogMessageW(KeyboardWindow(message.hwnd), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

HWND Win32EventPump::KeyboardWindow(HWND target) const {
    // The keyboard moves between the controls of the window it is in: the main one, or one
    // the main one owns (a tool window, while the main one waits for it).
    HWND root = target ? ::GetAncestor(target, GA_ROOT) : nullptr;
    const bool tool = root && ::GetWindow(root, GW_OWNER) == dialogWindow_ &&
                      (::GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    return tool ? root : dialogWindow_;
}

void Win32EventPump::WaitForEvents(int milliseconds) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds), QS_ALLINPUT);
    lastRun_ = 0;  // something may have arrived: look now
    DoEvents();
}

}  // namespace ondrevan::win
