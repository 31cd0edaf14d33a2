#pragma once

#include <vector>

#include "platform/EventLog.h"

namespace ondrevan::testing {

// The events reported, in order.
class RecordingEventLog : public EventLog {
  public:
    void Report(const EventRecord& event) override { events.push_back(event); }
    std::vector<EventRecord> events;
};

}  // namespace ondrevan::testing
