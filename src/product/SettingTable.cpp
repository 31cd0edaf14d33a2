#include "product/SettingTable.h"

#include <algorithm>
#include <iterator>

#include "platform/AppError.h"
#include "platform/DateTime.h"
#include "platform/HotKey.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "platform/ValueForms.h"
#include "product/FolderRules.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {

namespace {

using namespace keys;

constexpr SettingRow kSettingRows[] = {
    {kOption1, SettingKind::Boolean},
    {kOption2, SettingKind::Boolean},
    {kOption3, SettingKind::Boolean},
    {kOption4, SettingKind::Boolean},
    {kOption5, SettingKind::Boolean},
    {kCheck1, SettingKind::CheckState},
    {kWeeklyTime, SettingKind::TimeOfDay},
    {kWeekly, SettingKind::Weekday},
    {kText1, SettingKind::Number},
    {kText2, SettingKind::Number},
    {kText3, SettingKind::Number},
    {kStartStopState, SettingKind::Switch},
    {kFolders, SettingKind::FolderList},
    {kWindowsStartup, SettingKind::Switch},
    {kMinimized, SettingKind::Switch},
    {kMinimumAgeDays, SettingKind::Age},
    {kKeepPatterns, SettingKind::Patterns},
    {kProtectedFolders, SettingKind::Folders},
    {kRecycleFiles, SettingKind::Switch},
    {kRemoveEmptySubfolders, SettingKind::Switch},
    {kHotKey, SettingKind::HotKey},
    {kHotKeyPassThrough, SettingKind::Switch},
    {kCatchUpMissedRuns, SettingKind::Switch},
    {kNotifyAfterRun, SettingKind::Switch},
    {kLastScheduledRun, SettingKind::Stamp, true},
    {kSwitchedOn, SettingKind::Stamp, true},
    {kLastScheduledRunSummary, SettingKind::Text, true},
    {kLastScheduledRunProblems, SettingKind::Count, true},
    {kFolderRules, SettingKind::FolderRules},
    {kClosedByExit, SettingKind::Text, true},
};

bool IsWholeNumber(const std::string& text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Quoted(const std::string& value) {
    return "\"" + value + "\"";
}

}  // namespace

const SettingRow* FindSetting(std::string_view name) {
    const auto row = std::find_if(std::begin(kSettingRows), std::end(kSettingRows),
                                  [name](const SettingRow& r) { return name == r.name; });
    return row == std::end(kSettingRows) ? nullptr : row;
}

std::optional<std::string> SettingValueRefusal(std::string_view name, const std::string& value,
                                               Locale& locale) {
    const SettingRow* row = FindSetting(name);
    if (!row) return Quoted(std::string(name)) + " is not a setting of Ondrevan";
    const std::string separator = locale.DecimalSeparator();
    const auto reads = [&](auto parse) {
        try {
            parse(value, separator);
            return true;
        } catch (const AppError&) {
            return false;
        }
    };
    switch (row->kind) {
        case SettingKind::Boolean:
            if (!reads(ParseBooleanText)) return Quoted(value) + " is not True or False";
            break;
        case SettingKind::CheckState:
            if (!reads(ParseCheckState)) return Quoted(value) + " is not 1 or 0";
            break;
        case SettingKind::Switch:
            if (value != kSwitchOn && value != kSwitchOff)
                return Quoted(value) + " is not On or Off";
            break;
        case SettingKind::Number:
            if (!ParseNumber(value, separator)) return Quoted(value) + " is no number";
            break;
        case SettingKind::Weekday:
            if (std::none_of(std::begin(kWeekdayNames), std::end(kWeekdayNames),
                             [&](const char* day) { return value == day; }))
                return Quoted(value) + " is not a weekday (Sunday to Saturday)";
            break;
        case SettingKind::TimeOfDay:
            if (!locale.ParseTime(value)) return Quoted(value) + " is not a time of day";
            break;
        case SettingKind::Age:
            if (!value.empty() && MinimumAgeFault(value))
                return Quoted(value) + " is not a number of days from 0 to 36500";
            break;
        case SettingKind::Patterns:
            if (auto fault = KeepPatternsFault(value)) return Quoted(value) + ": " + *fault;
            break;
        case SettingKind::Folders:
            if (auto fault = ProtectedFoldersFault(value)) return *fault;
            break;
        case SettingKind::HotKey:
            if (!value.empty() && !ParseHotKey(value)) return Quoted(value) + " is not a hot key";
            break;
        case SettingKind::Count:
            if (!IsWholeNumber(value)) return Quoted(value) + " is no count";
            break;
        case SettingKind::FolderRules: {
            const FolderRulesList list = ParseFolderRules(value);
            for (const FolderRulesLine& line : list.lines)
                if (!line.rules.unreadable.empty())
                    return "the rules of " + line.folder + " do not read (" +
                           line.rules.UnreadableText() + ")";
            if (!list.strayLines.empty())
                return Quoted(list.strayLines.front()) + " names no folder (a tab goes between " +
                       "the folder and its rules)";
            break;
        }
        // The machine's own record is never imported: its stamps are the schedule's to read.
        case SettingKind::Stamp:
        case SettingKind::FolderList:
        case SettingKind::Text:
            break;
    }
    return std::nullopt;
}

}  // namespace ondrevan
