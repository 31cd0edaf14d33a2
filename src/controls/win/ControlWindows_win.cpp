#include "controls/win/ControlWindows_win.h"

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
#include "controls/win/Accessible_win.h"
#include "controls/win/CustomControls_win.h"
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
            return {L"BUTTON", child | WS_TABSTOP | BS_CHECKBOX | BS_MULTILINE, 0};
        case ControlKind::Label:
            return {L"STATIC", child | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
        case ControlKind::Frame:
            return {kFrameClass, child | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
        case ControlKind::ProgressBar:
            return {kProgressClass, child, 0};
        case ControlKind::TextBox:
            return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::RichTextBox:
            return {L"EDIT",
                    child | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
                    WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {WC_COMBOBOXW, child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case ControlKind::DateTimePicker:
            return {DATETIMEPICK_CLASSW, child | WS_TABSTOP | DTS_TIMEFORMAT, 0};
        case ControlKind::ListView:
            return {WC_LISTVIEWW,
                    child | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                        LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                    WS_EX_CLIENTEDGE};
        case ControlKind::HotKeyBox:
            return {HOTKEY_CLASSW, child | WS_TABSTOP, WS_EX_CLIENTEDGE};
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
    const WindowDc dc(window);
    if (!dc) return;
    SIZE extent{};
    {
        const SelectedObject font(
            dc.get(), reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
        int length = ::GetWindowTextLengthW(window);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        ::GetWindowTextW(window, text.data(), length + 1);
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), length, &extent);
    }
    RECT rect;
    ::GetClientRect(window, &rect);
    ::SetWindowPos(window, nullptr, 0, 0, std::max<LONG>(rect.right, extent.cx + 2),
                   std::max<LONG>(rect.bottom, extent.cy),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool ControlWindows::Create(HWND mainWindow, const std::vector<Control*>& controls, Dpi dpi) {
    if (!RegisterCustomControlClasses(instance_)) return false;
    mainWindow_ = mainWindow;
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
    HWND parent = control.Container() ? WindowOf(*control.Container()) : mainWindow;
    DWORD style =
        kind.style | (control.Visible() ? WS_VISIBLE : 0) | (control.Enabled() ? 0 : WS_DISABLED);
    if (control.Kind() == ControlKind::Label && static_cast<const Label&>(control).NamesField())
        style &= ~static_cast<DWORD>(SS_NOPREFIX);

    const PixelPlace at = PlaceOf(control);
    HWND window = ::CreateWindowExW(kind.exStyle, kind.className, Widen(control.Caption()).c_str(),
                                    style, at.left, at.top, at.width, at.height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)),
                                    instance_, nullptr);
    if (!window) return nullptr;
    entry.window = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    TakeFont(entry, false);
    // A label sized to its caption (the hot-key hint) reaches down over the edge of the
    // buttons the design puts under it: it lies above them, so no letter is cut.
    if (control.Kind() == ControlKind::Label && static_cast<const Label&>(control).AutoSize())
        ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

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
        case ControlKind::HotKeyBox:
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

void ControlWindows::MirrorTabStops(const OptionButton& option) {
    // Tab reaches an option group once, at its selected option; the arrows do the rest.
    const OptionGroup* group = option.Group();
    if (!group) return;
    for (const OptionButton* member : group->Options()) {
        HWND window = WindowOf(*member);
        if (!window) continue;
        const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
        const LONG_PTR wanted =
            member == group->TabStop() ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
        if (wanted != style) ::SetWindowLongPtrW(window, GWL_STYLE, wanted);
    }
}

void ControlWindows::Relayout(Dpi dpi) {
    if (dpi.value == dpi_.value) return;
    dpi_ = dpi;
    // The old fonts go only once no window uses them any more.
    std::map<double, UniqueHfont> oldFonts;
    oldFonts.swap(fonts_);
    for (Entry& entry : entries_) {
        if (!entry.window) continue;
        const PixelPlace at = PlaceOf(*entry.control);
        ::SetWindowPos(entry.window, nullptr, at.left, at.top, at.width, at.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        TakeFont(entry, true);
        if (entry.control->Kind() == ControlKind::ListView)
            MirrorListView(entry, Property::Columns);
    }
}

ControlWindows::PixelPlace ControlWindows::PlaceOf(const Control& control) const {
    const TwipRect& at = control.Position();
    int height = dpi_.Px(at.height);
    if (control.Kind() == ControlKind::ComboBox) height *= 8;  // room for the drop-down list
    return {dpi_.Px(at.left), dpi_.Px(at.top), dpi_.Px(at.width), height};
}

void ControlWindows::TakeFont(Entry& entry, bool redraw) {
    const Control& control = *entry.control;
    ::SendMessageW(entry.window, WM_SETFONT,
                   reinterpret_cast<WPARAM>(FontFor(control.Font().points)), redraw);
    // A label's caption is one line: where the font at this scale is a little wider than
    // the design's, the label grows rather than cut it.
    if (control.Kind() == ControlKind::Label) FitToCaption(entry.window);
    // The tip covers the control's rectangle, which has just been set.
    if (!control.ToolTip().empty()) MirrorToolTip(entry);
}

void ControlWindows::MirrorToolTip(Entry& entry) {
    const std::wstring text = Widen(entry.control->ToolTip());
    if (!toolTips_) {
        if (text.empty()) return;
        toolTips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mainWindow_,
                                      nullptr, instance_, nullptr);
        if (!toolTips_) return;
    }
    // A disabled window gets no mouse messages, its parent does: the tip belongs to the
    // parent, over the control's rectangle.
    HWND parent = ::GetParent(entry.window);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = parent;
    tool.uId = static_cast<UINT_PTR>(entry.id);
    ::SendMessageW(toolTips_, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty()) return;
    tool.uFlags = TTF_SUBCLASS;
    tool.hinst = instance_;
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    ::GetWindowRect(entry.window, &tool.rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&tool.rect), 2);
    ::SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
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
            if (control.Kind() == ControlKind::Frame) AnnounceNameChange(window);
            break;
        case Property::Enabled:
            ::EnableWindow(window, control.Enabled());
            break;
        case Property::ToolTip:
            MirrorToolTip(*entry);
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
                AnnounceValueChange(window);
            } else if (!echo) {
                Echo own(*this, control);  // the EN_CHANGE this causes is our own
                ::SetWindowTextW(window, Widen(static_cast<TextBox&>(control).Text()).c_str());
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
                case ControlKind::OptionButton: {
                    auto& option = static_cast<OptionButton&>(control);
                    ::SendMessageW(window, BM_SETCHECK,
                                   option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
                    MirrorTabStops(option);
                    break;
                }
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
                    AnnounceValueChange(window);
                    break;
                case ControlKind::HotKeyBox:
                    if (!echo) {
                        const HotKeySpec& key = static_cast<HotKeyBox&>(control).Value();
                        const WORD modifiers = (key.ctrl ? HOTKEYF_CONTROL : 0) |
                                               (key.alt ? HOTKEYF_ALT : 0) |
                                               (key.shift ? HOTKEYF_SHIFT : 0);
                        ::SendMessageW(window, HKM_SETHOTKEY,
                                       MAKEWORD(static_cast<BYTE>(key.key), modifiers), 0);
                    }
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
            Echo echo(*this, list);
            ListView_SetItemState(window, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
            if (auto selected = list.Selected()) {
                const int index = static_cast<int>(*selected);
                ListView_SetItemState(window, index, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(window, index, FALSE);
            }
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
    if (!timer.Running()) {
        ::KillTimer(mainWindow_, id);
        return;
    }
    // A schedule whose timer cannot be armed would never run: it is said.
    if (!::SetTimer(mainWindow_, id, static_cast<UINT>(timer.Interval()), nullptr)) {
        const AppError error = LastError();
        throw AppError(error.Number(),
                       std::string("The schedule's timer could not be started: ") + error.what());
    }
}

Control* ControlWindows::ControlAt(HWND window) {
    for (; window && window != mainWindow_; window = ::GetParent(window))
        if (Entry* entry = ByWindow(window)) return entry->control;
    return nullptr;
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
    const bool highContrast = HighContrastOn();
    const Color back = ShownColor(entry->control->BackColor(), ColorRole::Background, highContrast);
    ::SetTextColor(
        dc, ToColorRef(ShownColor(entry->control->ForeColor(), ColorRole::Text, highContrast)));
    ::SetBkColor(dc, ToColorRef(back));
    return BrushFor(back);
}

}  // namespace ondrevan::win
