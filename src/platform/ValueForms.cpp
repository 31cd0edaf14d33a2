#include "platform/ValueForms.h"

#include <algorithm>
#include <cctype>

#include "platform/AppError.h"
#include "platform/Blanks.h"
#include "platform/Numeric.h"

namespace ondrevan {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string BooleanText(bool value) {
    return value ? "True" : "False";
}

bool ParseBooleanText(std::string_view text, std::string_view decimalSeparator) {
    std::string_view word = TrimBlanks(text);
    if (EqualsIgnoringCase(word, "True")) return true;
    if (EqualsIgnoringCase(word, "False")) return false;
    if (auto number = ParseNumber(text, decimalSeparator)) return *number != 0.0;
    throw errors::TypeMismatch();
}

std::string CheckStateText(bool checked) {
    return checked ? "1" : "0";
}

bool ParseCheckState(std::string_view text, std::string_view decimalSeparator) {
    if (auto number = ParseNumber(text, decimalSeparator)) return *number == 1.0;
    throw errors::TypeMismatch();
}

}  // namespace ondrevan
