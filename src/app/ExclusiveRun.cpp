#include "app/ExclusiveRun.h"

#include <algorithm>

#include "history/HistoryLog.h"
#include "history/RunRecorder.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/Dialogs.h"
#include "platform/SingleCopy.h"

namespace ondrevan {

namespace {

std::int64_t Milliseconds(const LocalDateTime& when) {
    return TimelineSeconds(when) * 1000 + when.millisecond;
}

}  // namespace

RecordRow RunRecordRow(const RunReport& report, RunTrigger by, RecordTime start,
                       std::uint64_t milliseconds) {
    const RunTotals& totals = report.totals;
    RecordRow row;
    row.kind = RecordRow::Kind::Run;
    row.start = start;
    row.milliseconds = milliseconds;
    row.trigger = by;
    row.runs = 1;
    row.filesDeleted = totals.filesDeleted;
    row.bytesDeleted = totals.bytesDeleted;
    row.filesToBin = totals.filesRecycled;
    row.foldersToBin = totals.foldersRecycled;
    row.bytesToBin = totals.bytesRecycled;
    row.filesKept = totals.filesKept;
    row.refused = totals.refused;
    row.failures = totals.problems - std::min(totals.problems, totals.refused);
    return row;
}

std::vector<RecordRow> FolderRecordRows(const RunReport& report, RecordTime start) {
    std::vector<RecordRow> rows;
    for (const FolderOutcome& outcome : report.folders) {
        RecordRow row;
        row.kind = RecordRow::Kind::Folder;
        row.start = start;
        row.runs = 1;
        row.bytesFreed = outcome.bytes;
        row.folder = outcome.folder;
        rows.push_back(std::move(row));
    }
    return rows;
}

RunReport ExclusiveRun::Run(const std::function<RunReport()>& run, RunTrigger by) {
    if (!recording_) return Locked(run);
    const LocalDateTime start = recording_->clock.Now();
    const RunReport report = Locked(run);
    const std::int64_t took = Milliseconds(recording_->clock.Now()) - Milliseconds(start);
    // The run is done whatever becomes of its record; a record that cannot be written is
    // said in the history.
    try {
        recording_->recorder.Record(
            RunRecordRow(report, by, TimelineSeconds(start), took > 0 ? took : 0),
            FolderRecordRows(report, TimelineSeconds(start)));
    } catch (const AppError& error) {
        try {
            history_.AppendMessage("The record of runs " + recording_->recorder.FilePath() +
                                   " cannot be written: " + error.what());
        } catch (const AppError&) {
            // the history's own failure was reported by the run
        }
    }
    return report;
}

RunReport ExclusiveRun::Locked(const std::function<RunReport()>& run) {
    const auto refused = [this](const char* why) {
        history_.AppendMessage(why);
        RunReport report;
        report.totals.problems = 1;
        report.summary = report.notRun = why;
        return report;
    };
    switch (lock_.TryClaim()) {
        case RunLock::Claim::Claimed:
            break;
        case RunLock::Claim::Busy:
            return refused(kRunUnderWay);
        case RunLock::Claim::Unknown:
            return refused(kRunLockUnknown);
    }
    struct Release {
        RunLock& lock;
        ~Release() { lock.Release(); }
    } release{lock_};
    return run();
}

std::optional<int> HandOverToFirstCopy(SingleCopy& copies, Dialogs& dialogs) {
    switch (copies.ClaimWindowOrHandOver()) {
        case SingleCopy::Start::First:
            return std::nullopt;
        case SingleCopy::Start::HandedOver:
            return 0;
        case SingleCopy::Start::NoAnswer:
            break;
        case SingleCopy::Start::LockHeld:
            dialogs.ShowMessage(
                "Ondrevan did not start: the lock that keeps it to one copy is held, but no "
                "Ondrevan window is open for you. A copy of Ondrevan may be ending or stuck "
                "(Task Manager's Details list Ondrevan.exe), or another program holds the "
                "lock's name, Ondrevan.Window (a tool that lists open handles finds which).",
                AppTitleFor(kProductName), MessageButtons::Ok, MessageIcon::Warning);
            return 1;
    }
    dialogs.ShowMessage(
        "Ondrevan is already running for you, but its window did not answer. It may be busy, "
        "or running as administrator. Look for its icon in the notification area.",
        AppTitleFor(kProductName), MessageButtons::Ok, MessageIcon::Warning);
    return 1;
}

}  // namespace ondrevan
