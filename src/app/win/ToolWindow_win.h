#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "controls/Control.h"
#include "controls/FormWindow.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlWindows_win.h"

namespace ondrevan::win {

inline constexpr const wchar_t* kToolWindowClass = L"OndrevanTool";

// A small window of its own beside the main one (the options, the preview): made on first
// show, hidden again by its close box or Escape, its controls mirrored and routed like the
// main window's; Enter and the closing are told to its form. Holds no logic of the program's
// own.
class ToolWindow : public ControlSink {
  public:
    // `guarded` runs each event handler the way the main window runs its own.
    ToolWindow(HINSTANCE instance, HWND owner, FormWindow& form, std::vector<Control*> controls,
               std::function<void(const std::function<void()>&)> guarded);
    ~ToolWindow() override;
    ToolWindow(const ToolWindow&) = delete;
    ToolWindow& operator=(const ToolWindow&) = delete;

    // Shows the window and brings it to the front; false when it could not be made.
    bool Show();
    HWND Handle() const { return window_; }
    // The window made for one of its controls, once the window is made.
    HWND WindowOf(const Control& control) const { return windows_.WindowOf(control); }
    // The active window's keyboard, lost to a control that was disabled, goes to its first
    // control.
    void KeepFocusInside();
    void OnChanged(Control& control, Property property) override;

  private:
    bool Create();
    void Close();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    HWND owner_;
    FormWindow& form_;
    std::vector<Control*> controls_;
    std::function<void(const std::function<void()>&)> guarded_;
    HWND window_ = nullptr;
    HWND returnFocus_ = nullptr;  // the owner's control that had the keyboard when it opened
    ControlWindows windows_;
    ControlEvents events_{windows_};
};

}  // namespace ondrevan::win
