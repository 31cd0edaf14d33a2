#include "schedule/CatchUp.h"

#include <algorithm>
#include <cstdio>

namespace ondrevan {
namespace {

inline constexpr std::int64_t kDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

std::string IsoLocalTime(const LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d",
                  static_cast<int>(when.date.year()), static_cast<unsigned>(when.date.month()),
                  static_cast<unsigned>(when.date.day()), when.time.Hour(), when.time.Minute(),
                  when.time.Second());
    return text;
}

std::optional<std::int64_t> ParseIsoLocalTime(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    auto number = [&](std::size_t at, std::size_t length) -> std::optional<int> {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const auto year = number(0, 4), month = number(5, 2), day = number(8, 2), hour = number(11, 2),
               minute = number(14, 2), second = number(17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    LocalDateTime when;
    when.date = std::chrono::year{*year} / std::chrono::month{static_cast<unsigned>(*month)} /
                std::chrono::day{static_cast<unsigned>(*day)};
    if (!when.date.ok() || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    when.time = TimeOfDay::FromHms(*hour, *minute, *second);
    return TimelineSeconds(when);
}

std::optional<std::int64_t> MissedSince(std::string_view lastRun, std::string_view switchedOn) {
    std::optional<std::int64_t> since;
    for (const std::string_view stamp : {lastRun, switchedOn}) {
        if (stamp.empty()) continue;
        const auto when = ParseIsoLocalTime(stamp);
        if (!when) return std::nullopt;
        since = std::max(since.value_or(*when), *when);
    }
    return since;
}

std::optional<std::int64_t> MissedRun(std::int64_t since, std::int64_t now, int setSecond,
                                      std::optional<unsigned> weekday) {
    if (now <= since) return std::nullopt;
    // The latest set instant at or before now: today's, or an earlier day's.
    std::int64_t day = FloorDiv(now, kDay) * kDay;
    if (day + setSecond > now) day -= kDay;
    if (weekday) {
        for (int back = 0; back < 7; ++back, day -= kDay) {
            const auto onDay =
                std::chrono::weekday{std::chrono::sys_days{std::chrono::days{FloorDiv(day, kDay)}}};
            if (onDay.c_encoding() == *weekday) break;
        }
    }
    const std::int64_t due = day + setSecond;
    if (due <= since) return std::nullopt;
    return due;
}

}  // namespace ondrevan
