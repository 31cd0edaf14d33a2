#include "platform/win/KeyboardHook_win.h"

#include "platform/HotKey.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {
namespace {

// A hook procedure carries no context, so the handle and the window to tell live here.
UniqueHhook KeyboardHookHandle;
HWND HotKeyTarget = nullptr;
HotKeyDetector Detector;
bool PassThrough = true;

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION) return ::CallNextHookEx(KeyboardHookHandle.get(), code, wParam, lParam);
    Win32KeyStates keys;
    const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool keyDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    if (Detector.OnKey(keys, static_cast<int>(event->vkCode), keyDown))
        ::PostMessageW(HotKeyTarget, kHotKeyMessage, 0, 0);
    // Swallowed, the press that toggles (its key-down, repeats and key-up) and only that
    // one never reaches the program in front.
    if (!PassThrough && Detector.PartOfFiredPress()) return 1;
    return ::CallNextHookEx(KeyboardHookHandle.get(), 0, wParam, lParam);
}

}  // namespace

void Win32KeyboardHook::SetTarget(HWND window) {
    HotKeyTarget = window;
}

void Win32KeyboardHook::SetHotKey(const HotKeySpec& hotKey, bool passThrough) {
    Detector.SetHotKey(hotKey);
    PassThrough = passThrough;
}

void Win32KeyboardHook::Install() {
    // A hook that cannot be installed leaves the hot key without effect; nothing is said.
    KeyboardHookHandle.reset(
        ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, ::GetModuleHandleW(nullptr), 0));
}

void Win32KeyboardHook::Remove() {
    KeyboardHookHandle.reset();
}

bool Win32KeyboardHook::Installed() const {
    return static_cast<bool>(KeyboardHookHandle);
}

}  // namespace ondrevan::win
