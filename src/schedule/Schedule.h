#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controls/Event.h"
#include "platform/DateTime.h"

namespace ondrevan {

class AppMessages;
class AppSettings;
class Clock;
class ComboBox;
class DateTimePicker;
class DeleteRun;
class Dialogs;
class ErrorTrap;
class EventPump;
class FormWindow;
class HistoryLog;
class cSysTray;
class Frame;
class ListView;
class Locale;
class OptionButton;
class ProgressBar;
class PushButton;
class TextBox;
class Timer;

inline constexpr const char* kSwitchOnCaption = "Turn Off Automatic Delete";
inline constexpr const char* kSwitchOffCaption = "Turn On Automatic Delete";
inline constexpr const char* kStatusPrefix = "On. Next deleting will occur in: ";

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

// Why the interval field being left cannot make a schedule, or nothing when it can. Only
// what that field alone can spoil is judged (a non-number, a negative value, a value too
// long for the count), unless `wholeInterval`: the user has left the three fields, and the
// total must lie between 1 second and what the count can hold.
std::optional<std::string> IntervalFault(const std::string& hours, const std::string& minutes,
                                         const std::string& seconds, const std::string& separator,
                                         IntervalField field, bool wholeInterval);

// The schedule: its settings (the "Delete Schedule" frame), the once-a-second tick and
// the automatic-delete switch with its hot key.
class Schedule {
  public:
    struct Uses {
        Clock& clock;
        EventPump& pump;
        Locale& locale;
        Dialogs& dialogs;
        const AppSettings& settings;
        AppMessages& messages;
        DeleteRun& run;
        HistoryLog& history;
        cSysTray& tray;
        const bool& hiddenToTray;  // the window is hidden in the notification area
        FormWindow& Window;
        ListView& ListView1;
        PushButton& PushButton2;  // the switch
        Frame& Frame4;            // its caption is the status line
        ProgressBar& ProgressBar1;
        Timer& Timer1;
        OptionButton& Option3;  // every interval
        OptionButton& Option4;  // daily
        OptionButton& Option5;  // weekly
        TextBox& Text1;         // hours
        TextBox& Text2;         // minutes
        TextBox& Text3;         // seconds
        DateTimePicker& dtpWeekly;
        ComboBox& cboWeekly;
    };
    explicit Schedule(const Uses& uses) : uses_(uses) {}

    // The schedule settings.
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Text_Change(TextBox& field, const char* key);
    void Text_GotFocus(TextBox& field);
    void Text_LostFocus(TextBox& field);
    void cboWeekly_Click();
    void dtpWeekly_Change();
    // Signed seconds from now to today's date at the picker's time.
    std::int32_t SecondsUntilSetTime();

    // The tick.
    void Timer1_Timer();

    // A daily or weekly run missed while the program was not running (or the machine
    // slept) is run once, a few seconds later, when the option asks for it.
    void CheckMissedRun();
    bool CatchUpPending() const { return catchUpIn_ > 0; }

    // The switch.
    void PushButton2_Click();
    void RestoreSwitchState();
    bool IsOn() const;

    // Raised after each scheduled run, once its time is kept: the tray tip tells of it.
    Event<> ScheduledRunDone;

    std::int32_t ElapsedSeconds = 0;
    std::int32_t TotalSeconds = 0;
    std::int32_t CurrentItem = 0;  // 1-based; 32 bits, so long lists wrap correctly

  private:
    void SaveKindOptions();
    // Forgets the last run's set second: a new set time, kind or switch may run today.
    void ForgetLastRun() { lastRunSecond_.reset(); }
    void Arm();
    void Disarm();
    // The set second has come: this tick lies in it, or it fell between the previous
    // tick and this one a moment ago (a late timer skips a second now and then).
    bool SetSecondReached(const LocalDateTime& now, bool weekly);
    void RunSteps(ErrorTrap& trap, bool everyKind);
    // What follows each scheduled run: its time is kept, the tray says how it went.
    void AfterScheduledRun();
    void RunCatchUp(ErrorTrap& trap);

    Uses uses_;
    std::string keptCaption_ = kSwitchOffCaption;
    std::string status_;  // reused, so an idle tick allocates nothing
    std::optional<LocalDateTime> previousTick_;
    std::optional<std::int64_t> lastRunSecond_;
    // The switch's own question is up: a further press or click is part of it.
    bool asking_ = false;
    // A tick is under way (its error box or its run may be up): the next one waits.
    bool ticking_ = false;
    // The interval texts whose overflow was reported: reported once, not every second.
    std::string reportedOverflow_;
    // Ticks until a missed run is caught up (0: none waiting), and its set instant.
    int catchUpIn_ = 0;
    std::int64_t catchUpDue_ = 0;
};

}  // namespace ondrevan
