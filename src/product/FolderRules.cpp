#include "product/FolderRules.h"

#include <cstdio>

#include "platform/Blanks.h"
#include "platform/ValueForms.h"
#include "product/RunRules.h"

namespace ondrevan {
namespace {

// The caps stop well short of what a number can hold, so that sizes in bytes never overflow.
constexpr std::uint64_t kLargestCap = 1'000'000'000'000;
constexpr double kLargestFreeGigabytes = 1'000'000'000;
constexpr std::size_t kMostDecimals = 6;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered;
    for (char c : text) lowered += Lower(c);
    return lowered;
}

std::optional<std::uint64_t> ParseWhole(std::string_view text, std::uint64_t least,
                                        std::uint64_t most) {
    if (text.empty() || text.size() > 13) return std::nullopt;
    std::uint64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (number < least || number > most) return std::nullopt;
    return number;
}

// "20", "42.1", "0.5": digits with a decimal point, never the locale's comma, so that a value
// reads the same on every machine.
std::optional<double> ParseGigabytes(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || whole.size() > 10 || decimals.size() > kMostDecimals ||
        (point != std::string_view::npos && decimals.empty()))
        return std::nullopt;
    double number = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    double scale = 1;
    for (char c : decimals) {
        if (c < '0' || c > '9') return std::nullopt;
        scale /= 10;
        number += (c - '0') * scale;
    }
    if (number <= 0 || number > kLargestFreeGigabytes) return std::nullopt;
    return number;
}

std::string GigabytesText(double gigabytes) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(kMostDecimals), gigabytes);
    std::string written = text;
    while (written.back() == '0') written.pop_back();
    if (written.back() == '.') written.pop_back();
    return written;
}

std::optional<bool> ParseSwitch(std::string_view text) {
    const std::string word = Lowered(text);
    if (word == "on") return true;
    if (word == "off") return false;
    return std::nullopt;
}

const char* SwitchWord(bool on) {
    return on ? "on" : "off";
}

const char* AgeByWord(AgeBy by) {
    switch (by) {
        case AgeBy::Created:
            return "created";
        case AgeBy::Opened:
            return "opened";
        case AgeBy::Written:
            break;
    }
    return "written";
}

// Reads one known rule into `rules`; false when its value does not read (or the name is not
// known, which `known` then says).
bool ReadRule(const std::string& name, std::string_view value, FolderRules& rules, bool& known) {
    known = true;
    const std::string word = Lowered(value);
    if (name == "mode") {
        if (rules.mode != FolderMode::AsMainWindow) return false;
        if (word == "folder") rules.mode = FolderMode::Folder;
        if (word == "contents") rules.mode = FolderMode::Contents;
        return rules.mode != FolderMode::AsMainWindow;
    }
    if (name == "age") {
        if (rules.ageDays) return false;
        const auto days = ParseWhole(value, 0, kMaximumAgeDays);
        if (days) rules.ageDays = static_cast<std::int32_t>(*days);
        return days.has_value();
    }
    if (name == "ageby") {
        if (rules.ageBy) return false;
        if (word == "written") rules.ageBy = AgeBy::Written;
        if (word == "created") rules.ageBy = AgeBy::Created;
        if (word == "opened") rules.ageBy = AgeBy::Opened;
        return rules.ageBy.has_value();
    }
    if (name == "keep") {
        if (!rules.keepPatterns.empty()) return false;
        std::vector<std::string> patterns;
        for (const std::string& piece : SplitAt(value, '|')) {
            const std::string_view pattern = TrimBlanks(piece);
            if (pattern.empty()) continue;
            // A pattern that could match no name would keep nothing it was meant to keep.
            if (KeepPatternsFault(pattern)) return false;
            patterns.emplace_back(pattern);
        }
        rules.keepPatterns = std::move(patterns);
        return true;
    }
    std::optional<bool>* onOff = name == "recycle" ? &rules.recycleFiles
                                 : name == "empty" ? &rules.removeEmptySubfolders
                                                   : nullptr;
    if (onOff) {
        if (onOff->has_value()) return false;
        *onOff = ParseSwitch(value);
        return onOff->has_value();
    }
    // A cap of nothing would delete every file whatever its age: that is "age=0", and a 0
    // written by mistake must not do it.
    std::optional<std::uint64_t>* cap = name == "maxmb"      ? &rules.maxMegabytes
                                        : name == "maxfiles" ? &rules.maxFiles
                                                             : nullptr;
    if (cap) {
        if (cap->has_value()) return false;
        *cap = ParseWhole(value, 1, kLargestCap);
        return cap->has_value();
    }
    if (name == "freebelowgb") {
        if (rules.freeBelowGigabytes) return false;
        rules.freeBelowGigabytes = ParseGigabytes(value);
        return rules.freeBelowGigabytes.has_value();
    }
    known = false;
    return false;
}

std::string RulesText(const std::vector<StoredRule>& rules, std::string_view between) {
    std::string text;
    for (const StoredRule& rule : rules) {
        if (!text.empty()) text += between;
        // A piece written with no "=" has no name, and is written back as it was.
        text += rule.name.empty() ? rule.value : rule.name + "=" + rule.value;
    }
    return text;
}

std::string DaysText(std::int32_t days) {
    return CountedText(static_cast<std::uint64_t>(days), "day", "days");
}

}  // namespace

bool FolderRules::HasOwnRules() const {
    return mode != FolderMode::AsMainWindow || ageDays || ageBy || !keepPatterns.empty() ||
           recycleFiles || removeEmptySubfolders || maxMegabytes || maxFiles ||
           freeBelowGigabytes || !unreadable.empty();
}

std::string FolderRules::UnreadableText() const {
    return RulesText(unreadable, "; ");
}

FolderRules ParseRulesOfFolder(std::string_view text) {
    FolderRules rules;
    for (const std::string& piece : SplitAt(text, ';')) {
        const std::string_view pair = TrimBlanksAndTabs(piece);
        if (pair.empty()) continue;
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) {
            // No value at all: nothing tells whether it was meant to keep files.
            rules.unreadable.push_back({"", std::string(pair)});
            continue;
        }
        const std::string_view name = TrimBlanksAndTabs(pair.substr(0, equals));
        const std::string_view value = TrimBlanksAndTabs(pair.substr(equals + 1));
        bool known = false;
        // A rule given twice does not read either: which of the two was meant is not known.
        if (ReadRule(Lowered(name), value, rules, known)) continue;
        (known ? rules.unreadable : rules.unknown)
            .push_back({std::string(name), std::string(value)});
    }
    return rules;
}

std::string RulesOfFolderText(const FolderRules& rules) {
    std::vector<StoredRule> pairs;
    if (rules.mode != FolderMode::AsMainWindow)
        pairs.push_back({"mode", rules.mode == FolderMode::Folder ? "folder" : "contents"});
    if (rules.ageDays) pairs.push_back({"age", std::to_string(*rules.ageDays)});
    if (rules.ageBy) pairs.push_back({"ageby", AgeByWord(*rules.ageBy)});
    if (!rules.keepPatterns.empty()) {
        std::string patterns;
        for (const std::string& pattern : rules.keepPatterns)
            patterns += (patterns.empty() ? "" : "|") + pattern;
        pairs.push_back({"keep", patterns});
    }
    if (rules.recycleFiles) pairs.push_back({"recycle", SwitchWord(*rules.recycleFiles)});
    if (rules.removeEmptySubfolders)
        pairs.push_back({"empty", SwitchWord(*rules.removeEmptySubfolders)});
    if (rules.maxMegabytes) pairs.push_back({"maxmb", std::to_string(*rules.maxMegabytes)});
    if (rules.maxFiles) pairs.push_back({"maxfiles", std::to_string(*rules.maxFiles)});
    if (rules.freeBelowGigabytes)
        pairs.push_back({"freebelowgb", GigabytesText(*rules.freeBelowGigabytes)});
    pairs.insert(pairs.end(), rules.unreadable.begin(), rules.unreadable.end());
    pairs.insert(pairs.end(), rules.unknown.begin(), rules.unknown.end());
    return RulesText(pairs, ";");
}

std::string FolderRulesSummary(const FolderRules& rules) {
    std::vector<std::string> parts;
    if (!rules.unreadable.empty())
        parts.push_back("keeps every file: " + rules.UnreadableText() + " does not read");
    if (rules.mode == FolderMode::Folder) parts.push_back("folder and contents");
    if (rules.mode == FolderMode::Contents) parts.push_back("contents only");
    const char* by = !rules.ageBy                     ? ""
                     : *rules.ageBy == AgeBy::Created ? " by creation"
                     : *rules.ageBy == AgeBy::Opened  ? " by last opening"
                                                      : " by last write";
    if (rules.ageDays && *rules.ageDays == 0)
        parts.push_back("any age");
    else if (rules.ageDays)
        parts.push_back("older than " + DaysText(*rules.ageDays) + by);
    else if (rules.ageBy)
        parts.push_back(std::string("age") + by);
    if (!rules.keepPatterns.empty()) {
        std::string keep = "keep ";
        for (std::size_t i = 0; i < rules.keepPatterns.size(); ++i)
            keep += (i ? ", " : "") + rules.keepPatterns[i];
        parts.push_back(keep);
    }
    if (rules.recycleFiles)
        parts.push_back(*rules.recycleFiles ? "to the Recycle Bin" : "not to the Recycle Bin");
    if (rules.removeEmptySubfolders)
        parts.push_back(*rules.removeEmptySubfolders ? "empty sub-folders go"
                                                     : "empty sub-folders stay");
    if (rules.maxMegabytes) {
        const std::uint64_t mb = *rules.maxMegabytes;
        parts.push_back("under " + (mb % 1024 == 0 ? GroupedNumber(mb / 1024) + " GB"
                                                   : GroupedNumber(mb) + " MB"));
    }
    if (rules.maxFiles) parts.push_back("at most " + CountedText(*rules.maxFiles, "file", "files"));
    if (rules.freeBelowGigabytes)
        parts.push_back("only below " + GigabytesText(*rules.freeBelowGigabytes) + " GB free");
    std::string summary;
    for (const std::string& part : parts) summary += (summary.empty() ? "" : "; ") + part;
    return summary;
}

}  // namespace ondrevan
