#include "schedule/Schedule.h"

#include <algorithm>
#include <limits>

#include "controls/ListView.h"
#include "controls/SysTray.h"
#include "delete/DeleteRun.h"
#include "history/HistoryLog.h"
#include "platform/AppMessages.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/EventPump.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "platform/ScopedFlag.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/SettingKeys.h"
#include "schedule/CatchUp.h"

namespace ondrevan {
namespace {

// A missed run waits this many ticks, so the window or the tray icon is up first.
inline constexpr int kCatchUpTicks = 3;

const char* IntervalKey(IntervalField field) {
    return field == IntervalField::Hours     ? keys::kText1
           : field == IntervalField::Minutes ? keys::kText2
                                             : keys::kText3;
}

}  // namespace

// ---- the schedule settings ----

std::int32_t Schedule::SecondsUntilSetTime() {
    return SecondsUntil(uses_.inputs.SetTime().seconds, uses_.clock.Now());
}

void Schedule::SaveKindOptions() {
    const ScheduleKind kind = uses_.inputs.Kind();
    uses_.settings.Save(keys::kOption5, BooleanText(kind == ScheduleKind::Weekly));
    uses_.settings.Save(keys::kOption4, BooleanText(kind == ScheduleKind::Daily));
    uses_.settings.Save(keys::kOption3, BooleanText(kind == ScheduleKind::Every));
}

void Schedule::Option3_Click() {
    due_.RestartCount();
    due_.ForgetLastRun();
    uses_.inputs.EnableSetTime(false, false);
    SaveKindOptions();
}

void Schedule::Option4_Click() {
    due_.Rebase(SecondsUntilSetTime());
    due_.ForgetLastRun();
    uses_.inputs.EnableSetTime(true, false);
    SaveKindOptions();
}

void Schedule::Option5_Click() {
    due_.Rebase(SecondsUntilSetTime());
    due_.ForgetLastRun();
    uses_.inputs.EnableSetTime(true, true);
    SaveKindOptions();
}

void Schedule::Text_Change(IntervalField field) {
    uses_.settings.Save(IntervalKey(field), uses_.inputs.IntervalText(field));
}

void Schedule::Text_GotFocus(IntervalField field) {
    uses_.inputs.SelectIntervalText(field);
}

void Schedule::Text_LostFocus(IntervalField field) {
    // Moving between the three fields may pass through a total of 0 (1 h 0 m 0 s becoming
    // 0 h 0 m 30 s): the total is judged once the focus leaves them.
    const ScheduleInputs& in = uses_.inputs;
    const auto fault = IntervalFault(in.IntervalText(IntervalField::Hours),
                                     in.IntervalText(IntervalField::Minutes),
                                     in.IntervalText(IntervalField::Seconds),
                                     uses_.locale.DecimalSeparator(), field, !in.FocusInInterval());
    if (!fault) return;
    uses_.messages.Warn(*fault);
    uses_.inputs.FocusIntervalField(field);
}

void Schedule::cboWeekly_Click() {
    uses_.settings.Save(keys::kWeekly, uses_.inputs.Weekday());
}

void Schedule::dtpWeekly_Change() {
    uses_.settings.Save(keys::kWeeklyTime, uses_.locale.FormatLongTime(uses_.inputs.SetTime()));
    // The weekly kind keeps its progress base; the daily kind starts a new one.
    if (uses_.inputs.Kind() == ScheduleKind::Daily) due_.Rebase(SecondsUntilSetTime());
    due_.ForgetLastRun();
}

// ---- the tick ----

ScheduleSetting Schedule::ReadSpec() const {
    ScheduleSetting setting;
    setting.kind = uses_.inputs.Kind();
    setting.setSecond = uses_.inputs.SetTime().seconds;
    setting.weekday = WeekdayNumber(uses_.inputs.Weekday());
    return setting;
}

std::optional<std::int32_t> Schedule::ReadInterval() {
    const std::string separator = uses_.locale.DecimalSeparator();
    ScheduleInputs& in = uses_.inputs;
    for (IntervalField field : kIntervalFields)
        if (!IsNumeric(in.IntervalText(field), separator))
            in.SetIntervalText(field, IntervalFallback(field));
    const IntervalTexts texts{in.IntervalText(IntervalField::Hours),
                              in.IntervalText(IntervalField::Minutes),
                              in.IntervalText(IntervalField::Seconds)};
    if (auto total = IntervalOf(texts, separator)) {
        reportedOverflow_.clear();
        return total;
    }
    // Reported once for these texts; the user answers it by changing a field. (The texts
    // are joined only here: an idle tick allocates nothing.)
    std::string joined = texts.hours + '|' + texts.minutes + '|' + texts.seconds;
    if (reportedOverflow_ == joined) return std::nullopt;
    reportedOverflow_ = std::move(joined);
    throw AppError(errors::kOverflow, "Overflow");
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
    trap.Line(100, [&] {
        if (CurrentItem < 1) CurrentItem = 1;
        if (static_cast<std::size_t>(CurrentItem) > list.Count())
            CurrentItem = static_cast<std::int32_t>(
                std::min<std::size_t>(list.Count(), std::numeric_limits<std::int32_t>::max()));
    });
    ScheduleSetting setting = ReadSpec();
    switch (setting.kind) {
        case ScheduleKind::Every:
            TickEvery(trap, setting);
            break;
        case ScheduleKind::Daily:
        case ScheduleKind::Weekly:
            TickAtSetTime(trap, setting);
            break;
        case ScheduleKind::None: {
            const TickDisplay shown = due_.Show(setting, uses_.clock.Now());
            trap.Line(102, [&] {
                if (!shown.counted) throw AppError(errors::kOverflow, "Overflow");
            });
            break;
        }
    }
}

void Schedule::TickAtSetTime(ErrorTrap& trap, ScheduleSetting& setting) {
    const TickDisplay shown = due_.Show(setting, uses_.clock.Now());
    trap.Line(102, [&] {
        if (!shown.counted) throw AppError(errors::kOverflow, "Overflow");
    });
    trap.Line(104, [&] { uses_.view.SetProgressMax(shown.progressMax); });
    // (106: the time left, worked out with the rest of what the tick shows.)
    trap.Line(108, [&] {
        uses_.view.SetProgressValue(shown.progressValue);
        uses_.view.ShowStatus(shown.status);
    });
    trap.Line(110, [&] { uses_.pump.DoEvents(); });
    // The window had its turn: the set time and the weekday are read as it left them.
    bool due = false;
    trap.Line(112, [&] {
        setting.setSecond = uses_.inputs.SetTime().seconds;
        setting.weekday = WeekdayNumber(uses_.inputs.Weekday());
        due = due_.TakeDue(setting, uses_.clock.Now());
    });
    if (due) RunSteps(trap, 114, false);
}

void Schedule::TickEvery(ErrorTrap& trap, ScheduleSetting& setting) {
    // Should the fields fail to read, the interval the count last knew stands.
    setting.interval = due_.TotalSeconds();
    trap.Line(104, [&] { setting.interval = ReadInterval(); });
    const TickDisplay shown = due_.Show(setting, uses_.clock.Now());
    if (shown.shows == TickDisplay::Shows::StatusOnly) {
        trap.Line(106, [&] { uses_.view.ShowStatus(shown.status); });
        return;
    }
    trap.Line(102, [&] {
        if (!shown.counted) throw AppError(errors::kOverflow, "Overflow");
    });
    trap.Line(106, [&] {
        uses_.view.SetProgressMax(shown.progressMax);
        uses_.view.SetProgressValue(shown.progressValue);
    });
    trap.Line(108, [&] { uses_.view.ShowStatus(shown.status); });
    trap.Line(110, [&] { uses_.pump.DoEvents(); });
    if (due_.TakeDue(setting, uses_.clock.Now())) RunSteps(trap, 112, true);
}

void Schedule::RunSteps(ErrorTrap& trap, int firstLine, bool everyKind) {
    ListView& list = uses_.ListView1;
    trap.Line(firstLine, [&] { uses_.view.DisarmTimer(); });
    trap.Line(firstLine + 2, [&] { StartRun(); });
    trap.Line(firstLine + 4, [&] {
        ++CurrentItem;
        if (CurrentItem < 1 || static_cast<std::size_t>(CurrentItem) > list.Count())
            CurrentItem = 1;
    });
    trap.Line(firstLine + 6, [&] {
        if (list.Count() == 0) return;
        list.Select(static_cast<std::size_t>(CurrentItem - 1));
        // No focus for a window hidden in the tray: it would come back on its own.
        const bool mayFocus = everyKind ? list.Visible() && list.Enabled() : true;
        if (mayFocus && !uses_.hiddenToTray) list.SetFocus();
    });
    // A switch turned off while the run was under way stays off.
    trap.Line(firstLine + 8, [&] {
        if (IsOn()) uses_.view.ArmTimer();
    });
    trap.Line(firstLine + 10, [&] { AfterScheduledRun(); });
}

// ---- the run ----

bool Schedule::AskRun() {
    return uses_.run.AllowDeleteFolders();
}

void Schedule::StartRun() {
    lastReport_ = uses_.run.DeleteFoldersFiles();
}

const RunTotals& Schedule::LastRunTotals() const {
    return lastReport_.totals;
}

const std::string& Schedule::LastRunSummary() const {
    return lastReport_.summary;
}

// ---- after a run, and a run that was missed ----

void Schedule::AfterScheduledRun() {
    const LocalDateTime now = uses_.clock.Now();
    uses_.settings.Save(keys::kLastScheduledRun, IsoLocalTime(now));
    const RunTotals& totals = LastRunTotals();
    // For /status: how the last scheduled run ended.
    uses_.settings.Save(keys::kLastScheduledRunSummary, LastRunSummary());
    uses_.settings.Save(keys::kLastScheduledRunProblems, std::to_string(totals.problems));
    // What went where leads; the closing line with every count follows in the balloon.
    const std::string outcome = RunOutcome(totals);
    ScheduledRunDone.Raise();
    // A word in passing: the balloon is not waited for and takes no focus. A run that did
    // nothing has nothing to say.
    if (IsSwitchOn(uses_.settings.Get(keys::kNotifyAfterRun, kSwitchOff)) &&
        RunDidSomething(totals) && !LastRunSummary().empty())
        uses_.tray.ShowBalloon(outcome + "\r\n" + LastRunSummary(), kProductName, 0, false);
}

void Schedule::CheckMissedRun() {
    if (!IsOn() || !IsSwitchOn(uses_.settings.Get(keys::kCatchUpMissedRuns, kSwitchOff))) return;
    const bool weekly = uses_.inputs.Kind() == ScheduleKind::Weekly;
    if (!weekly && uses_.inputs.Kind() != ScheduleKind::Daily) return;
    // Missed since the last scheduled run, and never while the switch was off.
    const auto since = MissedSince(uses_.settings.Get(keys::kLastScheduledRun, ""),
                                   uses_.settings.Get(keys::kSwitchedOn, ""));
    if (!since) return;
    std::optional<unsigned> weekday;
    if (weekly) {
        for (unsigned i = 0; i < 7; ++i)
            if (uses_.inputs.Weekday() == kWeekdayNames[i]) weekday = i;
        if (!weekday) return;
    }
    const auto due = MissedRun(*since, TimelineSeconds(uses_.clock.Now()),
                               uses_.inputs.SetTime().seconds, weekday);
    if (!due) return;
    catchUpDue_ = *due;
    catchUpIn_ = kCatchUpTicks;
}

void Schedule::RunCatchUp(ErrorTrap& trap) {
    // Its set second counts as run: the tick that would meet it again does not run twice.
    due_.MarkRun(catchUpDue_);
    trap.Line(100, [&] {
        const std::int64_t day = catchUpDue_ - catchUpDue_ % kSecondsPerDay;
        LocalDateTime due;
        due.date = std::chrono::sys_days{std::chrono::days{day / kSecondsPerDay}};
        due.time = TimeOfDay{static_cast<int>(catchUpDue_ - day)};
        uses_.history.AppendMessage("Missed run of " + IsoLocalTime(due) + ", run now");
    });
    RunSteps(trap, 102, false);
}

}  // namespace ondrevan
