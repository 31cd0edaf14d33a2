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

// UTF-16 bytes after their byte-order mark as UTF-8; a half pair becomes U+FFFD.
std::string Utf16AsUtf8(std::string_view bytes, bool bigEndian) {
    const auto unit = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            text += static_cast<char>(code);
        } else if (code < 0x800) {
            text += static_cast<char>(0xC0 | code >> 6);
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text += static_cast<char>(0xE0 | code >> 12);
            text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | code >> 18);
            text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

// The file's text as UTF-8, without a byte-order mark.
std::string TextOfFile(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16AsUtf8(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return Utf16AsUtf8(bytes.substr(2), true);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // Notepad's mark
    return std::string(bytes);
}

}  // namespace

bool IsMachineRecord(const std::string& name) {
    const SettingRow* row = FindSetting(name);
    return row && row->machineState;
}

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

SettingsFileReading ReadSettingsFile(std::string_view bytes, Locale& locale) {
    SettingsFileReading reading;
    // Each setting with the number of its first line, its lines gathered first.
    struct Pending {
        std::size_t line;
        std::string name;
        std::vector<std::string> lines;
    };
    std::vector<Pending> pending;
    std::set<std::string> seen;
    std::size_t number = 0;
    for (const std::string& line : LinesOf(TextOfFile(bytes))) {
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
        if (IsMachineRecord(setting.name)) {
            reading.leftOut.push_back(setting.name);
            continue;
        }
        const std::string value =
            setting.name == keys::kFolders
                ? JoinFolderList(setting.lines.size() == 1 && setting.lines[0].empty()
                                     ? std::vector<std::string>{}
                                     : setting.lines)
                : JoinLines(setting.lines);
        if (const auto why = SettingValueRefusal(setting.name, value, locale)) {
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
