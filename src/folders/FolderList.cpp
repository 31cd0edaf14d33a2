#include "folders/FolderList.h"

#include <algorithm>

#include "controls/FormWindow.h"
#include "controls/ListView.h"
#include "platform/AppMessages.h"
#include "platform/Blanks.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/FileSystem.h"
#include "platform/FolderPaths.h"
#include "platform/Shell.h"
#include "platform/VisibleText.h"
#include "product/AppSettings.h"
#include "product/FolderRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {

void RemovalStack::Push(FolderRemoval removal) {
    if (removal.entries.empty()) return;
    if (removals_.size() == kDepth) removals_.erase(removals_.begin());
    removals_.push_back(std::move(removal));
}

std::optional<FolderRemoval> RemovalStack::Pop() {
    if (removals_.empty()) return std::nullopt;
    FolderRemoval last = std::move(removals_.back());
    removals_.pop_back();
    return last;
}

void PutBack(std::vector<std::string>& entries, const FolderRemoval& removal) {
    for (const auto& [place, entry] : removal.entries) {
        const std::size_t at = std::min(place, entries.size());
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
}

FolderRemoval RulesTakenAway(const FolderRulesList& before, const FolderRulesList& after) {
    FolderRemoval taken;
    for (std::size_t i = 0; i < before.lines.size(); ++i)
        if (std::find(after.lines.begin(), after.lines.end(), before.lines[i]) == after.lines.end())
            taken.rules.emplace_back(i, before.lines[i]);
    for (const std::string& line : before.strayLines)
        if (std::find(after.strayLines.begin(), after.strayLines.end(), line) ==
            after.strayLines.end())
            taken.strayRules.push_back(line);
    return taken;
}

bool FolderList::IsBusy() const {
    return uses_.Window.MousePointer() == pointers::kHourglass;
}

void FolderList::SetBusy(bool busy) {
    uses_.Window.SetMousePointer(busy ? pointers::kHourglass : pointers::kDefault);
}

void FolderList::LoadFolderList() {
    std::vector<std::string> entries = SplitFolderList(uses_.settings.Get(keys::kFolders, ""));
    uses_.ListView1.Clear();
    uses_.ListView1.AddRange(std::move(entries));
}

void FolderList::SaveFolderList() {
    uses_.settings.Save(keys::kFolders, JoinFolderList(uses_.ListView1.Items()));
}

void FolderList::ListView1_DblClick() {
    if (IsBusy()) return;
    ListView& list = uses_.ListView1;
    if (list.Count() == 0) return;
    auto selected = list.Selected();
    if (!selected) return;
    const std::string entry = list.Item(*selected);
    const std::size_t place = *selected;
    list.RemoveAt(*selected);
    SaveFolderList();
    FolderRemoval removal;
    // Its own rules go with it, unless the same entry is still listed.
    const std::vector<std::string> items = list.Items();
    if (std::none_of(items.begin(), items.end(),
                     [&entry](const std::string& item) { return SameFolder(item, entry); })) {
        const FolderRulesList before = ReadFolderRules(uses_.settings);
        if (FindFolderRules(before, entry)) {
            FolderRulesList rules = before;
            RemoveFolderRules(rules, entry);
            SaveFolderRules(uses_.settings, rules);
            removal = RulesTakenAway(before, rules);
        }
    }
    removal.entries.emplace_back(place, entry);
    removals_.Push(std::move(removal));
}

void FolderList::Undo() {
    if (IsBusy()) return;
    std::optional<FolderRemoval> removal = removals_.Pop();
    if (!removal) return;
    std::vector<std::string> entries = uses_.ListView1.Items();
    PutBack(entries, *removal);
    uses_.ListView1.Clear();
    uses_.ListView1.AddRange(std::move(entries));
    uses_.ListView1.Select(std::min(removal->entries.front().first, uses_.ListView1.Count() - 1));
    SaveFolderList();
    if (removal->rules.empty() && removal->strayRules.empty()) return;
    // A folder given rules of its own since keeps them; the others get theirs back.
    FolderRulesList rules = ReadFolderRules(uses_.settings);
    for (auto& [place, line] : removal->rules) {
        if (FindFolderRules(rules, line.folder)) continue;
        const std::size_t at = std::min(place, rules.lines.size());
        rules.lines.insert(rules.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    }
    for (std::string& line : removal->strayRules)
        if (std::find(rules.strayLines.begin(), rules.strayLines.end(), line) ==
            rules.strayLines.end())
            rules.strayLines.push_back(std::move(line));
    SaveFolderRules(uses_.settings, rules);
}

void FolderList::OpenSelectedFolder() {
    const auto selected = uses_.ListView1.Selected();
    if (!selected || *selected >= uses_.ListView1.Count()) return;
    std::string folder(TrimBlanks(uses_.ListView1.Item(*selected)));
    const auto cannotOpen = [&](const std::string& why) {
        uses_.messages.Warn("Cannot open \"" + VisibleText(folder) + "\": " + why);
    };
    if (HasForbiddenPathCharacters(folder) || !IsFullyQualified(folder))
        return cannotOpen("it is not a full folder path.");
    const auto bits = uses_.fileSystem.Attributes(folder);
    if (!bits) return cannotOpen("there is no such folder.");
    if (!(*bits & attributes::kDirectory))
        return cannotOpen("it is a file, not a folder. A run refuses it.");
    uses_.shell.OpenItem("\"" + folder + "\"", "");
}

void FolderList::PushButton13_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton13_Click");
    // While a fill is under way the entries stay, but the stored list is emptied all the
    // same; the fill stores the whole list again when it ends.
    FolderRemoval removal;
    trap.Line(100, [&] {
        if (IsBusy()) return;
        const std::vector<std::string>& items = uses_.ListView1.Items();
        for (std::size_t i = 0; i < items.size(); ++i) removal.entries.emplace_back(i, items[i]);
        uses_.ListView1.Clear();
    });
    trap.Line(102, [&] { uses_.settings.Save(keys::kFolders, ""); });
    // Clearing the list clears every folder's own rules.
    trap.Line(104, [&] {
        const FolderRulesList before = ReadFolderRules(uses_.settings);
        ClearFolderRules(uses_.settings);
        FolderRemoval rules = RulesTakenAway(before, ReadFolderRules(uses_.settings));
        removal.rules = std::move(rules.rules);
        removal.strayRules = std::move(rules.strayRules);
    });
    // While a fill is under way nothing left the list, and nothing is there to bring back.
    removals_.Push(std::move(removal));
}

}  // namespace ondrevan
