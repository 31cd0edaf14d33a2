#pragma once

#include "platform/DateTime.h"

namespace ondrevan {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
};

}  // namespace ondrevan
