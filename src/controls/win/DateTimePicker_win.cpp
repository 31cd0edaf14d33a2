#include <oleacc.h>

#include "controls/DateTimePicker.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlKind_win.h"

namespace ondrevan::win {
namespace {

SYSTEMTIME TodayAt(TimeOfDay time) {
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    st.wHour = static_cast<WORD>(time.Hour());
    st.wMinute = static_cast<WORD>(time.Minute());
    st.wSecond = static_cast<WORD>(time.Second());
    st.wMilliseconds = 0;
    return st;
}

class DateTimePickerKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {DATETIMEPICK_CLASSW, WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | DTS_TIMEFORMAT, 0};
    }

    void Created(ControlWindows& windows, Entry& entry) const override {
        windows.Mirror(*entry.control, Property::Value);
    }
    void Mirror(ControlWindows&, Entry& entry, Property property, bool echo) const override {
        if (property != Property::Value || echo) return;
        SYSTEMTIME st = TodayAt(static_cast<DateTimePicker&>(*entry.control).Value());
        DateTime_SetSystemtime(entry.window, GDT_VALID, &st);
    }

    std::optional<LRESULT> Notify(ControlEvents& events, Entry& entry,
                                  const NMHDR& header) const override {
        if (header.code != DTN_DATETIMECHANGE) return std::nullopt;
        const auto& change = reinterpret_cast<const NMDATETIMECHANGE&>(header);
        if (change.dwFlags == GDT_VALID) {
            ControlWindows::Echo echo(events.Windows(), *entry.control);
            static_cast<DateTimePicker&>(*entry.control)
                .SetValue(
                    TimeOfDay::FromHms(change.st.wHour, change.st.wMinute, change.st.wSecond));
        }
        return 0;
    }
    void Clicked(Control& control) const override {
        static_cast<DateTimePicker&>(control).Click.Raise();
    }

    void Describe(const Control&, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_SPINBUTTON;  // a time set with its arrows
    }

    std::optional<LRESULT> Intercept(ControlEvents& events, Entry& entry, UINT message, WPARAM,
                                     LPARAM) const override {
        // The picker reports changes only; its click comes through the main window, where a
        // handler's error is reported like any other.
        if (message == WM_LBUTTONUP)
            ::PostMessageW(events.Windows().MainWindow(), kControlClickMessage,
                           static_cast<WPARAM>(entry.id), 0);
        return std::nullopt;
    }
};

}  // namespace

const ControlKindWin& DateTimePickerWin() {
    static const DateTimePickerKind kind;
    return kind;
}

}  // namespace ondrevan::win
