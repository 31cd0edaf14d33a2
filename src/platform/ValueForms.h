#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Each entry of the stored list is followed by this; "|" cannot occur in a path.
inline constexpr std::string_view kFolderSeparator = "|234SSDEPERATATORZZ|";

// The stored form of the list: every entry followed by the separator.
std::string JoinFolderList(const std::vector<std::string>& entries);
// Splits at every separator; the text after the final separator is an entry too unless
// it is empty, so a value written by hand without the final separator keeps its tail.
std::vector<std::string> SplitFolderList(std::string_view value);
// Every piece between separators, the last one included ("a;;b" gives "a", "", "b").
std::vector<std::string> SplitAt(std::string_view text, char separator);

// Numbers as the history and the reports write them, the same in every locale.
// "1,204"; "1 file" / "2 files"; "512 bytes", "86.2 MB".
std::string GroupedNumber(std::uint64_t number);
std::string CountedText(std::uint64_t count, const char* one, const char* many);
std::string SizeText(std::uint64_t bytes);

}  // namespace ondrevan
