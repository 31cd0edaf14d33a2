#include "folders/FolderList.h"

#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "platform/SettingKeys.h"

namespace ondrevan {

std::string JoinFolderList(const std::vector<std::string>& entries) {
    std::size_t size = 0;
    for (const std::string& entry : entries) size += entry.size() + kFolderSeparator.size();
    std::string joined;
    joined.reserve(size);
    for (const std::string& entry : entries) {
        joined += entry;
        joined += kFolderSeparator;
    }
    return joined;
}

std::vector<std::string> SplitFolderList(std::string_view value) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t next = value.find(kFolderSeparator, start);
        if (next == std::string_view::npos) break;  // what follows is the dropped last piece
        pieces.emplace_back(value.substr(start, next - start));
        start = next + kFolderSeparator.size();
    }
    return pieces;
}

bool FolderList::IsBusy() const {
    return form_.Window.MousePointer() == pointers::kHourglass;
}

void FolderList::SetBusy(bool busy) {
    form_.Window.SetMousePointer(busy ? pointers::kHourglass : pointers::kDefault);
}

void FolderList::LoadFolderList() {
    std::vector<std::string> entries = SplitFolderList(form_.Settings().Get(keys::kFolders, ""));
    form_.ListView1.Clear();
    form_.ListView1.AddRange(std::move(entries));
}

void FolderList::SaveFolderList() {
    form_.Settings().Save(keys::kFolders, JoinFolderList(form_.ListView1.Items()));
}

void FolderList::ListView1_DblClick() {
    if (IsBusy()) return;
    ListView& list = form_.ListView1;
    if (list.Count() == 0) return;
    auto selected = list.Selected();
    if (!selected) return;
    list.RemoveAt(*selected);
    SaveFolderList();
}

void FolderList::PushButton13_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton13_Click");
    // While a fill is under way the entries stay, but the stored list is emptied all the
    // same; the fill stores the whole list again when it ends.
    trap.Line([&] {
        if (!IsBusy()) form_.ListView1.Clear();
    });
    trap.Line([&] { form_.Settings().Save(keys::kFolders, ""); });
}

}  // namespace ondrevan
