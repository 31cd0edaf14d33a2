#include "app/win/ControlWindows_win.h"

#include <algorithm>

#include "app/win/CustomControls_win.h"
#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/DateTimePicker.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"
#include "platform/VisibleText.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind KindFor(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
    switch (kind) {
        case ControlKind::PushButton:
            return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
        case ControlKind::OptionButton:
            return {L"BUTTON", child | WS_TABSTOP | BS_RADIOBUTTON, 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", child | WS_TABSTOP | BS_CHECKBOX, 0};
        case ControlKind::Label:
            return {L"STATIC", child | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
        case ControlKind::Frame:
            return {kFrameClass, child | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case ControlKind::ProgressBar:
            return {kProgressClass, child, 0};
        case ControlKind::TextBox:
            return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::RichTextBox:
            return {L"EDIT", child | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::DateTimePicker:
            return {DATETIMEPICK_CLASSW, child | WS_TABSTOP | DTS_TIMEFORMAT, 0};
        case ControlKind::ListView:
            return {WC_LISTVIEWW,
                    child | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                        LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                    WS_EX_CLIENTEDGE};
        case ControlKind::Form:
        case ControlKind::Timer:
            break;
    }
    return {nullptr, 0, 0};
}

SYSTEMTIME TodayAt(TimeOfDay time) {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    st.wHour = static_cast<WORD>(time.Hour());
    st.wMinute = static_cast<WORD>(time.Minute());
    st.wSecond = static_cast<WORD>(time.Second());
    st.wMilliseconds = 0;
    return st;
}

// Grows a window to hold its caption in one line, never shrinking it below its design.
void FitToCaption(HWND window) {
    HDC dc = ::GetDC(window);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(window, text.data(), length + 1);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    RECT rect;
    ::GetClientRect(window, &rect);
    ::SetWindowPos(window, nullptr, 0, 0, std::max<LONG>(rect.right, extent.cx + 2),
                   std::max<LONG>(rect.bottom, extent.cy),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string WindowText(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return Narrow(text);
}

}  // namespace

bool ControlWindows::Create(HWND mainWindow, FormWindow& form,
                            const std::vector<Control*>& controls, Dpi dpi) {
    if (!RegisterCustomControlClasses(instance_)) return false;
    mainWindow_ = mainWindow;
    form_ = &form;
    dpi_ = dpi;
    entries_.clear();
    entries_.reserve(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i)
        entries_.push_back({controls[i], nullptr, kFirstId + static_cast<int>(i)});
    for (Entry& entry : entries_) {
        if (entry.control->Kind() == ControlKind::Timer) {
            MirrorTimer(entry);
            continue;
        }
        entry.window = CreateWindowFor(entry, mainWindow);
        if (!entry.window) return false;
    }
    return true;
}

HWND ControlWindows::CreateWindowFor(Entry& entry, HWND mainWindow) {
    Control& control = *entry.control;
    const WindowKind kind = KindFor(control.Kind());
    const TwipRect& at = control.Position();
    HWND parent = control.Container() ? WindowOf(*control.Container()) : mainWindow;
    int height = dpi_.Px(at.height);
    if (control.Kind() == ControlKind::ComboBox) height *= 8;  // room for the drop-down list
    DWORD style =
        kind.style | (control.Visible() ? WS_VISIBLE : 0) | (control.Enabled() ? 0 : WS_DISABLED);

    HWND window = ::CreateWindowExW(
        kind.exStyle, kind.className, Widen(control.Caption()).c_str(), style, dpi_.Px(at.left),
        dpi_.Px(at.top), dpi_.Px(at.width), height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance_, nullptr);
    if (!window) return nullptr;
    entry.window = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.Font().points)),
                   FALSE);

    if (control.Kind() == ControlKind::Label && static_cast<Label&>(control).AutoSize())
        FitToCaption(window);

    // Bring the new window up to the model's present state.
    switch (control.Kind()) {
        case ControlKind::ListView:
            ListView_SetExtendedListViewStyle(window, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
            MirrorListView(entry, Property::Columns);
            MirrorListView(entry, Property::Items);
            break;
        case ControlKind::ComboBox:
            Mirror(control, Property::Items);
            Mirror(control, Property::Selection);
            break;
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::DateTimePicker:
            Mirror(control, Property::Value);
            break;
        case ControlKind::TextBox:
        case ControlKind::RichTextBox:
        case ControlKind::ProgressBar:
            Mirror(control, Property::Text);
            break;
        default:
            break;
    }
    return window;
}

HFONT ControlWindows::FontFor(double points) {
    UniqueHfont& font = fonts_[points];
    if (!font) {
        LOGFONTW logFont{};
        logFont.lfHeight = dpi_.FontHeight(points);
        logFont.lfWeight = FW_BOLD;
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfQuality = CLEARTYPE_QUALITY;
        wcscpy_s(logFont.lfFaceName, L"Arial");
        font.reset(::CreateFontIndirectW(&logFont));
    }
    return font.get();
}

HBRUSH ControlWindows::BrushFor(Color color) {
    const COLORREF rgb = ToColorRef(color);
    UniqueHbrush& brush = brushes_[rgb];
    if (!brush) brush.reset(::CreateSolidBrush(rgb));
    return brush.get();
}

ControlWindows::Entry* ControlWindows::ById(int id) {
    const int index = id - kFirstId;
    if (index < 0 || index >= static_cast<int>(entries_.size())) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

ControlWindows::Entry* ControlWindows::ByWindow(HWND window) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [window](const Entry& e) { return e.window == window; });
    return it == entries_.end() ? nullptr : &*it;
}

const ControlWindows::Entry* ControlWindows::ByControl(const Control& control) const {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&control](const Entry& e) { return e.control == &control; });
    return it == entries_.end() ? nullptr : &*it;
}

HWND ControlWindows::WindowOf(const Control& control) const {
    const Entry* entry = ByControl(control);
    return entry ? entry->window : nullptr;
}

int ControlWindows::IdOf(const Control& control) const {
    const Entry* entry = ByControl(control);
    return entry ? entry->id : 0;
}

void ControlWindows::Mirror(Control& control, Property property) {
    Entry* entry = const_cast<Entry*>(ByControl(control));
    if (!entry) return;
    if (control.Kind() == ControlKind::Timer) return MirrorTimer(*entry);
    HWND window = entry->window;
    if (!window) return;
    const bool echo = routing_ == &control;

    switch (property) {
        case Property::Caption:
            ::SetWindowTextW(window, Widen(control.Caption()).c_str());
            ::InvalidateRect(window, nullptr, TRUE);
            break;
        case Property::Enabled:
            ::EnableWindow(window, control.Enabled());
            break;
        case Property::Visible:
            ::ShowWindow(window, control.Visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case Property::BackColor:
        case Property::ForeColor:
        case Property::Maximum:
            ::InvalidateRect(window, nullptr, TRUE);
            break;
        case Property::Focus:
            ::SetFocus(window);
            break;
        case Property::Text:
            if (control.Kind() == ControlKind::ProgressBar) {
                // Drawn over the bar, and kept as the window's text for screen readers.
                ::SetWindowTextW(window, Widen(static_cast<ProgressBar&>(control).Text()).c_str());
                ::InvalidateRect(window, nullptr, TRUE);
            } else if (!echo) {
                const Control* previous = routing_;
                routing_ = &control;  // the EN_CHANGE this causes is our own
                ::SetWindowTextW(window, Widen(static_cast<TextBox&>(control).Text()).c_str());
                routing_ = previous;
            }
            break;
        case Property::TextSelection: {
            auto& text = static_cast<TextBox&>(control);
            ::SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(text.SelStart()),
                           static_cast<LPARAM>(text.SelStart() + text.SelLength()));
            break;
        }
        case Property::Value:
            switch (control.Kind()) {
                case ControlKind::OptionButton:
                    ::SendMessageW(
                        window, BM_SETCHECK,
                        static_cast<OptionButton&>(control).Value() ? BST_CHECKED : BST_UNCHECKED,
                        0);
                    break;
                case ControlKind::CheckBox:
                    ::SendMessageW(window, BM_SETCHECK,
                                   static_cast<WPARAM>(static_cast<CheckBox&>(control).Value()), 0);
                    break;
                case ControlKind::DateTimePicker:
                    if (!echo) {
                        SYSTEMTIME st = TodayAt(static_cast<DateTimePicker&>(control).Value());
                        DateTime_SetSystemtime(window, GDT_VALID, &st);
                    }
                    break;
                case ControlKind::ProgressBar:
                    ::InvalidateRect(window, nullptr, FALSE);
                    break;
                default:
                    break;
            }
            break;
        case Property::Items:
        case Property::Selection:
        case Property::Columns:
            if (control.Kind() == ControlKind::ListView) {
                if (!(echo && property == Property::Selection)) MirrorListView(*entry, property);
            } else if (control.Kind() == ControlKind::ComboBox) {
                auto& combo = static_cast<ComboBox&>(control);
                if (property == Property::Items) {
                    ::SendMessageW(window, CB_RESETCONTENT, 0, 0);
                    for (const std::string& item : combo.Items())
                        ::SendMessageW(window, CB_ADDSTRING, 0,
                                       reinterpret_cast<LPARAM>(Widen(item).c_str()));
                }
                if (!echo)
                    ::SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(combo.ListIndex()), 0);
            }
            break;
        default:
            break;
    }
}

void ControlWindows::MirrorListView(Entry& entry, Property property) {
    auto& list = static_cast<ListView&>(*entry.control);
    HWND window = entry.window;
    switch (property) {
        case Property::Columns: {
            while (ListView_DeleteColumn(window, 0)) {
            }
            for (std::size_t i = 0; i < list.Columns().size(); ++i) {
                std::wstring heading = Widen(list.Columns()[i].heading);
                LVCOLUMNW column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH;
                column.pszText = heading.data();
                column.cx = dpi_.Px(list.Columns()[i].widthTwips);
                ListView_InsertColumn(window, static_cast<int>(i), &column);
            }
            break;
        }
        case Property::Items:
            // A virtual list: only the count is handed over, texts are asked for on display.
            ListView_SetItemCountEx(window, static_cast<int>(list.Count()), LVSICF_NOSCROLL);
            ::InvalidateRect(window, nullptr, TRUE);
            [[fallthrough]];
        case Property::Selection: {
            const Control* previous = routing_;
            routing_ = &list;
            ListView_SetItemState(window, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            if (auto selected = list.Selected()) {
                const int index = static_cast<int>(*selected);
                ListView_SetItemState(window, index, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(window, index, FALSE);
            }
            routing_ = previous;
            break;
        }
        default:
            break;
    }
}

void ControlWindows::MirrorTimer(Entry& entry) {
    auto& timer = static_cast<Timer&>(*entry.control);
    if (!mainWindow_) return;
    const auto id = static_cast<UINT_PTR>(entry.id);
    if (timer.Running())
        ::SetTimer(mainWindow_, id, static_cast<UINT>(timer.Interval()), nullptr);
    else
        ::KillTimer(mainWindow_, id);
}

void ControlWindows::OnTimer(UINT_PTR id) {
    Entry* entry = ById(static_cast<int>(id));
    if (!entry || entry->control->Kind() != ControlKind::Timer) return;
    auto& timer = static_cast<Timer&>(*entry->control);
    if (timer.Running()) timer.Tick.Raise();
}

void ControlWindows::RouteCommand(WPARAM wParam, LPARAM lParam) {
    Entry* entry = ById(LOWORD(wParam));
    if (!entry || reinterpret_cast<HWND>(lParam) != entry->window) return;
    Control& control = *entry->control;
    const WORD code = HIWORD(wParam);
    switch (control.Kind()) {
        case ControlKind::PushButton:
            if (code == BN_CLICKED) static_cast<PushButton&>(control).Click.Raise();
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
        case ControlKind::TextBox: {
            auto& text = static_cast<TextBox&>(control);
            if (code == EN_CHANGE && routing_ != &control) {
                routing_ = &control;
                text.SetText(WindowText(entry->window));
                routing_ = nullptr;
            } else if (code == EN_SETFOCUS) {
                form_->ActiveControlChangedByUser(&control);
                text.GotFocus.Raise();
            } else if (code == EN_KILLFOCUS) {
                FocusLeaving(control);
            }
            break;
        }
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE) {
                routing_ = &control;
                static_cast<ComboBox&>(control).SetListIndex(
                    static_cast<int>(::SendMessageW(entry->window, CB_GETCURSEL, 0, 0)));
                routing_ = nullptr;
            }
            break;
        default:
            break;
    }
}

std::optional<LRESULT> ControlWindows::RouteNotify(const NMHDR& header) {
    Entry* entry = ById(static_cast<int>(header.idFrom));
    if (!entry || header.hwndFrom != entry->window) return std::nullopt;
    Control& control = *entry->control;

    if (control.Kind() == ControlKind::DateTimePicker && header.code == DTN_DATETIMECHANGE) {
        const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
        if (change.dwFlags == GDT_VALID) {
            routing_ = &control;
            static_cast<DateTimePicker&>(control).SetValue(
                TimeOfDay::FromHms(change.st.wHour, change.st.wMinute, change.st.wSecond));
            routing_ = nullptr;
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
                std::wstring text = Widen(VisibleText(list.Item(index)));
                const std::size_t room = static_cast<std::size_t>(info.item.cchTextMax) - 1;
                const std::size_t length = std::min(text.size(), room);
                std::copy_n(text.c_str(), length, info.item.pszText);
                info.item.pszText[length] = L'\0';
            }
            return 0;
        }
        case LVN_ITEMCHANGED: {
            if (routing_ == &list) return 0;
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

Control* ControlWindows::ControlAt(HWND window) {
    for (; window && window != mainWindow_; window = ::GetParent(window))
        if (Entry* entry = ByWindow(window)) return entry->control;
    return nullptr;
}

void ControlWindows::FocusLeaving(Control& control) {
    // Only a move to another control of this window counts: switching to another program
    // (or to one of this program's message boxes) is not leaving the field.
    const HWND next = focusLeavingTo_;
    focusLeavingTo_ = nullptr;
    const bool staysInWindow = next && (next == mainWindow_ || ::IsChild(mainWindow_, next));
    form_->ActiveControlChangedByUser(staysInWindow ? ControlAt(next) : nullptr);
    if (staysInWindow) static_cast<TextBox&>(control).LostFocus.Raise();
}

void ControlWindows::RouteClick(WPARAM id) {
    Entry* entry = ById(static_cast<int>(id));
    if (entry && entry->control->Kind() == ControlKind::DateTimePicker)
        static_cast<DateTimePicker&>(*entry->control).Click.Raise();
}

LRESULT CALLBACK ControlWindows::ChildSubclass(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR owner) {
    auto& self = *reinterpret_cast<ControlWindows*>(owner);
    Entry* entry = self.ByWindow(window);
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
            break;
        case WM_LBUTTONUP:
            // The picker reports changes only; its click comes through the main window,
            // where a handler's error is reported like any other.
            if (entry->control->Kind() == ControlKind::DateTimePicker)
                ::PostMessageW(self.mainWindow_, kControlClickMessage,
                               static_cast<WPARAM>(entry->id), 0);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void ControlWindows::SubclassChildren() {
    for (Entry& entry : entries_)
        if (entry.window)
            ::SetWindowSubclass(entry.window, ChildSubclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

HBRUSH ControlWindows::ColorControl(HDC dc, HWND child) {
    Entry* entry = ByWindow(child);
    if (!entry) return nullptr;
    switch (entry->control->Kind()) {
        case ControlKind::Label:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::PushButton:
            break;
        default:
            return nullptr;  // text boxes and lists keep the system's look
    }
    ::SetTextColor(dc, ToColorRef(entry->control->ForeColor()));
    ::SetBkColor(dc, ToColorRef(entry->control->BackColor()));
    return BrushFor(entry->control->BackColor());
}

}  // namespace ondrevan::win
