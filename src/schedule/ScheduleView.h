#pragma once

#include <cstdint>
#include <string>

#include "platform/DateTime.h"
#include "schedule/DueTracker.h"
#include "schedule/Interval.h"

namespace ondrevan {

// The "Delete Schedule" frame as the scheduler reads it. The window implements it over its
// controls; a change made through it raises the control's own handler, as a user's does.
class ScheduleInputs {
  public:
    virtual ScheduleKind Kind() const = 0;
    virtual TimeOfDay SetTime() const = 0;
    virtual std::string Weekday() const = 0;
    virtual const std::string& IntervalText(IntervalField field) const = 0;
    virtual void SetIntervalText(IntervalField field, const std::string& text) = 0;
    // The time picker and the weekday box serve only their kinds.
    virtual void EnableSetTime(bool time, bool weekday) = 0;
    // The focus is in one of the three interval fields.
    virtual bool FocusInInterval() const = 0;
    virtual void FocusIntervalField(IntervalField field) = 0;
    virtual void SelectIntervalText(IntervalField field) = 0;

  protected:
    ~ScheduleInputs() = default;
};

// What the scheduler shows and drives in the window: the status line, the progress bar, the
// switch's caption, the pointer and the timer.
class ScheduleView {
  public:
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void SetProgressMax(std::int32_t max) = 0;
    virtual void SetProgressValue(std::int32_t value) = 0;
    // Back to the bar's resting look: empty, with its own text.
    virtual void ClearProgress() = 0;
    virtual const std::string& SwitchCaption() const = 0;
    virtual void SetSwitchCaption(const std::string& caption) = 0;
    virtual void ShowDefaultPointer() = 0;
    // Armed, the timer ticks once a second; disarmed, not at all.
    virtual void ArmTimer() = 0;
    virtual void DisarmTimer() = 0;

  protected:
    ~ScheduleView() = default;
};

}  // namespace ondrevan
