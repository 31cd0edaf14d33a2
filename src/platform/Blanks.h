#pragma once

#include <string_view>

namespace ondrevan {

// The text without blanks at either end (blanks only: tabs and line ends stay).
inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace ondrevan
