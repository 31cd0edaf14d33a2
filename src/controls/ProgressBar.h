#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "controls/Control.h"

namespace ondrevan {

// A bar with a caption text drawn over it. Any maximum and value are accepted; what is
// shown is the value clamped to 0 .. maximum.
class ProgressBar : public Control {
  public:
    explicit ProgressBar(std::string name) : Control(ControlKind::ProgressBar, std::move(name)) {}

    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t max) { Assign(max_, max, Property::Maximum); }
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t value) { Assign(value_, value, Property::Value); }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text) { Assign(text_, text, Property::Text); }

    // The filled share, 0 .. 1, for drawing.
    double FilledFraction() const {
        if (max_ <= 0) return 0.0;
        return static_cast<double>(std::clamp<std::int32_t>(value_, 0, max_)) / max_;
    }

  private:
    std::int32_t max_ = 100;
    std::int32_t value_ = 0;
    std::string text_;
};

}  // namespace ondrevan
