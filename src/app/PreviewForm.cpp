#include "app/PreviewForm.h"

#include "app/DeletePanel.h"
#include "controls/ListView.h"
#include "delete/DelFolders.h"
#include "delete/PreviewReport.h"
#include "platform/ScopedFlag.h"

namespace ondrevan {

PreviewForm::PreviewForm(const Uses& uses) : uses_(uses) {
    controls_ = {&lblStatus, &cmdRefresh, &txtReport};
    Window.SetPosition({0, 0, 12000, 6600});
    Window.SetCaption(kPreviewTitle);
    lblStatus.SetPosition({120, 180, 9600, 255});
    cmdRefresh.SetPosition({9840, 105, 2040, 405});
    cmdRefresh.SetCaption("Refresh");
    txtReport.SetPosition({120, 600, 11760, 5880});
    for (Control* control : controls_) control->SetFont({"Arial", 9.0, false});
    txtReport.SetFont({"Courier New", 9.0, false});
    cmdRefresh.Click.Handle([this] { cmdRefresh_Click(); });
}

void PreviewForm::cmdRefresh_Click() {
    if (counting_) return;  // a click while it counts belongs to this count
    ScopedFlag counting(counting_);
    const std::vector<std::string> entries = uses_.ListView1.Items();
    cmdRefresh.SetEnabled(false);
    lblStatus.SetCaption("Counting...");
    const RunChoices choices = uses_.panel.CurrentChoices();
    const std::vector<FolderPlan> plans =
        uses_.deleter.PlanRun(entries, choices, [&](std::size_t done) {
            // Shown as the next folder is planned: the plan lets the window answer.
            lblStatus.SetCaption("Counting: " + std::to_string(done) + " of " +
                                 std::to_string(entries.size()) + " folders");
        });
    txtReport.SetText(PreviewReport(plans, choices));
    lblStatus.SetCaption("What the next run would do, as of now. Nothing has been deleted.");
    cmdRefresh.SetEnabled(true);
}

}  // namespace ondrevan
