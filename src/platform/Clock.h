#pragma once

#include <cstdint>

#include "platform/DateTime.h"

namespace ondrevan {

// The wall clock and the zone it reads in.
class Clock : public ZoneRules {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
    // Now in seconds since 1970-01-01 UTC, the scale of a file's times.
    virtual std::int64_t UtcSeconds() = 0;
};

}  // namespace ondrevan
