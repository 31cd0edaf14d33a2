#include "app/AdminCommands.h"

#include <algorithm>
#include <iterator>

#include "app/HealthStatus.h"
#include "app/RunHistory.h"
#include "app/SettingsFile.h"
#include "history/History.h"
#include "history/RunRecorder.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "platform/SingleCopy.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/Policies.h"
#include "product/SettingKeys.h"
#include "product/SettingTable.h"
#include "schedule/CatchUp.h"
#include "schedule/Interval.h"

namespace ondrevan {

namespace {

bool IsKnown(const std::string& name) {
    return FindSetting(name) != nullptr;
}

bool ReadsTrue(const AppSettings& settings, const char* key, const char* fallback,
               const std::string& separator) {
    try {
        return ParseBooleanText(settings.Get(key, fallback), separator);
    } catch (const AppError&) {
        return false;
    }
}

}  // namespace

int ShowStatus(const Services& services, std::string& output) {
    const Policies policies = ReadPolicies(services.registry);
    const AppSettings settings(services.settings, &policies);
    const std::string separator = services.locale.DecimalSeparator();
    StatusFacts facts;
    facts.switchedOn = IsSwitchOn(settings.Get(keys::kStartStopState, kSwitchOff));
    // The schedule options as start-up restores them: weekly, then daily, then the interval.
    if (ReadsTrue(settings, keys::kOption5, "0", separator))
        facts.kind = StatusFacts::Kind::Weekly;
    else if (ReadsTrue(settings, keys::kOption4, "0", separator))
        facts.kind = StatusFacts::Kind::Daily;
    const std::string hours = settings.Get(keys::kText1, "1"),
                      minutes = settings.Get(keys::kText2, "0"),
                      seconds = settings.Get(keys::kText3, "0");
    facts.intervalSeconds = IntervalInForce({hours, minutes, seconds}, separator);
    if (auto time = services.locale.ParseTime(settings.Get(keys::kWeeklyTime, "")))
        facts.setSecond = time->seconds;
    const std::string day = settings.Get(keys::kWeekly, "Monday");
    for (unsigned i = 0; i < 7; ++i)
        if (day == kWeekdayNames[i]) facts.weekday = i;
    facts.lastRun = settings.Get(keys::kLastScheduledRun, "");
    facts.switchedOnAt = settings.Get(keys::kSwitchedOn, "");
    facts.lastSummary = settings.Get(keys::kLastScheduledRunSummary, "");
    facts.lastProblems = settings.Get(keys::kLastScheduledRunProblems, "");
    facts.historyPath = HistoryFilePath(services.environment, services.fileSystem);
    facts.recordPath = RunRecordPath(facts.historyPath);
    RunRecorder record(services.fileSystem);
    record.SetFilePath(facts.recordPath);
    const std::string month = ThisMonthWords(record.Rows(), services.clock.Now(), services.locale);
    facts.thisMonth = month.substr(month.find(": ") + 2);
    if (services.copies) facts.copyRunning = services.copies->CopyRunning();
    const StatusReport report = HealthStatus(facts, services.clock.UtcSeconds(), services.clock);
    output += report.text;
    return report.exitCode;
}

int ExportSettings(const Services& services, const std::string& file, std::string& output) {
    const Policies policies = ReadPolicies(services.registry);
    const AppSettings settings(services.settings, &policies);
    NamedValues values, unknown;
    std::vector<std::string> byPolicy;
    for (const std::string& name : services.settings.Names(keys::kApplication, keys::kSection)) {
        const auto value = services.settings.Read(keys::kApplication, keys::kSection, name);
        if (!value || IsMachineRecord(name)) continue;
        if (settings.SetByPolicy(name))
            byPolicy.push_back(name);
        else
            (IsKnown(name) ? values : unknown).emplace_back(name, *value);
    }
    if (IsFolder(services.fileSystem, file).value_or(false)) {
        output += "The settings could not be written to " + file +
                  ": it is a folder. Name a file in it, such as " + file +
                  (file.empty() || file.back() == '\\' ? "" : "\\") + "Ondrevan settings.txt\r\n";
        return 1;
    }
    try {
        if (FileExists(services.fileSystem, file) && !services.fileSystem.RemoveFile(file))
            throw AppError(errors::kPermissionDenied, "Permission denied");
        services.fileSystem.AppendToFile(file, SettingsFileText(values, byPolicy, unknown));
    } catch (const AppError& error) {
        output += "The settings could not be written to " + file + ": " + error.what() + "\r\n";
        return 1;
    }
    output += "Exported " + CountedText(values.size(), "setting", "settings") + " to " + file;
    if (!byPolicy.empty())
        output += " (" + CountedText(byPolicy.size(), "setting", "settings") +
                  " set by your administrator left out)";
    output += "\r\n";
    return 0;
}

int ImportSettings(const Services& services, const std::string& file, std::string& output) {
    std::string text;
    try {
        text = services.fileSystem.ReadWholeFile(file);
    } catch (const AppError& error) {
        output += "The settings file " + file + " could not be read: " + error.what() +
                  ". Nothing was changed.\r\n";
        return 1;
    }
    const SettingsFileReading reading = ReadSettingsFile(text, services.locale);
    if (!reading.refusal.empty()) {
        output += file + ", " + reading.refusal + ". Nothing was changed.\r\n";
        return 1;
    }
    std::string leftOut;
    if (!reading.leftOut.empty()) {
        leftOut = "; left out, this machine's own record of its runs:";
        for (const std::string& name : reading.leftOut) leftOut += " " + name;
    }
    if (reading.values.empty()) {
        output += file + " holds no settings: nothing was imported" + leftOut + ".\r\n";
        return 1;
    }
    const Policies policies = ReadPolicies(services.registry);
    std::size_t stored = 0;
    std::vector<std::string> byPolicy;
    try {
        for (const auto& [name, value] : reading.values) {
            if (policies.Sets(name)) {
                byPolicy.push_back(name);
                continue;
            }
            SaveSetting(services.settings, keys::kApplication, keys::kSection, name, value);
            ++stored;
        }
    } catch (const AppError& error) {
        output += "The settings could not be stored after " +
                  CountedText(stored, "setting", "settings") + ": " + error.what() + "\r\n";
        return 1;
    }
    output += "Imported " + CountedText(stored, "setting", "settings") + " from " + file;
    if (!byPolicy.empty()) {
        output += "; set by your administrator, left as they are:";
        for (const std::string& name : byPolicy) output += " " + name;
    }
    output += leftOut + "\r\n";
    return 0;
}

void NoteClosedCopy(SettingsStore& settings, const LocalDateTime& now, bool hidden) {
    SaveSetting(settings, keys::kApplication, keys::kSection, keys::kClosedByExit,
                IsoLocalTime(now) + (hidden ? " tray" : " window"));
}

Reopening TakeClosedCopyNote(SettingsStore& settings, const LocalDateTime& now) {
    const std::string note =
        GetSetting(settings, keys::kApplication, keys::kSection, keys::kClosedByExit, "");
    if (note.empty()) return Reopening::No;
    SaveSetting(settings, keys::kApplication, keys::kSection, keys::kClosedByExit, "");
    const std::size_t blank = note.find(' ');
    const auto when = ParseIsoLocalTime(std::string_view(note).substr(0, blank));
    const std::int64_t age = when ? TimelineSeconds(now) - *when : -1;
    if (blank == std::string::npos || age < 0 || age > 300) return Reopening::No;
    const std::string how = note.substr(blank + 1);
    return how == "tray" ? Reopening::Tray : how == "window" ? Reopening::Window : Reopening::No;
}

}  // namespace ondrevan
