#pragma once

#include <optional>
#include <string>

#include "platform/DateTime.h"

namespace ondrevan {

// The user's regional settings: how times, dates and numbers are written.
class Locale {
  public:
    virtual ~Locale() = default;
    // The time in the user's long time format, such as "2:30:00 PM".
    virtual std::string FormatLongTime(TimeOfDay time) = 0;
    // The date in the user's short date format.
    virtual std::string FormatShortDate(const LocalDateTime& when) = 0;
    // Reads back a time of day written in the user's format (or any common form); a text
    // holding a date and a time yields its time. Nothing when the text is not a time.
    virtual std::optional<TimeOfDay> ParseTime(const std::string& text) = 0;
    virtual std::string DecimalSeparator() = 0;
};

}  // namespace ondrevan
