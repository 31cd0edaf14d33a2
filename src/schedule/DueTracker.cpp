#include "schedule/DueTracker.h"

#include <cstdio>
#include <limits>

#include "platform/CommonRoutines.h"
#include "schedule/CatchUp.h"
#include "schedule/Interval.h"

namespace ondrevan {
namespace {

// A due time this little behind the tick is on time (a late timer skips a second now and
// then); further behind, the clock skipped it.
inline constexpr std::int64_t kLateTickSeconds = 5;

std::int64_t FloorDays(std::int64_t seconds) {
    return seconds / kSecondsPerDay - (seconds % kSecondsPerDay < 0 ? 1 : 0);
}

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<unsigned> WeekdayNumber(std::string_view name) {
    for (unsigned i = 0; i < 7; ++i)
        if (name == kWeekdayNames[i]) return i;
    return std::nullopt;
}

std::string CountdownText(std::int64_t seconds) {
    if (seconds >= 0 && seconds < kSecondsPerDay)
        return FormatCountdown(static_cast<std::int32_t>(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

DueTimes WhenDue(const ScheduleSetting& setting, const DueFacts& facts, const ZoneRules& zone) {
    DueTimes times;
    if (setting.kind != ScheduleKind::Daily && setting.kind != ScheduleKind::Weekly) return times;
    if (setting.kind == ScheduleKind::Weekly && !setting.weekday) return times;
    const std::int64_t wallNow = facts.now + zone.OffsetAt(facts.now);
    const std::int64_t today = FloorDays(wallNow);
    const auto onDay = [&](std::int64_t day) {
        if (setting.kind != ScheduleKind::Weekly) return true;
        const std::chrono::weekday weekday{std::chrono::sys_days{std::chrono::days{day}}};
        return weekday.c_encoding() == *setting.weekday;
    };
    const auto ran = [&](std::int64_t wall) { return facts.lastRun && wall <= *facts.lastRun; };
    // The latest due time at or before now.
    for (std::int64_t day = today; day >= today - 8; --day) {
        if (!onDay(day)) continue;
        const std::int64_t wall = day * kSecondsPerDay + setting.setSecond;
        const std::int64_t at = InstantsOf(wall, zone).first;
        if (at > facts.now) continue;
        const bool before =
            facts.since && at <= *facts.since && !(facts.sinceWall && wall > *facts.sinceWall);
        if (!ran(wall) && !before) {
            times.due = at;
            times.dueWall = wall;
            times.late = facts.now - at > kLateTickSeconds;
        }
        break;
    }
    // The next that will run (in its own second, the countdown shows 0 before it runs): a
    // stamp a little ahead (the clock was put back) holds it off.
    for (std::int64_t day = today; day <= today + 16; ++day) {
        if (!onDay(day)) continue;
        const std::int64_t wall = day * kSecondsPerDay + setting.setSecond;
        const std::int64_t at = InstantsOf(wall, zone).first;
        if (at < facts.now || ran(wall)) continue;
        times.next = at;
        times.nextWall = wall;
        break;
    }
    return times;
}

DueTimes DueTracker::When(const ScheduleSetting& setting, std::int64_t now,
                          const ZoneRules& zone) const {
    const DueFacts facts{now, lastRun_, since_, sinceWall_};
    const auto same = [&](const Asked& a) {
        return a.kind == setting.kind && a.setSecond == setting.setSecond &&
               a.weekday == setting.weekday && a.facts.now == now && a.facts.lastRun == lastRun_ &&
               a.facts.since == since_ && a.facts.sinceWall == sinceWall_ && a.zone == &zone;
    };
    if (!asked_ || !same(*asked_))
        asked_ = Asked{setting.kind,    setting.setSecond,
                       setting.weekday, facts,
                       &zone,           WhenDue(setting, facts, zone)};
    return asked_->times;
}

TickDisplay DueTracker::Show(const ScheduleSetting& setting, std::int64_t now,
                             const ZoneRules& zone) {
    using Shows = TickDisplay::Shows;
    // The count has no bound but its 32 bits: at the top it stays, and the tick says so.
    const auto count = [&] {
        if (elapsed_ == std::numeric_limits<std::int32_t>::max()) return false;
        ++elapsed_;
        return true;
    };

    if (setting.kind == ScheduleKind::None) return {Shows::Nothing, count(), 0, 0, status_};
    if (setting.kind == ScheduleKind::Every) {
        if (setting.interval) total_ = *setting.interval;
        // An interval that can never come due is not counted towards.
        if (!setting.interval || total_ < 1) {
            status_ = kIntervalOutOfRangeStatus;
            return {Shows::StatusOnly, true, 0, 0, status_};
        }
        const bool counted = count();
        // An interval shortened below the count would never be met by counting on: the count
        // starts again, so the next run comes one full interval later.
        if (elapsed_ > total_) elapsed_ = 0;
        status_ = kStatusPrefix;
        status_ += FormatCountdown(ClampToInt32(static_cast<std::int64_t>(total_) - elapsed_));
        return {Shows::Everything, counted, total_, elapsed_, status_};
    }

    // "Daily:" and " Weekly:" count down to the next run that will really happen.
    const bool counted = count();
    if (!since_) Watch(now, zone);  // a schedule never told since when watches from now
    const DueTimes times = When(setting, now, zone);
    status_ = kStatusPrefix;
    if (!times.next) return {Shows::Everything, counted, total_, 0, status_};
    const std::int32_t remaining = ClampToInt32(*times.next - now);
    // A new next run (the last one ran, the clock or the setting moved): the bar starts again.
    if (baseFor_ != times.next) {
        if (baseFor_) total_ = remaining;
        baseFor_ = times.next;
    }
    elapsed_ = ClampToInt32(static_cast<std::int64_t>(total_) - remaining);
    status_ += CountdownText(remaining);
    // The day, when it is not today; the weekly kind always names its weekday.
    const std::int64_t nextDay = FloorDays(times.nextWall);
    if (setting.kind == ScheduleKind::Weekly || nextDay != FloorDays(now + zone.OffsetAt(now))) {
        status_ += " [";
        status_ +=
            kWeekdayNames[std::chrono::weekday{std::chrono::sys_days{std::chrono::days{nextDay}}}
                              .c_encoding()];
        status_ += ']';
    }
    return {Shows::Everything, counted, total_, elapsed_, status_};
}

DueTracker::Due DueTracker::TakeDue(const ScheduleSetting& setting, std::int64_t now,
                                    const ZoneRules& zone) {
    switch (setting.kind) {
        case ScheduleKind::Every:
            if (!setting.interval || *setting.interval < 1 || elapsed_ != total_) return {};
            elapsed_ = 0;
            return {Due::Is::OnTime, now, 0};
        case ScheduleKind::Daily:
        case ScheduleKind::Weekly: {
            if (!since_) Watch(now, zone);
            const DueTimes times = When(setting, now, zone);
            if (!times.due) return {};
            MarkRun(times.dueWall);
            return {times.late ? Due::Is::Skipped : Due::Is::OnTime, *times.due, times.dueWall};
        }
        case ScheduleKind::None:
            break;
    }
    return {};
}

bool LastRunStampCounts(const Stamp& stamp, std::int64_t now, ScheduleKind kind,
                        const ZoneRules& zone) {
    const std::int64_t period = kind == ScheduleKind::Weekly ? 7 * kSecondsPerDay : kSecondsPerDay;
    return StampInstant(stamp, zone) <= now + period;
}

}  // namespace ondrevan
