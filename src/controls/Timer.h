#pragma once

#include "controls/Control.h"

namespace ondrevan {

// A window timer: it fires Tick every interval while enabled and the interval is not 0.
class Timer : public Control {
  public:
    explicit Timer(std::string name) : Control(ControlKind::Timer, std::move(name)) {
        SetVisible(false);
    }

    bool TimerEnabled() const { return enabled_; }
    void SetTimerEnabled(bool enabled) { Assign(enabled_, enabled, Property::Timer); }
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds) { Assign(interval_, milliseconds, Property::Timer); }
    bool Running() const { return enabled_ && interval_ > 0; }

    Event<> Tick;

  private:
    bool enabled_ = false;
    int interval_ = 0;
};

}  // namespace ondrevan
