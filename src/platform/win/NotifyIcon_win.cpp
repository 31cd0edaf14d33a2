#include "platform/win/NotifyIcon_win.h"
#include "platform/win/ResourceIds.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

constexpr const wchar_t* kTrayWindowClass = L"OndrevanTrayWindow";

template <std::size_t N>
void CopyField(wchar_t (&field)[N], const std::string& text) {
    const std::wstring wide = Widen(text);
    const std::size_t length = std::min(wide.size(), N - 1);
    std::copy_n(wide.c_str(), length, field);
    field[length] = L'\0';
}

}  // namespace

Win32NotifyIcon::~Win32NotifyIcon() {
    if (window_) ::DestroyWindow(window_);
}

bool Win32NotifyIcon::Create(HINSTANCE instance, NotifyIconListener& tray) {
    instance_ = instance;
    tray_ = &tray;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TrayCallback;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kTrayWindowClass;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    // A hidden top-level window, not a message-only one: only those hear "TaskbarCreated".
    window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kTrayWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, instance, this);
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    icon_.reset(static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, size, size, 0)));
    return window_ != nullptr;
}

void Win32NotifyIcon::Send(const NotifyIconRequest& request) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = 0;
    data.uFlags = request.flags;
    data.uCallbackMessage = request.callbackMessage;
    if (request.programIcon) data.hIcon = icon_.get();
    CopyField(data.szTip, request.tip);
    CopyField(data.szInfo, request.info);
    CopyField(data.szInfoTitle, request.infoTitle);
    data.uTimeout = request.timeoutMs;
    data.dwInfoFlags = 0;
    const DWORD message = request.action == NotifyIconRequest::Action::Add      ? NIM_ADD
                          : request.action == NotifyIconRequest::Action::Modify ? NIM_MODIFY
                                                                                : NIM_DELETE;
    lastResult_ = shell_(message, &data) != FALSE;
    if (message != NIM_ADD || !lastResult_) return;
    // The newer messages: the keyboard can choose the icon too (NIN_SELECT, NIN_KEYSELECT).
    // A shell that refuses them sends the older ones, which are read as such.
    NOTIFYICONDATAW version{};
    version.cbSize = sizeof version;
    version.hWnd = window_;
    version.uID = 0;
    version.uVersion = NOTIFYICON_VERSION_4;
    newerMessages_ = shell_(NIM_SETVERSION, &version) != FALSE;
}

LRESULT CALLBACK Win32NotifyIcon::TrayCallback(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32NotifyIcon*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->tray_) {
        try {
            if (message == kTrayCallbackMessage) {
                // Version 4: the event in the low word, the icon's number in the high word
                // (the pointer's place comes in wParam). Before it: the event in lParam, the
                // icon's number in wParam.
                const UINT event =
                    self->newerMessages_ ? LOWORD(lParam) : static_cast<UINT>(lParam);
                if (self->newerMessages_)
                    self->tray_->DispatchTrayMessage(LOWORD(lParam), HIWORD(lParam));
                else
                    self->tray_->DispatchTrayMessage(static_cast<std::uint32_t>(lParam),
                                                     static_cast<std::int32_t>(wParam));
                // The menu: version 4 says WM_CONTEXTMENU (mouse or keyboard) with the place in
                // wParam; the older messages have only the right button's release.
                if (self->menu_ && self->newerMessages_ && event == WM_CONTEXTMENU)
                    self->menu_({GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
                else if (self->menu_ && !self->newerMessages_ && event == WM_RBUTTONUP) {
                    POINT at{};
                    ::GetCursorPos(&at);
                    self->menu_(at);
                }
                return 0;
            }
            if (self->taskbarCreated_ && message == self->taskbarCreated_) {
                self->tray_->OnTaskbarCreated();
                return 0;
            }
        } catch (const std::exception&) {
            // The host's handlers report their own errors; nothing crosses this procedure.
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ondrevan::win
