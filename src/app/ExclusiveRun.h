#pragma once

#include <functional>
#include <optional>
#include <string>

#include "delete/DeleteRun.h"
#include "history/RunRecord.h"

namespace ondrevan {

class Clock;
class Dialogs;
class HistoryLog;
class RunLock;
class RunRecorder;
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
// Each run it carries out, refused or not, goes into the record of runs when it is given one.
struct RunRecording {
    Clock& clock;
    RunRecorder& recorder;
};

class ExclusiveRun {
  public:
    ExclusiveRun(RunLock& lock, HistoryLog& history, RunRecording* recording = nullptr)
        : lock_(lock), history_(history), recording_(recording) {}

    // Carries out `run` while holding the lock. A refused run did nothing, counts as one
    // thing not done and says why. `by` is what started it.
    RunReport Run(const std::function<RunReport()>& run, RunTrigger by = RunTrigger::Unknown);

  private:
    RunReport Locked(const std::function<RunReport()>& run);

    RunLock& lock_;
    HistoryLog& history_;
    RunRecording* recording_;
};

// A run's row in the record, from its report (the totals the run itself counted), and a
// row for each folder that gave something up.
RecordRow RunRecordRow(const RunReport& report, RunTrigger by, RecordTime start,
                       std::uint64_t milliseconds);
std::vector<RecordRow> FolderRecordRows(const RunReport& report, RecordTime start);

// A start with a window: nothing when this copy goes on, else the exit code it ends with.
// A second copy asks the first to show its window; one that gets no answer says so.
std::optional<int> HandOverToFirstCopy(SingleCopy& copies, Dialogs& dialogs);

}  // namespace ondrevan
