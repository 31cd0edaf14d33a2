#include "app/AdminCommands.h"

#include <algorithm>
#include <iterator>

#include "app/HealthStatus.h"
#include "app/SettingsFile.h"
#include "history/History.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "platform/Services.h"
#include "platform/SingleCopy.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/Policies.h"
#include "product/SettingKeys.h"

namespace ondrevan {

namespace {

bool IsKnown(const std::string& name) {
    return std::any_of(std::begin(keys::kAllSettings), std::end(keys::kAllSettings),
                       [&](const char* known) { return name == known; });
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
    const auto h = ParseNumber(settings.Get(keys::kText1, "1"), separator);
    const auto m = ParseNumber(settings.Get(keys::kText2, "0"), separator);
    const auto s = ParseNumber(settings.Get(keys::kText3, "0"), separator);
    if (h && m && s && *h >= 0 && *m >= 0 && *s >= 0 && *h * 3600 + *m * 60 + *s < 1e12)
        facts.intervalSeconds = static_cast<std::int64_t>(*h * 3600 + *m * 60 + *s);
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
    if (services.copies) facts.copyRunning = services.copies->CopyRunning();
    const StatusReport report = HealthStatus(facts, TimelineSeconds(services.clock.Now()));
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
        if (!value) continue;
        if (settings.SetByPolicy(name))
            byPolicy.push_back(name);
        else
            (IsKnown(name) ? values : unknown).emplace_back(name, *value);
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
    output += "\r\n";
    return 0;
}

}  // namespace ondrevan
