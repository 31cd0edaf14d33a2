#pragma once

#include <functional>
#include <string>
#include <vector>

#include "delete/DeleteFiles.h"
#include "delete/DeletePlan.h"
#include "delete/DeleteRun.h"
#include "delete/FolderPlanner.h"
#include "delete/ProtectedFolders.h"

namespace ondrevan {

class Dialogs;
class ErrorTrap;
class EventPump;
class FileSystem;
class HistoryLog;
class Shell;

// The closing line of a run: "Run finished: ..." with the clauses the run's choices and
// totals call for.
std::string RunClosingLine(const RunTotals& totals, const RunChoices& choices);

// The deletion engine: carries out the plan of each listed entry, writing the history. It
// goes by the entries and the choices it is handed; whoever starts a run asks first.
class DelFolders {
  public:
    struct Uses {
        FileSystem& fileSystem;
        Shell& shell;
        EventPump& pump;
        Dialogs& dialogs;
        HistoryLog& history;
        ProtectedFolders& protectedFolders;
    };
    explicit DelFolders(const Uses& uses) : uses_(uses) {}

    // What a run would do with one entry, and with every entry of a list.
    FolderPlan PlanFolder(const std::string& entry, const RunChoices& choices) {
        return planner_.PlanFolder(entry, choices);
    }
    FolderPlan PlanFolder(const std::string& entry, const RunChoices& choices,
                          ProtectedFolders::Keys& keys) {
        return planner_.PlanFolder(entry, choices, keys);
    }
    FolderPlan PlanEntry(const ListedEntries& list, std::size_t index, const RunChoices& choices,
                         ProtectedFolders::Keys& keys) {
        return planner_.PlanEntry(list, index, choices, keys);
    }
    std::vector<FolderPlan> PlanRun(const std::vector<std::string>& entries,
                                    const RunChoices& choices,
                                    const std::function<void(std::size_t)>& planned = nullptr) {
        return planner_.PlanRun(entries, choices, planned);
    }

    // Plans each entry just before clearing it and carries the plan out. A run asked for
    // while one is under way (from a handler that runs while the shell works) does nothing.
    RunReport DeleteFoldersFiles(const std::vector<std::string>& entries,
                                 const RunChoices& choices);
    bool RunInProgress() const { return running_; }
    // The program is ending while a run is under way (from a handler that runs between two
    // files): writes what the run did so far and a closing line that says it was stopped and
    // `why`. The run must not go on afterwards.
    void StopAtOnce(const std::string& why);

  private:
    class RunLog;
    // Carries out the plan of one folder, writing its lines.
    void ClearFolder(const FolderPlan& plan, ProtectedFolders::Keys& keys, RunLog& log,
                     ErrorTrap& trap);
    // "Deleted to keep folder under 10,240 MB ..." and, when the cap could not be met, so.
    void LogCap(const FolderPlan& plan, const DeletedFiles& deleted,
                const std::function<void(int, const HistoryText&)>& log);
    std::vector<std::string> RemoveEmptySubfolders(const std::string& folder,
                                                   ProtectedFolders::Keys& keys);
    enum class Recycled { NothingThere, Gone, Stayed };
    Recycled SendToRecycleBin(std::string path);

    Uses uses_;
    FolderPlanner planner_{{
        .fileSystem = uses_.fileSystem,
        .shell = uses_.shell,
        .pump = uses_.pump,
        .protectedFolders = uses_.protectedFolders,
    }};
    bool running_ = false;
    // What the run under way has done, for StopAtOnce.
    const RunChoices* choices_ = nullptr;
    RunLog* log_ = nullptr;
    struct UnderWay {
        std::string folder;
        bool toRecycleBin = false;
        DeletedFiles files;
    } underWay_;
    bool filesUnderWay_ = false;  // the files of underWay_.folder are going
};

}  // namespace ondrevan
