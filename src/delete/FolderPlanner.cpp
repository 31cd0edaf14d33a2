#include "delete/FolderPlanner.h"

#include "delete/FolderDecisions.h"
#include "delete/RunRules.h"
#include "delete/WalkBelow.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace ondrevan {

FolderPlan FolderPlanner::PlanFolder(const std::string& entry, const RunChoices& choices) {
    ProtectedFolders::Keys keys;
    return PlanFolder(entry, choices, keys);
}

FolderPlan FolderPlanner::PlanFolder(const std::string& entry, const RunChoices& choices,
                                     ProtectedFolders::Keys& keys) {
    FolderPlan plan;
    plan.entry = entry;
    plan.folder = RunFolderPath(entry);
    if (auto refusal = uses_.protectedFolders.Refusal(plan.folder, keys)) {
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
    // A folder with rules of its own goes by them, laid over the options'.
    const std::optional<FolderRules> own = choices.folderRules.lines.empty()
                                               ? std::nullopt
                                               : FindFolderRules(choices.folderRules, entry);
    if (own && own->HasOwnRules()) return PlanWithOwnRules(std::move(plan), *own, choices, keys);
    const RunRules& rules = choices.rules;
    EventPump& pump = uses_.pump;
    for (FileEntry& file : uses_.fileSystem.ListFiles(plan.folder, [&pump] { pump.DoEvents(); })) {
        if (auto reason = KeepReason(file, rules, choices.nowUtc))
            plan.kept.push_back({std::move(file), std::move(*reason)});
        else
            plan.files.push_back(std::move(file));
    }
    return PlanFolderFate(std::move(plan), choices, keys);
}

FolderPlan FolderPlanner::PlanWithOwnRules(FolderPlan plan, const FolderRules& own,
                                           const RunChoices& choices,
                                           ProtectedFolders::Keys& keys) {
    const FolderChoices folder =
        EffectiveFolderChoices(choices.recycleFolders, choices.rules, own, choices.policy);
    plan.ownRules = true;
    plan.rulesSummary = FolderRulesSummary(own);
    plan.cap = folder.cap;
    plan.unreadable = folder.unreadable;
    // The free space is read as the run reaches the folder: with enough of it, nothing happens.
    if (folder.freeBelowGigabytes) {
        plan.freeBytes = uses_.fileSystem.FreeSpace(plan.folder);
        if (!ClearsAtFreeSpace(folder, plan.freeBytes)) {
            plan.skippedForFreeSpace = true;
            return plan;
        }
    }
    EventPump& pump = uses_.pump;
    const FolderDecision decision =
        DecideFolderFiles(uses_.fileSystem.ListFiles(plan.folder, [&pump] { pump.DoEvents(); }),
                          folder, choices.nowUtc);
    plan.decided = decision;
    // The age rule's files first, then the cap's, so that the run can tell them apart.
    for (const FileDecision& made : decision.files)
        if (made.fate == FileFate::DeletedByAge) plan.files.push_back(made.file);
    plan.capFirst = plan.files.size();
    for (const FileDecision& made : decision.files)
        if (made.fate == FileFate::DeletedByCap) plan.files.push_back(made.file);
    plan.kept = decision.Kept();
    // Rules that do not read leave the folder as it is: no file, no sub-folder, not the folder.
    if (!plan.unreadable.empty()) return plan;
    RunChoices effective{folder.recycleFolders, folder.rules, choices.nowUtc};
    return PlanFolderFate(std::move(plan), effective, keys);
}

FolderPlan FolderPlanner::PlanFolderFate(FolderPlan plan, const RunChoices& choices,
                                         ProtectedFolders::Keys& keys) {
    const RunRules& rules = choices.rules;
    plan.recycleFiles = rules.recycleFiles;
    // Without a Recycle Bin the shell would delete for good: files meant for it stay.
    if (rules.recycleFiles && !plan.files.empty() && !uses_.shell.HasRecycleBin(plan.folder))
        plan.noBinForFiles = true;
    if (!choices.recycleFolders) {
        plan.removeEmptySubfolders = rules.removeEmptySubfolders;
        return plan;
    }

    // A folder holding a protected folder keeps its place: only its own files go.
    if (uses_.protectedFolders.ContainsProtectedFolder(plan.folder, keys)) {
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

std::vector<FolderPlan> FolderPlanner::PlanRun(const std::vector<std::string>& entries,
                                               const RunChoices& choices,
                                               const std::function<void(std::size_t)>& planned) {
    ProtectedFolders::Keys keys;  // read once for the whole list
    std::vector<FolderPlan> plans;
    plans.reserve(entries.size());
    for (const std::string& entry : entries) {
        uses_.pump.DoEvents();
        plans.push_back(PlanFolder(entry, choices, keys));
        if (planned) planned(plans.size());
    }
    return plans;
}

std::optional<FolderPlanner::Found> FolderPlanner::SearchInside(const std::string& path,
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

}  // namespace ondrevan
