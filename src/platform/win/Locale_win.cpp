#include <windows.h>

#include <oleauto.h>

#include <cmath>

#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& when) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(static_cast<int>(when.date.year()));
    st.wMonth = static_cast<WORD>(static_cast<unsigned>(when.date.month()));
    st.wDay = static_cast<WORD>(static_cast<unsigned>(when.date.day()));
    st.wHour = static_cast<WORD>(when.time.Hour());
    st.wMinute = static_cast<WORD>(when.time.Minute());
    st.wSecond = static_cast<WORD>(when.time.Second());
    return st;
}

}  // namespace

std::string Win32Locale::FormatLongTime(TimeOfDay time) {
    LocalDateTime when;
    when.time = time;
    SYSTEMTIME st = ToSystemTime(when);
    wchar_t text[128] = {};
    if (!::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, text, 128)) throw LastError();
    return Narrow(text);
}

std::string Win32Locale::FormatShortDate(const LocalDateTime& when) {
    SYSTEMTIME st = ToSystemTime(when);
    wchar_t text[128] = {};
    if (!::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 128,
                           nullptr))
        throw LastError();
    return Narrow(text);
}

std::optional<TimeOfDay> Win32Locale::ParseTime(const std::string& text) {
    // The same conversion a date variant makes, in the user's locale.
    std::wstring wide = Widen(text);
    DATE date = 0;
    if (FAILED(::VarDateFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &date))) return std::nullopt;
    double dayFraction = std::fabs(date - std::trunc(date));
    int seconds = static_cast<int>(std::lround(dayFraction * kSecondsPerDay)) % kSecondsPerDay;
    return TimeOfDay{seconds};
}

std::string Win32Locale::DecimalSeparator() {
    wchar_t text[8] = {};
    if (!::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8)) return ".";
    return Narrow(text);
}

}  // namespace ondrevan::win
