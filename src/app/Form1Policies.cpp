#include "app/Form1.h"

#include "app/Layout.h"
#include "platform/ErrorReport.h"
#include "platform/KeyboardHook.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "product/SettingKeys.h"

namespace ondrevan {

// What the administrator's policies set, shown and kept in force as they change.
void Form1::ShowPolicies() {
    ShowWhetherSetByPolicy(Check1, settings_, keys::kCheck1);
    ShowWhetherSetByPolicy(Check3, settings_, keys::kWindowsStartup);
    ShowWhetherSetByPolicy(Check8, settings_, keys::kMinimized);
    ShowRecoveryNote();
    // The box cannot say it, so the Run value must not: one left from before goes.
    if (settings_.SetByPolicy(keys::kWindowsStartup) && !Check3.Checked())
        startupEntry_.UnregisterStartup();
}

void Form1::PoliciesChanged() {
    Policies now = ReadPolicies(services_.registry);
    if (now == policies_) return;
    policies_ = std::move(now);
    ErrorTrap trap(services_.dialogs, "Form1.PoliciesChanged");
    // Each control shows the value in force again: the policy's, or the user's own as stored.
    const std::string separator = services_.locale.DecimalSeparator();
    trap.Line(100, [&] {
        Check1.SetChecked(ParseCheckState(settings_.Get(keys::kCheck1, "0"), separator));
    });
    trap.Line(102, [&] {
        Check3.SetChecked(IsSwitchOn(settings_.Get(keys::kWindowsStartup, kSwitchOff)));
    });
    trap.Line(104, [&] {
        if (Check3.Checked())
            Check8.SetChecked(IsSwitchOn(settings_.Get(keys::kMinimized, kSwitchOff)));
    });
    trap.Line(106, [&] { options_.Load(); });
    trap.Line(108, [&] { ApplyHotKey(); });
    trap.Line(110, [&] { ShowPolicies(); });
}

void Form1::ApplyHotKey() {
    const auto chosen = ParseHotKey(settings_.Get(keys::kHotKey, kDefaultHotKeyText));
    const HotKeySpec hotKey = chosen.value_or(kDefaultHotKey);
    Label5.SetCaption(HotKeyHint(hotKey));
    services_.keyboardHook.SetHotKey(
        hotKey, IsSwitchOn(settings_.Get(keys::kHotKeyPassThrough, kSwitchOn)));
    if (!chosen) throw errors::TypeMismatch();
}

bool Form1::FilesGoToRecycleBin() const {
    return options_.chkRecycleFiles.Checked();
}

void Form1::ShowRecoveryNote() {
    const bool recycled = FilesGoToRecycleBin();
    // A check box here that a policy sets is said in words, in the note's own line.
    if (settings_.SetByPolicy(keys::kCheck1) || settings_.SetByPolicy(keys::kWindowsStartup) ||
        settings_.SetByPolicy(keys::kMinimized)) {
        Label4.SetCaption(std::string(kManagedByOrganization) +
                          (recycled ? ". Everything deleted can be recovered."
                                    : ". Files are deleted permanently."));
        return;
    }
    Label4.SetCaption(recycled
                          ? "Note: Files and folders go to the Recycle Bin: everything deleted "
                            "can be recovered from it"
                          : FindLayout("Label4")->caption);
}

}  // namespace ondrevan
