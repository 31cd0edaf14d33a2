#include "schedule/CatchUp.h"

#include <algorithm>
#include <cstdio>

namespace ondrevan {
namespace {

inline constexpr std::int64_t kDay = 86400;

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
    if (const auto stamp = ParseStamp(text)) return stamp->wall;
    return std::nullopt;
}

std::optional<Stamp> ParseStamp(std::string_view text) {
    if ((text.size() != 19 && text.size() != 25) || text[4] != '-' || text[7] != '-' ||
        text[10] != 'T' || text[13] != ':' || text[16] != ':')
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
    Stamp stamp{TimelineSeconds(when), std::nullopt};
    if (text.size() == 19) return stamp;
    const auto hours = number(20, 2), minutes = number(23, 2);
    if ((text[19] != '+' && text[19] != '-') || text[22] != ':' || !hours || !minutes ||
        *hours > 14 || *minutes > 59)
        return std::nullopt;
    stamp.offset = (text[19] == '-' ? -1 : 1) * (*hours * 3600 + *minutes * 60);
    return stamp;
}

std::string StampText(std::int64_t utc, const ZoneRules& zone) {
    const int offset = zone.OffsetAt(utc);
    const int magnitude = offset < 0 ? -offset : offset;
    char text[8];
    std::snprintf(text, sizeof text, "%c%02d:%02d", offset < 0 ? '-' : '+', magnitude / 3600 % 100,
                  magnitude / 60 % 60);
    return IsoLocalTime(FromTimeline(utc + offset)) + text;
}

WallInstants InstantsOf(std::int64_t wall, const ZoneRules& zone) {
    // The offsets a day either side: a zone changes its offset at most once in between.
    const int before = zone.OffsetAt(wall - kDay), after = zone.OffsetAt(wall + kDay);
    std::optional<WallInstants> found;
    for (const int offset : {before, after}) {
        const std::int64_t at = wall - offset;
        if (zone.OffsetAt(at) != offset) continue;
        if (!found) found = WallInstants{at, at};
        found->first = std::min(found->first, at);
        found->last = std::max(found->last, at);
    }
    if (found) return *found;
    // Skipped: the change lies between the two readings; find its first second.
    std::int64_t lo = std::min(wall - before, wall - after),
                 hi = std::max(wall - before, wall - after);
    const int later = zone.OffsetAt(hi);
    while (hi - lo > 1) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        (zone.OffsetAt(mid) == later ? hi : lo) = mid;
    }
    return {hi, hi};
}

std::int64_t StampInstant(const Stamp& stamp, const ZoneRules& zone) {
    if (stamp.offset) return stamp.wall - *stamp.offset;
    return InstantsOf(stamp.wall, zone).last;
}

bool SwitchedOnStampCounts(const Stamp& stamp, std::int64_t now, const ZoneRules& zone) {
    return StampInstant(stamp, zone) <= now;
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

}  // namespace ondrevan
