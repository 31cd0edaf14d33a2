#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/DateTime.h"

namespace ondrevan {

// The exit codes of /status, added together: 0 when all is well or the switch is off.
inline constexpr int kStatusFailures = 1;  // the last scheduled run did not do everything
inline constexpr int kStatusOverdue = 4;   // switched on, no scheduled run for two intervals
// A time stamp does not read or lies in the future, or automatic deletion is on and nothing
// says since when: whether runs happen cannot be told.
inline constexpr int kStatusCannotTell = 8;

// What /status looks at, as the settings hold it.
struct StatusFacts {
    bool switchedOn = false;
    enum class Kind { Interval, Daily, Weekly } kind = Kind::Interval;
    std::optional<std::int64_t> intervalSeconds;  // nothing: the fields do not read
    std::optional<int> setSecond;                 // the daily or weekly time of day
    std::optional<unsigned> weekday;              // 0 Sunday .. 6 Saturday
    std::string lastRun;                          // "LastScheduledRun", as stored
    std::string switchedOnAt;                     // "SwitchedOn", as stored
    std::string lastSummary;                      // "LastScheduledRunSummary"
    std::string lastProblems;                     // "LastScheduledRunProblems": a count, as text
    std::string historyPath;
    std::string recordPath;  // the record of runs beside the history
    std::string thisMonth;   // "3.2 GB freed in 41 runs (12,004 files); last run ..."; "": none
    std::optional<bool> copyRunning;  // a copy with a window, for this user; nothing: unknown
};

struct StatusReport {
    std::string text;  // lines ending in CR LF
    int exitCode = 0;
};

// The health of the schedule at `now` (seconds since 1970 UTC, read in `zone`): the switch,
// the schedule, the next run, the last scheduled run and its closing line, the history file.
StatusReport HealthStatus(const StatusFacts& facts, std::int64_t now,
                          const ZoneRules& zone = kUtcZone);

}  // namespace ondrevan
