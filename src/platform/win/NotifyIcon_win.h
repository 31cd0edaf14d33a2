#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <utility>

#include "platform/NotifyIcon.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {

// The tray control's own hidden window: it owns the icon, receives the shell's message
// 1125 for it and hears when Explorer restarts.
class Win32NotifyIcon : public NotifyIcon {
  public:
    // The shell's Shell_NotifyIconW, or a stand-in that records the calls.
    using ShellCall = std::function<BOOL(DWORD message, NOTIFYICONDATAW* data)>;
    Win32NotifyIcon() = default;
    explicit Win32NotifyIcon(ShellCall shell) : shell_(std::move(shell)) {}
    ~Win32NotifyIcon() override;
    Win32NotifyIcon(const Win32NotifyIcon&) = delete;
    Win32NotifyIcon& operator=(const Win32NotifyIcon&) = delete;

    // Creates the window; its messages go to the tray control.
    bool Create(HINSTANCE instance, NotifyIconListener& tray);
    HWND Handle() const { return window_; }
    void Send(const NotifyIconRequest& request) override;
    // What the shell answered the last time (the program itself never asks).
    bool LastResult() const { return lastResult_; }
    // The shell agreed to send the newer messages (the event and the icon in lParam).
    bool NewerMessages() const { return newerMessages_; }
    // Who opens the icon's menu, at a place on the screen: asked on a right click, on
    // Shift+F10 or the Menu key while the icon has the keyboard.
    void SetMenuHandler(std::function<void(POINT)> handler) { menu_ = std::move(handler); }

  private:
    static LRESULT CALLBACK TrayCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HINSTANCE instance_ = nullptr;
    NotifyIconListener* tray_ = nullptr;
    UniqueHicon icon_;
    std::function<void(POINT)> menu_;
    UINT taskbarCreated_ = 0;
    bool lastResult_ = false;
    bool newerMessages_ = false;
    ShellCall shell_ = [](DWORD message, NOTIFYICONDATAW* data) {
        return ::Shell_NotifyIconW(message, data);
    };
};

}  // namespace ondrevan::win
