// The automatic-delete switch: the button, its hot key and its state across starts.
#include "controls/ListView.h"
#include "platform/AppMessages.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/ScopedFlag.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/SettingKeys.h"
#include "schedule/CatchUp.h"
#include "schedule/Schedule.h"

namespace ondrevan {

bool Schedule::IsOn() const {
    return uses_.view.SwitchCaption() == kSwitchOnCaption;
}

void Schedule::PushButton2_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton2_Click");
    ScheduleView& view = uses_.view;
    if (!IsOn()) {
        bool empty = false;
        trap.Line(100, [&] { empty = uses_.ListView1.Count() == 0; });
        if (empty) {
            trap.Line(102, [&] { uses_.messages.Warn("You must add folders to the list first."); });
            return;
        }
        // A press of the hot key while this question is up belongs to it: it must not
        // ask again, nor turn the switch on a second time when both are answered Yes.
        if (asking_) return;
        bool allowed = false;
        {
            ScopedFlag asking(asking_);
            trap.Line(102, [&] { allowed = AskRun(); });
        }
        if (!allowed || IsOn()) return;
        trap.Line(104, [&] {
            keptCaption_ = view.SwitchCaption();
            view.SetSwitchCaption(kSwitchOnCaption);
        });
        due_.Watch(uses_.clock.UtcSeconds(), uses_.clock);
        trap.Line(106, [&] {
            if (uses_.inputs.Kind() == ScheduleKind::Daily ||
                uses_.inputs.Kind() == ScheduleKind::Weekly)
                due_.Rebase(SecondsUntilSetTime());
        });
        trap.Line(108, [&] { CurrentItem = 1; });
        trap.Line(110, [&] { view.ArmTimer(); });
        trap.Line(112, [&] { uses_.settings.Save(keys::kStartStopState, kSwitchOn); });
        trap.Line(114, [&] {
            uses_.settings.Save(keys::kSwitchedOn,
                                StampText(uses_.clock.UtcSeconds(), uses_.clock));
        });
        return;
    }
    trap.Line(100, [&] { view.DisarmTimer(); });
    // (102: what the tick remembered is kept: a due time that ran stays run.)
    trap.Line(104, [&] { view.ShowStatus("Off."); });
    trap.Line(106, [&] { view.ShowDefaultPointer(); });
    trap.Line(108, [&] { view.ClearProgress(); });
    trap.Line(110, [&] { view.SetSwitchCaption(keptCaption_); });
    trap.Line(112, [&] { uses_.settings.Save(keys::kStartStopState, kSwitchOff); });
}

void Schedule::RestoreSwitchState() {
    const std::string state = uses_.settings.Get(keys::kStartStopState, kSwitchOff);
    ScheduleView& view = uses_.view;
    LoadLastRun();
    due_.Watch(uses_.clock.UtcSeconds(), uses_.clock);
    if (state == kSwitchOff) {
        view.SetSwitchCaption(kSwitchOffCaption);
        uses_.settings.Save(keys::kStartStopState, kSwitchOff);
        view.DisarmTimer();
    } else if (state == kSwitchOn) {
        keptCaption_ = kSwitchOffCaption;
        view.SetSwitchCaption(kSwitchOnCaption);
        const ScheduleKind kind = uses_.inputs.Kind();
        if (kind == ScheduleKind::Daily || kind == ScheduleKind::Weekly)
            due_.Rebase(SecondsUntilSetTime());
        CurrentItem = 1;
        view.ArmTimer();
    }
}

}  // namespace ondrevan
