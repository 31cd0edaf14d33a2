#pragma once

#include <string>

namespace ondrevan {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Puts the text on the clipboard; throws AppError when the clipboard is not to be had.
    virtual void SetText(const std::string& text) = 0;
};

}  // namespace ondrevan
