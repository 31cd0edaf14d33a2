#pragma once

#include <optional>
#include <string>
#include <string_view>
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
// Cancel. A check box is stored the moment it changes; a text is stored when the user is
// done with it (leaves the field, presses Enter, closes the window), and a hot key when a
// whole combination is pressed. A value that cannot be stored is never half-stored: the one
// in force stays, and the line under the field says so.
class OptionsForm {
  public:
    struct Uses {
        const AppSettings& settings;
    };
    explicit OptionsForm(const Uses& uses);
    OptionsForm(const OptionsForm&) = delete;
    OptionsForm& operator=(const OptionsForm&) = delete;

    // The fields as they are in force; a field restored this way stores nothing.
    void Load();
    // Stores every field the user changed that can be stored.
    void StoreFields();
    const std::vector<Control*>& Controls() const { return controls_; }
    // The hot-key field has the keyboard: a key pressed is being chosen, not used.
    bool ChoosingHotKey() const { return Window.ActiveControl() == &hkHotKey; }

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
    PushButton cmdNoHotKey{"cmdNoHotKey"};
    Label lblHotKeyFault{"lblHotKeyFault"};
    CheckBox chkHotKeyPassThrough{"chkHotKeyPassThrough"};
    CheckBox chkCatchUpMissedRuns{"chkCatchUpMissedRuns"};
    CheckBox chkNotifyAfterRun{"chkNotifyAfterRun"};
    // Says when a policy sets something here, and which folders the administrator protects.
    Label lblManaged{"lblManaged"};
    PushButton cmdClose{"cmdClose"};

    // Raised once a change is stored (a control's own event has one handler, the form's).
    Event<> RecycleFilesChanged;
    Event<> HotKeyChanged;

  private:
    // A field whose text is stored when the user is done with it.
    struct TextField {
        TextBox& box;
        Label& fault;
        const char* key;
        std::optional<std::string> (*check)(std::string_view text);
        std::string (*storedForm)(const std::string& text);
        // What stays in force while the field shows a text that is refused.
        std::string (OptionsForm::*inForce)() const;
        std::string shown;  // as Load showed it or it was last stored: nothing to store
    };
    void Field_Change(TextField& field);
    void StoreField(TextField& field);
    std::string AgeInForce() const;
    std::string PatternsInForce() const;
    std::string FoldersInForce() const;

    void HotKey_Change();
    void HotKey_LostFocus();
    void cmdNoHotKey_Click();
    HotKeySpec HotKeyInForce() const;
    std::string HotKeyInForceText() const;
    void ShowHotKey(const HotKeySpec& hotKey);
    void StoreHotKey(const HotKeySpec& hotKey);
    // A check box stored as "On" or "Off" the moment it changes; `changed` is raised after.
    void StoreSwitch(CheckBox& box, const char* key, Event<>* changed = nullptr);

    Uses uses_;
    std::vector<Control*> controls_;
    std::vector<TextField> fields_;
    bool loading_ = false;
};

}  // namespace ondrevan
