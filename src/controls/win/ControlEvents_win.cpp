#include "controls/win/ControlEvents_win.h"

#include <oleacc.h>

#include <algorithm>

#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/DateTimePicker.h"
#include "controls/HotKeyBox.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"
#include "platform/HotKey.h"
#include "platform/VisibleText.h"
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

}  // namespace

void ControlEvents::Attach(FormWindow& form) {
    form_ = &form;
}

void ControlEvents::OnTimer(UINT_PTR id) {
    ControlWindows::Entry* entry = windows_.ById(static_cast<int>(id));
    if (!entry || entry->control->Kind() != ControlKind::Timer) return;
    auto& timer = static_cast<Timer&>(*entry->control);
    if (timer.Running()) timer.Tick.Raise();
}

void ControlEvents::RouteCommand(WPARAM wParam, LPARAM lParam) {
    ControlWindows::Entry* entry = windows_.ById(LOWORD(wParam));
    if (!entry || reinterpret_cast<HWND>(lParam) != entry->window) return;
    Control& control = *entry->control;
    const WORD code = HIWORD(wParam);
    switch (control.Kind()) {
        case ControlKind::PushButton:
            if (code == BN_CLICKED) {
                HWND button = entry->window;
                const bool focused = ::GetFocus() == button;
                static_cast<PushButton&>(control).Click.Raise();
                // A message box the handler showed hands the keyboard to the window itself;
                // as in a dialog box, it goes back to the button that was pressed.
                HWND now = ::GetFocus();
                if (focused && ::IsWindow(button) && ::IsWindowEnabled(button) &&
                    ::IsWindowVisible(button) && (!now || now == windows_.MainWindow()))
                    ::SetFocus(button);
            }
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) static_cast<OptionButton&>(control).SetValue(true);
            break;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) {
                auto& check = static_cast<CheckBox&>(control);
                check.SetChecked(!check.Checked());
            }
            break;
        case ControlKind::TextBox:
        case ControlKind::RichTextBox: {
            auto& text = static_cast<TextBox&>(control);
            if (code == EN_CHANGE && windows_.Routing() != &control) {
                ControlWindows::Echo echo(windows_, control);
                text.SetText(WindowText(entry->window));
            } else if (code == EN_SETFOCUS) {
                form_->ActiveControlChangedByUser(&control);
                text.GotFocus.Raise();
            } else if (code == EN_KILLFOCUS) {
                FocusLeaving(control);
            }
            break;
        }
        case ControlKind::HotKeyBox:
            if (code == EN_CHANGE && windows_.Routing() != &control) {
                // The field knows Ctrl, Alt and Shift, and no Win. While only modifiers are
                // held it reports no key; a Win key it reports as the key is one of them.
                const auto value =
                    static_cast<DWORD>(::SendMessageW(entry->window, HKM_GETHOTKEY, 0, 0));
                HotKeySpec key;
                key.key = LOBYTE(LOWORD(value));
                if (key.key == VK_LWIN || key.key == VK_RWIN) key.key = 0;
                const BYTE modifiers = HIBYTE(LOWORD(value));
                key.ctrl = key.key != 0 && (modifiers & HOTKEYF_CONTROL) != 0;
                key.alt = key.key != 0 && (modifiers & HOTKEYF_ALT) != 0;
                key.shift = key.key != 0 && (modifiers & HOTKEYF_SHIFT) != 0;
                ControlWindows::Echo echo(windows_, control);
                static_cast<HotKeyBox&>(control).SetValue(key);
            } else if (code == EN_SETFOCUS) {
                form_->ActiveControlChangedByUser(&control);
            } else if (code == EN_KILLFOCUS) {
                FocusLeaving(control);
            }
            break;
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE) {
                ControlWindows::Echo echo(windows_, control);
                static_cast<ComboBox&>(control).SetListIndex(
                    static_cast<int>(::SendMessageW(entry->window, CB_GETCURSEL, 0, 0)));
            }
            break;
        default:
            break;
    }
}

std::optional<LRESULT> ControlEvents::RouteNotify(const NMHDR& header) {
    ControlWindows::Entry* entry = windows_.ById(static_cast<int>(header.idFrom));
    if (!entry || header.hwndFrom != entry->window) return std::nullopt;
    Control& control = *entry->control;

    if (control.Kind() == ControlKind::DateTimePicker && header.code == DTN_DATETIMECHANGE) {
        const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
        if (change.dwFlags == GDT_VALID) {
            ControlWindows::Echo echo(windows_, control);
            static_cast<DateTimePicker&>(control).SetValue(
                TimeOfDay::FromHms(change.st.wHour, change.st.wMinute, change.st.wSecond));
        }
        return 0;
    }
    if (control.Kind() != ControlKind::ListView) return std::nullopt;

    auto& list = static_cast<ListView&>(control);
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
            const auto index = static_cast<std::size_t>(info.item.iItem);
            if ((info.item.mask & LVIF_TEXT) && info.item.cchTextMax > 0 && index < list.Count()) {
                std::wstring text = Widen(info.item.iSubItem == 0 ? VisibleText(list.Item(index))
                                                                  : list.Detail(index));
                const std::size_t room = static_cast<std::size_t>(info.item.cchTextMax) - 1;
                const std::size_t length = std::min(text.size(), room);
                std::copy_n(text.c_str(), length, info.item.pszText);
                info.item.pszText[length] = L'\0';
            }
            return 0;
        }
        case LVN_ITEMCHANGED: {
            if (windows_.Routing() == &list) return 0;
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            const bool nowSelected = (change.uNewState & LVIS_SELECTED) != 0;
            const bool wasSelected = (change.uOldState & LVIS_SELECTED) != 0;
            if (nowSelected && !wasSelected && change.iItem >= 0)
                list.SelectionChangedByUser(static_cast<std::size_t>(change.iItem));
            else if (!nowSelected && wasSelected &&
                     (change.iItem < 0 ||
                      list.Selected() == static_cast<std::size_t>(change.iItem)))
                list.SelectionChangedByUser(std::nullopt);
            return 0;
        }
        case NM_DBLCLK:
            list.DblClick.Raise();
            return 0;
        default:
            return std::nullopt;
    }
}

void ControlEvents::FocusLeaving(Control& control) {
    // Only a move to another control of this window counts: switching to another program
    // (or to one of this program's message boxes) is not leaving the field.
    const HWND next = focusLeavingTo_;
    focusLeavingTo_ = nullptr;
    const bool staysInWindow =
        next && (next == windows_.MainWindow() || ::IsChild(windows_.MainWindow(), next));
    form_->ActiveControlChangedByUser(staysInWindow ? windows_.ControlAt(next) : nullptr);
    // A hot-key field is left wherever the keyboard goes: a combination half pressed before
    // Alt+Tab is not one.
    if (control.Kind() == ControlKind::HotKeyBox)
        static_cast<HotKeyBox&>(control).LostFocus.Raise();
    else if (staysInWindow)
        static_cast<TextBox&>(control).LostFocus.Raise();
}

void ControlEvents::RouteClick(WPARAM id) {
    ControlWindows::Entry* entry = windows_.ById(static_cast<int>(id));
    if (entry && entry->control->Kind() == ControlKind::DateTimePicker)
        static_cast<DateTimePicker&>(*entry->control).Click.Raise();
}

AccessibleFacts ControlEvents::AccessibleFactsOf(const Control& control) {
    AccessibleFacts facts;
    if (!control.AccessibleName().empty()) {
        facts.name = Widen(control.AccessibleName());
        facts.hasName = true;
    }
    switch (control.Kind()) {
        case ControlKind::PushButton:
            facts.role = ROLE_SYSTEM_PUSHBUTTON;
            break;
        case ControlKind::CheckBox:
            facts.role = ROLE_SYSTEM_CHECKBUTTON;
            facts.checkable = true;
            facts.checked = static_cast<const CheckBox&>(control).Checked();
            break;
        case ControlKind::OptionButton:
            facts.role = ROLE_SYSTEM_RADIOBUTTON;
            facts.checkable = true;
            facts.checked = static_cast<const OptionButton&>(control).Value();
            break;
        case ControlKind::Label:
            facts.role = ROLE_SYSTEM_STATICTEXT;
            break;
        case ControlKind::TextBox:
        case ControlKind::RichTextBox:
            facts.role = ROLE_SYSTEM_TEXT;
            facts.value = Widen(static_cast<const TextBox&>(control).Text());
            facts.hasValue = true;
            break;
        case ControlKind::ComboBox:
            facts.role = ROLE_SYSTEM_COMBOBOX;
            facts.value = Widen(static_cast<const ComboBox&>(control).Text());
            facts.hasValue = true;
            break;
        case ControlKind::ListView:
            facts.role = ROLE_SYSTEM_LIST;
            break;
        case ControlKind::Frame:
            // Drawn by the program: the system would call it a bare client area.
            facts.role = ROLE_SYSTEM_GROUPING;
            facts.name = Widen(control.Caption());
            facts.hasName = true;
            break;
        case ControlKind::ProgressBar: {
            // Named by the status its frame shows; its value is what it shows, and how full.
            const auto& bar = static_cast<const ProgressBar&>(control);
            facts.role = ROLE_SYSTEM_PROGRESSBAR;
            if (!facts.hasName && control.Container()) {
                facts.name = Widen(control.Container()->Caption());
                facts.hasName = true;
            }
            const int percent = static_cast<int>(bar.FilledFraction() * 100.0 + 0.5);
            facts.value = Widen(bar.Text()) + L" (" + std::to_wstring(percent) + L"%)";
            facts.hasValue = true;
            break;
        }
        case ControlKind::DateTimePicker:
            facts.role = ROLE_SYSTEM_SPINBUTTON;  // a time set with its arrows
            break;
        case ControlKind::HotKeyBox:
            facts.role = ROLE_SYSTEM_HOTKEYFIELD;
            facts.value = Widen(HotKeyText(static_cast<const HotKeyBox&>(control).Value()));
            facts.hasValue = true;
            break;
        default:
            break;
    }
    return facts;
}

bool ControlEvents::WantsKey(const Control& control, WPARAM key) {
    switch (control.Kind()) {
        case ControlKind::PushButton:
            return key == VK_RETURN;
        case ControlKind::OptionButton:
            return static_cast<const OptionButton&>(control).Group() &&
                   (key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT);
        default:
            return false;
    }
}

void ControlEvents::PressKey(ControlWindows::Entry& entry, WPARAM key) {
    if (key == VK_RETURN) {
        ::SendMessageW(entry.window, BM_CLICK, 0, 0);
        return;
    }
    auto& option = static_cast<OptionButton&>(*entry.control);
    OptionButton& next = option.Group()->Step(option, key == VK_DOWN || key == VK_RIGHT);
    HWND target = windows_.WindowOf(next);
    if (&next == &option || !target) return;
    ::SetFocus(target);
    // Chosen as it is reached, through the same notification as a click.
    ::SendMessageW(target, BM_CLICK, 0, 0);
}

LRESULT CALLBACK ControlEvents::ChildSubclass(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR, DWORD_PTR owner) {
    auto& self = *reinterpret_cast<ControlEvents*>(owner);
    ControlWindows::Entry* entry = self.windows_.ByWindow(window);
    if (!entry) return ::DefSubclassProc(window, message, wParam, lParam);
    switch (message) {
        case WM_MOUSEMOVE:
            try {
                entry->control->MouseMove.Raise();
            } catch (...) {
                // a pointer change has nothing to report
            }
            break;
        case WM_KILLFOCUS:
            self.focusLeavingTo_ = reinterpret_cast<HWND>(wParam);
            // The hot-key field tells nobody where the focus goes; it says it as an edit would,
            // through its window, where a handler's error is reported like any other.
            if (entry->control->Kind() == ControlKind::HotKeyBox) {
                const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
                ::SendMessageW(::GetParent(window), WM_COMMAND, MAKEWPARAM(entry->id, EN_KILLFOCUS),
                               reinterpret_cast<LPARAM>(window));
                return result;
            }
            break;
        case WM_SETFOCUS:
            if (entry->control->Kind() == ControlKind::HotKeyBox) {
                const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
                ::SendMessageW(::GetParent(window), WM_COMMAND, MAKEWPARAM(entry->id, EN_SETFOCUS),
                               reinterpret_cast<LPARAM>(window));
                return result;
            }
            break;
        case WM_SYSKEYDOWN:
            // Alt+F4 closes the window, as it does everywhere; the hot-key field would take it
            // for a hot key.
            if (entry->control->Kind() == ControlKind::HotKeyBox && wParam == VK_F4)
                return ::DefWindowProcW(window, message, wParam, lParam);
            if (entry->control->Kind() == ControlKind::ListView && wParam == VK_F10 &&
                (::GetKeyState(VK_SHIFT) & 0x8000)) {
                ::SendMessageW(::GetParent(window), WM_CONTEXTMENU,
                               reinterpret_cast<WPARAM>(window), -1);
                return 0;
            }
            break;
        case WM_NCCALCSIZE:
            if (entry->control->Kind() == ControlKind::TextBox) {
                const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
                CentreLine(window, *reinterpret_cast<RECT*>(lParam));  // rgrc[0] either way
                return result;
            }
            break;
        case WM_NCPAINT:
            if (entry->control->Kind() == ControlKind::TextBox) {
                const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
                PaintAroundLine(window);
                return result;
            }
            break;
        case WM_NCHITTEST:
            // A click above or below the line is a click in the field.
            if (entry->control->Kind() == ControlKind::TextBox) {
                const LRESULT hit = ::DefSubclassProc(window, message, wParam, lParam);
                return hit == HTBORDER || hit == HTNOWHERE ? HTCLIENT : hit;
            }
            break;
        case WM_SETFONT:
            if (entry->control->Kind() == ControlKind::TextBox) {
                const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
                ::SetWindowPos(
                    window, nullptr, 0, 0, 0, 0,
                    SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                return result;
            }
            break;
        case WM_GETOBJECT:
            if (LRESULT answer =
                    AnswerGetObject(window, wParam, lParam, AccessibleFactsOf(*entry->control)))
                return answer;
            break;
        case WM_GETDLGCODE: {
            // The window's own keys, before the dialog manager takes them: Enter presses a
            // push button, the arrows move within an option group.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            const LRESULT code = ::DefSubclassProc(window, message, wParam, lParam);
            // A multi-line field keeps Enter, but Tab, Shift+Tab and Escape go on to the window
            // as in any field: the keyboard is never trapped (Ctrl+Tab types a tab).
            if (key && key->message == WM_KEYDOWN &&
                entry->control->Kind() == ControlKind::RichTextBox &&
                (key->wParam == VK_ESCAPE ||
                 (key->wParam == VK_TAB && !(::GetKeyState(VK_CONTROL) & 0x8000))))
                return code & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
            if (key && key->message == WM_KEYDOWN && WantsKey(*entry->control, key->wParam))
                return code | DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYUP:
        case WM_KEYUP:
            // Shift+F10 and the Menu key open the list's own menu, as a right click does; the
            // key's release must not open the menu bar as well.
            if (entry->control->Kind() == ControlKind::ListView &&
                (wParam == VK_APPS || (wParam == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000)))) {
                if (message == WM_KEYDOWN)
                    ::SendMessageW(::GetParent(window), WM_CONTEXTMENU,
                                   reinterpret_cast<WPARAM>(window), -1);
                return 0;
            }
            if (message == WM_KEYDOWN && WantsKey(*entry->control, wParam)) {
                self.PressKey(*entry, wParam);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            // The picker reports changes only; its click comes through the main window,
            // where a handler's error is reported like any other.
            if (entry->control->Kind() == ControlKind::DateTimePicker)
                ::PostMessageW(self.windows_.MainWindow(), kControlClickMessage,
                               static_cast<WPARAM>(entry->id), 0);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void ControlEvents::SubclassChildren() {
    for (const ControlWindows::Entry& entry : windows_.Entries())
        if (entry.window) {
            ::SetWindowSubclass(entry.window, ChildSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
            // The frame is worked out again now that the field's line is centred.
            if (entry.control->Kind() == ControlKind::TextBox)
                ::SetWindowPos(
                    entry.window, nullptr, 0, 0, 0, 0,
                    SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
}

}  // namespace ondrevan::win
