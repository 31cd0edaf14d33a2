#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "controls/FormWindow.h"
#include "controls/win/Accessible_win.h"
#include "controls/win/ControlWindows_win.h"

namespace ondrevan::win {

// Posted to the main window for a click that a child control does not report itself.
inline constexpr UINT kControlClickMessage = WM_APP + 2;

// The other way round: turns the child windows' notifications into the model's events.
class ControlEvents {
  public:
    explicit ControlEvents(ControlWindows& windows) : windows_(windows) {}

    // `form` hears where the keyboard focus goes.
    void Attach(FormWindow& form);
    void RouteCommand(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> RouteNotify(const NMHDR& header);
    void OnTimer(UINT_PTR id);
    // A click posted with kControlClickMessage.
    void RouteClick(WPARAM id);
    // Creates the controls' windows (see ControlWindows::Create). Each tells its control,
    // from the start, when the mouse moves over it, where the focus goes when it leaves,
    // and (the picker) when it is clicked.
    bool CreateWindows(HWND parent, const std::vector<Control*>& controls, Dpi dpi);

    // For the kinds of control, which say what their notifications mean.
    ControlWindows& Windows() { return windows_; }
    FormWindow& Form() { return *form_; }
    // A field reported losing the keyboard: the form learns where it went. True when it
    // went to another control of this window, not to another program or a message box.
    bool FocusLeaving();

  private:
    // What a screen reader is told of a control beyond what its window class says.
    static AccessibleFacts AccessibleFactsOf(const Control& control);
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    ControlWindows& windows_;
    FormWindow* form_ = nullptr;
    // Where the focus is going while a text box reports that it lost it.
    HWND focusLeavingTo_ = nullptr;
};

}  // namespace ondrevan::win
