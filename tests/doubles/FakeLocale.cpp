#include <cctype>
#include <cstdio>

#include "FakeSystem.h"

namespace ondrevan::testing {

std::string FakeLocale::FormatLongTime(TimeOfDay time) {
    int hour12 = time.Hour() % 12 == 0 ? 12 : time.Hour() % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d %s", hour12, time.Minute(), time.Second(),
                  time.Hour() < 12 ? "AM" : "PM");
    return text;
}

std::string FakeLocale::FormatShortDate(const LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%u/%u/%d", static_cast<unsigned>(when.date.month()),
                  static_cast<unsigned>(when.date.day()), static_cast<int>(when.date.year()));
    return text;
}

// Reads "[date ]h:mm[:ss][ AM|PM]".
std::optional<TimeOfDay> FakeLocale::ParseTime(const std::string& text) {
    std::size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    std::size_t start = text.rfind(' ', colon);
    start = start == std::string::npos ? 0 : start + 1;
    int h = 0, m = 0, s = 0;
    char rest[8] = "";
    int fields = std::sscanf(text.c_str() + start, "%d:%d:%d %7s", &h, &m, &s, rest);
    if (fields < 2) return std::nullopt;
    if (fields == 2) {
        std::sscanf(text.c_str() + start, "%d:%d %7s", &h, &m, rest);
        s = 0;
    }
    std::string designator(rest);
    for (char& c : designator) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (designator == "PM" && h < 12) h += 12;
    if (designator == "AM" && h == 12) h = 0;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return std::nullopt;
    return TimeOfDay::FromHms(h, m, s);
}

}  // namespace ondrevan::testing
