#pragma once

#include <string_view>

namespace ondrevan {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Puts text in the ANSI code page on the clipboard as it is, so that a large file goes
    // there without a converted copy; throws AppError when the clipboard is not to be had.
    virtual void SetAnsiText(std::string_view ansi) = 0;
    // Puts text (UTF-8) on the clipboard as Unicode, every character as it is; throws AppError
    // when the clipboard is not to be had.
    virtual void SetText(std::string_view utf8) = 0;
};

}  // namespace ondrevan
