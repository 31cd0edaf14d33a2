#include "delete/DelFolders.h"

#include <functional>
#include <unordered_set>

#include "delete/DeleteFiles.h"
#include "delete/FolderDecisions.h"
#include "delete/WalkBelow.h"
#include "history/HistoryLog.h"
#include "platform/Blanks.h"
#include "platform/ErrorReport.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/ScopedFlag.h"
#include "platform/Shell.h"
#include "platform/ValueForms.h"
#include "platform/VisibleText.h"
#include "product/RunRules.h"

namespace ondrevan {

// The lines of one run: each step, and each thing the run could not do, which is counted
// as a failure here and nowhere else (the closing line, the exit code of /run, the tray's
// "not done" and the warning event all go by it).
class DelFolders::RunLog {
  public:
    RunLog(HistoryLog& history, ErrorTrap& trap) : history_(history), trap_(trap) {}

    void Step(int line, const HistoryText& text) {
        Write(line, [&] { history_.AppendLine(text.message, text.path); });
    }
    void Step(int line, const char* message, const std::string& path) {
        Step(line, HistoryText{message, path});
    }
    // `count` things were not done; the line says what.
    void Failure(int line, const HistoryText& text, std::uint64_t count = 1) {
        totals.problems += count;
        Write(line, [&] { history_.AppendFailure(text.message, text.path); });
    }
    void Failure(int line, const char* message, const std::string& path, std::uint64_t count = 1) {
        Failure(line, HistoryText{message, path}, count);
    }
    // From now on a line that cannot be written is passed over without a box: the program is
    // ending, and a box would hold it up.
    void Quietly() { reported_ = true; }
    void Closing(int line, const std::string& summary) {
        Write(line, [&] { history_.AppendMessage(summary); });
    }

    RunTotals totals;
    std::vector<FolderOutcome> folders;  // what each folder gave up, in list order

  private:
    // A history file that cannot be written is reported once a run, not once a line.
    void Write(int line, const std::function<void()>& append) {
        if (reported_) {
            try {
                append();
            } catch (const std::exception&) {
                // already reported in this run
            }
            return;
        }
        reported_ = !trap_.At(line, append);
    }

    HistoryLog& history_;
    ErrorTrap& trap_;
    bool reported_ = false;
};

namespace {

const int kCheckLine = 100, kContentLine = 102, kContentLog = 104, kFailureLog = 106,
          kRecycleLine = 108, kFolderLog = 110, kSummaryLog = 112, kEmptyLine = 114;

HistoryText ChangedText(const std::string& folder) {
    return {"Stopped clearing folder ",
            folder + " (the folder changed during the run: what its path leads to now was left)"};
}

HistoryText StaysText(const std::string& folder, const std::string& why) {
    return {"Could not send folder to the Recycle Bin ", folder + " (" + why + ")"};
}

const char* ContentMessage(bool toRecycleBin) {
    return toRecycleBin ? "Sent content of folder to the Recycle Bin "
                        : "Deleted content of folder ";
}

const char* FailureMessage(bool toRecycleBin) {
    return toRecycleBin ? "Could not send file to the Recycle Bin " : "Could not delete file ";
}

}  // namespace

std::string RunClosingLine(const RunTotals& totals, const RunChoices& choices) {
    // The options' clauses come only when they are in use: by default the line is as it was.
    std::string summary = RunSummary(totals.filesDeleted, totals.bytesDeleted, totals.filesFailed,
                                     totals.foldersRecycled);
    // A folder's own rules may recycle or keep files where the options do neither.
    if (choices.rules.recycleFiles || totals.filesRecycled > 0)
        summary +=
            ", " + CountedText(totals.filesRecycled, "file", "files") + " sent to the Recycle Bin";
    if (totals.filesNotRecycled > 0)
        summary += ", " + CountedText(totals.filesNotRecycled, "file", "files") +
                   " could not be sent to the Recycle Bin";
    if (choices.rules.KeepsFiles() || totals.filesKept > 0)
        summary += ", " + CountedText(totals.filesKept, "file", "files") + " kept by the rules";
    if (totals.refused > 0)
        summary += ", " + CountedText(totals.refused, "entry", "entries") + " refused";
    return summary;
}

RunReport DelFolders::DeleteFoldersFiles(const std::vector<std::string>& entries,
                                         const RunChoices& choices) {
    // A run that would start inside another (a tick while this run's shell window is
    // up) is dropped.
    if (running_) return {};
    ScopedFlag guard(running_);
    ErrorTrap trap(uses_.dialogs, "DelFolders.DeleteFoldersFiles");

    // The protected folders are read once for the run, and the history is held open.
    ProtectedFolders::Keys keys;
    uses_.history.BeginRun();
    struct EndRun {
        HistoryLog& history;
        ~EndRun() { history.EndRun(); }
    } endRun{uses_.history};
    RunLog log(uses_.history, trap);
    // What the run has done so far, should the program end in the middle of it.
    choices_ = &choices;
    log_ = &log;
    struct Forget {
        DelFolders& run;
        ~Forget() {
            run.choices_ = nullptr;
            run.log_ = nullptr;
            run.filesUnderWay_ = false;
        }
    } forget{*this};
    const ListedEntries list(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // The window answers between folders and while a folder's files go.
        uses_.pump.DoEvents();
        // Each folder is planned just before it is cleared, so the plan sees it as it is.
        FolderPlan plan;
        if (!trap.At(kCheckLine, [&] { plan = planner_.PlanEntry(list, i, choices, keys); }))
            continue;
        ClearFolder(plan, keys, log, trap);
    }
    RunReport report;
    report.totals = log.totals;
    report.folders = std::move(log.folders);
    if (entries.empty()) return report;
    report.summary = RunClosingLine(log.totals, choices);
    log.Closing(kSummaryLog, report.summary);
    return report;
}

void DelFolders::ClearFolder(const FolderPlan& plan, ProtectedFolders::Keys& keys, RunLog& log,
                             ErrorTrap& trap) {
    RunTotals& totals = log.totals;
    const std::string& folder = plan.folder;
    // A blank entry names nothing.
    if (TrimBlanks(plan.entry).empty()) return;
    // A folder listed twice, in two written forms, is cleared once.
    if (plan.fate == FolderPlan::Fate::Repeated)
        return log.Step(kFolderLog, "Passed over, listed twice ",
                        folder + " (first as " + plan.repeatOf + ")");
    if (plan.Refused()) {
        // Every refused entry is said and counted: a drive root, a protected folder, a
        // path Windows would read otherwise, a file or a link.
        ++totals.refused;
        log.Failure(kFolderLog, "Refused ", VisibleText(folder) + " (" + plan.refusal + ")");
        return;
    }
    if (plan.fate == FolderPlan::Fate::NotThere) {
        log.Step(kFolderLog, "Folder not found ", folder);
        return;
    }
    if (plan.skippedForFreeSpace) {
        log.Step(kFolderLog, FreeSpaceSkippedText(folder, plan.freeBytes));
        return;
    }
    // A rule written wrong never makes a run delete more: the folder is left as it is.
    if (!plan.unreadable.empty()) {
        totals.filesKept += plan.kept.size();
        log.Failure(kFolderLog, RulesUnreadText(folder, plan.unreadable));
        return;
    }
    // The files go through the folder held open, so that a link put in its place
    // meanwhile leads nowhere.
    FolderOpening opening;
    if (!trap.At(kCheckLine, [&] { opening = uses_.fileSystem.OpenFolderToClear(folder); })) return;
    if (!opening.folder) {
        if (opening.fault == kFolderNotThere)
            log.Step(kFolderLog, "Folder not found ", folder);
        else
            log.Failure(kFolderLog, "Could not clear folder ", folder + " (" + opening.fault + ")");
        return;
    }
    OpenedFolder& opened = *opening.folder;
    const auto letWindowAnswer = [this] { uses_.pump.DoEvents(); };

    // Counted as the files go, so that a run cut short can say what it did.
    underWay_ = {folder, plan.recycleFiles, {}};
    DeletedFiles& deleted = underWay_.files;
    if (plan.recycleFiles && plan.noBinForFiles) {
        totals.filesNotRecycled += plan.files.size();
        log.Failure(kContentLog, "Could not send the files to the Recycle Bin ",
                    folder + " (no Recycle Bin can be reached there)", plan.files.size());
    } else if (plan.recycleFiles) {
        filesUnderWay_ = true;
        trap.At(kContentLine, [&] {
            RecyclePlannedFiles(uses_.fileSystem, uses_.shell, opened, folder, plan.files,
                                letWindowAnswer, deleted);
        });
        totals.filesRecycled += deleted.count;
        totals.bytesRecycled += deleted.bytes;
        totals.filesNotRecycled += deleted.failures.size();
    } else {
        filesUnderWay_ = true;
        trap.At(kContentLine,
                [&] { DeletePlannedFiles(opened, folder, plan.files, letWindowAnswer, deleted); });
        totals.filesDeleted += deleted.count;
        totals.bytesDeleted += deleted.bytes;
        totals.filesFailed += deleted.failures.size();
    }
    if (!(plan.recycleFiles && plan.noBinForFiles)) {
        // A run stopped while the files went has said all this already.
        if (!filesUnderWay_) return;
        filesUnderWay_ = false;
        log.Step(kContentLog, ContentMessage(plan.recycleFiles), folder);
    }
    if (deleted.count > 0) log.folders.push_back({folder, deleted.count, deleted.bytes, false});
    // What could not be deleted is said, file by file: no failure passes for success.
    for (const FileFailure& failure : deleted.failures)
        log.Failure(kFailureLog, FailureMessage(plan.recycleFiles),
                    failure.path + " (" + failure.reason + ")");
    if (deleted.folderChanged) return log.Failure(kFolderLog, ChangedText(folder));
    if (plan.cap.Any() && !plan.noBinForFiles)
        LogCap(plan, deleted, [&log](int line, const HistoryText& text) { log.Step(line, text); });
    if (!plan.kept.empty()) {
        totals.filesKept += plan.kept.size();
        log.Step(kFailureLog, "Kept by the rules in folder ",
                 folder + " (" + CountedText(plan.kept.size(), "file", "files") + ")");
    }
    if (plan.removeEmptySubfolders) {
        if (!opened.StillInPlace()) return log.Failure(kFolderLog, ChangedText(folder));
        std::vector<std::string> removed;
        trap.At(kEmptyLine, [&] { removed = RemoveEmptySubfolders(folder, keys); });
        for (const std::string& gone : removed) log.Step(kFolderLog, "Removed empty folder ", gone);
    }

    switch (plan.fate) {
        case FolderPlan::Fate::Stays:
        case FolderPlan::Fate::NotThere:
        case FolderPlan::Fate::Repeated:
            return;
        case FolderPlan::Fate::HoldsProtected:
            return log.Failure(kFolderLog, StaysText(folder, "it holds a protected folder"));
        case FolderPlan::Fate::HoldsLink:
            return log.Failure(kFolderLog, StaysText(folder, "it holds a link: " + plan.link));
        // What the rules keep is what the user asked for, and what the preview showed.
        case FolderPlan::Fate::HoldsKeptFile:
            return log.Step(kFolderLog, "Kept folder ",
                            folder + " (it holds a file the rules keep: " + plan.link + ")");
        case FolderPlan::Fate::HoldsListedFolder:
            return log.Step(kFolderLog, "Kept folder ",
                            folder + " (it holds the listed folder " + plan.link + ")");
        case FolderPlan::Fate::NoRecycleBin:
            return log.Failure(kFolderLog,
                               StaysText(folder, "no Recycle Bin can be reached there"));
        case FolderPlan::Fate::ToRecycleBin: {
            // The shell goes by path: the folder goes only if its path still leads to
            // the folder that was cleared.
            if (!opened.StillInPlace()) return log.Failure(kFolderLog, ChangedText(folder));
            opening.folder.reset();  // the shell moves it: no handle of ours in the way
            Recycled recycled = Recycled::Stayed;
            trap.At(kRecycleLine, [&] { recycled = SendToRecycleBin(folder); });
            if (recycled == Recycled::Stayed)
                return log.Failure(kFolderLog,
                                   StaysText(folder, "the Recycle Bin did not take it"));
            if (recycled == Recycled::Gone) {
                ++totals.foldersRecycled;
                if (log.folders.empty() || log.folders.back().folder != folder)
                    log.folders.push_back({folder, 0, 0, false});
                log.folders.back().recycled = true;
            }
            log.Step(kFolderLog, "Deleted folder ", folder);
            return;
        }
    }
}

void DelFolders::StopAtOnce(const std::string& why) {
    if (!running_ || !choices_ || !log_) return;
    RunLog& log = *log_;
    // The program ends as soon as this returns: what cannot be written now is lost, and
    // nobody is left to tell.
    log.Quietly();
    try {
        if (filesUnderWay_) {
            filesUnderWay_ = false;
            RunTotals& totals = log.totals;
            const DeletedFiles& done = underWay_.files;
            const bool toBin = underWay_.toRecycleBin;
            (toBin ? totals.filesRecycled : totals.filesDeleted) += done.count;
            (toBin ? totals.bytesRecycled : totals.bytesDeleted) += done.bytes;
            (toBin ? totals.filesNotRecycled : totals.filesFailed) += done.failures.size();
            if (done.count > 0)
                log.folders.push_back({underWay_.folder, done.count, done.bytes, false});
            log.Failure(
                kFolderLog,
                {"Stopped clearing folder ",
                 underWay_.folder + " (the run was stopped after " +
                     (toBin ? "sending " : "deleting ") + CountedText(done.count, "file", "files") +
                     (toBin ? " to the Recycle Bin" : "") + "; the rest were left)"});
            for (const FileFailure& failure : done.failures)
                log.Failure(kFailureLog, FailureMessage(toBin),
                            failure.path + " (" + failure.reason + ")");
        }
        log.Closing(kSummaryLog, StoppedRunSummary(RunClosingLine(log.totals, *choices_), why));
    } catch (const std::exception&) {
        // the history could not be written; the run already said so, or cannot any more
    }
    uses_.history.EndRun();
}

void DelFolders::LogCap(const FolderPlan& plan, const DeletedFiles& deleted,
                        const std::function<void(int, const HistoryText&)>& log) {
    const int capLog = 116;
    // The cap's files are the last of the plan's; those that could not go still count.
    std::uint64_t files = plan.files.size() - plan.capFirst, bytes = 0;
    std::unordered_set<std::string> failed;
    for (const FileFailure& failure : deleted.failures) failed.insert(failure.path);
    std::uint64_t stayedFiles = plan.decided.left.files, stayedBytes = plan.decided.left.bytes;
    for (std::size_t i = plan.capFirst; i < plan.files.size(); ++i) {
        const FileEntry& file = plan.files[i];
        if (!failed.empty() && failed.count(plan.folder + "\\" + file.name)) {
            --files;
            ++stayedFiles;
            stayedBytes += file.size;
        } else {
            bytes += file.size;
        }
    }
    if (files > 0) log(capLog, CapDeletedText(plan.folder, plan.cap, files, bytes));
    const bool over = (plan.cap.megabytes && stayedBytes > *plan.cap.megabytes * 1024 * 1024) ||
                      (plan.cap.files && stayedFiles > *plan.cap.files);
    if (over) log(capLog, CapNotMetText(plan.folder, plan.cap, stayedFiles, stayedBytes));
}

std::vector<std::string> DelFolders::RemoveEmptySubfolders(const std::string& folder,
                                                           ProtectedFolders::Keys& keys) {
    // Deepest first, so a folder that held only empty folders is empty by its turn; never
    // through a link, never a folder the check protects, never the listed folder itself.
    std::vector<std::string> order;
    WalkBelow(
        uses_.fileSystem, uses_.pump, folder, [&](const std::string& inner, std::uint32_t bits) {
            if ((bits & attributes::kReparsePoint) || uses_.protectedFolders.Refusal(inner, keys))
                return Walk::Skip;
            order.push_back(inner);
            return Walk::Descend;
        });
    std::vector<std::string> removed;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (uses_.fileSystem.RemoveEmptyFolder(*it)) removed.push_back(*it);
    return removed;
}

DelFolders::Recycled DelFolders::SendToRecycleBin(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    FileSystem& fs = uses_.fileSystem;
    if (!fs.Attributes(path)) return Recycled::NothingThere;
    // Gone only when the shell says it went and the folder is no longer there.
    const bool done = uses_.shell.SendToRecycleBin(path);
    return done && !fs.Attributes(path) ? Recycled::Gone : Recycled::Stayed;
}

}  // namespace ondrevan
