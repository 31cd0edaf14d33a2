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
    list.RemoveAt(*selected);
    SaveFolderList();
    // Its own rules go with it, unless the same entry is still listed.
    const std::vector<std::string> items = list.Items();
    if (std::any_of(items.begin(), items.end(),
                    [&entry](const std::string& item) { return SameFolder(item, entry); }))
        return;
    FolderRulesList rules = ReadFolderRules(uses_.settings);
    if (!FindFolderRules(rules, entry)) return;
    RemoveFolderRules(rules, entry);
    SaveFolderRules(uses_.settings, rules);
}

void FolderList::OpenSelectedFolder() {
    const auto selected = uses_.ListView1.Selected();
    if (!selected || *selected >= uses_.ListView1.Count()) return;
    std::string folder(TrimBlanks(uses_.ListView1.Item(*selected)));
    const auto cannotOpen = [&](const std::string& why) {
        uses_.messages.MsgBox("Cannot open \"" + VisibleText(folder) + "\": " + why);
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
    trap.Line(100, [&] {
        if (!IsBusy()) uses_.ListView1.Clear();
    });
    trap.Line(102, [&] { uses_.settings.Save(keys::kFolders, ""); });
    // Clearing the list clears every folder's own rules.
    trap.Line(104, [&] { ClearFolderRules(uses_.settings); });
}

}  // namespace ondrevan
