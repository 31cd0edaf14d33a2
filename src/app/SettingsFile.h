#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ondrevan {

class Locale;

using NamedValues = std::vector<std::pair<std::string, std::string>>;

// The text of an exported settings file (UTF-8, CR LF): "Name=value" a line, in the order
// given; a value of several lines goes on in lines that begin with "+", and the folder list
// is written one folder a line. What a policy sets is named in a comment and not written;
// `unknown` values are written as comments too.
std::string SettingsFileText(const NamedValues& values, const std::vector<std::string>& byPolicy,
                             const NamedValues& unknown);

// Whether a stored name is the machine's own record of its runs rather than a setting: it is
// neither exported nor imported.
bool IsMachineRecord(const std::string& name);

// A settings file read back, or the line that is wrong and why: "Line 4: ...".
struct SettingsFileReading {
    NamedValues values;  // in the stored form, the folder list joined again
    std::string refusal;
    // Names of the machine's record that the file gave (an earlier version exported them):
    // left out.
    std::vector<std::string> leftOut;
};

// Reads a file written by SettingsFileText (or by hand), in UTF-8 or, with its byte-order
// mark, UTF-16 (what PowerShell writes). Empty lines and lines beginning with ";" are
// skipped; an unknown name, a name given twice, a line that is no setting or a value that
// does not read refuses the whole file.
SettingsFileReading ReadSettingsFile(std::string_view bytes, Locale& locale);

}  // namespace ondrevan
