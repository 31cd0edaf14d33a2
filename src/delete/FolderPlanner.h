#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "delete/DeletePlan.h"
#include "delete/FolderDecisions.h"
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
    // `listed`, when given, is the whole list: a folder that would go to the Recycle Bin
    // stays while a listed folder inside it keeps something by its own rules.
    FolderPlan PlanFolder(const std::string& entry, const RunChoices& choices,
                          ProtectedFolders::Keys& keys,
                          const std::vector<std::string>* listed = nullptr);
    // What a run would do with entry `index` of the list: a folder listed before is
    // cleared once, and a folder inside another waits for what its own rules keep.
    FolderPlan PlanEntry(const ListedEntries& list, std::size_t index, const RunChoices& choices,
                         ProtectedFolders::Keys& keys);
    // ... and with every entry of a list, each folder once; `planned` hears how many
    // entries are done.
    std::vector<FolderPlan> PlanRun(const std::vector<std::string>& entries,
                                    const RunChoices& choices,
                                    const std::function<void(std::size_t)>& planned = nullptr);

  private:
    // What becomes of the files and the folder once its files are sorted.
    FolderPlan PlanFolderFate(FolderPlan plan, const FolderChoices& folder,
                              const RunChoices& choices, ProtectedFolders::Keys& keys,
                              const std::vector<std::string>* listed);

    struct Found {
        std::string path;
        bool link;  // else a file the rules keep
    };
    // The first link, or file the rules keep, anywhere below the folder (not through links).
    std::optional<Found> SearchInside(const std::string& path, const FolderChoices& folder,
                                      std::int64_t nowUtc);
    // The first file of a folder (not below it) that the rules keep: "path (why)".
    std::optional<std::string> FirstKeptFile(const std::string& folder,
                                             const FolderChoices& choices, std::int64_t nowUtc);
    // A listed folder inside `folder` whose own rules keep something (a file, or the folder
    // itself), with what and why; nothing when there is none.
    std::optional<std::string> ListedFolderThatKeeps(const std::string& folder,
                                                     const RunChoices& choices,
                                                     const std::vector<std::string>* listed);

    Uses uses_;
};

}  // namespace ondrevan
