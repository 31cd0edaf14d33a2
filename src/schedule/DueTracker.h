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

// Signed seconds from now to today's date at the set second.
inline std::int32_t SecondsUntil(int setSecond, const LocalDateTime& now) {
    return setSecond - now.time.seconds;
}

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
// base, the previous tick and the set second that last ran. Plain values in and out; the
// window shows what `Show` says, lets its messages run, then asks `TakeDue`.
class DueTracker {
  public:
    // Counts the tick and works out what it shows. "Delete every:" beyond its range (no
    // interval, or less than a second) is not counted towards and shows only its status.
    TickDisplay Show(const ScheduleSetting& setting, const LocalDateTime& now);
    // Whether the run is due now, for the kind the tick showed with the set time and weekday
    // as they now stand. A due run is taken: the count starts again, or the set second is
    // marked as run, so the same run never comes due twice.
    bool TakeDue(const ScheduleSetting& setting, const LocalDateTime& now);

    // "Delete every:" chosen: the count starts at 0.
    void RestartCount() { elapsed_ = 0; }
    // The progress base of "Daily:" and " Weekly:": the seconds left to the set time.
    void Rebase(std::int32_t secondsUntilSetTime) { total_ = secondsUntilSetTime; }
    // A new set time, kind or switch may run today.
    void ForgetLastRun() { lastRunSecond_.reset(); }
    // A set second that passes while the switch is off is not caught up when it comes on.
    void SwitchedOff() {
        previousTick_.reset();
        ForgetLastRun();
    }
    // A missed run caught up: the tick that would meet its set second again does not run.
    void MarkRun(std::int64_t setInstant) { lastRunSecond_ = setInstant; }

    std::int32_t ElapsedSeconds() const { return elapsed_; }
    std::int32_t TotalSeconds() const { return total_; }

  private:
    // Takes the set second when this tick lies in it, or when it fell between the previous
    // tick and this one a moment ago (a late timer skips a second now and then).
    bool TakeSetSecond(const ScheduleSetting& setting, const LocalDateTime& now);

    std::int32_t elapsed_ = 0;
    std::int32_t total_ = 0;
    std::optional<LocalDateTime> previousTick_;
    std::optional<std::int64_t> lastRunSecond_;
    std::string status_;  // reused, so an idle tick allocates nothing
};

}  // namespace ondrevan
