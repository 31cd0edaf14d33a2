#pragma once

#include "controls/Control.h"
#include "platform/DateTime.h"

namespace ondrevan {

// A time-of-day picker.
class DateTimePicker : public Control {
  public:
    explicit DateTimePicker(std::string name)
        : Control(ControlKind::DateTimePicker, std::move(name)) {}

    TimeOfDay Value() const { return value_; }
    // A change, from code or from the user, raises Change.
    void SetValue(TimeOfDay value) {
        if (Assign(value_, value, Property::Value)) Change.Raise();
    }

    Event<> Change;
    Event<> Click;

  private:
    TimeOfDay value_;
};

}  // namespace ondrevan
