#pragma once

#include <string>
#include <vector>

#include "controls/ComboBox.h"
#include "controls/FormWindow.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"
#include "product/FolderRules.h"

namespace ondrevan {

class AppSettings;

inline constexpr const char* kFolderRulesTitle = "Rules for This Folder";

// The rules one listed folder carries of its own, in a window of their own. Every field
// starts at "as in Options" (an empty text, or the list's first item). As in the options
// window, a value is stored when the user is done with it (leaves the field, presses Enter,
// closes the window), and one that cannot be stored is refused next to its field while the
// one in force stays.
class FolderRulesForm {
  public:
    struct Uses {
        const AppSettings& settings;
    };
    explicit FolderRulesForm(const Uses& uses);
    FolderRulesForm(const FolderRulesForm&) = delete;
    FolderRulesForm& operator=(const FolderRulesForm&) = delete;

    // The rules of a list entry as stored; a field restored this way stores nothing.
    void Load(const std::string& entry);
    // Stores what the user changed that can be stored.
    void StoreFields();
    // The folder list's entries changed: when the folder shown left the list, nothing more
    // is stored for it and the window closes (Window's Visible goes false).
    void FolderListChanged(const std::vector<std::string>& entries);
    const std::vector<Control*>& Controls() const { return controls_; }
    const std::string& Entry() const { return entry_; }

    FormWindow Window{"FolderRulesForm"};
    Label lblFolder{"lblFolder"};
    Label lblUnread{"lblUnread"};
    Label lblMode{"lblMode"};
    ComboBox cboMode{"cboMode"};
    Label lblAge{"lblAge"};
    TextBox txtAge{"txtAge"};
    Label lblAgeBy{"lblAgeBy"};
    ComboBox cboAgeBy{"cboAgeBy"};
    Label lblAgeFault{"lblAgeFault"};
    Label lblKeep{"lblKeep"};
    TextBox txtKeep{"txtKeep"};
    Label lblKeepFault{"lblKeepFault"};
    Label lblRecycle{"lblRecycle"};
    ComboBox cboRecycle{"cboRecycle"};
    Label lblEmpty{"lblEmpty"};
    ComboBox cboEmpty{"cboEmpty"};
    Label lblMaxMb{"lblMaxMb"};
    TextBox txtMaxMb{"txtMaxMb"};
    Label lblMaxMbFault{"lblMaxMbFault"};
    Label lblMaxFiles{"lblMaxFiles"};
    TextBox txtMaxFiles{"txtMaxFiles"};
    Label lblMaxFilesFault{"lblMaxFilesFault"};
    Label lblFreeBelow{"lblFreeBelow"};
    TextBox txtFreeBelow{"txtFreeBelow"};
    Label lblFreeBelowFault{"lblFreeBelowFault"};
    PushButton cmdClose{"cmdClose"};

    // Raised once the folder's rules were stored (the list shows them).
    Event<> RulesChanged;

  private:
    // A text field and the stored rule it stands for ("age", "keep", ...).
    struct TextField {
        TextBox& box;
        Label& fault;
        const char* name;
        const char* what;   // "a number of days from 0 to 36500"
        const char* empty;  // what an empty field means: "As in Options", "No cap"
        // What the field showed of the stored rules: only a field the user changed since is
        // stored, so rules changed elsewhere meanwhile are not written over.
        std::string shown;
    };
    // A list field: "as in Options", then the stored words in the list's order.
    struct ListField {
        ComboBox& box;
        const char* name;
        std::vector<const char*> words;
        int shown = 0;
    };
    FolderRules Stored() const;
    // Why the field's text cannot be stored, or nothing; `into` gets the value when it can.
    std::optional<std::string> ReadField(const TextField& field, FolderRules& into) const;
    std::string InForce(const TextField& field, const FolderRules& stored) const;
    void Field_Change(const TextField& field);

    // What the line above the fields says: rules that do not read, rules of no listed folder.
    std::string NoteText(const FolderRules& stored) const;

    Uses uses_;
    std::string entry_;
    std::vector<Control*> controls_;
    std::vector<TextField> texts_;
    std::vector<ListField> lists_;
    bool loading_ = false;
};

}  // namespace ondrevan
