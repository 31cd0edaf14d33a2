#pragma once

// The controls that have no state beyond what every control has.
#include "controls/Control.h"

namespace ondrevan {

class PushButton : public Control {
  public:
    explicit PushButton(std::string name) : Control(ControlKind::PushButton, std::move(name)) {}
    Event<> Click;
};

class Label : public Control {
  public:
    explicit Label(std::string name) : Control(ControlKind::Label, std::move(name)) {}

    // An auto-sized label grows to show its whole caption.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
    // A label that names the field after it: the "&" in its caption marks the access key
    // that reaches the field. Otherwise an "&" is shown as it is.
    bool NamesField() const { return namesField_; }
    void SetNamesField(bool namesField) { namesField_ = namesField; }
    // A one-line label beside a field, as high as the field: its text stands in the middle
    // of that height, on the line of the field's own text.
    bool CentredInHeight() const { return centredInHeight_; }
    void SetCentredInHeight(bool centred) { centredInHeight_ = centred; }

  private:
    bool autoSize_ = false;
    bool namesField_ = false;
    bool centredInHeight_ = false;
};

class Frame : public Control {
  public:
    explicit Frame(std::string name) : Control(ControlKind::Frame, std::move(name)) {}
};

}  // namespace ondrevan
