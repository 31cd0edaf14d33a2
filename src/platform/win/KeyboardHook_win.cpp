#include "platform/win/KeyboardHook_win.h"

#include "platform/HotKey.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {
namespace {

// A hook procedure carries no context, so the handle and the window to tell live here. The
// hook has a thread of its own that does nothing else: Windows passes a key on to the
// program in front when a low-level hook does not answer in time, and the main window's
// thread may be busy (a run, a toggle's own work, a loaded machine) just as a press comes.
UniqueHhook KeyboardHookHandle;
HWND HotKeyTarget = nullptr;
SRWLOCK DetectorLock = SRWLOCK_INIT;  // the detector and its choice, set from the main window
HotKeyDetector Detector;
bool PassThrough = true;
HANDLE HookThread = nullptr;
DWORD HookThreadId = 0;

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION) return ::CallNextHookEx(KeyboardHookHandle.get(), code, wParam, lParam);
    Win32KeyStates keys;
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool keyDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    ::AcquireSRWLockExclusive(&DetectorLock);
    const bool fired = Detector.OnKey(keys, static_cast<int>(event->vkCode), keyDown);
    // Swallowed, the press that toggles (its key-down, repeats and key-up) and only that
    // one never reaches the program in front.
    const bool swallow = !PassThrough && Detector.PartOfFiredPress();
    ::ReleaseSRWLockExclusive(&DetectorLock);
    if (fired) ::PostMessageW(HotKeyTarget, kHotKeyMessage, 0, 0);
    if (swallow) return 1;
    return ::CallNextHookEx(KeyboardHookHandle.get(), 0, wParam, lParam);
}

// The hook's thread: installs the hook, says whether it could, and answers it until told
// to quit.
DWORD WINAPI HookThreadMain(void* installed) {
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // a queue, before anyone posts
    KeyboardHookHandle.reset(
        ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, ::GetModuleHandleW(nullptr), 0));
    const bool hooked = static_cast<bool>(KeyboardHookHandle);
    ::SetEvent(static_cast<HANDLE>(installed));
    if (!hooked) return 1;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    KeyboardHookHandle.reset();
    return 0;
}

}  // namespace

void Win32KeyboardHook::SetTarget(HWND window) {
    HotKeyTarget = window;
}

void Win32KeyboardHook::SetHotKey(const HotKeySpec& hotKey, bool passThrough) {
    ::AcquireSRWLockExclusive(&DetectorLock);
    Detector.SetHotKey(hotKey);
    PassThrough = passThrough;
    ::ReleaseSRWLockExclusive(&DetectorLock);
}

void Win32KeyboardHook::Install() {
    // A hook that cannot be installed leaves the hot key without effect; nothing is said.
    if (HookThread) return;
    HANDLE installed = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!installed) return;
    HookThread = ::CreateThread(nullptr, 0, HookThreadMain, installed, 0, &HookThreadId);
    if (HookThread) {
        ::WaitForSingleObject(installed, INFINITE);
        ::SetThreadPriority(HookThread, THREAD_PRIORITY_ABOVE_NORMAL);
        if (!KeyboardHookHandle) Remove();
    }
    ::CloseHandle(installed);
}

void Win32KeyboardHook::Remove() {
    if (!HookThread) return;
    ::PostThreadMessageW(HookThreadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(HookThread, INFINITE);
    ::CloseHandle(HookThread);
    HookThread = nullptr;
    HookThreadId = 0;
}

bool Win32KeyboardHook::Installed() const {
    return HookThread != nullptr && static_cast<bool>(KeyboardHookHandle);
}

}  // namespace ondrevan::win
