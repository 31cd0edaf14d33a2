#include "delete/FolderPlanner.h"

#include <algorithm>

#include "delete/FolderDecisions.h"
#include "delete/WalkBelow.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/FolderPaths.h"
#include "platform/Shell.h"
#include "product/RunRules.h"

namespace ondrevan {

FolderPlan FolderPlanner::PlanFolder(const std::string& entry, const RunChoices& choices) {
    ProtectedFolders::Keys keys;
    return PlanFolder(entry, choices, keys);
}

FolderPlan FolderPlanner::PlanFolder(const std::string& entry, const RunChoices& choices,
                                     ProtectedFolders::Keys& keys,
                                     const std::vector<std::string>* listed) {
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
    // Every folder goes by the options' rules with its own laid over them and the
    // policies over both; one without rules of its own goes by the options alone.
    const std::optional<FolderRules> own = choices.folderRules.lines.empty()
                                               ? std::nullopt
                                               : FindFolderRules(choices.folderRules, entry);
    const FolderRules& rules = own ? *own : FolderRules{};
    const FolderChoices folder =
        EffectiveFolderChoices(choices.recycleFolders, choices.rules, rules, choices.policy);
    if (rules.HasOwnRules()) {
        plan.ownRules = true;
        plan.rulesSummary = FolderRulesSummary(rules);
    }
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
    return PlanFolderFate(std::move(plan), folder, choices, keys, listed);
}

FolderPlan FolderPlanner::PlanFolderFate(FolderPlan plan, const FolderChoices& folder,
                                         const RunChoices& choices, ProtectedFolders::Keys& keys,
                                         const std::vector<std::string>* listed) {
    const RunRules& rules = folder.rules;
    plan.recycleFiles = rules.recycleFiles;
    // Without a Recycle Bin the shell would delete for good: files meant for it stay.
    if (rules.recycleFiles && !plan.files.empty() && !uses_.shell.HasRecycleBin(plan.folder))
        plan.noBinForFiles = true;
    if (!folder.recycleFolders) {
        plan.removeEmptySubfolders = rules.removeEmptySubfolders;
        return plan;
    }

    // A folder holding a protected folder keeps its place: only its own files go.
    if (uses_.protectedFolders.ContainsProtectedFolder(plan.folder, keys)) {
        plan.fate = FolderPlan::Fate::HoldsProtected;
    } else if (auto found = SearchInside(plan.folder, folder, choices.nowUtc)) {
        // Should the shell delete rather than recycle, it could follow a link inside and
        // delete what lies beyond it: such a folder stays where it is. So does one that
        // holds a file the rules keep.
        plan.fate = found->link ? FolderPlan::Fate::HoldsLink : FolderPlan::Fate::HoldsKeptFile;
        plan.link = std::move(found->path);
    } else if (!plan.kept.empty()) {
        plan.fate = FolderPlan::Fate::HoldsKeptFile;
        plan.link = plan.folder + "\\" + plan.kept.front().file.name + " (" +
                    plan.kept.front().reason + ")";
    } else if (auto inside = ListedFolderThatKeeps(plan.folder, choices, listed)) {
        // A listed folder inside with rules of its own that keep something: sending this one
        // to the Recycle Bin would take what those rules keep with it.
        plan.fate = FolderPlan::Fate::HoldsListedFolder;
        plan.link = std::move(*inside);
    } else if (!uses_.shell.HasRecycleBin(plan.folder)) {
        // Without a Recycle Bin the shell would delete for good: the folder stays instead.
        plan.fate = FolderPlan::Fate::NoRecycleBin;
    } else {
        plan.fate = FolderPlan::Fate::ToRecycleBin;
    }
    return plan;
}

FolderPlan FolderPlanner::PlanEntry(const ListedEntries& list, std::size_t index,
                                    const RunChoices& choices, ProtectedFolders::Keys& keys) {
    if (const auto first = list.earlier[index])
        return RepeatedPlan(list.entries[index], list.entries[*first]);
    return PlanFolder(list.entries[index], choices, keys, &list.entries);
}

std::vector<FolderPlan> FolderPlanner::PlanRun(const std::vector<std::string>& entries,
                                               const RunChoices& choices,
                                               const std::function<void(std::size_t)>& planned) {
    ProtectedFolders::Keys keys;  // read once for the whole list
    std::vector<FolderPlan> plans;
    plans.reserve(entries.size());
    const ListedEntries list(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        uses_.pump.DoEvents();
        plans.push_back(PlanEntry(list, i, choices, keys));
        if (planned) planned(plans.size());
    }
    return plans;
}

std::optional<FolderPlanner::Found> FolderPlanner::SearchInside(const std::string& path,
                                                                const FolderChoices& folder,
                                                                std::int64_t nowUtc) {
    // Kept files are looked for only when a rule can keep one.
    const bool lookForKept = KeepsAnyFile(folder);
    std::optional<Found> found;
    WalkBelow(uses_.fileSystem, uses_.pump, path,
              [&](const std::string& inner, std::uint32_t bits) {
                  if (bits & attributes::kReparsePoint) {
                      found = Found{inner, true};
                      return Walk::Stop;
                  }
                  if (lookForKept)
                      if (auto kept = FirstKeptFile(inner, folder, nowUtc)) {
                          found = Found{std::move(*kept), false};
                          return Walk::Stop;
                      }
                  return Walk::Descend;
              });
    return found;
}

std::optional<std::string> FolderPlanner::FirstKeptFile(const std::string& folder,
                                                        const FolderChoices& choices,
                                                        std::int64_t nowUtc) {
    for (const FileEntry& file : uses_.fileSystem.ListFiles(folder)) {
        const FileDecision made = JudgeFile(file, choices, nowUtc);
        if (made.fate != FileFate::DeletedByAge)
            return folder + "\\" + file.name + " (" + made.reason + ")";
    }
    return std::nullopt;
}

std::optional<std::string> FolderPlanner::ListedFolderThatKeeps(
    const std::string& folder, const RunChoices& choices, const std::vector<std::string>* listed) {
    if (choices.folderRules.lines.empty()) return std::nullopt;
    const std::string outer = LexicalFolderKey(folder);
    std::vector<std::string> listedKeys;
    if (listed)
        for (const std::string& entry : *listed) listedKeys.push_back(LexicalFolderKey(entry));
    for (const FolderRulesLine& line : choices.folderRules.lines) {
        const std::string inner = LexicalFolderKey(line.folder);
        if (inner == outer || !KeyContains(outer, inner)) continue;
        // Only a folder of the list is cleared by its own rules; without the list at hand,
        // every folder with rules counts.
        if (listed && std::find(listedKeys.begin(), listedKeys.end(), inner) == listedKeys.end())
            continue;
        const FolderRules own = *FindFolderRules(choices.folderRules, line.folder);
        if (!own.HasOwnRules()) continue;
        // Named as the list holds it, where the list is at hand.
        const auto entry =
            listed ? std::find(listedKeys.begin(), listedKeys.end(), inner) : listedKeys.end();
        const std::string path = RunFolderPath(
            entry == listedKeys.end() ? line.folder : (*listed)[entry - listedKeys.begin()]);
        const auto bits = uses_.fileSystem.Attributes(path);
        if (!bits || !(*bits & attributes::kDirectory) || (*bits & attributes::kReparsePoint))
            continue;
        const FolderChoices its =
            EffectiveFolderChoices(choices.recycleFolders, choices.rules, own, choices.policy);
        const auto keeps = [&path](const std::string& why) { return path + ", " + why; };
        if (!its.unreadable.empty()) return keeps("whose rules do not read");
        if (!its.recycleFolders) return keeps("which its own rules keep in place");
        if (its.freeBelowGigabytes)
            return keeps("which its own rules clear only below a free space");
        if (!KeepsAnyFile(its)) continue;
        const FolderDecision decision =
            DecideFolderFiles(uses_.fileSystem.ListFiles(path), its, choices.nowUtc);
        for (const FileDecision& made : decision.files)
            if (made.fate != FileFate::DeletedByAge && made.fate != FileFate::DeletedByCap)
                return keeps("whose own rules keep " + path + "\\" + made.file.name + " (" +
                             made.reason + ")");
        std::optional<std::string> below;
        WalkBelow(uses_.fileSystem, uses_.pump, path,
                  [&](const std::string& sub, std::uint32_t subBits) {
                      if (subBits & attributes::kReparsePoint) return Walk::Skip;
                      below = FirstKeptFile(sub, its, choices.nowUtc);
                      return below ? Walk::Stop : Walk::Descend;
                  });
        if (below) return keeps("whose own rules keep " + *below);
    }
    return std::nullopt;
}

}  // namespace ondrevan
