#include "delete/DelFolders.h"

#include <functional>
#include <unordered_set>

#include "delete/DeleteFiles.h"
#include "delete/FolderDecisions.h"
#include "delete/RunRules.h"
#include "delete/WalkBelow.h"
#include "history/HistoryLog.h"
#include "platform/ErrorReport.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/ScopedFlag.h"
#include "platform/Shell.h"
#include "platform/ValueForms.h"

namespace ondrevan {
namespace {

const char* ContentMessage(bool toRecycleBin) {
    return toRecycleBin ? "Sent content of folder to the Recycle Bin "
                        : "Deleted content of folder ";
}

const char* FailureMessage(bool toRecycleBin) {
    return toRecycleBin ? "Could not send file to the Recycle Bin " : "Could not delete file ";
}

}  // namespace

RunReport DelFolders::DeleteFoldersFiles(const std::vector<std::string>& entries,
                                         const RunChoices& choices) {
    // A run that would start inside another (a tick while this run's shell window is
    // up) is dropped.
    if (running_) return {};
    ScopedFlag guard(running_);
    struct Forget {
        DelFolders& run;
        ~Forget() {
            run.choices_ = nullptr;
            run.filesUnderWay_ = false;
        }
    } forget{*this};
    ErrorTrap trap(uses_.dialogs, "DelFolders.DeleteFoldersFiles");
    const int checkLine = 100, contentLine = 102, contentLog = 104, failureLog = 106,
              recycleLine = 108, folderLog = 110, summaryLog = 112, emptyLine = 114;

    // The protected folders are read once for the run, and the history is held open.
    ProtectedFolders::Keys keys;
    uses_.history.BeginRun();
    struct EndRun {
        HistoryLog& history;
        ~EndRun() { history.EndRun(); }
    } endRun{uses_.history};
    EventPump& pump = uses_.pump;
    const auto letWindowAnswer = [&pump] { pump.DoEvents(); };
    // A history file that cannot be written is reported once a run, not once a line.
    bool historyReported = false;
    const auto write = [&](int line, const std::function<void()>& append) {
        if (historyReported) {
            try {
                append();
            } catch (const std::exception&) {
                // already reported in this run
            }
            return;
        }
        historyReported = !trap.At(line, append);
    };
    const auto log = [&](int line, const char* message, const std::string& path) {
        write(line, [&] { uses_.history.AppendLine(message, path); });
    };
    totals_ = {};
    choices_ = &choices;
    RunTotals& totals = totals_;
    const auto stays = [&](const std::string& folder, const std::string& why) {
        ++totals.problems;
        log(folderLog, "Could not send folder to the Recycle Bin ", folder + " (" + why + ")");
    };
    const auto changed = [&](const std::string& folder) {
        ++totals.problems;
        log(folderLog, "Stopped clearing folder ",
            folder + " (the folder changed during the run: what its path leads to now was left)");
    };
    for (const std::string& entry : entries) {
        // The window answers between folders and while a folder's files go.
        letWindowAnswer();
        // Each folder is planned just before it is cleared, so the plan sees it as it is.
        FolderPlan plan;
        if (!trap.At(checkLine, [&] { plan = planner_.PlanFolder(entry, choices, keys); }))
            continue;
        const std::string& folder = plan.folder;
        if (plan.Refused()) {
            // The protected folders are passed over in silence; an entry that names a file
            // or a link is the user's mistake, and said.
            if (plan.refusal == kRefusedLink || plan.refusal == kRefusedNotAFolder) {
                ++totals.problems;
                log(folderLog, "Refused ", folder + " (" + plan.refusal + ")");
            }
            continue;
        }
        if (plan.fate == FolderPlan::Fate::NotThere) {
            log(folderLog, "Folder not found ", folder);
            continue;
        }
        const auto logText = [&](int line, const HistoryText& text) {
            write(line, [&] { uses_.history.AppendLine(text.message, text.path); });
        };
        if (plan.skippedForFreeSpace) {
            logText(folderLog, FreeSpaceSkippedText(folder, plan.freeBytes));
            continue;
        }
        // A rule written wrong never makes a run delete more: the folder is left as it is.
        if (!plan.unreadable.empty()) {
            ++totals.problems;
            totals.filesKept += plan.kept.size();
            logText(folderLog, RulesUnreadText(folder, plan.unreadable));
            continue;
        }
        // The files go through the folder held open, so that a link put in its place
        // meanwhile leads nowhere.
        FolderOpening opening;
        if (!trap.At(checkLine, [&] { opening = uses_.fileSystem.OpenFolderToClear(folder); }))
            continue;
        if (!opening.folder) {
            if (opening.fault == kFolderNotThere) {
                log(folderLog, "Folder not found ", folder);
            } else {
                ++totals.problems;
                log(folderLog, "Could not clear folder ", folder + " (" + opening.fault + ")");
            }
            continue;
        }
        OpenedFolder& opened = *opening.folder;

        // Counted as the files go, so that a run cut short can say what it did.
        underWay_ = {folder, plan.recycleFiles, {}};
        DeletedFiles& deleted = underWay_.files;
        if (plan.recycleFiles && plan.noBinForFiles) {
            ++totals.problems;
            totals.filesNotRecycled += plan.files.size();
            log(contentLog, "Could not send the files to the Recycle Bin ",
                folder + " (no Recycle Bin can be reached there)");
        } else if (plan.recycleFiles) {
            filesUnderWay_ = true;
            trap.At(contentLine, [&] {
                RecyclePlannedFiles(uses_.fileSystem, uses_.shell, opened, folder, plan.files,
                                    letWindowAnswer, deleted);
            });
            totals.filesRecycled += deleted.count;
            totals.bytesRecycled += deleted.bytes;
            totals.filesNotRecycled += deleted.failures.size();
        } else {
            filesUnderWay_ = true;
            trap.At(contentLine, [&] {
                DeletePlannedFiles(opened, folder, plan.files, letWindowAnswer, deleted);
            });
            totals.filesDeleted += deleted.count;
            totals.bytesDeleted += deleted.bytes;
            totals.filesFailed += deleted.failures.size();
        }
        totals.problems += deleted.failures.size();
        if (filesUnderWay_) {
            filesUnderWay_ = false;
            log(contentLog, ContentMessage(plan.recycleFiles), folder);
            // What could not be deleted is said, file by file: no failure passes for success.
            for (const FileFailure& failure : deleted.failures)
                log(failureLog, FailureMessage(plan.recycleFiles),
                    failure.path + " (" + failure.reason + ")");
        }
        if (deleted.folderChanged) {
            changed(folder);
            continue;
        }
        if (plan.cap.Any() && !plan.noBinForFiles) LogCap(plan, deleted, logText);
        if (!plan.kept.empty()) {
            totals.filesKept += plan.kept.size();
            log(failureLog, "Kept by the rules in folder ",
                folder + " (" + CountedText(plan.kept.size(), "file", "files") + ")");
        }
        if (plan.removeEmptySubfolders) {
            if (!opened.StillInPlace()) {
                changed(folder);
                continue;
            }
            std::vector<std::string> removed;
            trap.At(emptyLine, [&] { removed = RemoveEmptySubfolders(folder, keys); });
            for (const std::string& gone : removed) log(folderLog, "Removed empty folder ", gone);
        }

        switch (plan.fate) {
            case FolderPlan::Fate::Stays:
            case FolderPlan::Fate::NotThere:
                continue;
            case FolderPlan::Fate::HoldsProtected:
                stays(folder, "it holds a protected folder");
                continue;
            case FolderPlan::Fate::HoldsLink:
                stays(folder, "it holds a link: " + plan.link);
                continue;
            case FolderPlan::Fate::HoldsKeptFile:
                stays(folder, "it holds a file the rules keep: " + plan.link);
                continue;
            case FolderPlan::Fate::NoRecycleBin:
                stays(folder, "no Recycle Bin can be reached there");
                continue;
            case FolderPlan::Fate::ToRecycleBin: {
                // The shell goes by path: the folder goes only if its path still leads to
                // the folder that was cleared.
                if (!opened.StillInPlace()) {
                    changed(folder);
                    continue;
                }
                opening.folder.reset();  // the shell moves it: no handle of ours in the way
                Recycled recycled = Recycled::Stayed;
                trap.At(recycleLine, [&] { recycled = SendToRecycleBin(folder); });
                if (recycled == Recycled::Stayed) {
                    stays(folder, "the Recycle Bin did not take it");
                    continue;
                }
                if (recycled == Recycled::Gone) ++totals.foldersRecycled;
                log(folderLog, "Deleted folder ", folder);
                continue;
            }
        }
    }
    RunReport report;
    report.totals = totals;
    if (entries.empty()) return report;
    std::string summary = SummaryOf(choices, totals);
    write(summaryLog, [&] { uses_.history.AppendMessage(summary); });
    report.summary = std::move(summary);
    return report;
}

std::string DelFolders::SummaryOf(const RunChoices& choices, const RunTotals& totals) {
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
    return summary;
}

void DelFolders::StopAtOnce(const std::string& why) {
    if (!running_ || !choices_) return;
    RunTotals totals = totals_;
    // The program ends as soon as this returns: what cannot be written now is lost, and
    // nobody is left to tell.
    try {
        if (filesUnderWay_) {
            filesUnderWay_ = false;
            const DeletedFiles& done = underWay_.files;
            const bool toBin = underWay_.toRecycleBin;
            (toBin ? totals.filesRecycled : totals.filesDeleted) += done.count;
            (toBin ? totals.bytesRecycled : totals.bytesDeleted) += done.bytes;
            (toBin ? totals.filesNotRecycled : totals.filesFailed) += done.failures.size();
            totals.problems += done.failures.size() + 1;
            uses_.history.AppendLine(
                "Stopped clearing folder ",
                underWay_.folder + " (the run was stopped after " +
                    (toBin ? "sending " : "deleting ") + CountedText(done.count, "file", "files") +
                    (toBin ? " to the Recycle Bin" : "") + "; the rest were left)");
            for (const FileFailure& failure : done.failures)
                uses_.history.AppendLine(FailureMessage(toBin),
                                         failure.path + " (" + failure.reason + ")");
        }
        uses_.history.AppendMessage(StoppedRunSummary(SummaryOf(*choices_, totals), why));
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
