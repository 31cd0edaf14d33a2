#include "app/DeletePanel.h"

#include "app/ExclusiveRun.h"
#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "delete/DelFolders.h"
#include "delete/PreviewReport.h"
#include "platform/AppMessages.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/ValueForms.h"
#include "platform/VisibleText.h"
#include "product/AppSettings.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {

RunChoices DeletePanel::CurrentChoices() {
    return ReadRunChoices(uses_.settings, uses_.Option1.Value(), uses_.clock.UtcSeconds());
}

bool DeletePanel::AllowDeleteFolders() {
    ErrorTrap trap(uses_.dialogs, "DelFolders.AllowDeleteFolders");
    bool answer = false;
    trap.Line(100, [&] {
        const ListView& list = uses_.ListView1;
        if (list.Count() == 0) return;
        if (!uses_.Check1.Checked()) {
            answer = true;
            return;
        }
        // Worked out by the plan the run carries out, as the preview is.
        const RunChoices choices = CurrentChoices();
        const RunQuestion question =
            RunQuestionOf(uses_.engine.PlanRun(list.Items(), choices), choices);
        std::string text =
            "Are you sure you want to delete these folders?\r\n\r\n" + question.totals + "\r\n";
        for (const std::string& folder : question.cleared) text += "\r\n" + folder;
        if (!question.passedOver.empty()) {
            text += "\r\n\r\nPassed over or left standing:";
            for (const std::string& folder : question.passedOver) text += "\r\n" + folder;
        }
        answer = uses_.messages.MsgBox(text, MessageButtons::YesNo) == MessageAnswer::Yes;
    });
    return answer;
}

RunReport DeletePanel::DeleteFoldersFiles(RunTrigger by) {
    // The entries are copied: a handler that runs while the shell works may change the list.
    const std::vector<std::string> entries = uses_.ListView1.Items();
    RunChoices choices;
    ErrorTrap trap(uses_.dialogs, "DelFolders.DeleteFoldersFiles");
    if (!trap.Line(100, [&] { choices = CurrentChoices(); })) return {};
    lastReport_ =
        uses_.runs.Run([&] { return uses_.engine.DeleteFoldersFiles(entries, choices); }, by);
    return lastReport_;
}

bool DeletePanel::PushButton3_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton3_Click");
    if (uses_.ListView1.Count() == 0 || uses_.engine.RunInProgress()) return false;
    bool allowed = false;
    trap.Line(100, [&] { allowed = AllowDeleteFolders(); });
    if (!allowed) return false;
    RunReport report;
    trap.Line(102, [&] { report = DeleteFoldersFiles(RunTrigger::Button); });
    // The history has it too; the person who pressed the button is told at once.
    trap.Line(104, [&] {
        if (!report.notRun.empty()) uses_.messages.Warn(report.notRun);
    });
    return true;
}

void DeletePanel::Option1_Click() {
    uses_.settings.Save(keys::kOption1, BooleanText(uses_.Option1.Value()));
    uses_.settings.Save(keys::kOption2, BooleanText(uses_.Option2.Value()));
}

void DeletePanel::Option2_Click() {
    Option1_Click();
}

void DeletePanel::Check1_Click() {
    uses_.settings.Save(keys::kCheck1, CheckStateText(uses_.Check1.Checked()));
}

void DeletePanel::PushButton6_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton6_Click");
    trap.Line(100, [&] {
        uses_.messages.MsgBox(
            "This feature will ask you if you are sure you want to delete before deleting "
            "folders.\r\n\r\nYou can leave this option checked when you first test the software "
            "and as you become more comfortable with this software you can uncheck.");
    });
}

}  // namespace ondrevan
