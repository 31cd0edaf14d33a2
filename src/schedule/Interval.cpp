#include "schedule/Interval.h"

#include <cmath>
#include <limits>

#include "platform/AppError.h"
#include "platform/Numeric.h"

namespace ondrevan {

std::optional<std::int32_t> TryIntervalSeconds(double hours, double minutes, double seconds) {
    // nearbyint rounds to the nearest, ties to even, in the default rounding mode.
    const double total = std::nearbyint(hours * 3600 + minutes * 60 + seconds);
    if (!(total >= std::numeric_limits<std::int32_t>::min() &&
          total <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(total);
}

std::int32_t IntervalSeconds(double hours, double minutes, double seconds) {
    if (auto total = TryIntervalSeconds(hours, minutes, seconds)) return *total;
    throw AppError(errors::kOverflow, "Overflow");
}

const char* IntervalFallback(IntervalField field) {
    return field == IntervalField::Seconds ? "5" : "0";
}

std::optional<std::int32_t> IntervalOf(const IntervalTexts& texts, const std::string& separator) {
    return TryIntervalSeconds(*ParseNumber(texts.hours, separator),
                              *ParseNumber(texts.minutes, separator),
                              *ParseNumber(texts.seconds, separator));
}

std::optional<std::int32_t> IntervalInForce(const IntervalTexts& texts,
                                            const std::string& separator) {
    const auto h = ParseNumber(texts.hours, separator), m = ParseNumber(texts.minutes, separator),
               s = ParseNumber(texts.seconds, separator);
    if (!h || !m || !s || *h < 0 || *m < 0 || *s < 0) return std::nullopt;
    const auto total = TryIntervalSeconds(*h, *m, *s);
    if (!total || *total < 1) return std::nullopt;
    return total;
}

std::optional<std::string> IntervalFault(const std::string& hours, const std::string& minutes,
                                         const std::string& seconds, const std::string& separator,
                                         IntervalField field, bool wholeInterval) {
    const std::string& text = IntervalTexts{hours, minutes, seconds}[field];
    const auto value = ParseNumber(text, separator);
    if (!value) return "Must be a numeric entry.";
    if (*value < 0) return kIntervalRule;
    // What this field alone holds: blaming it for another field's value would send the
    // focus back and forth between the two.
    const bool ownOverflow = !TryIntervalSeconds(field == IntervalField::Hours ? *value : 0,
                                                 field == IntervalField::Minutes ? *value : 0,
                                                 field == IntervalField::Seconds ? *value : 0);
    if (ownOverflow) return kIntervalRule;
    if (!wholeInterval) return std::nullopt;
    const auto h = ParseNumber(hours, separator), m = ParseNumber(minutes, separator),
               s = ParseNumber(seconds, separator);
    // A field that is not a number yet is judged when the user leaves that one.
    if (!h || !m || !s) return std::nullopt;
    const auto total = TryIntervalSeconds(*h, *m, *s);
    if (!total || *total < 1) return kIntervalRule;
    return std::nullopt;
}

}  // namespace ondrevan
