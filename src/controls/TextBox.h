#pragma once

#include "controls/Control.h"

namespace ondrevan {

class TextBox : public Control {
  public:
    explicit TextBox(std::string name, ControlKind kind = ControlKind::TextBox)
        : Control(kind, std::move(name)) {}

    const std::string& Text() const { return text_; }
    // A change, from code or from typing, raises Change.
    void SetText(const std::string& text) {
        if (Assign(text_, text, Property::Text)) Change.Raise();
    }

    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void Select(int start, int length) {
        selStart_ = start;
        selLength_ = length;
        Notify(Property::TextSelection);
    }

    // Shown greyed in the field while it is empty, saying what empty means; set before the
    // field is shown.
    const std::string& CueBanner() const { return cueBanner_; }
    void SetCueBanner(std::string cue) { cueBanner_ = std::move(cue); }

    Event<> Change;
    Event<> GotFocus;
    Event<> LostFocus;

  private:
    std::string text_;
    std::string cueBanner_;
    int selStart_ = 0;
    int selLength_ = 0;
};

// The hidden buffer box; it behaves as a text box.
class RichTextBox : public TextBox {
  public:
    explicit RichTextBox(std::string name) : TextBox(std::move(name), ControlKind::RichTextBox) {}
};

}  // namespace ondrevan
