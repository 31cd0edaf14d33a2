// The daily and weekly schedule while the clock misbehaves: summer time in two zones, the
// clock moved by hand either way, a changed zone, a sleep, stamps old and new and ahead.
#include <gtest/gtest.h>

#include <optional>

#include "FakeSystem.h"
#include "RecordingHistory.h"
#include "app/HealthStatus.h"
#include "controls/ListView.h"
#include "controls/SysTray.h"
#include "delete/DeleteRun.h"
#include "platform/AppMessages.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/SettingKeys.h"
#include "schedule/CatchUp.h"
#include "schedule/Schedule.h"

namespace ondrevan {
namespace {

constexpr int kHour = 3600;

std::int64_t Utc(int year, unsigned month, unsigned day, int h, int m, int s = 0) {
    LocalDateTime when;
    when.date = std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day};
    when.time = TimeOfDay::FromHms(h, m, s);
    return TimelineSeconds(when);
}

// Two zones with summer time, by their 2026 changes (UTC), and two without.
int NewYork(std::int64_t utc) {
    return utc >= Utc(2026, 3, 8, 7, 0) && utc < Utc(2026, 11, 1, 6, 0) ? -4 * kHour : -5 * kHour;
}
int Berlin(std::int64_t utc) {
    return utc >= Utc(2026, 3, 29, 1, 0) && utc < Utc(2026, 10, 25, 1, 0) ? 2 * kHour : kHour;
}
int Halifax(std::int64_t) {
    return -4 * kHour;
}  // in winter
int Chicago(std::int64_t) {
    return -6 * kHour;
}  // in winter

// What happens along the way: ticks, the clock set by hand, a changed zone, a restart.
struct Step {
    enum class Do { Tick, MoveClock, ChangeZone, Restart } what = Do::Tick;
    std::int64_t amount = 1;  // ticks, or seconds the clock moves
    int (*zone)(std::int64_t) = nullptr;
};
Step Ticks(std::int64_t n) {
    return {Step::Do::Tick, n};
}
Step Move(std::int64_t seconds) {
    return {Step::Do::MoveClock, seconds};
}
Step ZoneTo(int (*zone)(std::int64_t)) {
    return {Step::Do::ChangeZone, 0, zone};
}
Step Restart() {
    return {Step::Do::Restart, 0};
}

struct Case {
    const char* name;
    int (*zone)(std::int64_t);
    ScheduleKind kind;
    int setSecond;
    std::int64_t start;   // UTC
    const char* lastRun;  // "LastScheduledRun" at the start
    bool catchUp;         // "When a daily or weekly run was missed..."
    std::vector<Step> steps;
    int runs;                // scheduled runs the steps bring
    const char* stampAfter;  // "LastScheduledRun" afterwards
    const char* historyHas;  // a line the history holds ("" none of "Missed run")
};

// The schedule alone, its seams doubled: the window records, the run counts.
struct ClockMoves : ::testing::Test {
    struct Window : ScheduleInputs, ScheduleView {
        ScheduleKind kind = ScheduleKind::Daily;
        TimeOfDay setTime;
        std::string weekday = "Sunday", status, caption = kSwitchOffCaption;
        std::string texts[3] = {"1", "0", "0"};
        ScheduleKind Kind() const override { return kind; }
        TimeOfDay SetTime() const override { return setTime; }
        std::string Weekday() const override { return weekday; }
        const std::string& IntervalText(IntervalField f) const override {
            return texts[static_cast<int>(f)];
        }
        void SetIntervalText(IntervalField f, const std::string& t) override {
            texts[static_cast<int>(f)] = t;
        }
        void EnableSetTime(bool, bool) override {}
        bool FocusInInterval() const override { return false; }
        void FocusIntervalField(IntervalField) override {}
        void SelectIntervalText(IntervalField) override {}
        void ShowStatus(const std::string& text) override { status = text; }
        void SetProgressMax(std::int32_t) override {}
        void SetProgressValue(std::int32_t) override {}
        void ClearProgress() override {}
        const std::string& SwitchCaption() const override { return caption; }
        void SetSwitchCaption(const std::string& text) override { caption = text; }
        void ShowDefaultPointer() override {}
        void ArmTimer() override {}
        void DisarmTimer() override {}
    };
    struct CountingRun : DeleteRun {
        int runs = 0;
        bool AllowDeleteFolders() override { return true; }
        RunReport DeleteFoldersFiles(RunTrigger) override {
            ++runs;
            return {};
        }
    };

    testing::FakeSystem sys;
    AppSettings settings{sys.settings};
    AppMessages messages{sys.dialogs};
    CountingRun run;
    testing::RecordingHistory history;
    cSysTray tray{sys.notifyIcon, sys.pump, sys.clock};
    bool hiddenToTray = false;
    Window window;
    ListView ListView1{"ListView1"};
    std::optional<Schedule> schedule;

    // A start of the program with the switch left on, as start-up restores it.
    void Start() {
        schedule.emplace(Schedule::Uses{
            .clock = sys.clock,
            .pump = sys.pump,
            .locale = sys.locale,
            .dialogs = sys.dialogs,
            .settings = settings,
            .messages = messages,
            .run = run,
            .history = history,
            .tray = tray,
            .hiddenToTray = hiddenToTray,
            .inputs = window,
            .view = window,
            .ListView1 = ListView1,
        });
        window.caption = kSwitchOffCaption;
        schedule->RestoreSwitchState();
        schedule->CheckMissedRun();
    }
    void Begin(int (*zone)(std::int64_t), std::int64_t utc, ScheduleKind kind, int setSecond) {
        sys.clock.offsetAt = zone;
        sys.clock.utc = utc;
        window.kind = kind;
        window.setTime = TimeOfDay{setSecond};
        ListView1.Add("C:\\Data");
        sys.settings.Set(keys::kStartStopState, kSwitchOn);
    }
    void Tick(std::int64_t n = 1) {
        for (std::int64_t i = 0; i < n; ++i) {
            ++sys.clock.utc;
            schedule->Timer1_Timer();
        }
    }
    std::string Missed() const {
        std::string found;
        for (const std::string& line : history.lines)
            if (line.rfind("Missed run", 0) == 0) found += line + "\n";
        return found;
    }
};

const int k230 = 2 * kHour + 30 * 60, k130 = kHour + 30 * 60, k10 = 10 * kHour;

TEST_F(ClockMoves, EachDueTimeRunsOnceWhateverTheClockDoes) {
    using K = ScheduleKind;
    const Case cases[] = {
        // The spring-forward gap: 2:30 comes at the first moment after it, 3:00.
        {"New York spring gap",
         NewYork,
         K::Daily,
         k230,
         Utc(2026, 3, 8, 6, 59, 50),
         "",
         false,
         {Ticks(20)},
         1,
         "2026-03-08T03:00:00-04:00",
         ""},
        {"Berlin spring gap",
         Berlin,
         K::Daily,
         k230,
         Utc(2026, 3, 29, 0, 59, 50),
         "",
         false,
         {Ticks(20)},
         1,
         "2026-03-29T03:00:00+02:00",
         ""},
        {"weekly in the gap",
         NewYork,
         K::Weekly,
         k230,
         Utc(2026, 3, 8, 6, 59, 50),
         "",
         false,
         {Ticks(20)},
         1,
         "2026-03-08T03:00:00-04:00",
         ""},
        // The fall-back night: the first 1:30 only, running throughout or started again.
        {"New York fall-back, running",
         NewYork,
         K::Daily,
         k130,
         Utc(2026, 11, 1, 5, 29, 50),
         "",
         false,
         {Ticks(kHour + 20)},
         1,
         "2026-11-01T01:30:00-04:00",
         ""},
        {"Berlin fall-back, running",
         Berlin,
         K::Daily,
         k230,
         Utc(2026, 10, 25, 0, 29, 50),
         "",
         false,
         {Ticks(kHour + 20)},
         1,
         "2026-10-25T02:30:00+02:00",
         ""},
        {"fall-back restart, new stamp",
         NewYork,
         K::Daily,
         k130,
         Utc(2026, 11, 1, 6, 29, 30),
         "2026-11-01T01:30:00-04:00",
         true,
         {Ticks(60)},
         0,
         "2026-11-01T01:30:00-04:00",
         ""},
        {"fall-back restart, old stamp",
         NewYork,
         K::Daily,
         k130,
         Utc(2026, 11, 1, 6, 29, 30),
         "2026-11-01T01:30:00",
         true,
         {Ticks(60)},
         0,
         "2026-11-01T01:30:00",
         ""},
        // The clock set back an hour while closed: the stamp names the due time that ran.
        {"set back an hour while closed",
         NewYork,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 14, 59, 50),
         "2026-12-09T10:00:00-05:00",
         true,
         {Ticks(20)},
         0,
         "2026-12-09T10:00:00-05:00",
         ""},
        // Set back an hour and forward again while running, across the time that ran.
        {"back and forward an hour",
         NewYork,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 14, 59, 55),
         "",
         false,
         {Ticks(10), Move(-kHour), Ticks(5), Move(kHour - 20), Ticks(30)},
         1,
         "2026-12-09T10:00:00-05:00",
         ""},
        // Set back a day while running, then put right and started again.
        {"back a day, then put right",
         NewYork,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 14, 59, 55),
         "",
         true,
         {Ticks(10), Move(-86400 - 20), Ticks(30), Move(86400 + 1800), Restart(), Ticks(10)},
         1,
         "2026-12-09T10:00:00-05:00",
         ""},
        // Moved forward across the set time, a zone changed eastward, a sleep with no word.
        {"forward across, catch-up on",
         Berlin,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 8, 59, 0),
         "",
         true,
         {Ticks(5), Move(120), Ticks(5)},
         1,
         "2026-12-09T10:00:00+01:00",
         "Missed run of 2026-12-09T10:00:00, run now"},
        {"forward across, catch-up off",
         Berlin,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 8, 59, 0),
         "",
         false,
         {Ticks(5), Move(120), Ticks(5)},
         0,
         "",
         "Missed run of 2026-12-09T10:00:00, not run (the clock skipped it)"},
        {"zone changed eastward across",
         NewYork,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 14, 30),
         "",
         true,
         {Ticks(5), ZoneTo(Halifax), Ticks(5)},
         1,
         "2026-12-09T10:00:00-04:00",
         "Missed run of 2026-12-09T10:00:00, run now"},
        {"zone changed westward after",
         NewYork,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 14, 59, 55),
         "",
         true,
         {Ticks(10), ZoneTo(Chicago), Ticks(kHour)},
         1,
         "2026-12-09T10:00:00-05:00",
         ""},
        {"a sleep with no word",
         NewYork,
         K::Weekly,
         k10,
         Utc(2026, 12, 13, 14, 0),
         "",
         true,
         {Ticks(5), Move(2 * kHour), Ticks(5)},
         1,
         "2026-12-13T10:00:00-05:00",
         "Missed run of 2026-12-13T10:00:00, run now"},
        // A stamp a month ahead is none: the catch-up and the tick go on.
        {"stamp a month ahead, catch-up",
         NewYork,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 16, 0),
         "2027-01-09T10:00:00-05:00",
         true,
         {Ticks(5)},
         1,
         "2026-12-09T10:00:00-05:00",
         "Missed run of 2026-12-09T10:00:00, run now"},
        {"stamp a month ahead, tick",
         NewYork,
         K::Daily,
         k10,
         Utc(2026, 12, 9, 14, 59, 55),
         "2027-01-09T10:00:00",
         false,
         {Ticks(10)},
         1,
         "2026-12-09T10:00:00-05:00",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sys.settings = {};
        history.lines.clear();
        run.runs = 0;
        Begin(c.zone, c.start, c.kind, c.setSecond);
        if (*c.lastRun) sys.settings.Set(keys::kLastScheduledRun, c.lastRun);
        // Switched on two hours before the start.
        sys.settings.Set(keys::kSwitchedOn, StampText(c.start - 2 * kHour, sys.clock));
        sys.settings.Set(keys::kCatchUpMissedRuns, c.catchUp ? "On" : "Off");
        Start();
        for (const Step& step : c.steps) {
            switch (step.what) {
                case Step::Do::Tick:
                    Tick(step.amount);
                    break;
                case Step::Do::MoveClock:
                    sys.clock.utc += step.amount;
                    break;
                case Step::Do::ChangeZone:
                    sys.clock.offsetAt = step.zone;
                    break;
                case Step::Do::Restart:
                    Start();
                    break;
            }
        }
        EXPECT_EQ(run.runs, c.runs);
        EXPECT_EQ(sys.settings.Get(keys::kLastScheduledRun).value_or(""), c.stampAfter);
        EXPECT_EQ(Missed(), *c.historyHas ? std::string(c.historyHas) + "\n" : "");
    }
}

TEST_F(ClockMoves, TheCountdownCountsToTheRunThatWillHappenWithItsDay) {
    using K = ScheduleKind;
    const struct {
        const char* name;
        int (*zone)(std::int64_t);
        ScheduleKind kind;
        int setSecond;
        std::int64_t at;  // UTC of the tick
        const char* lastRun;
        const char* countdown;
    } cases[] = {
        {"weekly, Wednesday before the set time", NewYork, K::Weekly, k230,
         Utc(2026, 12, 9, 7, 29, 6), "", "96:00:53 [Sunday]"},
        {"daily, set time passed", NewYork, K::Daily, 9 * kHour, Utc(2026, 12, 9, 14, 59, 59), "",
         "23:00:00 [Thursday]"},
        {"daily at midnight", NewYork, K::Daily, 0, Utc(2026, 12, 10, 3, 59, 59), "",
         "01:00:00 [Thursday]"},
        {"daily, later today", NewYork, K::Daily, k10, Utc(2026, 12, 9, 13, 59, 59), "",
         "01:00:00"},
        {"the spring gap: to 3:00", NewYork, K::Daily, k230, Utc(2026, 3, 8, 6, 58, 59), "",
         "00:01:00"},
        {"after the fall-back, having run", NewYork, K::Daily, k130, Utc(2026, 11, 1, 6, 9, 59),
         "2026-11-01T01:30:00-04:00", "24:20:00 [Monday]"},
        {"Berlin, after the fall-back", Berlin, K::Daily, k230, Utc(2026, 10, 25, 1, 9, 59),
         "2026-10-25T02:30:00+02:00", "24:20:00 [Monday]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sys.settings = {};
        Begin(c.zone, c.at, c.kind, c.setSecond);
        if (*c.lastRun) sys.settings.Set(keys::kLastScheduledRun, c.lastRun);
        Start();
        Tick();
        EXPECT_EQ(window.status, std::string(kStatusPrefix) + c.countdown);
    }
}

TEST(ClockStamps, BothFormsReadAndTheOlderNamesItsLaterReading) {
    struct NewYorkZone : ZoneRules {
        int OffsetAt(std::int64_t utc) const override { return NewYork(utc); }
    } zone;
    const struct {
        const char* text;
        std::optional<std::int64_t> instant;
    } stamps[] = {
        {"2026-11-01T01:30:00-04:00", Utc(2026, 11, 1, 5, 30)},
        {"2026-11-01T01:30:00-05:00", Utc(2026, 11, 1, 6, 30)},
        {"2026-11-01T01:30:00", Utc(2026, 11, 1, 6, 30)},  // of two readings, the later
        {"2026-03-08T02:30:00", Utc(2026, 3, 8, 7, 0)},    // in the gap: its end
        {"2026-12-09T10:00:00+05:45", Utc(2026, 12, 9, 4, 15)},
        {"2026-12-09T10:00:00+0545", std::nullopt},
        {"2026-12-09T10:00:00Z", std::nullopt},
        {"2026-12-09T10:00:00 05:00", std::nullopt},
    };
    for (const auto& s : stamps) {
        const auto stamp = ParseStamp(s.text);
        EXPECT_EQ(stamp ? std::optional<std::int64_t>(StampInstant(*stamp, zone)) : std::nullopt,
                  s.instant)
            << s.text;
    }
    EXPECT_EQ(StampText(Utc(2026, 11, 1, 5, 30), zone), "2026-11-01T01:30:00-04:00");
    EXPECT_EQ(StampText(Utc(2026, 11, 1, 6, 30), zone), "2026-11-01T01:30:00-05:00");
}

TEST(ClockStatus, AStampAheadOfTheClockIsNoLastRunAndStatusCannotTell) {
    StatusFacts facts;
    facts.switchedOn = true;
    facts.kind = StatusFacts::Kind::Daily;
    facts.setSecond = k10;
    facts.switchedOnAt = "2026-12-09T08:00:00";
    facts.lastSummary = "Run finished: 1 file deleted";
    facts.lastProblems = "0";
    const std::int64_t now = Utc(2026, 12, 9, 11, 0);
    facts.lastRun = "2027-01-09T10:00:00";
    StatusReport report = HealthStatus(facts, now);
    EXPECT_EQ(report.exitCode, kStatusCannotTell) << report.text;
    EXPECT_NE(report.text.find("Last scheduled run: unknown (stamped 2027-01-09 10:00:00, ahead "
                               "of the clock)"),
              std::string::npos)
        << report.text;
    EXPECT_EQ(report.text.find("Its closing line"), std::string::npos) << report.text;
    facts.lastRun = "2026-12-09T10:00:00+00:00";
    report = HealthStatus(facts, now);
    EXPECT_EQ(report.exitCode, 0) << report.text;
    EXPECT_NE(report.text.find("Next run: 2026-12-10 10:00:00"), std::string::npos) << report.text;
}

}  // namespace
}  // namespace ondrevan
