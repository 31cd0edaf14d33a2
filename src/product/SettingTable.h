#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrevan {

class Locale;

// How a stored setting reads.
enum class SettingKind {
    Boolean,      // "True" or "False" (an option button)
    CheckState,   // "1" or "0" (a check box)
    Switch,       // "On" or "Off"
    Number,       // a number as the user's locale writes it (an interval field)
    Weekday,      // "Sunday" to "Saturday"
    TimeOfDay,    // a time of day as the user's locale writes it
    Age,          // a whole number of days from 0 to 36500; empty is 0
    Patterns,     // keep patterns separated by ";"
    Folders,      // full folder paths, one a line
    HotKey,       // "Ctrl+Alt+K", "F9"; empty is none
    Stamp,        // "YYYY-MM-DDTHH:MM:SS"; empty is none
    Count,        // a whole number
    FolderList,   // the folder list in its stored form
    FolderRules,  // each folder's own rules, one line a folder
    Text,         // any text
};

// One setting the program keeps: its name in the store, how its value reads, and whether
// it records what this machine did rather than what the user chose.
struct SettingRow {
    const char* name;
    SettingKind kind;
    bool machineState = false;
};

// Every setting, once. The options and rules windows, /import, /export, the policies and
// the run all go by this table: what one refuses, every one refuses.
const SettingRow* FindSetting(std::string_view name);

// Why a value cannot be stored under a setting, or nothing when it reads as the program
// reads that setting. An unknown name is refused too.
std::optional<std::string> SettingValueRefusal(std::string_view name, const std::string& value,
                                               Locale& locale);

}  // namespace ondrevan
