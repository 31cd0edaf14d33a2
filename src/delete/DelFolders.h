#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "delete/DeletePlan.h"
#include "delete/DeleteRun.h"

namespace ondrevan {

class AppMessages;
class AppSettings;
class CheckBox;
class Clock;
class Dialogs;
class EventPump;
class FileSystem;
class HistoryLog;
class ListView;
class OptionButton;
class Shell;
class SystemEnvironment;

// The deletion engine: the protected-folder check, the confirmation, the plan of a run and
// its execution.
class DelFolders : public DeleteRun {
  public:
    struct Uses {
        FileSystem& fileSystem;
        Shell& shell;
        SystemEnvironment& environment;
        EventPump& pump;
        Clock& clock;
        Dialogs& dialogs;
        const AppSettings& settings;
        AppMessages& messages;
        HistoryLog& history;
        OptionButton& Option1;  // folder mode: the folders go to the Recycle Bin
        OptionButton& Option2;  // contents mode
        CheckBox& Check1;       // ask before deleting
        ListView& ListView1;
    };
    explicit DelFolders(const Uses& uses) : uses_(uses) {}

    // False for drive roots, for the ten protected folders and the user's own in any
    // written form, and for paths that are not fully qualified.
    bool CanDelete(const std::string& path);
    // Why CanDelete says no ("a protected folder", "not a full path", ...), or nothing.
    std::optional<std::string> Refusal(const std::string& path);
    // True when a protected folder lies inside the folder: sending it to the Recycle Bin
    // would take the protected folder with it.
    bool ContainsProtectedFolder(const std::string& path);

    // The delete mode and the stored rules, as a run would take them now.
    RunChoices CurrentChoices();
    // What a run would do with one entry, and with every entry of a list; `planned` hears
    // how many entries are done.
    FolderPlan PlanFolder(const std::string& entry, const RunChoices& choices);
    std::vector<FolderPlan> PlanRun(const std::vector<std::string>& entries,
                                    const RunChoices& choices,
                                    const std::function<void(std::size_t)>& planned = nullptr);
    // What the last run did.
    const RunTotals& LastRun() const override { return lastRun_; }
    // Its closing line, as the history has it ("" when the list was empty).
    const std::string& LastRunSummary() const override { return lastSummary_; }

    bool AllowDeleteFolders(const ListView& list) override;
    // Plans each entry of the list and carries the plan out, writing the history.
    void DeleteFoldersFiles(const ListView& list) override;
    bool RunInProgress() const { return running_; }

    void PushButton3_Click();
    void Option1_Click();
    void Option2_Click();
    void Check1_Click();
    void PushButton6_Click();

  private:
    // The protected folders' keys, read when first needed and then kept for the folders of
    // one plan or one walk.
    using ProtectedKeys = std::optional<std::vector<std::string>>;
    std::optional<std::string> Refusal(const std::string& path, ProtectedKeys& keys);
    bool ContainsProtectedFolder(const std::string& path, ProtectedKeys& keys);
    struct Found {
        std::string path;
        bool link;  // else a file the rules keep
    };
    // The first link, or file the rules keep, anywhere below the folder (not through links).
    std::optional<Found> SearchInside(const std::string& path, const RunChoices& choices);
    std::vector<std::string> RemoveEmptySubfolders(const std::string& folder);
    std::vector<std::string> ProtectedFolderKeys();
    enum class Recycled { NothingThere, Gone, Stayed };
    Recycled SendToRecycleBin(std::string path);

    Uses uses_;
    bool running_ = false;
    RunTotals lastRun_;
    std::string lastSummary_;
};

}  // namespace ondrevan
