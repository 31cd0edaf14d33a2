// What an administrator sees of the program: its events, /status, and the settings file.
#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/AdminCommands.h"
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

// What the program records of its own runs on a machine: never carried to another.
constexpr const char* kMachineRecord[] = {keys::kLastScheduledRun, keys::kSwitchedOn,
                                          keys::kLastScheduledRunSummary,
                                          keys::kLastScheduledRunProblems, keys::kClosedByExit};
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
        // The run writes what it could not do as failures: "message  path".
        const bool failure = step.line.rfind("Could not ", 0) == 0 ||
                             step.line.rfind("Stopped ", 0) == 0 ||
                             step.line.rfind("Refused ", 0) == 0;
        const std::size_t gap = step.line.find("  ");
        try {
            if (failure)
                history.AppendFailure(step.line.substr(0, gap + 1), step.line.substr(gap + 2));
            else
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
    StatusFacts longOverdue = interval;
    longOverdue.switchedOnAt = "2026-03-01T10:30:00";
    const std::vector<Case> cases = {
        {"daily, ran this morning", daily("2026-03-30T09:00:00", "0"), 0,
         "Next run: 2026-03-31 09:00:00"},
        {"daily, with failures", daily("2026-03-30T09:00:00", "1"), 1, "had failures"},
        {"daily, two days and a bit ago", daily("2026-03-28T09:00:00", "0"), 4, "no scheduled run"},
        {"both", daily("2026-03-20T09:00:00", "3"), 5, "Last scheduled run: 2026-03-20 09:00:00"},
        {"off: nothing is due, an old failure still counts", off, 1, "Next run: none"},
        {"weekly, ten days ago", weekly, 0, "Next run: 2026-04-03 09:00:00"},
        {"interval, switched on 1.5 h ago, never ran", interval, 0, "Last scheduled run: none"},
        {"interval, nothing known: cannot tell", neverRan, 8, "Next run: unknown"},
        {"a stamp that does not read is no failure, but cannot tell", unreadable, 8,
         "Last scheduled run: unknown"},
        {"a next run is never shown in the past", longOverdue, 4,
         "Next run: overdue: as soon as Ondrevan is running"},
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

// /status as a monitoring script runs it: a stamp that does not read, one in the future, or
// nothing at all while the switch is on is no healthy machine, and says why.
TEST(Status, WhenTheStampsCannotTellSaysSoAndExitsEight) {
    struct Case {
        const char* what;
        const char* lastRun;
        const char* switchedOn;
        bool on;
        int exitCode;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"garbage", "garbage", "2026-03-30T08:00:00", true, 8, "(\"garbage\") does not read"},
        {"a day that is not", "2026-02-30T00:00:00", "2026-03-30T08:00:00", true, 8,
         "does not read"},
        {"the form /status prints", "2026-03-30 09:00:00", "", true, 8, "does not read"},
        {"a last run in the future", "2027-01-01T00:00:00", "", true, 8,
         "(2027-01-01 00:00:00) lies in the future"},
        {"switched on in the future", "", "2026-04-30T08:00:00", true, 8, "lies in the future"},
        {"on for a year with no stamp", "", "", true, 8,
         "neither when it was switched on nor when it last ran is known"},
        {"off with a last run that does not read", "garbage", "", false, 8, "does not read"},
        {"off, nothing known: nothing is due", "", "", false, 0, "Automatic deletion: off"},
        {"a run half an hour ago", "2026-03-30T11:30:00", "2026-03-01T08:00:00", true, 0,
         "Next run: 2026-03-30 12:30:00"},
        // As the running program reads it: within a period ahead, a run that happened before
        // the clock was put back.
        {"a run stamped an hour ahead", "2026-03-30T13:00:00", "2026-03-01T08:00:00", true, 0,
         "Last scheduled run: 2026-03-30 13:00:00 (ahead of the clock"},
        {"a run stamped two days ahead", "2026-04-01T12:00:00", "", true, 8, "lies in the future"},
    };
    for (const Case& c : cases) {
        FakeSystem sys;
        sys.clock.Set(2026, 3, 30, 12, 0, 0);
        sys.settings.Set(keys::kStartStopState, c.on ? "On" : "Off");
        if (*c.lastRun) sys.settings.Set(keys::kLastScheduledRun, c.lastRun);
        if (*c.switchedOn) sys.settings.Set(keys::kSwitchedOn, c.switchedOn);
        sys.settings.Set(keys::kLastScheduledRunProblems, "0");
        std::string output;
        EXPECT_EQ(RunFromCommandLine(CommandMode::Status, sys.services(), output), c.exitCode)
            << c.what << "\n"
            << output;
        EXPECT_NE(output.find(c.says), std::string::npos) << c.what << "\n" << output;
        EXPECT_EQ(output.find("cannot be told") != std::string::npos, c.exitCode == 8)
            << c.what << "\n"
            << output;
    }
}

TEST(Status, SaysWhetherACopyIsRunningForTheUser) {
    const std::vector<std::pair<std::optional<bool>, const char*>> cases = {
        {true, "Ondrevan running for you: yes\r\n"},
        {false, "Ondrevan running for you: no (scheduled runs happen only while it runs)\r\n"},
        {std::nullopt, "Ondrevan running for you: unknown\r\n"},
    };
    for (const auto& [running, says] : cases) {
        FakeSystem sys;
        sys.copies.running = running;
        std::string output;
        RunFromCommandLine(CommandMode::Status, sys.services(), output);
        EXPECT_NE(output.find(says), std::string::npos) << output;
    }
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
        {head + "Option3=maybe\r\n", "Line 3: Option3: \"maybe\" is not True or False"},
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

// What another machine should take: the settings, never this machine's record of its runs,
// whatever form the file came in.
TEST(SettingsFile, CarriesSettingsOnlyAndSaysWhenAFileCannotBeOne) {
    FakeSystem from;
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"Check1", "1"},
             {"LastScheduledRun", "2026-03-30T09:00:00"},
             {"SwitchedOn", "2026-03-01T09:00:00"},
             {"LastScheduledRunSummary", "Run finished: 0 files deleted, 2 could not be"},
             {"LastScheduledRunProblems", "2"}})
        from.settings.Set(name, value);
    std::string said;
    ASSERT_EQ(RunFromCommandLine(CommandMode::Export, from.services(), said, "C:\\s.txt"), 0);
    const std::string file = from.fileSystem.ReadWholeFile("C:\\s.txt");
    EXPECT_NE(file.find("Check1=1\r\n"), std::string::npos) << file;
    for (const char* record : kMachineRecord)
        EXPECT_EQ(file.find(record), std::string::npos) << record << " exported:\n" << file;
    EXPECT_NE(said.find("Exported 1 setting "), std::string::npos) << said;

    from.fileSystem.AddFolder("C:\\Exports");
    said.clear();
    EXPECT_EQ(RunFromCommandLine(CommandMode::Export, from.services(), said, "C:\\Exports"), 1);
    EXPECT_NE(said.find("C:\\Exports: it is a folder. Name a file in it, such as "
                        "C:\\Exports\\Ondrevan settings.txt"),
              std::string::npos)
        << said;

    const std::string older =
        "Check1=1\r\nLastScheduledRun=2026-03-30T09:00:00\r\n"
        "LastScheduledRunProblems=2\r\n";
    const auto utf16 = [](std::u16string_view text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    struct Case {
        const char* what;
        std::string bytes;
        int exitCode;
        const char* said;
        std::optional<std::string> check1;
    };
    const Case cases[] = {
        {"an export of an earlier version", older, 0,
         "Imported 1 setting from C:\\in.txt; left out, this machine's own record of its runs: "
         "LastScheduledRun LastScheduledRunProblems",
         "1"},
        {"UTF-16 as PowerShell writes it", utf16(u"Check1=1\r\nKeepPatterns=\u00FC\r\n", false), 0,
         "Imported 2 settings from C:\\in.txt", "1"},
        {"UTF-16, big end first", utf16(u"Check1=1\r\n", true), 0, "Imported 1 setting", "1"},
        {"an empty file", "", 1, "C:\\in.txt holds no settings: nothing was imported.",
         std::nullopt},
        {"comments alone", "; nothing\r\n\r\n", 1, "holds no settings", std::nullopt},
        {"the machine's record alone", "SwitchedOn=2026-03-01T09:00:00\r\n", 1,
         "holds no settings: nothing was imported; left out, this machine's own record of its "
         "runs: SwitchedOn",
         std::nullopt},
    };
    for (const Case& c : cases) {
        FakeSystem to;
        to.fileSystem.AppendToFile("C:\\in.txt", c.bytes);
        said.clear();
        EXPECT_EQ(RunFromCommandLine(CommandMode::Import, to.services(), said, "C:\\in.txt"),
                  c.exitCode)
            << c.what << ": " << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.what << ": " << said;
        EXPECT_EQ(to.settings.Get("Check1"), c.check1) << c.what;
        for (const char* record : kMachineRecord)
            EXPECT_FALSE(to.settings.Get(record)) << c.what << ": " << record << " imported";
    }
    FakeSystem to;
    to.fileSystem.AppendToFile("C:\\in.txt",
                               utf16(u"KeepPatterns=\u00FC.txt \U0001F600\r\n", false));
    ASSERT_EQ(RunFromCommandLine(CommandMode::Import, to.services(), said, "C:\\in.txt"), 0);
    EXPECT_EQ(to.settings.Get("KeepPatterns"), "\xC3\xBC.txt \xF0\x9F\x98\x80")
        << "not read as UTF-16";
}

// An installer closes the running copy with /exit and, when it is done, starts it again with
// /reopen: as it was, and only the copy that installer closed.
TEST(Reopen, StartsAgainWhatExitClosedAndOnlyOnce) {
    testing::MemorySettingsStore settings;
    testing::FakeClock clock;
    clock.Set(2026, 3, 30, 9, 0, 0);
    const auto note = [&](bool hidden, int secondsLater) {
        NoteClosedCopy(settings, clock.now, hidden);
        testing::FakeClock later = clock;
        later.now.time.seconds += secondsLater;
        return TakeClosedCopyNote(settings, later.now);
    };
    EXPECT_EQ(settings.Get("ClosedByExit"), std::nullopt);
    EXPECT_EQ(TakeClosedCopyNote(settings, clock.now), Reopening::No) << "nothing was closed";
    EXPECT_EQ(note(true, 5), Reopening::Tray);
    EXPECT_EQ(settings.Get("ClosedByExit"), "") << "the note is forgotten once taken";
    EXPECT_EQ(TakeClosedCopyNote(settings, clock.now), Reopening::No) << "a second /reopen";
    EXPECT_EQ(note(false, 300), Reopening::Window);
    EXPECT_EQ(note(false, 301), Reopening::No) << "an uninstall's note, found by a later install";
    EXPECT_EQ(note(true, -1), Reopening::No) << "a note from the future";
    for (const char* stored : {"garbage", "2026-03-30T09:00:00", "2026-03-30T09:00:00 maybe",
                               "2026-02-30T09:00:00 tray"}) {
        settings.Set("ClosedByExit", stored);
        EXPECT_EQ(TakeClosedCopyNote(settings, clock.now), Reopening::No) << stored;
        EXPECT_EQ(settings.Get("ClosedByExit"), "") << stored;
    }
    EXPECT_EQ(ParseCommandLine({"/REOPEN"}), CommandMode::Reopen);
    EXPECT_NE(std::string(kUsage).find("/reopen"), std::string::npos);
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
        {"KeepPatterns", {"", "*.keep; desktop.ini"}},
        {"ProtectedFolders", {"", "C:\\Data\\Keep"}},
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
