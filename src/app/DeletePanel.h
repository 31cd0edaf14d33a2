#pragma once

#include "delete/DeletePlan.h"
#include "delete/DeleteRun.h"

namespace ondrevan {

class AppMessages;
class AppSettings;
class CheckBox;
class Clock;
class DelFolders;
class Dialogs;
class ExclusiveRun;
class ListView;
class OptionButton;

// The main window's delete controls: the delete mode, "ask before deleting", the test
// button and its help. It hands the engine the list's entries and the choices they make,
// asking first when the window says so.
class DeletePanel : public DeleteRun {
  public:
    struct Uses {
        Dialogs& dialogs;
        AppMessages& messages;
        const AppSettings& settings;
        Clock& clock;
        DelFolders& engine;
        ExclusiveRun& runs;
        OptionButton& Option1;  // folder mode: the folders go to the Recycle Bin
        OptionButton& Option2;  // contents mode
        CheckBox& Check1;       // ask before deleting
        ListView& ListView1;
    };
    explicit DeletePanel(const Uses& uses) : uses_(uses) {}

    // The delete mode and the stored rules, as a run would take them now.
    RunChoices CurrentChoices();

    bool AllowDeleteFolders() override;
    // The list's entries as they stand, one run at a time with every other copy's.
    RunReport DeleteFoldersFiles(RunTrigger by) override;

    // True when a run went ahead.
    bool PushButton3_Click();
    // What the last run the panel started did.
    const RunReport& LastReport() const { return lastReport_; }
    void Option1_Click();
    void Option2_Click();
    void Check1_Click();
    void PushButton6_Click();

  private:
    Uses uses_;
    RunReport lastReport_;
};

}  // namespace ondrevan
