#pragma once

#include <functional>
#include <optional>
#include <string>

#include "delete/DeleteRun.h"

namespace ondrevan {

class Dialogs;
class HistoryLog;
class RunLock;
class SingleCopy;

// What is known is that the lock is held; by whom is not.
inline constexpr const char* kRunUnderWay =
    "Not run: the lock that keeps two runs over the folder list apart is held. Another run "
    "of Ondrevan (the window's, or another /run) is under way, or another program holds the "
    "lock's name, Ondrevan.Run (a tool that lists open handles finds which). Nothing was "
    "deleted by this one.";
inline constexpr const char* kRunLockUnknown =
    "Not run: whether another run over the folder list was under way could not be found out. "
    "Nothing was deleted.";

// A run that holds the run lock for its length, for the window's scheduler and test button
// and for /run alike: a run over the list that is already under way elsewhere (another copy,
// or a message box of this one) is not started twice, and the history says so.
class ExclusiveRun {
  public:
    ExclusiveRun(RunLock& lock, HistoryLog& history) : lock_(lock), history_(history) {}

    // Carries out `run` while holding the lock. A refused run did nothing, counts as one
    // thing not done and says why.
    RunReport Run(const std::function<RunReport()>& run);

  private:
    RunLock& lock_;
    HistoryLog& history_;
};

// A start with a window: nothing when this copy goes on, else the exit code it ends with.
// A second copy asks the first to show its window; one that gets no answer says so.
std::optional<int> HandOverToFirstCopy(SingleCopy& copies, Dialogs& dialogs);

}  // namespace ondrevan
