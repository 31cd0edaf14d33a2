#include "app/HomePage.h"

#include <random>
#include <string>

#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/Shell.h"

namespace ondrevan {

inline constexpr int kLuckyNumber = 7;

int HomePageDraw(int secondsSinceMidnight) {
    std::mt19937 generator(static_cast<std::mt19937::result_type>(secondsSinceMidnight));
    const double fraction = static_cast<double>(generator()) / 4294967296.0;  // [0, 1)
    return static_cast<int>(fraction * 100) + 1;
}

void VisitHomePageAtRandom(Clock& clock, Shell& shell) {
    if (HomePageDraw(clock.Now().time.seconds) != kLuckyNumber) return;
    shell.RunCommandLine(std::string("explorer \"") + kHomePageUrl + "\"",
                         ShowMode::MinimizedWithFocus);
}

}  // namespace ondrevan
