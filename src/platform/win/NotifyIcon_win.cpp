#include "platform/win/NotifyIcon_win.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

constexpr const wchar_t* kTrayWindowClass = L"OndrevanTrayWindow";
constexpr int kProgramIconId = 1;

template <std::size_t N>
void CopyField(wchar_t (&field)[N], const std::string& text) {
    const std::wstring wide = Widen(text);
    const std::size_t length = std::min(wide.size(), N - 1);
    std::copy_n(wide.c_str(), length, field);
    field[length] = L'\0';
}

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// query, set, create sub-key, enumerate sub-keys, notify, create link
constexpr REGSAM kRunKeyAccess = 0x3F;

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
                if (self->newerMessages_)
                    self->tray_->DispatchTrayMessage(LOWORD(lParam), HIWORD(lParam));
                else
                    self->tray_->DispatchTrayMessage(static_cast<std::uint32_t>(lParam),
                                                     static_cast<std::int32_t>(wParam));
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

bool Win32Registry::SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                             const std::string& data) {
    UniqueHkey key;
    if (::RegOpenKeyExW(RootKey(root), Widen(keyPath).c_str(), 0, kRunKeyAccess, key.put()) !=
        ERROR_SUCCESS)
        return false;
    std::wstring text = Widen(data);
    text.push_back(L'\0');
    return ::RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegistryRoot root, const std::string& keyPath,
                                const std::string& name) {
    UniqueHkey key;
    if (::RegOpenKeyExW(RootKey(root), Widen(keyPath).c_str(), 0, kRunKeyAccess, key.put()) !=
        ERROR_SUCCESS)
        return false;
    return ::RegDeleteValueW(key.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

std::optional<RegistryData> Win32Registry::ReadValue(RegistryRoot root, const std::string& keyPath,
                                                     const std::string& name) {
    UniqueHkey key;
    if (::RegOpenKeyExW(RootKey(root), Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    // The whole value, however large: a policy's last entries protect as much as its first.
    // It may grow between the calls; ask again until it fits.
    DWORD type = 0, size = 0;
    std::vector<BYTE> bytes;
    LSTATUS status =
        ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        bytes.assign(size + sizeof(wchar_t), 0);  // never empty, so never null
        size = static_cast<DWORD>(bytes.size());
        status =
            ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_SUCCESS) break;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    // Present: a value of a type no policy has reads as present with nothing in it.
    RegistryData data;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, bytes.data(), sizeof number);
        data.number = number;
    } else if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        // Every NUL-separated string to the end of the data, the empty ones dropped; the
        // text of a single string is what comes before its first NUL.
        const auto* chars = reinterpret_cast<const wchar_t*>(bytes.data());
        const std::wstring_view all(chars, size / sizeof(wchar_t));
        std::vector<std::string> strings;
        for (std::size_t start = 0; start < all.size();) {
            std::size_t end = all.find(L'\0', start);
            if (end == std::wstring_view::npos) end = all.size();
            if (end > start) strings.push_back(Narrow(all.substr(start, end - start)));
            start = end + 1;
        }
        if (type != REG_MULTI_SZ)
            data.text = Narrow(all.substr(0, std::min(all.find(L'\0'), all.size())));
        data.lines = std::move(strings);
    }
    return data;
}

}  // namespace ondrevan::win
