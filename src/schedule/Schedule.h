#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controls/Event.h"
#include "delete/DeleteRun.h"
#include "platform/DateTime.h"
#include "schedule/DueTracker.h"
#include "schedule/Interval.h"
#include "schedule/ScheduleView.h"

namespace ondrevan {

class AppMessages;
class AppSettings;
class Clock;
class Dialogs;
class ErrorTrap;
class EventPump;
class HistoryLog;
class cSysTray;
class ListView;
class Locale;
struct RunTotals;
struct Stamp;

inline constexpr const char* kSwitchOnCaption = "Turn Off Automatic Delete";
inline constexpr const char* kSwitchOffCaption = "Turn On Automatic Delete";

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
        ScheduleInputs& inputs;    // the "Delete Schedule" frame
        ScheduleView& view;        // the status line, the progress bar, the switch, the timer
        ListView& ListView1;       // the folder list a run walks
    };
    explicit Schedule(const Uses& uses) : uses_(uses) {}

    // The schedule settings.
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Text_Change(IntervalField field);
    void Text_GotFocus(IntervalField field);
    void Text_LostFocus(IntervalField field);
    void cboWeekly_Click();
    void dtpWeekly_Change();
    // Seconds from now to the next daily or weekly run (0 when none will come).
    std::int32_t SecondsUntilSetTime();
    // The local date and time of the next daily or weekly run; nothing for other kinds.
    std::optional<LocalDateTime> NextRun() const;

    // The tick.
    void Timer1_Timer();

    // A daily or weekly run missed while the program was not running (or the machine
    // slept) is run once, a few seconds later, when the option asks for it.
    void CheckMissedRun();
    bool CatchUpPending() const { return catchUpIn_ > 0; }

    // The clock or the zone was changed: a due time it skipped is dealt with now, not a
    // second later.
    void ClockChanged();

    // The switch.
    void PushButton2_Click();
    void RestoreSwitchState();
    bool IsOn() const;

    // Raised after each scheduled run, once its time is kept: the tray tip tells of it.
    Event<> ScheduledRunDone;

    std::int32_t ElapsedSeconds() const { return due_.ElapsedSeconds(); }
    std::int32_t TotalSeconds() const { return due_.TotalSeconds(); }
    std::int32_t CurrentItem = 0;  // 1-based; 32 bits, so long lists wrap correctly

  private:
    void SaveKindOptions();
    // The settings as they stand; the interval is read only by `ReadInterval`.
    ScheduleSetting ReadSpec() const;
    // The interval fields, each given its fallback when it is not a number. An interval
    // beyond the count is reported once for the texts that make it.
    std::optional<std::int32_t> ReadInterval();
    // The tick's parts, each with the line numbers its error reports carry.
    void TickEvery(ErrorTrap& trap, ScheduleSetting& setting);
    void TickAtSetTime(ErrorTrap& trap, ScheduleSetting& setting);
    void RunSteps(ErrorTrap& trap, int firstLine, bool everyKind,
                  RunTrigger by = RunTrigger::Schedule);
    // What follows each scheduled run: its time is kept, the tray says how it went.
    void AfterScheduledRun();
    void RunCatchUp(ErrorTrap& trap);
    // The stored last run read into the tracker, unless it is too far ahead to tell anything.
    void LoadLastRun();
    bool TrustedStamp(const Stamp& stamp) const;

    // The run, the only places the scheduler calls it: asked when the switch comes on,
    // started when a run is due, and what it did read afterwards.
    bool AskRun();
    void StartRun(RunTrigger by);
    const RunTotals& LastRunTotals() const;
    const std::string& LastRunSummary() const;

    Uses uses_;
    RunReport lastReport_;  // what the last scheduled run did
    // The failures of the last scheduled run that only failed, once its balloon named them.
    std::vector<std::string> failuresSaid_;
    DueTracker due_;
    std::string keptCaption_ = kSwitchOffCaption;
    // The switch's own question is up: a further press or click is part of it.
    bool asking_ = false;
    // A tick is under way (its error box or its run may be up): the next one waits.
    bool ticking_ = false;
    // The interval texts whose overflow was reported: reported once, not every second.
    std::string reportedOverflow_;
    // Ticks until a missed run is caught up (0: none waiting), and its set instant.
    int catchUpIn_ = 0;
    std::int64_t catchUpDue_ = 0, catchUpWall_ = 0;
    // The due time (UTC) of the daily or weekly run under way; nothing for an interval's.
    std::optional<std::int64_t> runFor_;
};

}  // namespace ondrevan
