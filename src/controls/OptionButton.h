#pragma once

#include <vector>

#include "controls/Control.h"

namespace ondrevan {

class OptionGroup;

// One option of a group: selecting it clears the others. Only the option that becomes
// selected raises Click; the ones cleared, and an option set to false, raise nothing.
class OptionButton : public Control {
  public:
    explicit OptionButton(std::string name) : Control(ControlKind::OptionButton, std::move(name)) {}

    bool Value() const { return value_; }
    void SetValue(bool value);

    Event<> Click;

  private:
    friend class OptionGroup;
    OptionGroup* group_ = nullptr;
    bool value_ = false;
};

class OptionGroup {
  public:
    OptionGroup() = default;
    OptionGroup(const OptionGroup&) = delete;
    OptionGroup& operator=(const OptionGroup&) = delete;

    void Add(OptionButton& option) {
        option.group_ = this;
        options_.push_back(&option);
    }
    const std::vector<OptionButton*>& Options() const { return options_; }

  private:
    std::vector<OptionButton*> options_;
};

inline void OptionButton::SetValue(bool value) {
    if (value_ == value) return;
    if (value && group_) {
        for (OptionButton* other : group_->Options()) {
            if (other != this && other->value_) {
                other->value_ = false;
                other->Notify(Property::Value);
            }
        }
    }
    value_ = value;
    Notify(Property::Value);
    if (value) Click.Raise();
}

}  // namespace ondrevan
