#pragma once

#include "controls/Control.h"
#include "platform/HotKey.h"

namespace ondrevan {

// A hot-key field: shows a key with its modifiers, and takes the one the user presses.
class HotKeyBox : public Control {
  public:
    explicit HotKeyBox(std::string name) : Control(ControlKind::HotKeyBox, std::move(name)) {}

    const HotKeySpec& Value() const { return value_; }
    // A change, from code or from the keyboard, raises Change.
    void SetValue(const HotKeySpec& value) {
        if (Assign(value_, value, Property::Value)) Change.Raise();
    }

    Event<> Change;
    // The keyboard went elsewhere, in this window or out of it.
    Event<> LostFocus;

  private:
    HotKeySpec value_;
};

}  // namespace ondrevan
