#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "controls/Control.h"
#include "controls/win/Accessible_win.h"
#include "controls/win/ControlWindows_win.h"

namespace ondrevan::win {

class ControlEvents;

// What a control's window is made of.
struct WindowClass {
    const wchar_t* name = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
};

// The Win32 side of one kind of control, each kind in a file of its own: its window class,
// how the model's changes reach its window and the window's notifications reach the model,
// what a screen reader is told and which keys it keeps. ControlWindows and ControlEvents do
// what every kind shares and ask the kind for the rest; a kind does nothing it is not asked.
class ControlKindWin {
  public:
    using Entry = ControlWindows::Entry;

    virtual ~ControlKindWin() = default;

    // {nullptr}: the control has no window of its own (the form, a timer).
    virtual WindowClass ClassFor(const Control& control) const = 0;
    // How many of its design heights the window takes (a combo box's list drops below it).
    virtual int HeightFactor() const { return 1; }
    // The new window, its font set, is brought up to the model's present state.
    virtual void Created(ControlWindows& /*windows*/, Entry& /*entry*/) const {}
    // The font was set, at creation or at a new DPI.
    virtual void FontTaken(HWND /*window*/) const {}
    // The window took its place at a new DPI.
    virtual void Rescaled(ControlWindows& /*windows*/, Entry& /*entry*/) const {}
    // A property changed in the model; what every kind shares is done already. `echo`: the
    // change comes from the window's own notification, so the window shows it already.
    virtual void Mirror(ControlWindows& /*windows*/, Entry& /*entry*/, Property /*property*/,
                        bool /*echo*/) const {}
    // Labels, options, check boxes and buttons take the model's colours; fields and lists
    // keep the system's look.
    virtual bool TakesColors() const { return false; }

    virtual void Command(ControlEvents& /*events*/, Entry& /*entry*/, WORD /*code*/) const {}
    virtual std::optional<LRESULT> Notify(ControlEvents& /*events*/, Entry& /*entry*/,
                                          const NMHDR& /*header*/) const {
        return std::nullopt;
    }
    // A click the window does not report itself, posted through the main window.
    virtual void Clicked(Control& /*control*/) const {}
    // What a screen reader is told beyond the name the model gives.
    virtual void Describe(const Control& /*control*/, AccessibleFacts& /*facts*/) const {}
    // The keys the control takes before the dialog manager does, and what they do.
    virtual bool WantsKey(const Control& /*control*/, WPARAM /*key*/) const { return false; }
    virtual void PressKey(ControlWindows& /*windows*/, Entry& /*entry*/, WPARAM /*key*/) const {}
    // A message to the window before its class sees it (from just after it was made, before
    // its font); nullopt lets it go on as usual.
    virtual std::optional<LRESULT> Intercept(ControlEvents& /*events*/, Entry& /*entry*/,
                                             UINT /*message*/, WPARAM /*wParam*/,
                                             LPARAM /*lParam*/) const {
        return std::nullopt;
    }
};

const ControlKindWin& KindWin(ControlKind kind);

// Each kind's own, defined in its file.
const ControlKindWin& PushButtonWin();
const ControlKindWin& OptionButtonWin();
const ControlKindWin& CheckBoxWin();
const ControlKindWin& LabelWin();
const ControlKindWin& FrameWin();
const ControlKindWin& ProgressBarWin();
const ControlKindWin& TextBoxWin();
const ControlKindWin& RichTextBoxWin();
const ControlKindWin& ComboBoxWin();
const ControlKindWin& DateTimePickerWin();
const ControlKindWin& ListViewWin();
const ControlKindWin& HotKeyBoxWin();

}  // namespace ondrevan::win
