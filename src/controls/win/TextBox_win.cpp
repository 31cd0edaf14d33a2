#include <oleacc.h>

#include <string>

#include "controls/TextBox.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlKind_win.h"
#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {
namespace {

// A single-line field's text sits in the middle of its height, as in Windows' own fields:
// its client area is the height of one line, and the rest above and below is frame.
int LineHeight(HWND field) {
    const WindowDc dc(field);
    TEXTMETRICW metrics{};
    if (!dc) return metrics.tmHeight;
    const SelectedObject font(dc.get(),
                              reinterpret_cast<HFONT>(::SendMessageW(field, WM_GETFONT, 0, 0)));
    ::GetTextMetricsW(dc.get(), &metrics);
    return metrics.tmHeight;
}

void CentreLine(HWND field, RECT& client) {
    const int spare = (client.bottom - client.top) - LineHeight(field) - 2;
    if (spare < 2) return;
    client.top += spare / 2;
    client.bottom -= spare - spare / 2;
}

// The frame around the centred line is painted as the field's own background.
void PaintAroundLine(HWND field) {
    RECT window, client;
    ::GetWindowRect(field, &window);
    ::GetClientRect(field, &client);
    ::MapWindowPoints(field, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    ::OffsetRect(&window, -window.left, -window.top);
    const int edge = ::GetSystemMetrics(SM_CXEDGE);
    ::InflateRect(&window, -edge, -edge);
    const WholeWindowDc owned(field);
    HDC dc = owned.get();
    if (!dc) return;
    const bool editable =
        ::IsWindowEnabled(field) && !(::GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY);
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(::GetParent(field), editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(field)));
    if (!brush) brush = ::GetSysColorBrush(editable ? COLOR_WINDOW : COLOR_BTNFACE);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    ::FillRect(dc, &window, brush);
}

std::string WindowText(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return Narrow(text);
}

void FrameChanged(HWND window) {
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// What both kinds of text field share: the text both ways, the focus, what is read out.
class FieldKind : public ControlKindWin {
  public:
    void Created(ControlWindows& windows, Entry& entry) const override {
        windows.Mirror(*entry.control, Property::Text);
        const std::string& cue = static_cast<TextBox&>(*entry.control).CueBanner();
        if (!cue.empty())
            ::SendMessageW(entry.window, EM_SETCUEBANNER, TRUE,
                           reinterpret_cast<LPARAM>(Widen(cue).c_str()));
    }
    void Mirror(ControlWindows& windows, Entry& entry, Property property,
                bool echo) const override {
        auto& text = static_cast<TextBox&>(*entry.control);
        if (property == Property::Text && !echo) {
            ControlWindows::Echo own(windows, text);  // the EN_CHANGE this causes is our own
            ::SetWindowTextW(entry.window, Widen(text.Text()).c_str());
        } else if (property == Property::TextSelection) {
            ::SendMessageW(entry.window, EM_SETSEL, static_cast<WPARAM>(text.SelStart()),
                           static_cast<LPARAM>(text.SelStart() + text.SelLength()));
        }
    }

    void Command(ControlEvents& events, Entry& entry, WORD code) const override {
        auto& text = static_cast<TextBox&>(*entry.control);
        if (code == EN_CHANGE && events.Windows().Routing() != &text) {
            ControlWindows::Echo echo(events.Windows(), text);
            text.SetText(WindowText(entry.window));
        } else if (code == EN_SETFOCUS) {
            events.Form().ActiveControlChangedByUser(&text);
            text.GotFocus.Raise();
        } else if (code == EN_KILLFOCUS) {
            // Switching to another program (or to one of this program's message boxes) is not
            // leaving the field.
            if (events.FocusLeaving()) text.LostFocus.Raise();
        }
    }

    void Describe(const Control& control, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_TEXT;
        facts.value = Widen(static_cast<const TextBox&>(control).Text());
        facts.hasValue = true;
    }
};

class TextBoxKind final : public FieldKind {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {L"EDIT", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL,
                WS_EX_CLIENTEDGE};
    }

    std::optional<LRESULT> Intercept(ControlEvents&, Entry& entry, UINT message, WPARAM wParam,
                                     LPARAM lParam) const override {
        HWND window = entry.window;
        switch (message) {
            case WM_NCCALCSIZE: {
                const LRESULT result = ControlWindows::CallOriginal(entry, message, wParam, lParam);
                CentreLine(window, *reinterpret_cast<RECT*>(lParam));  // rgrc[0] either way
                return result;
            }
            case WM_NCPAINT: {
                const LRESULT result = ControlWindows::CallOriginal(entry, message, wParam, lParam);
                PaintAroundLine(window);
                return result;
            }
            case WM_NCHITTEST: {
                // A click above or below the line is a click in the field.
                const LRESULT hit = ControlWindows::CallOriginal(entry, message, wParam, lParam);
                return hit == HTBORDER || hit == HTNOWHERE ? HTCLIENT : hit;
            }
            case WM_SETFONT: {
                const LRESULT result = ControlWindows::CallOriginal(entry, message, wParam, lParam);
                FrameChanged(window);
                return result;
            }
            default:
                return std::nullopt;
        }
    }
};

class RichTextBoxKind final : public FieldKind {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {L"EDIT",
                WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
                    ES_WANTRETURN | WS_VSCROLL,
                WS_EX_CLIENTEDGE};
    }

    std::optional<LRESULT> Intercept(ControlEvents&, Entry& entry, UINT message, WPARAM wParam,
                                     LPARAM lParam) const override {
        if (message != WM_GETDLGCODE) return std::nullopt;
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const LRESULT code = ControlWindows::CallOriginal(entry, message, wParam, lParam);
        // The field keeps Enter, but Tab, Shift+Tab and Escape go on to the window as in any
        // field: the keyboard is never trapped (Ctrl+Tab types a tab).
        if (key && key->message == WM_KEYDOWN &&
            (key->wParam == VK_ESCAPE ||
             (key->wParam == VK_TAB && !(::GetKeyState(VK_CONTROL) & 0x8000))))
            return code & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        return code;
    }
};

}  // namespace

const ControlKindWin& TextBoxWin() {
    static const TextBoxKind kind;
    return kind;
}

const ControlKindWin& RichTextBoxWin() {
    static const RichTextBoxKind kind;
    return kind;
}

}  // namespace ondrevan::win
