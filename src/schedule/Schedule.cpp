#include "schedule/Schedule.h"

#include <cmath>
#include <limits>

#include "controls/ComboBox.h"
#include "controls/DateTimePicker.h"
#include "controls/FormWindow.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "controls/SysTray.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"
#include "delete/DeleteRun.h"
#include "history/HistoryLog.h"
#include "platform/AppMessages.h"
#include "platform/AppSettings.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/EventPump.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "platform/ScopedFlag.h"
#include "platform/SettingKeys.h"
#include "platform/ValueForms.h"
#include "schedule/CatchUp.h"

namespace ondrevan {
namespace {

inline constexpr int kArmedInterval = 1000;
// A set second that fell between two ticks at most this far apart still counts; a longer
// gap (the machine asleep, the program not running) is not caught up.
inline constexpr std::int64_t kLateTickSeconds = 5;
// A missed run waits this many ticks, so the window or the tray icon is up first.
inline constexpr int kCatchUpTicks = 3;

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

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
    throw AppError(6, "Overflow");
}

std::optional<std::string> IntervalFault(const std::string& hours, const std::string& minutes,
                                         const std::string& seconds, const std::string& separator,
                                         IntervalField field, bool wholeInterval) {
    const std::string& text = field == IntervalField::Hours     ? hours
                              : field == IntervalField::Minutes ? minutes
                                                                : seconds;
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

// ---- the schedule settings ----

std::int32_t Schedule::SecondsUntilSetTime() {
    return uses_.dtpWeekly.Value().seconds - uses_.clock.Now().time.seconds;
}

void Schedule::SaveKindOptions() {
    uses_.settings.Save(keys::kOption5, BooleanText(uses_.Option5.Value()));
    uses_.settings.Save(keys::kOption4, BooleanText(uses_.Option4.Value()));
    uses_.settings.Save(keys::kOption3, BooleanText(uses_.Option3.Value()));
}

void Schedule::Option3_Click() {
    ElapsedSeconds = 0;
    ForgetLastRun();
    uses_.dtpWeekly.SetEnabled(false);
    uses_.cboWeekly.SetEnabled(false);
    SaveKindOptions();
}

void Schedule::Option4_Click() {
    TotalSeconds = SecondsUntilSetTime();
    ForgetLastRun();
    uses_.dtpWeekly.SetEnabled(true);
    uses_.cboWeekly.SetEnabled(false);
    SaveKindOptions();
}

void Schedule::Option5_Click() {
    TotalSeconds = SecondsUntilSetTime();
    ForgetLastRun();
    uses_.dtpWeekly.SetEnabled(true);
    uses_.cboWeekly.SetEnabled(true);
    SaveKindOptions();
}

void Schedule::Text_Change(TextBox& field, const char* key) {
    uses_.settings.Save(key, field.Text());
}

void Schedule::Text_GotFocus(TextBox& field) {
    field.Select(0, static_cast<int>(field.Text().size()));
}

void Schedule::Text_LostFocus(TextBox& field) {
    // Moving between the three fields may pass through a total of 0 (1 h 0 m 0 s becoming
    // 0 h 0 m 30 s): the total is judged once the focus leaves them.
    const Control* next = uses_.Window.ActiveControl();
    const bool leavingInterval =
        next != &uses_.Text1 && next != &uses_.Text2 && next != &uses_.Text3;
    const IntervalField which = &field == &uses_.Text1   ? IntervalField::Hours
                                : &field == &uses_.Text2 ? IntervalField::Minutes
                                                         : IntervalField::Seconds;
    const auto fault = IntervalFault(uses_.Text1.Text(), uses_.Text2.Text(), uses_.Text3.Text(),
                                     uses_.locale.DecimalSeparator(), which, leavingInterval);
    if (!fault) return;
    uses_.messages.MsgBox(*fault);
    field.SetFocus();
}

void Schedule::cboWeekly_Click() {
    uses_.settings.Save(keys::kWeekly, uses_.cboWeekly.Text());
}

void Schedule::dtpWeekly_Change() {
    uses_.settings.Save(keys::kWeeklyTime, uses_.locale.FormatLongTime(uses_.dtpWeekly.Value()));
    // The weekly kind keeps its progress base; the daily kind starts a new one.
    if (uses_.Option4.Value()) TotalSeconds = SecondsUntilSetTime();
    ForgetLastRun();
}

// ---- the tick ----

bool Schedule::SetSecondReached(const LocalDateTime& now, bool weekly) {
    const std::int64_t current = TimelineSeconds(now);
    std::int64_t previous = current - 1;
    if (previousTick_) {
        const std::int64_t last = TimelineSeconds(*previousTick_);
        if (current - last >= 0 && current - last <= kLateTickSeconds) previous = last;
    }
    previousTick_ = now;

    const std::int64_t today = current - now.time.seconds;
    const int setSecond = uses_.dtpWeekly.Value().seconds;
    // Yesterday's set second too: a late tick can carry it past midnight.
    for (std::int64_t day : {today, today - kSecondsPerDay}) {
        const std::int64_t due = day + setSecond;
        if (due <= previous || due > current) continue;
        if (weekly) {
            const auto weekday = std::chrono::weekday{
                std::chrono::sys_days{std::chrono::days{day / kSecondsPerDay}}};
            if (uses_.cboWeekly.Text() != kWeekdayNames[weekday.c_encoding()]) continue;
        }
        // A clock put back (the end of summer time) brings the same set second again.
        if (lastRunSecond_ && *lastRunSecond_ == due) continue;
        lastRunSecond_ = due;
        return true;
    }
    return false;
}

void Schedule::Timer1_Timer() {
    // A tick whose error box or run is still up has the schedule to itself: a second box
    // every second would bury the window.
    if (ticking_) return;
    ScopedFlag ticking(ticking_);
    ErrorTrap trap(uses_.dialogs, "Form1.Timer1_Timer");
    ListView& list = uses_.ListView1;
    if (list.Count() == 0) return;
    if (catchUpIn_ > 0 && --catchUpIn_ == 0) {
        RunCatchUp(trap);
        return;
    }
    trap.Line([&] {
        if (CurrentItem < 1) CurrentItem = 1;
        if (static_cast<std::size_t>(CurrentItem) > list.Count())
            CurrentItem = ClampToInt32(static_cast<std::int64_t>(list.Count()));
    });
    const int countLine = trap.Reserve();
    auto count = [&] {
        trap.At(countLine, [&] {
            if (ElapsedSeconds == std::numeric_limits<std::int32_t>::max())
                throw AppError(6, "Overflow");
            ++ElapsedSeconds;
        });
    };

    const bool weekly = uses_.Option5.Value();
    const bool daily = !weekly && uses_.Option4.Value();
    if (weekly || daily) {
        count();
        trap.Line([&] { uses_.ProgressBar1.SetMax(TotalSeconds); });
        std::int32_t remaining = 0;
        trap.Line([&] {
            remaining = SecondsUntilSetTime();
            ElapsedSeconds = ClampToInt32(static_cast<std::int64_t>(TotalSeconds) - remaining);
        });
        trap.Line([&] {
            status_ = kStatusPrefix;
            if (remaining >= 0) {
                uses_.ProgressBar1.SetValue(ElapsedSeconds);
                status_ += FormatCountdown(remaining);
                if (weekly) {
                    status_ += " [";
                    status_ += uses_.cboWeekly.Text();
                    status_ += ']';
                }
            } else {
                uses_.ProgressBar1.SetValue(0);
            }
            uses_.Frame4.SetCaption(status_);
        });
        trap.Line([&] { uses_.pump.DoEvents(); });
        bool due = false;
        trap.Line([&] { due = SetSecondReached(uses_.clock.Now(), weekly); });
        if (due) RunSteps(trap, false);
        return;
    }
    if (!uses_.Option3.Value()) {
        count();
        return;
    }

    bool reachable = true;
    trap.Line([&] {
        const std::string separator = uses_.locale.DecimalSeparator();
        struct Field {
            TextBox& box;
            const char* fallback;
        } fields[] = {{uses_.Text1, "0"}, {uses_.Text2, "0"}, {uses_.Text3, "5"}};
        for (Field& field : fields)
            if (!IsNumeric(field.box.Text(), separator)) field.box.SetText(field.fallback);
        const auto total = TryIntervalSeconds(*ParseNumber(uses_.Text1.Text(), separator),
                                              *ParseNumber(uses_.Text2.Text(), separator),
                                              *ParseNumber(uses_.Text3.Text(), separator));
        if (!total) {
            reachable = false;
            // Reported once for these texts; the user answers it by changing a field. (The
            // texts are joined only here: an idle tick allocates nothing.)
            std::string texts =
                uses_.Text1.Text() + '|' + uses_.Text2.Text() + '|' + uses_.Text3.Text();
            if (reportedOverflow_ == texts) return;
            reportedOverflow_ = std::move(texts);
            throw AppError(6, "Overflow");
        }
        TotalSeconds = *total;
        reportedOverflow_.clear();
    });
    // An interval that can never come due is not counted towards.
    if (!reachable || TotalSeconds < 1) {
        trap.Line([&] { uses_.Frame4.SetCaption(kIntervalOutOfRangeStatus); });
        return;
    }
    count();
    // An interval shortened below the count would never be met by counting on: the count
    // starts again, so the next run comes one full interval later.
    if (ElapsedSeconds > TotalSeconds) ElapsedSeconds = 0;
    trap.Line([&] {
        uses_.ProgressBar1.SetMax(TotalSeconds);
        if (ElapsedSeconds <= TotalSeconds) uses_.ProgressBar1.SetValue(ElapsedSeconds);
    });
    trap.Line([&] {
        status_ = kStatusPrefix;
        status_ +=
            FormatCountdown(ClampToInt32(static_cast<std::int64_t>(TotalSeconds) - ElapsedSeconds));
        uses_.Frame4.SetCaption(status_);
    });
    trap.Line([&] { uses_.pump.DoEvents(); });
    if (ElapsedSeconds == TotalSeconds) {
        ElapsedSeconds = 0;
        RunSteps(trap, true);
    }
}

void Schedule::RunSteps(ErrorTrap& trap, bool everyKind) {
    ListView& list = uses_.ListView1;
    trap.Line([&] { Disarm(); });
    trap.Line([&] { uses_.run.DeleteFoldersFiles(list); });
    trap.Line([&] {
        ++CurrentItem;
        if (CurrentItem < 1 || static_cast<std::size_t>(CurrentItem) > list.Count())
            CurrentItem = 1;
    });
    trap.Line([&] {
        if (list.Count() == 0) return;
        list.Select(static_cast<std::size_t>(CurrentItem - 1));
        // No focus for a window hidden in the tray: it would come back on its own.
        const bool mayFocus = everyKind ? list.Visible() && list.Enabled() : true;
        if (mayFocus && !uses_.hiddenToTray) list.SetFocus();
    });
    // A switch turned off while the run was under way stays off.
    trap.Line([&] {
        if (IsOn()) Arm();
    });
    trap.Line([&] { AfterScheduledRun(); });
}

// ---- after a run, and a run that was missed ----

void Schedule::AfterScheduledRun() {
    const LocalDateTime now = uses_.clock.Now();
    uses_.settings.Save(keys::kLastScheduledRun, IsoLocalTime(now));
    const RunTotals& totals = uses_.run.LastRun();
    // What went where leads; the closing line with every count follows in the balloon.
    const std::string outcome = RunOutcome(totals);
    ScheduledRunDone.Raise();
    // A word in passing: the balloon is not waited for and takes no focus. A run that did
    // nothing has nothing to say.
    if (IsSwitchOn(uses_.settings.Get(keys::kNotifyAfterRun, kSwitchOff)) &&
        RunDidSomething(totals) && !uses_.run.LastRunSummary().empty())
        uses_.tray.ShowBalloon(outcome + "\r\n" + uses_.run.LastRunSummary(), kProductName, 0,
                               false);
}

void Schedule::CheckMissedRun() {
    if (!IsOn() || !IsSwitchOn(uses_.settings.Get(keys::kCatchUpMissedRuns, kSwitchOff))) return;
    const bool weekly = uses_.Option5.Value();
    if (!weekly && !uses_.Option4.Value()) return;
    // Missed since the last scheduled run, and never while the switch was off.
    const auto since = MissedSince(uses_.settings.Get(keys::kLastScheduledRun, ""),
                                   uses_.settings.Get(keys::kSwitchedOn, ""));
    if (!since) return;
    std::optional<unsigned> weekday;
    if (weekly) {
        for (unsigned i = 0; i < 7; ++i)
            if (uses_.cboWeekly.Text() == kWeekdayNames[i]) weekday = i;
        if (!weekday) return;
    }
    const auto due = MissedRun(*since, TimelineSeconds(uses_.clock.Now()),
                               uses_.dtpWeekly.Value().seconds, weekday);
    if (!due) return;
    catchUpDue_ = *due;
    catchUpIn_ = kCatchUpTicks;
}

void Schedule::RunCatchUp(ErrorTrap& trap) {
    // Its set second counts as run: the tick that would meet it again does not run twice.
    lastRunSecond_ = catchUpDue_;
    trap.Line([&] {
        const std::int64_t day = catchUpDue_ - catchUpDue_ % kSecondsPerDay;
        LocalDateTime due;
        due.date = std::chrono::sys_days{std::chrono::days{day / kSecondsPerDay}};
        due.time = TimeOfDay{static_cast<int>(catchUpDue_ - day)};
        uses_.history.AppendMessage("Missed run of " + IsoLocalTime(due) + ", run now");
    });
    RunSteps(trap, false);
}

// ---- the switch ----

bool Schedule::IsOn() const {
    return uses_.PushButton2.Caption() == kSwitchOnCaption;
}

void Schedule::Arm() {
    uses_.Timer1.SetTimerEnabled(true);
    uses_.Timer1.SetInterval(kArmedInterval);
}

void Schedule::Disarm() {
    uses_.Timer1.SetTimerEnabled(false);
    uses_.Timer1.SetInterval(0);
}

void Schedule::PushButton2_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton2_Click");
    if (!IsOn()) {
        bool empty = false;
        trap.Line([&] { empty = uses_.ListView1.Count() == 0; });
        if (empty) {
            trap.Line([&] { uses_.messages.MsgBox("You must add folders to the list first."); });
            return;
        }
        // A press of the hot key while this question is up belongs to it: it must not
        // ask again, nor turn the switch on a second time when both are answered Yes.
        if (asking_) return;
        bool allowed = false;
        {
            ScopedFlag asking(asking_);
            trap.Line([&] { allowed = uses_.run.AllowDeleteFolders(uses_.ListView1); });
        }
        if (!allowed || IsOn()) return;
        trap.Line([&] {
            keptCaption_ = uses_.PushButton2.Caption();
            uses_.PushButton2.SetCaption(kSwitchOnCaption);
        });
        ForgetLastRun();
        trap.Line([&] {
            if (uses_.Option4.Value() || uses_.Option5.Value())
                TotalSeconds = SecondsUntilSetTime();
        });
        trap.Line([&] { CurrentItem = 1; });
        trap.Line([&] { Arm(); });
        trap.Line([&] { uses_.settings.Save(keys::kStartStopState, kSwitchOn); });
        trap.Line([&] { uses_.settings.Save(keys::kSwitchedOn, IsoLocalTime(uses_.clock.Now())); });
        return;
    }
    trap.Line([&] { Disarm(); });
    // A set second that passes while the switch is off is not caught up when it comes on.
    trap.Line([&] { previousTick_.reset(); });
    ForgetLastRun();
    trap.Line([&] { uses_.Frame4.SetCaption("Off."); });
    trap.Line([&] { uses_.Window.SetMousePointer(pointers::kDefault); });
    trap.Line([&] {
        uses_.ProgressBar1.SetValue(0);
        uses_.ProgressBar1.SetText("Progress Bar");
    });
    trap.Line([&] { uses_.PushButton2.SetCaption(keptCaption_); });
    trap.Line([&] { uses_.settings.Save(keys::kStartStopState, kSwitchOff); });
}

void Schedule::RestoreSwitchState() {
    const std::string state = uses_.settings.Get(keys::kStartStopState, kSwitchOff);
    if (state == kSwitchOff) {
        uses_.PushButton2.SetCaption(kSwitchOffCaption);
        uses_.settings.Save(keys::kStartStopState, kSwitchOff);
        uses_.Timer1.SetInterval(0);
        uses_.Timer1.SetTimerEnabled(false);
    } else if (state == kSwitchOn) {
        keptCaption_ = kSwitchOffCaption;
        uses_.PushButton2.SetCaption(kSwitchOnCaption);
        if (uses_.Option4.Value() || uses_.Option5.Value()) TotalSeconds = SecondsUntilSetTime();
        CurrentItem = 1;
        Arm();
    }
}

}  // namespace ondrevan
