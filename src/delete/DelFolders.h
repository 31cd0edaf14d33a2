#pragma once

#include <optional>
#include <string>
#include <vector>

#include "delete/DeletePlan.h"
#include "delete/DeleteRun.h"

namespace ondrevan {

class AppMessages;
class AppSettings;
class CheckBox;
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

    // False for drive roots, for the ten protected folders in any written form, and for
    // paths that are not fully qualified.
    bool CanDelete(const std::string& path);
    // True when a protected folder lies inside the folder: sending it to the Recycle Bin
    // would take the protected folder with it.
    bool ContainsProtectedFolder(const std::string& path);
    // The first folder link (junction, symbolic link, mount point) anywhere inside the
    // folder, not looking through links; nothing when it holds none.
    std::optional<std::string> FindFolderLink(const std::string& path);

    // What a run would do with one entry, and with every entry of a list, in folder mode
    // (`recycleFolders`) or contents mode.
    FolderPlan PlanFolder(const std::string& entry, bool recycleFolders);
    std::vector<FolderPlan> PlanRun(const std::vector<std::string>& entries, bool recycleFolders);

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
    std::vector<std::string> ProtectedFolderKeys();
    enum class Recycled { NothingThere, Gone, Stayed };
    Recycled SendToRecycleBin(std::string path);

    Uses uses_;
    bool running_ = false;
};

}  // namespace ondrevan
