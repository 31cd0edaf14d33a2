#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ondrevan {

// The interval of "Delete every:" in whole seconds, to the nearest with ties to even;
// throws AppError "Overflow" beyond 32 bits.
std::int32_t IntervalSeconds(double hours, double minutes, double seconds);
// The same, or nothing when the total does not fit the count.
std::optional<std::int32_t> TryIntervalSeconds(double hours, double minutes, double seconds);

// The longest interval the count can reach, in whole hours, as the user is told.
inline constexpr const char* kIntervalRule =
    "The interval must be at least 1 second and at most 596,523 hours.";
inline constexpr const char* kIntervalOutOfRangeStatus =
    "On. Nothing will be deleted: the interval is out of range.";

enum class IntervalField { Hours, Minutes, Seconds };
inline constexpr IntervalField kIntervalFields[] = {IntervalField::Hours, IntervalField::Minutes,
                                                    IntervalField::Seconds};

// What a field that does not hold a number is given back at the next tick.
const char* IntervalFallback(IntervalField field);

// The three fields' texts, hours first.
struct IntervalTexts {
    const std::string& hours;
    const std::string& minutes;
    const std::string& seconds;
    const std::string& operator[](IntervalField field) const {
        return field == IntervalField::Hours     ? hours
               : field == IntervalField::Minutes ? minutes
                                                 : seconds;
    }
};

// The interval the three fields make, each a number; nothing when the total does not fit
// the count.
std::optional<std::int32_t> IntervalOf(const IntervalTexts& texts, const std::string& separator);

// The interval the schedule counts for three stored or shown texts: each a number (as the
// locale writes it), not below 0, the total rounded to whole seconds between 1 and what the
// count holds; nothing when they make no schedule. The tick, the tray, /status and the
// catch-up all read the interval through this.
std::optional<std::int32_t> IntervalInForce(const IntervalTexts& texts,
                                            const std::string& separator);

// Why the interval field being left cannot make a schedule, or nothing when it can. Only
// what that field alone can spoil is judged (a non-number, a negative value, a value too
// long for the count), unless `wholeInterval`: the user has left the three fields, and the
// total must lie between 1 second and what the count can hold.
std::optional<std::string> IntervalFault(const std::string& hours, const std::string& minutes,
                                         const std::string& seconds, const std::string& separator,
                                         IntervalField field, bool wholeInterval);

}  // namespace ondrevan
