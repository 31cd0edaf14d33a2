#include "controls/win/ControlWindows_win.h"

#include <algorithm>

#include "controls/AccessKeys.h"
#include "controls/Simple.h"
#include "controls/Timer.h"
#include "controls/win/ControlKind_win.h"
#include "controls/win/CustomControls_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
bool ControlWindows::Create(HWND mainWindow, const std::vector<Control*>& controls, Dpi dpi,
                            const std::function<void(Entry&)>& made) {
    if (!RegisterCustomControlClasses(instance_)) return false;
    mainWindow_ = mainWindow;
    dpi_ = dpi;
    entries_.clear();
    // Reserved whole: each window's user data points at its entry, which must not move.
    entries_.reserve(controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i)
        entries_.push_back({controls[i], nullptr, kFirstId + static_cast<int>(i)});
    for (Entry& entry : entries_) {
        if (entry.control->Kind() == ControlKind::Timer) {
            MirrorTimer(entry);
            continue;
        }
        entry.window = CreateWindowFor(entry, mainWindow, made);
        if (!entry.window) return false;
    }
    return true;
}

HWND ControlWindows::CreateWindowFor(Entry& entry, HWND mainWindow,
                                     const std::function<void(Entry&)>& made) {
    Control& control = *entry.control;
    const ControlKindWin& kind = KindWin(control.Kind());
    const WindowClass windowClass = kind.ClassFor(control);
    HWND parent = control.Container() ? WindowOf(*control.Container()) : mainWindow;
    const DWORD style = windowClass.style | (control.Visible() ? WS_VISIBLE : 0) |
                        (control.Enabled() ? 0 : WS_DISABLED);
    const PixelPlace at = PlaceOf(control);
    HWND window = ::CreateWindowExW(
        windowClass.exStyle, windowClass.name,
        Widen(CaptionWithAccessKey(control.Caption(), control.AccessKey())).c_str(), style, at.left,
        at.top, at.width, at.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance_, nullptr);
    if (!window) return nullptr;
    entry.window = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&entry));
    made(entry);
    TakeFont(entry, false);
    kind.Created(*this, entry);  // brought up to the model's present state
    return window;
}

ControlWindows::Entry* ControlWindows::EntryOf(HWND window) {
    return reinterpret_cast<Entry*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT ControlWindows::CallOriginal(const Entry& entry, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    return entry.original ? ::CallWindowProcW(entry.original, entry.window, message, wParam, lParam)
                          : ::DefWindowProcW(entry.window, message, wParam, lParam);
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
        KindWin(entry.control->Kind()).Rescaled(*this, entry);
    }
}

ControlWindows::PixelPlace ControlWindows::PlaceOf(const Control& control) const {
    const TwipRect& at = control.Position();
    return {dpi_.Px(at.left), dpi_.Px(at.top), dpi_.Px(at.width),
            dpi_.Px(at.height) * KindWin(control.Kind()).HeightFactor()};
}

void ControlWindows::TakeFont(Entry& entry, bool redraw) {
    const Control& control = *entry.control;
    ::SendMessageW(entry.window, WM_SETFONT,
                   reinterpret_cast<WPARAM>(FontFor(control.Font().points)), redraw);
    KindWin(control.Kind()).FontTaken(entry.window);
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

    // What every window shares; the rest is the kind's own.
    switch (property) {
        case Property::Caption:
            ::SetWindowTextW(
                window,
                Widen(CaptionWithAccessKey(control.Caption(), control.AccessKey())).c_str());
            ::InvalidateRect(window, nullptr, TRUE);
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
            // Only inside the window the user is in. Given to a window in the background,
            // the focus would take the keyboard from the program the person is typing in:
            // a scheduled run moves to the list every few seconds.
            if (::GetForegroundWindow() == ::GetAncestor(window, GA_ROOT)) ::SetFocus(window);
            break;
        default:
            break;
    }
    KindWin(control.Kind()).Mirror(*this, *entry, property, routing_ == &control);
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
    if (!KindWin(entry->control->Kind()).TakesColors()) return nullptr;
    const bool highContrast = HighContrastOn();
    const Color back = ShownColor(entry->control->BackColor(), ColorRole::Background, highContrast);
    ::SetTextColor(
        dc, ToColorRef(ShownColor(entry->control->ForeColor(), ColorRole::Text, highContrast)));
    ::SetBkColor(dc, ToColorRef(back));
    return BrushFor(back);
}

}  // namespace ondrevan::win
