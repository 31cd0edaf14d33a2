#include "app/SettingsFile.h"

#include <algorithm>
#include <set>

#include "platform/AppError.h"
#include "platform/DateTime.h"
#include "platform/HotKey.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"
#include "product/SettingTable.h"
#include "schedule/CatchUp.h"

namespace ondrevan {

namespace {

// The lines of a value: CR LF, a lone CR or LF each end one.
std::vector<std::string> LinesOf(const std::string& value) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') {
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += value[i];
        }
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    return text;
}

}  // namespace

std::string SettingsFileText(const NamedValues& values, const std::vector<std::string>& byPolicy,
                             const NamedValues& unknown) {
    std::string text =
        "; Ondrevan settings. One setting a line: Name=value, the value exactly as stored.\r\n"
        "; A value of several lines goes on in the lines after it that begin with \"+\"; the\r\n"
        "; folder list has one folder a line. Lines that begin with \";\" are ignored.\r\n"
        "; Read it back with: Ondrevan.exe /import FILE\r\n";
    for (const auto& [name, value] : values) {
        const std::vector<std::string> lines =
            name == keys::kFolders ? SplitFolderList(value) : LinesOf(value);
        text += name + "=" + (lines.empty() ? std::string() : lines[0]) + "\r\n";
        for (std::size_t i = 1; i < lines.size(); ++i) text += "+" + lines[i] + "\r\n";
    }
    for (const std::string& name : byPolicy)
        text += "; Set by your administrator, not exported: " + name + "\r\n";
    for (const auto& [name, value] : unknown)
        text += "; Not a setting of this version, not exported: " + name + "=" +
                JoinLines(LinesOf(value)).substr(0, 200) + "\r\n";
    return text;
}

SettingsFileReading ReadSettingsFile(std::string_view text, Locale& locale) {
    SettingsFileReading reading;
    // Each setting with the number of its first line, its lines gathered first.
    struct Pending {
        std::size_t line;
        std::string name;
        std::vector<std::string> lines;
    };
    std::vector<Pending> pending;
    std::set<std::string> seen;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // Notepad's mark
    std::size_t number = 0;
    for (const std::string& line : LinesOf(std::string(text))) {
        ++number;
        const auto refuse = [&](const std::string& why) {
            reading.values.clear();
            reading.refusal = "Line " + std::to_string(number) + ": " + why;
            return reading;
        };
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '+') {
            if (pending.empty())
                return refuse("a \"+\" line goes on a setting, and none came before");
            pending.back().lines.push_back(line.substr(1));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) return refuse("\"" + line + "\" is not Name=value");
        std::string name = line.substr(0, equals);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.erase(0, 1);
        if (!FindSetting(name)) return refuse("\"" + name + "\" is not a setting of Ondrevan");
        if (!seen.insert(name).second) return refuse("\"" + name + "\" is given twice");
        pending.push_back({number, name, {line.substr(equals + 1)}});
    }
    for (const Pending& setting : pending) {
        const std::string value =
            setting.name == keys::kFolders
                ? JoinFolderList(setting.lines.size() == 1 && setting.lines[0].empty()
                                     ? std::vector<std::string>{}
                                     : setting.lines)
                : JoinLines(setting.lines);
        std::optional<std::string> why = SettingValueRefusal(setting.name, value, locale);
        if (!why && FindSetting(setting.name)->kind == SettingKind::Stamp && !value.empty() &&
            !ParseIsoLocalTime(value))
            why = "\"" + value + "\" is not a time written as YYYY-MM-DDTHH:MM:SS";
        if (why) {
            reading.values.clear();
            reading.refusal =
                "Line " + std::to_string(setting.line) + ": " + setting.name + ": " + *why;
            return reading;
        }
        reading.values.emplace_back(setting.name, value);
    }
    return reading;
}

}  // namespace ondrevan
