#pragma once

#include <vector>

#include "controls/CheckBox.h"
#include "controls/FormWindow.h"
#include "controls/HotKeyBox.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"

namespace ondrevan {

class AppSettings;

inline constexpr const char* kOptionsTitle = "Ondrevan Options";

// A control whose setting an administrator's policy sets is disabled and says so; one whose
// setting is the user's is enabled.
void ShowWhetherSetByPolicy(Control& control, const AppSettings& settings, const char* key);

// The rules of a run, in a window of their own. Like the main window it has no OK or
// Cancel: each change is stored the moment it is made, unless it cannot be, which the
// line under the field then says.
class OptionsForm {
  public:
    struct Uses {
        const AppSettings& settings;
    };
    explicit OptionsForm(const Uses& uses);
    OptionsForm(const OptionsForm&) = delete;
    OptionsForm& operator=(const OptionsForm&) = delete;

    // The fields as stored; a field restored this way stores nothing.
    void Load();
    const std::vector<Control*>& Controls() const { return controls_; }

    FormWindow Window{"OptionsForm"};
    Label lblMinimumAge{"lblMinimumAge"};
    TextBox txtMinimumAge{"txtMinimumAge"};
    Label lblDays{"lblDays"};
    Label lblMinimumAgeFault{"lblMinimumAgeFault"};
    Label lblKeepPatterns{"lblKeepPatterns"};
    TextBox txtKeepPatterns{"txtKeepPatterns"};
    Label lblKeepPatternsFault{"lblKeepPatternsFault"};
    Label lblProtectedFolders{"lblProtectedFolders"};
    RichTextBox txtProtectedFolders{"txtProtectedFolders"};
    Label lblProtectedFoldersFault{"lblProtectedFoldersFault"};
    CheckBox chkRecycleFiles{"chkRecycleFiles"};
    CheckBox chkRemoveEmptySubfolders{"chkRemoveEmptySubfolders"};
    Label lblHotKey{"lblHotKey"};
    HotKeyBox hkHotKey{"hkHotKey"};
    Label lblHotKeyFault{"lblHotKeyFault"};
    CheckBox chkHotKeyPassThrough{"chkHotKeyPassThrough"};
    CheckBox chkCatchUpMissedRuns{"chkCatchUpMissedRuns"};
    CheckBox chkNotifyAfterRun{"chkNotifyAfterRun"};

    // Raised once a change is stored (a control's own event has one handler, the form's).
    Event<> RecycleFilesChanged;
    Event<> HotKeyChanged;

  private:
    void MinimumAge_Change();
    void KeepPatterns_Change();
    void ProtectedFolders_Change();
    void HotKey_Change();
    // A check box stored as "On" or "Off" the moment it changes; `changed` is raised after.
    void StoreSwitch(CheckBox& box, const char* key, Event<>* changed = nullptr);

    Uses uses_;
    std::vector<Control*> controls_;
    bool loading_ = false;
};

}  // namespace ondrevan
