#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

LocalDateTime Win32Clock::Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    LocalDateTime result;
    result.date =
        std::chrono::year{now.wYear} / std::chrono::month{now.wMonth} / std::chrono::day{now.wDay};
    result.time = TimeOfDay::FromHms(now.wHour, now.wMinute, now.wSecond);
    result.millisecond = now.wMilliseconds;
    return result;
}

}  // namespace ondrevan::win
