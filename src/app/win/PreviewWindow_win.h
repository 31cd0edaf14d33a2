#pragma once

#include <windows.h>

#include <functional>

#include "app/win/ToolWindow_win.h"

namespace ondrevan {
class PreviewForm;
}

namespace ondrevan::win {

// The preview's tool window, and what its table needs beyond a plain list: every cell's
// text from the form, the number columns aligned right, a click on a heading sorting by that
// column (an arrow shows which way), and Close closing the window as Escape does. Holds no
// logic of the program's own.
class PreviewWindow {
  public:
    PreviewWindow(HINSTANCE instance, HWND owner, PreviewForm& form,
                  std::function<void(const std::function<void()>&)> guarded);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    // Shows the window and brings it to the front; false when it could not be made.
    bool Show();
    HWND Handle() const { return tool_.Handle(); }
    // The keyboard, lost to a control disabled while it counted, goes back inside.
    void KeepFocusInside() { tool_.KeepFocusInside(); }

  private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The columns' alignment and the sort arrow: set again whenever the columns are made anew.
    void ShowColumns();

    PreviewForm& form_;
    std::function<void(const std::function<void()>&)> guarded_;
    ToolWindow tool_;
    HWND list_ = nullptr;
};

}  // namespace ondrevan::win
