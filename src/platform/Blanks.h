#pragma once

#include <string_view>

namespace ondrevan {

// The text without blanks at either end (blanks only: tabs and line ends stay).
inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The text without blanks or tabs at either end: for a path written by hand, where a tab
// can never belong to the path.
inline std::string_view TrimBlanksAndTabs(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace ondrevan
