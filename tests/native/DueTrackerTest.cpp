#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/AppError.h"
#include "schedule/DueTracker.h"
#include "schedule/Interval.h"

namespace ondrevan {
namespace {

using Shows = TickDisplay::Shows;
const std::string kPrefix = kStatusPrefix;

LocalDateTime At(int year, unsigned month, unsigned day, int h, int m, int s) {
    LocalDateTime when;
    when.date = std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day};
    when.time = TimeOfDay::FromHms(h, m, s);
    return when;
}

ScheduleSetting Every(std::optional<std::int32_t> seconds) {
    ScheduleSetting setting;
    setting.kind = ScheduleKind::Every;
    setting.interval = seconds;
    return setting;
}
ScheduleSetting Daily(int h, int m, int s) {
    ScheduleSetting setting;
    setting.kind = ScheduleKind::Daily;
    setting.setSecond = TimeOfDay::FromHms(h, m, s).seconds;
    return setting;
}
ScheduleSetting Weekly(unsigned weekday, int h, int m, int s) {
    ScheduleSetting setting = Daily(h, m, s);
    setting.kind = ScheduleKind::Weekly;
    setting.weekday = weekday;
    return setting;
}

// The tracker as the window drives it: one tick a second, each shown, then asked whether the
// run is due. The clock is kept in milliseconds, as late ticks come.
struct Ticks {
    DueTracker tracker;
    ScheduleSetting setting;
    std::int64_t ms = 0;
    int runs = 0;
    std::string status;  // what the status line shows after the last tick
    std::int32_t progressMax = 0, progressValue = 0;

    Ticks(ScheduleSetting s, const LocalDateTime& start) : setting(s) { Set(start); }
    void Set(const LocalDateTime& when) { ms = TimelineSeconds(when) * 1000; }
    LocalDateTime Now() const {
        const std::int64_t seconds = ms / 1000;
        LocalDateTime now;
        now.date = std::chrono::sys_days{std::chrono::days{seconds / kSecondsPerDay}};
        now.time = TimeOfDay{static_cast<int>(seconds % kSecondsPerDay)};
        return now;
    }
    // The tick at this very instant.
    void TickNow() {
        const TickDisplay shown = tracker.Show(setting, ms / 1000, kUtcZone);
        if (shown.shows != Shows::Nothing) status = shown.status;
        if (shown.shows == Shows::Everything) {
            progressMax = shown.progressMax;
            progressValue = shown.progressValue;
        }
        runs += tracker.TakeDue(setting, ms / 1000, kUtcZone).is != DueTracker::Due::Is::No;
    }
    void Tick(int count = 1, int lateMs = 0) {
        for (int i = 0; i < count; ++i) {
            ms += 1000 + lateMs;
            TickNow();
        }
    }
};

const LocalDateTime kMonday10 = At(2026, 12, 7, 10, 0, 0);

TEST(DueTracker, EachKindRunsOnItsTickAndShowsWhatIsLeft) {
    const std::string outOfRange = kIntervalOutOfRangeStatus;
    const struct Case {
        const char* what;
        ScheduleSetting setting;
        int ticks;
        int runs;
        std::string status;
        std::int32_t elapsed;  // daily and weekly: the progress shown
    } cases[] = {
        {"every 5 s, before the fifth tick", Every(5), 4, 0, kPrefix + "00:00:01", 4},
        {"the fifth tick shows 0 left, then runs", Every(5), 5, 1, kPrefix + "00:00:00", 0},
        {"and five ticks after each run", Every(5), 10, 2, kPrefix + "00:00:00", 0},
        {"every hour: not on the 3599th tick", Every(3600), 3599, 0, kPrefix + "00:00:01", 3599},
        {"every hour: on the 3600th", Every(3600), 3600, 1, kPrefix + "00:00:00", 0},
        // Intervals that can never come due are refused and not counted towards.
        {"an interval of 0", Every(0), 50, 0, outOfRange, 0},
        {"-1 s", Every(TryIntervalSeconds(0, 0, -1)), 4, 0, outOfRange, 0},
        {"0.4 s, rounded to 0", Every(TryIntervalSeconds(0, 0, 0.4)), 4, 0, outOfRange, 0},
        {"beyond the count", Every(TryIntervalSeconds(99999999, 0, 0)), 7, 0, outOfRange, 0},
        {"no kind only counts", ScheduleSetting{}, 3, 0, "", 3},
        // Past today's set time, the countdown runs to tomorrow's, and names its day.
        {"daily, the set time past: tomorrow's", Daily(9, 0, 0), 1, 0,
         kPrefix + "22:59:59 [Tuesday]", 1},
        {"daily, on the set second", Daily(10, 0, 5), 5, 1, kPrefix + "00:00:00", 5},
        // The weekly countdown runs to the chosen day's set time, not today's.
        {"weekly on another day", Weekly(2, 10, 0, 5), 1, 0, kPrefix + "24:00:04 [Tuesday]", 1},
        {"weekly on another day, at the second", Weekly(2, 10, 0, 5), 5, 0,
         kPrefix + "24:00:00 [Tuesday]", 5},
        {"weekly on its day", Weekly(1, 10, 0, 5), 5, 1, kPrefix + "00:00:00 [Monday]", 5},
    };
    for (const Case& c : cases) {
        Ticks t(c.setting, kMonday10);
        // Daily and weekly progress from when the kind was chosen, as the window rebases it.
        const std::int64_t start = TimelineSeconds(kMonday10);
        if (const auto next = t.tracker.When(c.setting, start, kUtcZone).next)
            t.tracker.Rebase(static_cast<std::int32_t>(*next - start));
        t.Tick(c.ticks);
        EXPECT_EQ(t.runs, c.runs) << c.what;
        EXPECT_EQ(t.status, c.status) << c.what;
        const bool atSetTime =
            c.setting.kind == ScheduleKind::Daily || c.setting.kind == ScheduleKind::Weekly;
        EXPECT_EQ(atSetTime ? t.progressValue : t.tracker.ElapsedSeconds(), c.elapsed) << c.what;
    }
}

TEST(DueTracker, TheCountGoesOnThroughOffAndStartsAgainBelowAShortenedInterval) {
    Ticks t(Every(60), kMonday10);
    t.Tick(20);
    t.tracker.Watch(t.ms / 1000, kUtcZone);  // off and on again
    t.Tick();
    EXPECT_EQ(t.status, kPrefix + "00:00:39") << "turned off and on, the count resumes";
    t.Tick(19);
    t.setting.interval = 10;
    t.Tick();
    EXPECT_EQ(t.status, kPrefix + "00:00:10") << "past the new interval: a full one again";
    t.Tick(9);
    EXPECT_EQ(t.runs, 0);
    t.Tick();
    EXPECT_EQ(t.runs, 1);

    t.setting.interval = std::nullopt;  // beyond the count
    t.Tick(3);
    EXPECT_EQ(t.tracker.ElapsedSeconds(), 0);
    t.setting.interval = 2;
    t.Tick(2);
    EXPECT_EQ(t.runs, 2) << "a fitting interval runs again";
    t.tracker.RestartCount();
    t.Tick();
    EXPECT_EQ(t.tracker.ElapsedSeconds(), 1);
}

TEST(DueTracker, ASetSecondRunsOnceHoweverTheTicksAndTheClockMeetIt) {
    // The daily count reaches past midnight to the next day's set time.
    Ticks daily(Daily(9, 0, 0), kMonday10);
    daily.Set(At(2026, 12, 7, 23, 59, 59));
    daily.Tick();
    EXPECT_EQ(daily.status, kPrefix + "09:00:00");
    daily.Set(At(2026, 12, 8, 8, 59, 59));
    daily.Tick();
    EXPECT_EQ(daily.status, kPrefix + "00:00:00");
    EXPECT_EQ(daily.runs, 1);

    // A tick one second late jumps over the set second: it runs, once.
    Ticks late(Daily(10, 0, 5), At(2026, 12, 7, 10, 0, 4));
    late.TickNow();
    EXPECT_EQ(late.runs, 0);
    late.Tick(1, 1000);
    EXPECT_EQ(late.runs, 1);
    late.Tick(3);
    EXPECT_EQ(late.runs, 1);
    // The clock put back over it does not run it twice; a new set time runs again.
    late.Set(At(2026, 12, 7, 10, 0, 2));
    late.Tick(10);
    EXPECT_EQ(late.runs, 1);
    late.setting.setSecond += 60;
    late.tracker.Watch(late.ms / 1000, kUtcZone);
    late.Tick(60);
    EXPECT_EQ(late.runs, 2);

    // A set second that passes while the switch is off is not caught up when it comes on.
    Ticks off(Daily(10, 0, 3), kMonday10);
    off.Tick();
    off.ms += 3000;
    off.tracker.Watch(off.ms / 1000, kUtcZone);  // on again
    off.Tick();
    EXPECT_EQ(off.runs, 0);
    // Nor a run the catch-up has just made.
    Ticks caught(Daily(10, 0, 3), kMonday10);
    caught.tracker.MarkRun(TimelineSeconds(At(2026, 12, 7, 10, 0, 3)));
    caught.Tick(5);
    EXPECT_EQ(caught.runs, 0);
}

// A week of ticks, each 0-30 ms late, so that now and then a whole second gets no tick; at
// 03:00 on one day the clocks go back an hour.
TEST(DueTracker, ASimulatedWeekRunsEachKindAsOftenAsItsSchedule) {
    constexpr std::int64_t kWeek = 7 * 24 * 3600;
    const struct Case {
        const char* what;
        ScheduleSetting setting;
        LocalDateTime start;
        std::int64_t ticks;
        std::optional<LocalDateTime> fallBack;  // from this moment, an hour earlier once
        int runs;
    } cases[] = {
        {"every hour", Every(3600), kMonday10, kWeek, std::nullopt, 168},
        {"daily, through midnight and a summer time change", Daily(14, 30, 0), kMonday10,
         kWeek - 60, At(2026, 12, 9, 3, 0, 0), 7},
        {"daily at a time the clock passes twice", Daily(2, 30, 0), At(2026, 12, 7, 2, 0, 0),
         3 * 3600, At(2026, 12, 7, 3, 0, 0), 1},
        {"weekly at midnight, the hardest second", Weekly(4, 0, 0, 0), kMonday10, kWeek,
         std::nullopt, 1},
    };
    for (const Case& c : cases) {
        Ticks t(c.setting, c.start);
        std::mt19937 random{12345};
        std::uniform_int_distribution<int> late(0, 30);
        bool fellBack = false;
        for (std::int64_t i = 0; i < c.ticks; ++i) {
            t.Tick(1, late(random));
            if (c.fallBack && !fellBack && t.ms >= TimelineSeconds(*c.fallBack) * 1000) {
                t.ms -= 3600 * 1000;
                fellBack = true;
            }
        }
        EXPECT_EQ(fellBack, c.fallBack.has_value()) << c.what;
        EXPECT_EQ(t.runs, c.runs) << c.what;
    }
}

TEST(Interval, RoundsToTheNearestSecondWithTiesToEven) {
    EXPECT_EQ(IntervalSeconds(0, 0, 1.5), 2);
    EXPECT_EQ(IntervalSeconds(0, 0, 2.5), 2);
    EXPECT_EQ(IntervalSeconds(1, 0, 0), 3600);
    EXPECT_EQ(IntervalSeconds(0, 0.5, 0.4), 30);
    EXPECT_THROW(IntervalSeconds(1e6, 0, 0), AppError);
}

}  // namespace
}  // namespace ondrevan
