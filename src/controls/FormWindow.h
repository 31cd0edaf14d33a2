#pragma once

#include "controls/Control.h"

namespace ondrevan {

enum class WindowState { Normal, Minimized };

namespace pointers {
inline constexpr int kDefault = 0;
inline constexpr int kHourglass = 11;
inline constexpr int kCustom = 99;
}  // namespace pointers

// The main window itself: caption, icon, state, mouse pointer and its life events.
class FormWindow : public Control {
  public:
    explicit FormWindow(std::string name) : Control(ControlKind::Form, std::move(name)) {}

    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int pointer) { Assign(mousePointer_, pointer, Property::MousePointer); }
    // The cursor file shown for the custom pointer; empty for none.
    const std::string& MouseIconFile() const { return mouseIconFile_; }
    void SetMouseIconFile(const std::string& path) {
        Assign(mouseIconFile_, path, Property::MouseIcon);
    }

    WindowState State() const { return state_; }
    void SetState(WindowState state) { Assign(state_, state, Property::WindowState); }
    // The shell reports a state change the user made, without echoing it back.
    void StateChangedByUser(WindowState state) { state_ = state; }

    // The control with the keyboard focus as the shell last reported it, or nullptr when
    // the focus is outside the window. While a control's LostFocus runs, it already names
    // the control the focus went to.
    Control* ActiveControl() const { return activeControl_; }
    void ActiveControlChangedByUser(Control* control) { activeControl_ = control; }

    bool HasProgramIcon() const { return hasIcon_; }
    void ShowProgramIcon() {
        hasIcon_ = true;
        Notify(Property::Icon);
    }

    // The button that closes the window as Escape does, if it has one.
    Control* CloseButton() const { return closeButton_; }
    void SetCloseButton(Control* button) { closeButton_ = button; }

    Event<> Resize;
    // A window without OK or Cancel still hears the user being done with it: Enter, and
    // its closing (the close box, Alt+F4, Escape, or the program ending).
    Event<> Accept;
    Event<> Closing;
    // Another window took the keyboard: the user may be done with the field left behind.
    Event<> Deactivated;

  private:
    int mousePointer_ = pointers::kDefault;
    std::string mouseIconFile_;
    WindowState state_ = WindowState::Normal;
    bool hasIcon_ = false;
    Control* activeControl_ = nullptr;
    Control* closeButton_ = nullptr;
};

}  // namespace ondrevan
