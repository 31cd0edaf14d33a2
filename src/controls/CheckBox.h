#pragma once

#include "controls/Control.h"

namespace ondrevan {

class CheckBox : public Control {
  public:
    static constexpr int kUnchecked = 0;
    static constexpr int kChecked = 1;

    explicit CheckBox(std::string name) : Control(ControlKind::CheckBox, std::move(name)) {}

    int Value() const { return value_; }
    bool Checked() const { return value_ == kChecked; }
    // A change, from code or from the user, raises Click.
    void SetValue(int value) {
        if (Assign(value_, value, Property::Value)) Click.Raise();
    }
    void SetChecked(bool checked) { SetValue(checked ? kChecked : kUnchecked); }

    Event<> Click;

  private:
    int value_ = kUnchecked;
};

}  // namespace ondrevan
