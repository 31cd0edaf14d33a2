#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrevan {

// Reads a number the way the platform's parser does for a numeric entry: blanks around it,
// an optional sign, digits with the locale's decimal separator, an optional exponent.
// An empty text, or anything else, is not a number.
std::optional<double> ParseNumber(std::string_view text, std::string_view decimalSeparator);

inline bool IsNumeric(std::string_view text, std::string_view decimalSeparator) {
    return ParseNumber(text, decimalSeparator).has_value();
}

}  // namespace ondrevan
