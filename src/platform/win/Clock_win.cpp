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

std::int64_t Win32Clock::UtcSeconds() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10'000'000) - 11'644'473'600;  // from 1601 to 1970
}

int Win32Clock::OffsetAt(std::int64_t utcSeconds) const {
    // The zone as it stands now, with its summer-time rules for that instant's year.
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(utcSeconds + 11'644'473'600) * 10'000'000;
    const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utcTime{}, localTime{};
    FILETIME local{};
    if (!::FileTimeToSystemTime(&utc, &utcTime) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime) ||
        !::SystemTimeToFileTime(&localTime, &local))
        return 0;
    const std::uint64_t localTicks =
        (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    return static_cast<int>(
        (static_cast<std::int64_t>(localTicks) - static_cast<std::int64_t>(ticks)) / 10'000'000);
}

}  // namespace ondrevan::win
