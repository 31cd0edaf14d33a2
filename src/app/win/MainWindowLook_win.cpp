#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "platform/win/ResourceIds.h"
#include "platform/win/Text_win.h"

// The main window's own look: its caption, icons, pointer and how it is shown, as the form's
// properties say.
namespace ondrevan::win {

void MainWindow::LoadProgramIcons() {
    if (bigIcon_ && smallIcon_) return;  // the same pictures, set once
    const int big = ::GetSystemMetrics(SM_CXICON);
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    bigIcon_.reset(static_cast<HICON>(
        ::LoadImageW(instance_, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, big, big, 0)));
    smallIcon_.reset(static_cast<HICON>(
        ::LoadImageW(instance_, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, small, small, 0)));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void MainWindow::MirrorForm(Property property) {
    FormWindow& form = form_.Window;
    switch (property) {
        case Property::Caption:
            ::SetWindowTextW(window_, Widen(form.Caption()).c_str());
            break;
        case Property::Icon:
            LoadProgramIcons();
            break;
        case Property::MouseIcon:
            // Read when first shown: start-up does not wait for the file.
            customCursor_.reset();
            customCursorLoaded_ = false;
            break;
        case Property::MousePointer: {
            POINT cursor;
            ::GetCursorPos(&cursor);
            HWND under = ::WindowFromPoint(cursor);
            if (under == window_ || ::IsChild(window_, under)) SetCursorForPointer();
            break;
        }
        case Property::BackColor:
            ::InvalidateRect(window_, nullptr, TRUE);
            break;
        case Property::WindowState:
            // SW_RESTORE would show a hidden window: a hidden one takes its state when shown.
            if (shown_ && form.Visible())
                ::ShowWindow(window_,
                             form.State() == WindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
            break;
        case Property::Visible:
            if (!shown_) break;
            if (!form.Visible())
                ::ShowWindow(window_, SW_HIDE);
            else
                ::ShowWindow(window_, form.State() == WindowState::Minimized ? SW_SHOWMINIMIZED
                                                                             : SW_RESTORE);
            break;
        case Property::Focus:
            ::SetForegroundWindow(window_);
            ::SetFocus(window_);
            break;
        default:
            break;
    }
}

bool MainWindow::SetCursorForPointer() {
    switch (form_.Window.MousePointer()) {
        case pointers::kHourglass:
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return true;
        case pointers::kCustom:
            if (!customCursorLoaded_) {
                const std::string& file = form_.Window.MouseIconFile();
                if (!file.empty())
                    customCursor_.reset(::LoadCursorFromFileW(WidePath(file).c_str()));
                customCursorLoaded_ = true;
            }
            // Without the cursor file the custom pointer has no picture: the arrow.
            ::SetCursor(customCursor_ ? customCursor_.get() : ::LoadCursorW(nullptr, IDC_ARROW));
            return true;
        default:
            return false;
    }
}

}  // namespace ondrevan::win
