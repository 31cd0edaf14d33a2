// What an administrator sees of the program: its events, /status, and the settings file.
#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/HealthStatus.h"
#include "app/SettingsFile.h"
#include "history/EventWatch.h"
#include "platform/AppError.h"
#include "product/SettingKeys.h"
#include "schedule/CatchUp.h"

namespace ondrevan {
namespace {

using testing::FakeSystem;
using testing::TextData;

// A history whose file cannot be written while `failing` is set.
struct FailingHistory : HistoryLog {
    void AppendLine(const std::string& message, const std::string& path) override {
        AppendMessage(message + ' ' + path);
    }
    void AppendMessage(const std::string& text) override {
        if (failing) throw AppError(70, "The history file C:\\T\\Ondrevan.txt cannot be written");
        lines.push_back(text);
    }
    bool failing = false;
    std::vector<std::string> lines;
};

TEST(Events, EachLineOfARunGivesItsEventAndAnUnwritableHistoryIsOneError) {
    using EventType::Error, EventType::Information, EventType::Warning;
    const std::string done =
        "Run finished: 3 files deleted (2.0 KB), 0 files could not be "
        "deleted, 0 folders sent to the Recycle Bin";
    const std::string bad =
        "Run finished: 1 file deleted (1 byte), 4 files could not be "
        "deleted, 0 folders sent to the Recycle Bin";
    struct Step {
        std::string line;
        bool historyFails;
        std::vector<EventRecord> events;
    };
    const std::vector<Step> steps = {
        {"Deleted content of folder  C:\\a", false, {}},
        {"Folder not found  C:\\nope", false, {}},
        {done, false, {{1000, Information, {done}}}},
        {"Missed run of 2026-03-29T02:30:00, run now",
         false,
         {{1003, Information, {"Missed run of 2026-03-29T02:30:00, run now"}}}},
        {"Refused  C:\\np.exe (not a folder)",
         false,
         {{1002, Warning, {"Refused  C:\\np.exe (not a folder)"}}}},
        {"Could not delete file  C:\\a\\1 (in use)", false, {}},
        {"Could not delete file  C:\\a\\2 (access denied)",
         true,
         {{1004, Error, {"The history file C:\\T\\Ondrevan.txt cannot be written"}}}},
        {"Stopped clearing folder  C:\\b (the folder changed during the run)", true, {}},
        {"Could not send folder to the Recycle Bin  C:\\c (in use)", true, {}},
        // The warning names the first three failures, and the run's closing line.
        {bad,
         false,
         {{1001,
           Warning,
           {bad,
            "Refused  C:\\np.exe (not a folder)\r\nCould not delete file  C:\\a\\1 (in use)"
            "\r\nCould not delete file  C:\\a\\2 (access denied)\r\n(and 2 more)"}}}},
        {done, false, {{1000, Information, {done}}}},
        // Written again, the history can fail again: a new error.
        {"Deleted folder  C:\\a",
         true,
         {{1004, Error, {"The history file C:\\T\\Ondrevan.txt cannot be written"}}}},
        // The closing line the history could not take still reaches the Event Log.
        {done, true, {{1000, Information, {done}}}},
    };
    FailingHistory file;
    testing::RecordingEventLog log;
    WatchedHistory history(file, log);
    for (const Step& step : steps) {
        log.events.clear();
        file.failing = step.historyFails;
        bool threw = false;
        try {
            history.AppendMessage(step.line);
        } catch (const AppError&) {
            threw = true;
        }
        EXPECT_EQ(threw, step.historyFails) << step.line;
        EXPECT_EQ(log.events, step.events) << step.line;
    }
}

TEST(Status, SaysTheScheduleAndExitsWithFailuresAndOverdue) {
    const std::int64_t now = *ParseIsoLocalTime("2026-03-30T12:00:00");  // a Monday
    struct Case {
        const char* what;
        StatusFacts facts;
        int exitCode;
        const char* says;
    };
    const auto daily = [](const char* last, const char* problems) {
        StatusFacts f;
        f.switchedOn = true;
        f.kind = StatusFacts::Kind::Daily;
        f.setSecond = 9 * 3600;
        f.lastRun = last;
        f.lastProblems = problems;
        f.lastSummary = "Run finished: ...";
        return f;
    };
    StatusFacts off = daily("2026-01-01T09:00:00", "2");
    off.switchedOn = false;
    StatusFacts weekly = daily("2026-03-20T09:00:00", "0");
    weekly.kind = StatusFacts::Kind::Weekly;
    weekly.weekday = 5;
    StatusFacts interval;
    interval.switchedOn = true;
    interval.intervalSeconds = 3600;
    interval.switchedOnAt = "2026-03-30T10:30:00";
    StatusFacts neverRan = interval;
    neverRan.switchedOnAt = "";
    StatusFacts unreadable = daily("yesterday", "0");
    const std::vector<Case> cases = {
        {"daily, ran this morning", daily("2026-03-30T09:00:00", "0"), 0,
         "Next run: 2026-03-31 09:00:00"},
        {"daily, with failures", daily("2026-03-30T09:00:00", "1"), 1, "had failures"},
        {"daily, two days and a bit ago", daily("2026-03-28T09:00:00", "0"), 4, "no scheduled run"},
        {"both", daily("2026-03-20T09:00:00", "3"), 5, "Last scheduled run: 2026-03-20 09:00:00"},
        {"off: nothing is due, an old failure still counts", off, 1, "Next run: none"},
        {"weekly, ten days ago", weekly, 0, "Next run: 2026-04-03 09:00:00"},
        {"interval, switched on 1.5 h ago, never ran", interval, 0, "Last scheduled run: none"},
        {"interval, nothing known", neverRan, 0, "one interval after Ondrevan starts"},
        {"a stamp that does not read is no failure", unreadable, 0, "Last scheduled run: unknown"},
    };
    for (const Case& c : cases) {
        const StatusReport report = HealthStatus(c.facts, now);
        EXPECT_EQ(report.exitCode, c.exitCode) << c.what << "\n" << report.text;
        EXPECT_NE(report.text.find(c.says), std::string::npos) << c.what << "\n" << report.text;
    }
    StatusFacts threeIntervals = interval;
    threeIntervals.switchedOnAt = "2026-03-30T08:59:59";
    EXPECT_EQ(HealthStatus(threeIntervals, now).exitCode, kStatusOverdue);
}

TEST(SettingsFile, RefusesTheWholeFileAndNamesTheLine) {
    testing::FakeLocale locale;
    const std::string head = "; comment\r\nOption1=True\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {head + "Optoin2=False\r\n", "Line 3: \"Optoin2\" is not a setting of Ondrevan"},
        {head + "Check1\r\n", "Line 3: \"Check1\" is not Name=value"},
        {"+C:\\x\r\n", "Line 1: a \"+\" line goes on a setting"},
        {head + "Option1=False\r\n", "Line 3: \"Option1\" is given twice"},
        {head + "Check1=yes\r\n", "Line 3: Check1: \"yes\" is not 1 or 0"},
        {head + "\r\nStartStopState=on\r\n", "Line 4: StartStopState: \"on\" is not On or Off"},
        {head + "Weekly=Montag\r\n", "Line 3: Weekly: \"Montag\" is not a weekday"},
        {head + "MinimumAgeDays=36501\r\n", "Line 3: MinimumAgeDays: \"36501\" is not a number"},
        {head + "HotKey=Ctrl+\r\n", "Line 3: HotKey: \"Ctrl+\" is not a hot key"},
        {head + "Text1=1\r\n+2\r\n", "Line 3: Text1: \"1\r\n2\" is no number"},
        {head + "LastScheduledRun=2026-02-30T10:00:00\r\n", "Line 3: LastScheduledRun"},
    };
    for (const auto& [text, refusal] : cases) {
        const SettingsFileReading reading = ReadSettingsFile(text, locale);
        EXPECT_EQ(reading.refusal.rfind(refusal, 0), 0u) << text << "\n" << reading.refusal;
        EXPECT_TRUE(reading.values.empty());
    }
}

// Through the command line: what is exported reads back the same, a refused file changes
// nothing, and the administrator's settings are neither exported nor overwritten.
TEST(SettingsFile, ExportThenImportGivesTheSameSettingsAndLeavesThePoliciesAlone) {
    FakeSystem from;
    const std::vector<std::pair<std::string, std::string>> stored = {
        {"Folders", "C:\\a|234SSDEPERATATORZZ|C:\\b c |234SSDEPERATATORZZ|"},
        {"ProtectedFolders", "C:\\keep\r\n\r\n\tC:\\tabbed"},
        {"FolderRules", "C:\\a\tMinimumAgeDays=3;KeepPatterns=*.keep"},
        {"KeepPatterns", "*.keep; ü=ß.txt"},
        {"Check1", "0"},
        {"Weekly Time", "9:00:00 AM"},
        {"HotKey", "Ctrl+Alt+K"},
    };
    for (const auto& [name, value] : stored) from.settings.Set(name, value);
    from.settings.Set("Leftover", "from another version");
    from.registry.SetPolicy(RegistryRoot::LocalMachine, "HotKey", TextData("Ctrl+Alt+F9"));
    std::string said;
    ASSERT_EQ(RunFromCommandLine(CommandMode::Export, from.services(), said, "C:\\s.txt"), 0)
        << said;
    const std::string file = from.fileSystem.ReadWholeFile("C:\\s.txt");
    EXPECT_NE(file.find("Folders=C:\\a\r\n+C:\\b c \r\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("Ctrl+Alt+K"), std::string::npos) << "exported a setting the policy sets";

    FakeSystem to;
    to.settings.Set("HotKey", "F9");
    to.registry.SetPolicy(RegistryRoot::CurrentUser, "HotKey", TextData("Ctrl+Alt+F9"));
    to.fileSystem.AppendToFile("C:\\s.txt", file + "Check1=x\r\n");
    EXPECT_EQ(RunFromCommandLine(CommandMode::Import, to.services(), said, "C:\\s.txt"), 1);
    EXPECT_EQ(to.settings.Size(), 1u) << "a refused file changed something";
    to.fileSystem.RemoveFile("C:\\s.txt");
    to.fileSystem.AppendToFile("C:\\s.txt", file + "HotKey=Ctrl+Shift+Q\r\n");
    said.clear();
    ASSERT_EQ(RunFromCommandLine(CommandMode::Import, to.services(), said, "C:\\s.txt"), 0) << said;
    for (const auto& [name, value] : stored)
        if (name != "HotKey") {
            EXPECT_EQ(to.settings.Get(name), value) << name;
        }
    EXPECT_EQ(to.settings.Get("HotKey"), "F9") << "overwrote what the policy sets";
    EXPECT_FALSE(to.settings.Get("Leftover"));
}

// Whatever /export writes of a setting at either end of its range, /import takes back as it
// was: the refusals of the file are the program's own limits, not narrower.
TEST(SettingsFile, EachSettingAtTheEndsOfItsRangeImportsBackAsExported) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> limits = {
        {"MinimumAgeDays", {"0", "36500", ""}},
        {"Text1", {"0", "596523"}},
        {"Text2", {"0", "59"}},
        {"Text3", {"0", "59"}},
        {"Check1", {"0", "1"}},
        {"Option1", {"True", "False"}},
        {"Option5", {"True", "False"}},
        {"StartStopState", {"On", "Off"}},
        {"RecycleFiles", {"On", "Off"}},
        {"Weekly", {"Sunday", "Saturday"}},
        {"Weekly Time", {"12:00:00 AM", "11:59:59 PM"}},
        {"HotKey", {"", "Ctrl+Alt+Shift+F12"}},
        {"LastScheduledRun", {"", "1601-01-01T00:00:00", "9999-12-31T23:59:59"}},
        {"LastScheduledRunProblems", {"0", "999999999"}},
    };
    for (const auto& [name, values] : limits) {
        for (const std::string& value : values) {
            SCOPED_TRACE(std::string(name) + "=" + value);
            FakeSystem from;
            from.settings.Set(name, value);
            std::string said;
            ASSERT_EQ(RunFromCommandLine(CommandMode::Export, from.services(), said, "C:\\s.txt"),
                      0)
                << said;
            FakeSystem to;
            to.fileSystem.AppendToFile("C:\\s.txt", from.fileSystem.ReadWholeFile("C:\\s.txt"));
            said.clear();
            EXPECT_EQ(RunFromCommandLine(CommandMode::Import, to.services(), said, "C:\\s.txt"), 0)
                << said;
            EXPECT_EQ(to.settings.Get(name), value);
        }
    }
}

}  // namespace
}  // namespace ondrevan
