#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace ondrevan {

// A moment as the settings keep it: local time as "YYYY-MM-DDTHH:MM:SS", the same in
// every locale.
std::string IsoLocalTime(const LocalDateTime& when);
// Its reading in seconds on the local timeline, or nothing when the text is not one.
std::optional<std::int64_t> ParseIsoLocalTime(std::string_view text);

// Since when set instants count as missed: the later of the two stamps, the last scheduled
// run and the switching on (as stored, IsoLocalTime). An empty stamp was never written; a
// stamp that does not read leaves the time unknown, and an unknown time misses nothing.
std::optional<std::int64_t> MissedSince(std::string_view lastRun, std::string_view switchedOn);

// The set instant of "Daily:" (no weekday) or " Weekly:" (the weekday, 0 Sunday to 6
// Saturday) that was missed: the latest that lies after `since` and no later than `now`,
// or nothing. However many were missed, there is one: a catch-up runs once. All times are
// seconds on the local timeline.
std::optional<std::int64_t> MissedRun(std::int64_t since, std::int64_t now, int setSecond,
                                      std::optional<unsigned> weekday);

}  // namespace ondrevan
