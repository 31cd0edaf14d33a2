#pragma once

#include <string>
#include <string_view>

namespace ondrevan {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Puts the text on the clipboard; throws AppError when the clipboard is not to be had.
    virtual void SetText(const std::string& text) = 0;
    // The same for text in the ANSI code page, handed over as it is: a large file goes on
    // the clipboard without a converted copy.
    virtual void SetAnsiText(std::string_view ansi) = 0;
};

}  // namespace ondrevan
