#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace ondrevan {

inline constexpr int kSecondsPerDay = 86400;

// A time of day to the second, as the time picker holds it.
struct TimeOfDay {
    int seconds = 0;  // 0 .. 86399 after midnight

    static TimeOfDay FromHms(int h, int m, int s) { return {h * 3600 + m * 60 + s}; }
    int Hour() const { return seconds / 3600; }
    int Minute() const { return seconds / 60 % 60; }
    int Second() const { return seconds % 60; }
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// The local wall-clock date and time, as the clock reports it.
struct LocalDateTime {
    std::chrono::year_month_day date{std::chrono::year{2000}, std::chrono::month{1},
                                     std::chrono::day{1}};
    TimeOfDay time;
    int millisecond = 0;

    // 0 = Sunday .. 6 = Saturday.
    unsigned Weekday() const {
        return std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding();
    }
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Seconds on one line of local time: days since 1970 times 86400 plus the time of day.
inline std::int64_t TimelineSeconds(const LocalDateTime& when) {
    const auto days = std::chrono::sys_days{when.date}.time_since_epoch().count();
    return static_cast<std::int64_t>(days) * kSecondsPerDay + when.time.seconds;
}

// The reading on the local timeline as a date and a time of day.
inline LocalDateTime FromTimeline(std::int64_t seconds) {
    std::int64_t days = seconds / kSecondsPerDay;
    if (seconds % kSecondsPerDay < 0) --days;
    LocalDateTime when;
    when.date = std::chrono::sys_days{std::chrono::days{static_cast<int>(days)}};
    when.time = TimeOfDay{static_cast<int>(seconds - days * kSecondsPerDay)};
    return when;
}

// The rules of the local time zone: its offset from UTC, in seconds east of it, at an
// instant (seconds since 1970-01-01 UTC). Summer time and a changed zone show here.
class ZoneRules {
  public:
    virtual ~ZoneRules() = default;
    virtual int OffsetAt(std::int64_t utcSeconds) const = 0;
};

// A zone that is UTC all year.
class UtcZone : public ZoneRules {
  public:
    int OffsetAt(std::int64_t) const override { return 0; }
};
inline const UtcZone kUtcZone;

// The weekday names in the order of the weekday box, Sunday first.
inline constexpr const char* kWeekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};

}  // namespace ondrevan
