#include "delete/DelFolders.h"

#include <functional>

#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "delete/RunRules.h"
#include "history/HistoryLog.h"
#include "platform/AppMessages.h"
#include "platform/AppSettings.h"
#include "platform/Blanks.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/FolderPaths.h"
#include "platform/ScopedFlag.h"
#include "platform/SettingKeys.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"
#include "platform/Utf16Length.h"
#include "platform/ValueForms.h"
#include "platform/VisibleText.h"

namespace ondrevan {
namespace {

inline constexpr int kCommonAppData = 35;

enum class Walk { Descend, Skip, Stop };

// Every folder below the root, depth first, each shown to `visit` with its attributes;
// `visit` says whether to go into it, pass it over or stop. A folder that cannot be listed
// is passed over; the window answers between folders.
template <class Visit>
void WalkBelow(FileSystem& fileSystem, EventPump& pump, const std::string& root, Visit visit) {
    std::vector<std::string> pending{root};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        std::vector<FolderEntry> subfolders;
        try {
            subfolders = fileSystem.ListSubfolders(folder);
        } catch (const AppError&) {
            continue;
        }
        for (const FolderEntry& sub : subfolders) {
            if (sub.name == "." || sub.name == "..") continue;
            std::string inner = folder + "\\" + sub.name;
            const Walk next = visit(inner, sub.attributes);
            if (next == Walk::Stop) return;
            if (next == Walk::Descend) pending.push_back(std::move(inner));
        }
        pump.DoEvents();
    }
}

}  // namespace

std::vector<std::string> DelFolders::ProtectedFolderKeys() {
    SystemEnvironment& env = uses_.environment;
    const std::string sources[] = {
        env.Variable("WINDIR"),
        env.Variable("ProgramFiles"),
        env.Variable("USERPROFILE"),
        env.Variable("SystemRoot"),
        env.Variable("HOMEPATH"),
        env.Variable("CommonProgramFiles"),
        env.Variable("ALLUSERSPROFILE"),
        env.Variable("APPDATA"),
        GetSystemFolder(env),
        GetSpecialFolderPath(uses_.shell, kCommonAppData),
    };
    std::vector<std::string> all(std::begin(sources), std::end(sources));
    // The user's own protected folders count as the ten do.
    for (std::string& folder : ReadRunRules(uses_.settings).protectedFolders)
        all.push_back(std::move(folder));
    // And so do the administrator's.
    for (std::string& folder : uses_.settings.PolicyProtectedFolders())
        all.push_back(std::move(folder));
    std::vector<std::string> keys;
    for (const std::string& source : all) {
        const std::string entry = CollapseBackslashes(source + "\\");
        // An unset entry protects nothing; its key could never equal a candidate's.
        if (entry.size() <= 3) continue;
        // A value that names no drive ("HOMEPATH" is "\Users\name") would become a network
        // path after the collapse: it is compared as written and never opened.
        keys.push_back(IsFullyQualified(source) ? FolderKey(uses_.fileSystem, entry)
                                                : LexicalFolderKey(entry));
    }
    return keys;
}

bool DelFolders::CanDelete(const std::string& path) {
    return !Refusal(path);
}

std::optional<std::string> DelFolders::Refusal(const std::string& path) {
    ProtectedKeys keys;
    return Refusal(path, keys);
}

std::optional<std::string> DelFolders::Refusal(const std::string& path, ProtectedKeys& keys) {
    ErrorTrap trap(uses_.dialogs, "DelFolders.CanDelete");
    // Protected, unless every test below passes.
    std::optional<std::string> refusal = "it could not be checked";
    trap.Line([&] {
        const std::string candidate = CollapseBackslashes(path + "\\");
        // Drive roots: C: and C:\ both collapse to three characters.
        if (Utf16Length(candidate) <= 3) {
            refusal = "a drive root";
            return;
        }
        // A relative path would be resolved against whatever the current folder is. (The
        // written path is asked: the collapse turns a rooted "\x" into "\\x".)
        if (!IsFullyQualified(path)) {
            refusal = "not a full path";
            return;
        }
        if (HasForbiddenPathCharacters(path)) {
            refusal = "it holds a character no path can hold";
            return;
        }
        const std::string key = FolderKey(uses_.fileSystem, candidate);
        if (key.size() <= 2 || key.back() == ':') {  // "C:\." and the like are roots too
            refusal = "a drive root";
            return;
        }
        if (!keys) keys = ProtectedFolderKeys();
        bool matched = false;
        for (const std::string& entry : *keys) matched |= entry == key;
        refusal = matched ? std::optional<std::string>("a protected folder") : std::nullopt;
    });
    return refusal;
}

bool DelFolders::ContainsProtectedFolder(const std::string& path) {
    ProtectedKeys keys;
    return ContainsProtectedFolder(path, keys);
}

bool DelFolders::ContainsProtectedFolder(const std::string& path, ProtectedKeys& keys) {
    const std::string key = FolderKey(uses_.fileSystem, CollapseBackslashes(path + "\\"));
    if (!keys) keys = ProtectedFolderKeys();
    for (const std::string& entry : *keys)
        if (IsFullyQualified(entry) && KeyContains(key, entry)) return true;
    return false;
}

bool DelFolders::AllowDeleteFolders(const ListView& list) {
    ErrorTrap trap(uses_.dialogs, "DelFolders.AllowDeleteFolders");
    bool answer = false;
    trap.Line([&] {
        if (list.Count() == 0) return;
        if (!uses_.Check1.Checked()) {
            answer = true;
            return;
        }
        std::string folders;
        for (const std::string& item : list.Items()) folders += "\r\n" + VisibleText(item);
        answer = uses_.messages.MsgBox(
                     "Are you sure you want to delete these folders?\r\n\r\n" + folders,
                     MessageButtons::YesNo) == MessageAnswer::Yes;
    });
    return answer;
}

RunChoices DelFolders::CurrentChoices() {
    return {uses_.Option1.Value(), ReadRunRules(uses_.settings), uses_.clock.UtcSeconds()};
}

FolderPlan DelFolders::PlanFolder(const std::string& entry, const RunChoices& choices) {
    FolderPlan plan;
    plan.entry = entry;
    plan.folder = RunFolderPath(entry);
    ProtectedKeys keys;  // read once for both checks
    if (auto refusal = Refusal(plan.folder, keys)) {
        plan.refusal = std::move(*refusal);
        return plan;
    }
    // Only a folder itself is cleared: not a file named in its place, not a link to one.
    if (const auto bits = uses_.fileSystem.Attributes(plan.folder); !bits) {
        plan.fate = FolderPlan::Fate::NotThere;
        return plan;
    } else if (*bits & attributes::kReparsePoint) {
        plan.refusal = kRefusedLink;
        return plan;
    } else if (!(*bits & attributes::kDirectory)) {
        plan.refusal = kRefusedNotAFolder;
        return plan;
    }
    const RunRules& rules = choices.rules;
    for (FileEntry& file : uses_.fileSystem.ListFiles(plan.folder)) {
        if (auto reason = KeepReason(file, rules, choices.nowUtc))
            plan.kept.push_back({std::move(file), std::move(*reason)});
        else
            plan.files.push_back(std::move(file));
    }
    plan.recycleFiles = rules.recycleFiles;
    // Without a Recycle Bin the shell would delete for good: files meant for it stay.
    if (rules.recycleFiles && !plan.files.empty() && !uses_.shell.HasRecycleBin(plan.folder))
        plan.noBinForFiles = true;
    if (!choices.recycleFolders) {
        plan.removeEmptySubfolders = rules.removeEmptySubfolders;
        return plan;
    }

    // A folder holding a protected folder keeps its place: only its own files go.
    if (ContainsProtectedFolder(plan.folder, keys)) {
        plan.fate = FolderPlan::Fate::HoldsProtected;
    } else if (auto found = SearchInside(plan.folder, choices)) {
        // Should the shell delete rather than recycle, it could follow a link inside and
        // delete what lies beyond it: such a folder stays where it is. So does one that
        // holds a file the rules keep.
        plan.fate = found->link ? FolderPlan::Fate::HoldsLink : FolderPlan::Fate::HoldsKeptFile;
        plan.link = std::move(found->path);
    } else if (!plan.kept.empty()) {
        plan.fate = FolderPlan::Fate::HoldsKeptFile;
        plan.link = plan.folder + "\\" + plan.kept.front().file.name + " (" +
                    plan.kept.front().reason + ")";
    } else if (!uses_.shell.HasRecycleBin(plan.folder)) {
        // Without a Recycle Bin the shell would delete for good: the folder stays instead.
        plan.fate = FolderPlan::Fate::NoRecycleBin;
    } else {
        plan.fate = FolderPlan::Fate::ToRecycleBin;
    }
    return plan;
}

std::vector<FolderPlan> DelFolders::PlanRun(const std::vector<std::string>& entries,
                                            const RunChoices& choices,
                                            const std::function<void(std::size_t)>& planned) {
    std::vector<FolderPlan> plans;
    plans.reserve(entries.size());
    for (const std::string& entry : entries) {
        uses_.pump.DoEvents();
        plans.push_back(PlanFolder(entry, choices));
        if (planned) planned(plans.size());
    }
    return plans;
}

std::optional<DelFolders::Found> DelFolders::SearchInside(const std::string& path,
                                                          const RunChoices& choices) {
    // Kept files are looked for only when a rule can keep one.
    const bool lookForKept = choices.rules.KeepsFiles();
    std::optional<Found> found;
    WalkBelow(uses_.fileSystem, uses_.pump, path,
              [&](const std::string& inner, std::uint32_t bits) {
                  if (bits & attributes::kReparsePoint) {
                      found = Found{inner, true};
                      return Walk::Stop;
                  }
                  if (lookForKept)
                      for (const FileEntry& file : uses_.fileSystem.ListFiles(inner))
                          if (auto reason = KeepReason(file, choices.rules, choices.nowUtc)) {
                              found = Found{inner + "\\" + file.name + " (" + *reason + ")", false};
                              return Walk::Stop;
                          }
                  return Walk::Descend;
              });
    return found;
}

void DelFolders::DeleteFoldersFiles(const ListView& list) {
    // A run that would start inside another (a tick while this run's shell window is
    // up) is dropped.
    if (running_) return;
    ScopedFlag guard(running_);
    ErrorTrap trap(uses_.dialogs, "DelFolders.DeleteFoldersFiles");
    const int checkLine = trap.Reserve(), contentLine = trap.Reserve(), contentLog = trap.Reserve(),
              failureLog = trap.Reserve(), recycleLine = trap.Reserve(), folderLog = trap.Reserve(),
              summaryLog = trap.Reserve(), emptyLine = trap.Reserve();

    // The entries are copied: a handler that runs while the shell works may change the list.
    const std::vector<std::string> items = list.Items();
    RunChoices choices;
    if (!trap.At(checkLine, [&] { choices = CurrentChoices(); })) return;
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
    RunTotals totals;
    const auto stays = [&](const std::string& folder, const std::string& why) {
        ++totals.problems;
        log(folderLog, "Could not send folder to the Recycle Bin ", folder + " (" + why + ")");
    };
    const auto changed = [&](const std::string& folder) {
        ++totals.problems;
        log(folderLog, "Stopped clearing folder ",
            folder + " (the folder changed during the run: what its path leads to now was left)");
    };
    for (const std::string& entry : items) {
        // The window answers between folders and while a folder's files go.
        letWindowAnswer();
        // Each folder is planned just before it is cleared, so the plan sees it as it is.
        FolderPlan plan;
        if (!trap.At(checkLine, [&] { plan = PlanFolder(entry, choices); })) continue;
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

        DeletedFiles deleted;
        if (plan.recycleFiles && plan.noBinForFiles) {
            ++totals.problems;
            totals.filesNotRecycled += plan.files.size();
            log(contentLog, "Could not send the files to the Recycle Bin ",
                folder + " (no Recycle Bin can be reached there)");
        } else if (plan.recycleFiles) {
            trap.At(contentLine, [&] {
                deleted = RecyclePlannedFiles(uses_.fileSystem, uses_.shell, opened, folder,
                                              plan.files, letWindowAnswer);
            });
            totals.filesRecycled += deleted.count;
            totals.bytesRecycled += deleted.bytes;
            totals.filesNotRecycled += deleted.failures.size();
            log(contentLog, "Sent content of folder to the Recycle Bin ", folder);
        } else {
            trap.At(contentLine, [&] {
                deleted = DeletePlannedFiles(opened, folder, plan.files, letWindowAnswer);
            });
            totals.filesDeleted += deleted.count;
            totals.bytesDeleted += deleted.bytes;
            totals.filesFailed += deleted.failures.size();
            log(contentLog, "Deleted content of folder ", folder);
        }
        totals.problems += deleted.failures.size();
        // What could not be deleted is said, file by file: no failure passes for success.
        for (const FileFailure& failure : deleted.failures)
            log(failureLog,
                plan.recycleFiles ? "Could not send file to the Recycle Bin "
                                  : "Could not delete file ",
                failure.path + " (" + failure.reason + ")");
        if (deleted.folderChanged) {
            changed(folder);
            continue;
        }
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
            trap.At(emptyLine, [&] { removed = RemoveEmptySubfolders(folder); });
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
    lastRun_ = totals;
    lastSummary_.clear();
    if (items.empty()) return;
    // The options' clauses come only when they are in use: by default the line is as it was.
    std::string summary = RunSummary(totals.filesDeleted, totals.bytesDeleted, totals.filesFailed,
                                     totals.foldersRecycled);
    if (choices.rules.recycleFiles)
        summary +=
            ", " + CountedText(totals.filesRecycled, "file", "files") + " sent to the Recycle Bin";
    if (totals.filesNotRecycled > 0)
        summary += ", " + CountedText(totals.filesNotRecycled, "file", "files") +
                   " could not be sent to the Recycle Bin";
    if (choices.rules.KeepsFiles())
        summary += ", " + CountedText(totals.filesKept, "file", "files") + " kept by the rules";
    lastSummary_ = summary;
    write(summaryLog, [&] { uses_.history.AppendMessage(summary); });
}

std::vector<std::string> DelFolders::RemoveEmptySubfolders(const std::string& folder) {
    // Deepest first, so a folder that held only empty folders is empty by its turn; never
    // through a link, never a folder the check protects, never the listed folder itself.
    std::vector<std::string> order;
    ProtectedKeys keys;  // read once for the whole walk
    WalkBelow(uses_.fileSystem, uses_.pump, folder,
              [&](const std::string& inner, std::uint32_t bits) {
                  if ((bits & attributes::kReparsePoint) || Refusal(inner, keys)) return Walk::Skip;
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

void DelFolders::PushButton3_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton3_Click");
    if (uses_.ListView1.Count() == 0 || running_) return;
    bool allowed = false;
    trap.Line([&] { allowed = AllowDeleteFolders(uses_.ListView1); });
    if (allowed) trap.Line([&] { DeleteFoldersFiles(uses_.ListView1); });
}

void DelFolders::Option1_Click() {
    uses_.settings.Save(keys::kOption1, BooleanText(uses_.Option1.Value()));
    uses_.settings.Save(keys::kOption2, BooleanText(uses_.Option2.Value()));
}

void DelFolders::Option2_Click() {
    Option1_Click();
}

void DelFolders::Check1_Click() {
    uses_.settings.Save(keys::kCheck1, CheckStateText(uses_.Check1.Checked()));
}

void DelFolders::PushButton6_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton6_Click");
    trap.Line([&] {
        uses_.messages.MsgBox(
            "This feature will ask you if you are sure you want to delete before deleting "
            "folders.\r\n\r\nYou can leave this option checked when you first test the software "
            "and as you become more comfortable with this software you can uncheck.");
    });
}

}  // namespace ondrevan
