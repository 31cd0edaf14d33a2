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
    OptionGroup* Group() const { return group_; }

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
    // Where the arrow keys go from `from`: the next (or previous) option that can be chosen,
    // round the group; `from` itself when there is no other.
    OptionButton& Step(const OptionButton& from, bool forward) const;
    // The group's one stop for Tab: its selected option, or its first when none is.
    const OptionButton* TabStop() const;

  private:
    std::vector<OptionButton*> options_;
};

inline OptionButton& OptionGroup::Step(const OptionButton& from, bool forward) const {
    const std::size_t count = options_.size();
    std::size_t at = 0;
    while (at < count && options_[at] != &from) ++at;
    for (std::size_t i = 1; i < count && at < count; ++i) {
        OptionButton* next = options_[(at + (forward ? i : count - i)) % count];
        if (next->Enabled() && next->Visible()) return *next;
    }
    return const_cast<OptionButton&>(from);
}

inline const OptionButton* OptionGroup::TabStop() const {
    for (const OptionButton* option : options_)
        if (option->Value()) return option;
    return options_.empty() ? nullptr : options_.front();
}

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
