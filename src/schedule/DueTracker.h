#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace ondrevan {

inline constexpr const char* kStatusPrefix = "On. Next deleting will occur in: ";

// The schedule kinds, as the three option buttons choose them; none when no option is.
enum class ScheduleKind { None, Every, Daily, Weekly };

// The schedule as the window's settings give it at one tick.
struct ScheduleSetting {
    ScheduleKind kind = ScheduleKind::None;
    // "Delete every:": the fields' total in seconds, or nothing when it is beyond the count.
    std::optional<std::int32_t> interval;
    // "Daily:" and " Weekly:": the set second of the day.
    int setSecond = 0;
    // " Weekly:": the chosen day, 0 Sunday to 6 Saturday; nothing while none is chosen.
    std::optional<unsigned> weekday;
};

// The number of the weekday of that name, 0 Sunday to 6 Saturday; nothing for any other text.
std::optional<unsigned> WeekdayNumber(std::string_view name);

// When the daily and weekly runs fall, whatever the clock does. A due time is the set time on
// a calendar day (on the chosen weekday): it falls when the wall clock first reads it, or at
// the first moment after a spring-forward gap that skips it, and it is due once.
struct DueFacts {
    std::int64_t now = 0;  // seconds since 1970 UTC
    // The wall-clock reading (local timeline) of the last due time that ran: it and every
    // due time that reads no later never run again.
    std::optional<std::int64_t> lastRun;
    // Due times up to this instant are not this watch's to run (the switch was off)...
    std::optional<std::int64_t> since;
    // ...unless they read later than the wall clock did then: a zone changed eastward since
    // put them before it.
    std::optional<std::int64_t> sinceWall;
};
struct DueTimes {
    // The latest due time at or before now that has not run (only the latest: a missed run
    // is made up once): its instant and its wall-clock reading.
    std::optional<std::int64_t> due;
    std::int64_t dueWall = 0;
    // It fell more than a late tick ago: the clock skipped it (moved forward, a changed zone,
    // a sleep, a late tick).
    bool late = false;
    // The next due time that will run, its instant and its wall-clock reading.
    std::optional<std::int64_t> next;
    std::int64_t nextWall = 0;
};
// The one answer to "when is it due" for the tick, the countdown, the tray tip, /status and
// the catch-up. Kinds other than "Daily:" and " Weekly:" have no due times.
DueTimes WhenDue(const ScheduleSetting& setting, const DueFacts& facts, const ZoneRules& zone);

struct Stamp;
// Whether the stamp of the last scheduled run still counts at `now` (UTC). One ahead of the
// clock by at most one period (a week for the weekly kind, a day otherwise) names a due time
// that ran before the clock was put back; one further ahead was written while the clock was
// wrong, and tells nothing.
bool LastRunStampCounts(const Stamp& stamp, std::int64_t now, ScheduleKind kind,
                        const ZoneRules& zone);

// The seconds until the next run's instant, as the countdown shows them, with no bound of
// a day ("36:00:00").
std::string CountdownText(std::int64_t seconds);

// What one tick shows in the status line and the progress bar.
struct TickDisplay {
    enum class Shows { Nothing, StatusOnly, Everything };
    Shows shows = Shows::Nothing;
    // False when the count was at the top of its range and stayed there.
    bool counted = true;
    std::int32_t progressMax = 0;
    std::int32_t progressValue = 0;
    const std::string& status;
};

// When the schedule's runs come due, driven by the tick: the elapsed count, the progress
// base, the last due time that ran and since when the schedule has been watching. Plain
// values in and out; the window shows what `Show` says, lets its messages run, then asks
// `TakeDue`.
class DueTracker {
  public:
    // Counts the tick and works out what it shows. "Delete every:" beyond its range (no
    // interval, or less than a second) is not counted towards and shows only its status.
    TickDisplay Show(const ScheduleSetting& setting, std::int64_t now, const ZoneRules& zone);

    struct Due {
        enum class Is { No, OnTime, Skipped };
        Is is = Is::No;
        std::int64_t at = 0;    // the due time's instant (UTC)
        std::int64_t wall = 0;  // and its wall-clock reading
    };
    // Whether the run is due now, for the kind the tick showed with the set time and weekday
    // as they now stand. A due time is taken: it counts as done (the count starts again for
    // "Delete every:"), so it never comes due twice. One the clock skipped says so.
    Due TakeDue(const ScheduleSetting& setting, std::int64_t now, const ZoneRules& zone);
    DueTimes When(const ScheduleSetting& setting, std::int64_t now, const ZoneRules& zone) const;

    // "Delete every:" chosen: the count starts at 0.
    void RestartCount() { elapsed_ = 0; }
    // The progress base of "Daily:" and " Weekly:": the seconds left to the next run.
    void Rebase(std::int32_t secondsUntilNextRun) { total_ = secondsUntilNextRun; }
    // From this instant on the schedule watches: due times before it are the catch-up's.
    void Watch(std::int64_t since, const ZoneRules& zone) {
        since_ = since;
        sinceWall_ = since + zone.OffsetAt(since);
    }
    // The last due time that ran, by its wall-clock reading; it never moves back.
    void MarkRun(std::int64_t wall) {
        if (!lastRun_ || wall > *lastRun_) lastRun_ = wall;
    }
    std::optional<std::int64_t> LastRun() const { return lastRun_; }

    std::int32_t ElapsedSeconds() const { return elapsed_; }
    std::int32_t TotalSeconds() const { return total_; }

  private:
    std::int32_t elapsed_ = 0;
    std::int32_t total_ = 0;
    std::optional<std::int64_t> lastRun_;
    std::optional<std::int64_t> since_, sinceWall_;
    std::optional<std::int64_t> baseFor_;  // the next run the progress base counts to
    std::string status_;                   // reused, so an idle tick allocates nothing
    // The tick asks twice in its second (to show, then whether due): once is worked out.
    struct Asked {
        ScheduleKind kind;
        int setSecond;
        std::optional<unsigned> weekday;
        DueFacts facts;
        const ZoneRules* zone;
        DueTimes times;
    };
    mutable std::optional<Asked> asked_;
};

}  // namespace ondrevan
