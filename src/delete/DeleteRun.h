#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/RunRecord.h"

namespace ondrevan {

// What a whole run did; `problems` counts everything it said it could not do, the
// entries it refused (`refused`) among them.
struct RunTotals {
    std::uint64_t filesDeleted = 0, bytesDeleted = 0, filesFailed = 0, filesRecycled = 0,
                  bytesRecycled = 0, filesNotRecycled = 0, filesKept = 0, foldersRecycled = 0,
                  problems = 0, refused = 0;
};

// What one listed folder gave up in a run: the files that went (deleted or to the Recycle
// Bin) with their bytes, and whether the folder itself went to the Recycle Bin.
struct FolderOutcome {
    std::string folder;
    std::uint64_t files = 0, bytes = 0;
    bool recycled = false;
};

// What a run did, where it went, with sizes, for the tray: "10 files (98 KB) and 3 folders
// to the Recycle Bin", "4 files deleted (1.2 MB), 1 not done", "nothing to delete".
std::string RunOutcome(const RunTotals& totals);
// A run that deleted, moved and failed nothing has nothing to tell.
bool RunDidSomething(const RunTotals& totals);
// A run that deleted and moved nothing, and failed.
bool RunOnlyFailed(const RunTotals& totals);
// The balloon after a scheduled run, or "" when it has nothing to say: a run that did
// nothing says nothing; one that only failed names what it could not do (the first three of
// `failures`), and says nothing when those are the failures `saidBefore` holds, so that a
// list that cannot be cleared is told once and again only when that changes.
std::string AfterRunBalloonText(const RunTotals& totals, const std::string& summary,
                                const std::vector<std::string>& failures,
                                const std::vector<std::string>& saidBefore);

// What a run did: its totals and its closing line as the history has it ("" when the list
// was empty). A run that did not start says why in `notRun`, and its closing line is that
// reason.
struct RunReport {
    RunTotals totals;
    std::string summary;
    std::string notRun;
    std::vector<FolderOutcome> folders;  // those that gave something up, in list order
};

// A deletion run over the folder list as it stands, as the scheduler starts one.
class DeleteRun {
  public:
    // Asks the user first when the window says so; false when the run must not go ahead.
    virtual bool AllowDeleteFolders() = 0;
    // `by` is what started it, for the record of runs.
    virtual RunReport DeleteFoldersFiles(RunTrigger by) = 0;

  protected:
    ~DeleteRun() = default;
};

}  // namespace ondrevan
