#include <oleacc.h>

#include <algorithm>
#include <string>

#include "controls/HotKeyBox.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlKind_win.h"
#include "platform/HotKey.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

// The field knows Ctrl, Alt and Shift, and no Win. While only modifiers are held it reports
// no key; a Win key it reports as the key is one of them.
HotKeySpec ShownKey(HWND field) {
    const auto value = static_cast<DWORD>(::SendMessageW(field, HKM_GETHOTKEY, 0, 0));
    HotKeySpec key;
    key.key = LOBYTE(LOWORD(value));
    if (key.key == VK_LWIN || key.key == VK_RWIN) key.key = 0;
    const BYTE modifiers = HIBYTE(LOWORD(value));
    key.ctrl = key.key != 0 && (modifiers & HOTKEYF_CONTROL) != 0;
    key.alt = key.key != 0 && (modifiers & HOTKEYF_ALT) != 0;
    key.shift = key.key != 0 && (modifiers & HOTKEYF_SHIFT) != 0;
    return key;
}

class HotKeyBoxKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {HOTKEY_CLASSW, WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP, WS_EX_CLIENTEDGE};
    }

    void Created(ControlWindows& windows, Entry& entry) const override {
        windows.Mirror(*entry.control, Property::Value);
    }
    void Mirror(ControlWindows&, Entry& entry, Property property, bool echo) const override {
        if (property != Property::Value || echo) return;
        const HotKeySpec& key = static_cast<HotKeyBox&>(*entry.control).Value();
        const WORD modifiers = (key.ctrl ? HOTKEYF_CONTROL : 0) | (key.alt ? HOTKEYF_ALT : 0) |
                               (key.shift ? HOTKEYF_SHIFT : 0);
        ::SendMessageW(entry.window, HKM_SETHOTKEY, MAKEWORD(static_cast<BYTE>(key.key), modifiers),
                       0);
    }

    void Command(ControlEvents& events, Entry& entry, WORD code) const override {
        auto& box = static_cast<HotKeyBox&>(*entry.control);
        if (code == EN_CHANGE && events.Windows().Routing() != &box) {
            const HotKeySpec key = ShownKey(entry.window);
            ControlWindows::Echo echo(events.Windows(), box);
            box.SetValue(key);
        } else if (code == EN_SETFOCUS) {
            events.Form().ActiveControlChangedByUser(&box);
        } else if (code == EN_KILLFOCUS) {
            // Left wherever the keyboard goes: a combination half pressed before Alt+Tab is
            // not one.
            events.FocusLeaving();
            box.LostFocus.Raise();
        }
    }

    void Describe(const Control& control, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_HOTKEYFIELD;
        facts.value = Widen(HotKeyText(static_cast<const HotKeyBox&>(control).Value()));
        facts.hasValue = true;
    }

    std::optional<LRESULT> Intercept(ControlEvents&, Entry& entry, UINT message, WPARAM wParam,
                                     LPARAM lParam) const override {
        HWND window = entry.window;
        switch (message) {
            case WM_PAINT: {
                // The combination written as everywhere else ("Ctrl+Alt+K"), not in the
                // field's own words, which differ from one system to another.
                PAINTSTRUCT paint;
                HDC dc = ::BeginPaint(window, &paint);
                if (!dc) return 0;
                RECT client;
                ::GetClientRect(window, &client);
                const bool enabled = ::IsWindowEnabled(window) != FALSE;
                ::FillRect(dc, &client, ::GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
                const HGDIOBJ font = ::SelectObject(
                    dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
                const HotKeySpec key = ShownKey(window);
                std::wstring text = Widen(HotKeyText(key));
                if (key.Empty()) {
                    // Modifiers held alone show as they are pressed, as the field shows them.
                    const BYTE held = HIBYTE(
                        LOWORD(static_cast<DWORD>(::SendMessageW(window, HKM_GETHOTKEY, 0, 0))));
                    text = std::wstring(held & HOTKEYF_CONTROL ? L"Ctrl+" : L"") +
                           (held & HOTKEYF_ALT ? L"Alt+" : L"") +
                           (held & HOTKEYF_SHIFT ? L"Shift+" : L"");
                    if (text.empty()) text = L"None";
                }
                TEXTMETRICW metrics{};
                ::GetTextMetricsW(dc, &metrics);
                const int x = ::GetSystemMetrics(SM_CXBORDER);
                const int y = std::max(0, static_cast<int>((client.bottom - metrics.tmHeight) / 2));
                ::SetBkMode(dc, TRANSPARENT);
                ::SetTextColor(dc, ::GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
                ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
                SIZE size{};
                ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
                ::SelectObject(dc, font);
                ::EndPaint(window, &paint);
                if (::GetFocus() == window) ::SetCaretPos(x + size.cx, y);
                return 0;
            }
            case WM_KILLFOCUS:
            case WM_SETFOCUS: {
                // The field tells nobody where the focus goes; it says it as an edit would,
                // through its window, where a handler's error is reported like any other.
                const LRESULT result = ControlWindows::CallOriginal(entry, message, wParam, lParam);
                ::SendMessageW(
                    ::GetParent(window), WM_COMMAND,
                    MAKEWPARAM(entry.id, message == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS),
                    reinterpret_cast<LPARAM>(window));
                return result;
            }
            case WM_SYSKEYDOWN:
                // Alt+F4 closes the window, as it does everywhere; the field would take it for
                // a hot key.
                if (wParam == VK_F4) return ::DefWindowProcW(window, message, wParam, lParam);
                return std::nullopt;
            default:
                return std::nullopt;
        }
    }
};

}  // namespace

const ControlKindWin& HotKeyBoxWin() {
    static const HotKeyBoxKind kind;
    return kind;
}

}  // namespace ondrevan::win
