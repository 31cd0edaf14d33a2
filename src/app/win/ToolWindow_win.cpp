#include "app/win/ToolWindow_win.h"

#include <algorithm>

#include "controls/win/Dpi_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {

ToolWindow::ToolWindow(HINSTANCE instance, HWND owner, FormWindow& form,
                       std::vector<Control*> controls,
                       std::function<void(const std::function<void()>&)> guarded)
    : instance_(instance),
      owner_(owner),
      form_(form),
      controls_(std::move(controls)),
      guarded_(std::move(guarded)),
      windows_(instance) {}

ToolWindow::~ToolWindow() {
    form_.SetSink(nullptr);
    for (Control* control : controls_) control->SetSink(nullptr);
    if (window_) ::DestroyWindow(window_);
}

bool ToolWindow::Create() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kToolWindowClass;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    constexpr DWORD exStyle = WS_EX_CONTROLPARENT;
    // Owned by the main window: above it, and gone with it.
    window_ =
        ::CreateWindowExW(exStyle, kToolWindowClass, Widen(form_.Caption()).c_str(), style,
                          CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner_, nullptr, instance_, this);
    if (!window_) return false;
    // Beside the main window's corner, inside the work area, smaller where it must be.
    RECT ownerRect{};
    ::GetWindowRect(owner_, &ownerRect);
    const POINT wanted{ownerRect.left + 40, ownerRect.top + 40};
    const Dpi dpi = FitToWorkArea(window_, Dpi::ForWindow(window_), form_.Position().width,
                                  form_.Position().height, &wanted);
    events_.Attach(form_);
    if (!events_.CreateWindows(window_, controls_, dpi)) return false;
    form_.SetSink(this);
    for (Control* control : controls_) control->SetSink(this);
    return true;
}

bool ToolWindow::Show() {
    if (!window_ && !Create()) return false;
    const bool wasVisible = ::IsWindowVisible(window_);
    // Closed, it gives the keyboard back to the control of the main window that had it.
    if (!wasVisible) {
        HWND focus = ::GetFocus();
        returnFocus_ = ::IsChild(owner_, focus) ? focus : nullptr;
    }
    ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(window_);
    // The keyboard starts in the first field, as in a dialog box. Asked for again while open
    // (behind another window, say), it stays in the field it was in.
    if (!wasVisible) {
        if (HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE)) ::SetFocus(first);
    } else {
        KeepFocusInside();
    }
    return true;
}

void ToolWindow::KeepFocusInside() {
    if (!window_ || ::GetActiveWindow() != window_) return;
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(window_, focus) && ::IsWindowEnabled(focus)) return;
    if (HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE)) ::SetFocus(first);
}

void ToolWindow::OnChanged(Control& control, Property property) {
    if (&control == &form_) {
        if (property == Property::Caption)
            ::SetWindowTextW(window_, Widen(form_.Caption()).c_str());
        // The form has nothing more to show: the window closes as its close box closes it.
        if (property == Property::Visible && !form_.Visible() && window_ &&
            ::IsWindowVisible(window_))
            Close();
        return;
    }
    windows_.Mirror(control, property);
}

void ToolWindow::Close() {
    // Closing only hides it, once what the user was doing is stored.
    guarded_([&] { form_.Closing.Raise(); });
    const bool active = ::GetActiveWindow() == window_;
    ::ShowWindow(window_, SW_HIDE);
    if (active && ::IsWindowVisible(owner_) && ::IsWindowEnabled(owner_)) {
        ::SetActiveWindow(owner_);
        if (returnFocus_ && ::IsWindow(returnFocus_) && ::IsWindowVisible(returnFocus_) &&
            ::IsWindowEnabled(returnFocus_))
            ::SetFocus(returnFocus_);
    }
}

LRESULT CALLBACK ToolWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<ToolWindow*>(create->lpCreateParams)->window_ = window;
    }
    auto* self = reinterpret_cast<ToolWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT ToolWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam && HIWORD(wParam) == BN_CLICKED && form_.CloseButton() &&
                reinterpret_cast<HWND>(lParam) == windows_.WindowOf(*form_.CloseButton())) {
                Close();  // as Escape
            } else if (lParam) {
                guarded_([&] { events_.RouteCommand(wParam, lParam); });
            } else if (LOWORD(wParam) == IDOK) {
                // Enter, as the dialog manager reports it in a window without a default button.
                guarded_([&] { form_.Accept.Raise(); });
            } else if (LOWORD(wParam) == IDCANCEL) {
                Close();  // Escape
            }
            return 0;
        case WM_NEXTDLGCTL:
            // A multi-line field passes Tab on this way, as it would in a dialog box; an
            // access key names the label, and the focus goes on to the field after it.
            if (LOWORD(lParam)) {
                ::SetFocus(reinterpret_cast<HWND>(wParam));
            } else if (HWND next = ::GetNextDlgTabItem(window_, ::GetFocus(), wParam != 0)) {
                ::SetFocus(next);
            }
            return 0;
        case WM_NOTIFY: {
            std::optional<LRESULT> result;
            guarded_(
                [&] { result = events_.RouteNotify(*reinterpret_cast<const NMHDR*>(lParam)); });
            if (result) return *result;
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush = windows_.ColorControl(reinterpret_cast<HDC>(wParam),
                                                     reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case kDpiChangedMessage:
            windows_.Relayout(TakeSuggestedPlace(window_, wParam, lParam, form_.Position().width,
                                                 form_.Position().height));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) guarded_([&] { form_.Deactivated.Raise(); });
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            // Gone with the main window, while the user may still be in one of its fields.
            guarded_([&] { form_.Closing.Raise(); });
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace ondrevan::win
