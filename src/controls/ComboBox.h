#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "controls/Control.h"
#include "platform/AppError.h"

namespace ondrevan {

// A drop-down list: the text is always one of the items, or empty before a choice.
class ComboBox : public Control {
  public:
    static constexpr int kNoSelection = -1;

    explicit ComboBox(std::string name) : Control(ControlKind::ComboBox, std::move(name)) {}

    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items) {
        items_ = std::move(items);
        listIndex_ = kNoSelection;
        Notify(Property::Items);
    }

    int ListIndex() const { return listIndex_; }
    // A change of the selection raises Click. (Change is for typed text, which a
    // drop-down list has none of.)
    void SetListIndex(int index) {
        if (index < kNoSelection || index >= static_cast<int>(items_.size()))
            throw AppError(errors::kInvalidPropertyValue, "Invalid property value");
        if (Assign(listIndex_, index, Property::Selection)) Click.Raise();
    }

    std::string Text() const {
        return listIndex_ == kNoSelection ? std::string() : items_[listIndex_];
    }
    // Only an item's text can be set; anything else is refused as the list style demands.
    void SetText(const std::string& text) {
        auto it = std::find(items_.begin(), items_.end(), text);
        if (it == items_.end())
            throw AppError(errors::kPropertyReadOnly, "'Text' property is read-only");
        SetListIndex(static_cast<int>(it - items_.begin()));
    }

    Event<> Click;
    Event<> Change;

  private:
    std::vector<std::string> items_;
    int listIndex_ = kNoSelection;
};

}  // namespace ondrevan
