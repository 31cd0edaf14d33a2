#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "delete/DeletePlan.h"
#include "delete/ProtectedFolders.h"

namespace ondrevan {

class EventPump;
class FileSystem;
class Shell;

// Works out what a run would do with each entry of the list, deleting nothing: the run
// carries the plan out, the preview shows it.
class FolderPlanner {
  public:
    struct Uses {
        FileSystem& fileSystem;
        Shell& shell;
        EventPump& pump;
        ProtectedFolders& protectedFolders;
    };
    explicit FolderPlanner(const Uses& uses) : uses_(uses) {}

    // What a run would do with one entry; `keys` holds the protected folders once read.
    FolderPlan PlanFolder(const std::string& entry, const RunChoices& choices);
    FolderPlan PlanFolder(const std::string& entry, const RunChoices& choices,
                          ProtectedFolders::Keys& keys);
    // ... and with every entry of a list; `planned` hears how many entries are done.
    std::vector<FolderPlan> PlanRun(const std::vector<std::string>& entries,
                                    const RunChoices& choices,
                                    const std::function<void(std::size_t)>& planned = nullptr);

  private:
    FolderPlan PlanWithOwnRules(FolderPlan plan, const FolderRules& own, const RunChoices& choices,
                                ProtectedFolders::Keys& keys);
    // What becomes of the files and the folder once its files are sorted.
    FolderPlan PlanFolderFate(FolderPlan plan, const RunChoices& choices,
                              ProtectedFolders::Keys& keys);

    struct Found {
        std::string path;
        bool link;  // else a file the rules keep
    };
    // The first link, or file the rules keep, anywhere below the folder (not through links).
    std::optional<Found> SearchInside(const std::string& path, const RunChoices& choices);

    Uses uses_;
};

}  // namespace ondrevan
