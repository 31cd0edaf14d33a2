#pragma once

#include <string>
#include <string_view>

namespace ondrevan {

// The text forms in which settings are stored, and their readings. A reading that
// cannot convert its text throws AppError "Type mismatch".

// Boolean text: written "True" / "False"; read from those or from a number (0 is false).
std::string BooleanText(bool value);
bool ParseBooleanText(std::string_view text, std::string_view decimalSeparator);

// Check state: written "1" / "0"; read as a number, exactly 1 meaning checked.
std::string CheckStateText(bool checked);
bool ParseCheckState(std::string_view text, std::string_view decimalSeparator);

// Switch text: "On" / "Off", compared exactly.
inline constexpr const char* kSwitchOn = "On";
inline constexpr const char* kSwitchOff = "Off";
inline std::string SwitchText(bool on) {
    return on ? kSwitchOn : kSwitchOff;
}
inline bool IsSwitchOn(std::string_view text) {
    return text == kSwitchOn;
}

}  // namespace ondrevan
