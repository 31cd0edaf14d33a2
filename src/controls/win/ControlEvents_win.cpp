#include "controls/win/ControlEvents_win.h"

#include "controls/Timer.h"
#include "controls/win/ControlKind_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {

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
    KindWin(entry->control->Kind()).Command(*this, *entry, HIWORD(wParam));
}

std::optional<LRESULT> ControlEvents::RouteNotify(const NMHDR& header) {
    ControlWindows::Entry* entry = windows_.ById(static_cast<int>(header.idFrom));
    if (!entry || header.hwndFrom != entry->window) return std::nullopt;
    return KindWin(entry->control->Kind()).Notify(*this, *entry, header);
}

bool ControlEvents::FocusLeaving() {
    // Only a move to another control of this window counts: switching to another program
    // (or to one of this program's message boxes) is not leaving the field.
    const HWND next = focusLeavingTo_;
    focusLeavingTo_ = nullptr;
    const bool staysInWindow =
        next && (next == windows_.MainWindow() || ::IsChild(windows_.MainWindow(), next));
    form_->ActiveControlChangedByUser(staysInWindow ? windows_.ControlAt(next) : nullptr);
    return staysInWindow;
}

void ControlEvents::RouteClick(WPARAM id) {
    if (ControlWindows::Entry* entry = windows_.ById(static_cast<int>(id)))
        KindWin(entry->control->Kind()).Clicked(*entry->control);
}

AccessibleFacts ControlEvents::AccessibleFactsOf(const Control& control) {
    AccessibleFacts facts;
    if (!control.AccessibleName().empty()) {
        facts.name = Widen(control.AccessibleName());
        facts.hasName = true;
    }
    KindWin(control.Kind()).Describe(control, facts);
    return facts;
}

LRESULT CALLBACK ControlEvents::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ControlWindows::Entry* entry = ControlWindows::EntryOf(window);
    if (!entry) return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window's last message: it goes back to its class, and nothing points here.
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->original));
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return ControlWindows::CallOriginal(*entry, message, wParam, lParam);
    }
    ControlEvents& self = *entry->events;
    const ControlKindWin& kind = KindWin(entry->control->Kind());
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
        default:
            break;
    }
    if (const auto answer = kind.Intercept(self, *entry, message, wParam, lParam)) return *answer;
    switch (message) {
        case WM_GETOBJECT:
            if (LRESULT answer =
                    AnswerGetObject(window, wParam, lParam, AccessibleFactsOf(*entry->control)))
                return answer;
            break;
        case WM_GETDLGCODE: {
            // The window's own keys, before the dialog manager takes them: Enter presses a
            // push button, the arrows move within an option group.
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            const LRESULT code = ControlWindows::CallOriginal(*entry, message, wParam, lParam);
            if (key && key->message == WM_KEYDOWN && kind.WantsKey(*entry->control, key->wParam))
                return code | DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (kind.WantsKey(*entry->control, wParam)) {
                kind.PressKey(self.windows_, *entry, wParam);
                return 0;
            }
            break;
        default:
            break;
    }
    return ControlWindows::CallOriginal(*entry, message, wParam, lParam);
}

bool ControlEvents::CreateWindows(HWND parent, const std::vector<Control*>& controls, Dpi dpi) {
    return windows_.Create(parent, controls, dpi, [this](ControlWindows::Entry& entry) {
        entry.events = this;
        entry.original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(entry.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
    });
}

}  // namespace ondrevan::win
