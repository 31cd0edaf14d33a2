#include "schedule/DueTracker.h"

#include <limits>

#include "platform/CommonRoutines.h"
#include "schedule/Interval.h"

namespace ondrevan {
namespace {

// A set second that fell between two ticks at most this far apart still counts; a longer
// gap (the machine asleep, the program not running) is not caught up.
inline constexpr std::int64_t kLateTickSeconds = 5;

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

TickDisplay DueTracker::Show(const ScheduleSetting& setting, const LocalDateTime& now) {
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

    // "Daily:" and " Weekly:" count towards today's set time, whatever the day.
    const bool counted = count();
    const std::int32_t remaining = SecondsUntil(setting.setSecond, now);
    elapsed_ = ClampToInt32(static_cast<std::int64_t>(total_) - remaining);
    status_ = kStatusPrefix;
    if (remaining < 0) return {Shows::Everything, counted, total_, 0, status_};
    status_ += FormatCountdown(remaining);
    if (setting.kind == ScheduleKind::Weekly) {
        status_ += " [";
        if (setting.weekday) status_ += kWeekdayNames[*setting.weekday];
        status_ += ']';
    }
    return {Shows::Everything, counted, total_, elapsed_, status_};
}

bool DueTracker::TakeDue(const ScheduleSetting& setting, const LocalDateTime& now) {
    switch (setting.kind) {
        case ScheduleKind::Every:
            if (!setting.interval || *setting.interval < 1 || elapsed_ != total_) return false;
            elapsed_ = 0;
            return true;
        case ScheduleKind::Daily:
        case ScheduleKind::Weekly:
            return TakeSetSecond(setting, now);
        case ScheduleKind::None:
            break;
    }
    return false;
}

bool DueTracker::TakeSetSecond(const ScheduleSetting& setting, const LocalDateTime& now) {
    const std::int64_t current = TimelineSeconds(now);
    std::int64_t previous = current - 1;
    if (previousTick_) {
        const std::int64_t last = TimelineSeconds(*previousTick_);
        if (current - last >= 0 && current - last <= kLateTickSeconds) previous = last;
    }
    previousTick_ = now;

    const std::int64_t today = current - now.time.seconds;
    // Yesterday's set second too: a late tick can carry it past midnight.
    for (std::int64_t day : {today, today - kSecondsPerDay}) {
        const std::int64_t due = day + setting.setSecond;
        if (due <= previous || due > current) continue;
        if (setting.kind == ScheduleKind::Weekly) {
            const auto weekday = std::chrono::weekday{
                std::chrono::sys_days{std::chrono::days{day / kSecondsPerDay}}};
            if (setting.weekday != weekday.c_encoding()) continue;
        }
        // A clock put back (the end of summer time) brings the same set second again.
        if (lastRunSecond_ && *lastRunSecond_ == due) continue;
        lastRunSecond_ = due;
        return true;
    }
    return false;
}

}  // namespace ondrevan
