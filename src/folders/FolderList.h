#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ValueForms.h"
#include "product/FolderRules.h"

namespace ondrevan {

class AppMessages;
class AppSettings;
class Dialogs;
class FileSystem;
class FormWindow;
class Shell;
class ListView;

// What one removal took from the list: the entries with the places they had (in rising
// order), and the lines of the folders' own rules that went with them.
struct FolderRemoval {
    std::vector<std::pair<std::size_t, std::string>> entries;
    std::vector<std::pair<std::size_t, FolderRulesLine>> rules;  // with their places too
    std::vector<std::string> strayRules;
};

// The removals that Undo can bring back, the last one first. The oldest are forgotten.
class RemovalStack {
  public:
    static constexpr std::size_t kDepth = 20;
    void Push(FolderRemoval removal);
    std::optional<FolderRemoval> Pop();
    bool Empty() const { return removals_.empty(); }

  private:
    std::vector<FolderRemoval> removals_;
};

// Puts removed entries back in their places (the last place when the list is shorter now).
void PutBack(std::vector<std::string>& entries, const FolderRemoval& removal);
// The rules lines a change took away: those of `before` that `after` no longer has.
FolderRemoval RulesTakenAway(const FolderRulesList& before, const FolderRulesList& after);

// The folder list: restored at start-up, stored after each change, shortened by
// double-click and "Clear List"; Undo brings the last removal back.
class FolderList {
  public:
    struct Uses {
        Dialogs& dialogs;
        AppMessages& messages;
        FileSystem& fileSystem;
        Shell& shell;
        const AppSettings& settings;
        FormWindow& Window;  // its pointer shows that the list is being filled
        ListView& ListView1;
    };
    explicit FolderList(const Uses& uses) : uses_(uses) {}

    void LoadFolderList();
    void SaveFolderList();
    void ListView1_DblClick();
    void PushButton13_Click();
    // Brings back the entries of the last removal with their own rules; nothing while the
    // list is being filled or when nothing was removed.
    void Undo();
    bool CanUndo() const { return !removals_.Empty(); }
    // Opens the selected entry in Explorer, when it names a folder that is there (never
    // a program, whatever an entry says); otherwise says why not.
    void OpenSelectedFolder();

    // The list is being filled: the window shows the hourglass.
    bool IsBusy() const;
    void SetBusy(bool busy);

  private:
    Uses uses_;
    RemovalStack removals_;
};

}  // namespace ondrevan
