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
// Its reading in seconds on the local timeline, or nothing when the text is not one. A stamp
// with its offset from UTC after it reads too (its wall-clock part).
std::optional<std::int64_t> ParseIsoLocalTime(std::string_view text);

// A stamp as the settings keep it: the wall-clock reading and, in the form written since
// summer time was taken into account, its offset from UTC ("2026-11-01T01:30:00-04:00").
struct Stamp {
    std::int64_t wall = 0;      // seconds on the local timeline
    std::optional<int> offset;  // seconds east of UTC; nothing in the older form
};
std::optional<Stamp> ParseStamp(std::string_view text);
// The stamp of an instant (seconds since 1970 UTC): its reading in the zone, with the offset.
std::string StampText(std::int64_t utc, const ZoneRules& zone);
// The instants at which the wall clock reads `wall`: the first and the last (two apart in
// the hour a fall-back repeats). A reading the clock skips (the spring-forward gap) has
// none: both are then the first moment after the gap.
struct WallInstants {
    std::int64_t first = 0, last = 0;
};
WallInstants InstantsOf(std::int64_t wall, const ZoneRules& zone);
// The instant a stamp names; the older form, a wall-clock reading only, names its last.
std::int64_t StampInstant(const Stamp& stamp, const ZoneRules& zone);
// Whether the moment automatic deletion was switched on counts: one still to come was
// written while the clock was ahead, and says nothing of when runs were due.
bool SwitchedOnStampCounts(const Stamp& stamp, std::int64_t now, const ZoneRules& zone);

// Since when set instants count as missed: the later of the two stamps, the last scheduled
// run and the switching on (as stored, IsoLocalTime). An empty stamp was never written; a
// stamp that does not read leaves the time unknown, and an unknown time misses nothing.
std::optional<std::int64_t> MissedSince(std::string_view lastRun, std::string_view switchedOn);

}  // namespace ondrevan
