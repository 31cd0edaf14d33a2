#include "app/Form1.h"

#include <algorithm>

#include "app/HomePage.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"

namespace ondrevan {

// The windows the main window opens, and the folder list's column of own rules.
OptionsForm& Form1::ShowOptions() {
    // Asked for while it is open: what the user typed is stored if it can be, and every field
    // shows what is in force.
    options_.StoreFields();
    options_.Load();
    ShowRecoveryNote();
    return options_;
}

FolderRulesForm* Form1::ShowFolderRules() {
    const auto selected = ListView1.Selected();
    if (!selected || *selected >= ListView1.Count()) return nullptr;
    // Asked for again while open: what was typed for the folder shown is stored first.
    folderRules_.StoreFields();
    folderRules_.Load(ListView1.Item(*selected));
    folderRules_.Window.SetVisible(true);
    return &folderRules_;
}

void Form1::AfterListChanged() {
    ShowFolderRulesColumn();
    folderRules_.FolderListChanged(ListView1.Items());
}

void Form1::ShowFolderRulesColumn() {
    folderRulesShown_ = ReadFolderRules(settings_);
    const std::vector<std::string>& items = ListView1.Items();
    const bool any =
        std::any_of(folderRulesShown_.lines.begin(), folderRulesShown_.lines.end(),
                    [&](const FolderRulesLine& line) {
                        return line.rules.HasOwnRules() &&
                               std::find(items.begin(), items.end(), line.folder) != items.end();
                    });
    if (!any) {
        // As designed: one column as wide as it always was.
        ListView1.KeepColumns(1);
        if (!ListView1.Columns().empty()) ListView1.SetColumnWidth(0, kFolderColumnTwips);
        ListView1.SetDetail(nullptr);
        return;
    }
    if (ListView1.Columns().size() == 1) {
        ListView1.SetColumnWidth(0, kFolderColumnTwips * 3 / 5);
        ListView1.AddColumn({"Own rules", kFolderColumnTwips * 2 / 5});
    }
    ListView1.SetDetail([this](const std::string& entry) {
        const auto rules = FindFolderRules(folderRulesShown_, entry);
        return rules ? FolderRulesSummary(*rules) : std::string();
    });
}

PreviewForm& Form1::ShowPreview() {
    return preview_;
}

RunHistoryForm& Form1::ShowRunHistory() {
    runHistory_.Refresh();
    return runHistory_;
}

void Form1::PushButton11_Click() {
    ErrorTrap trap(services_.dialogs, "Form1.PushButton11_Click");
    trap.Line(100, [&] {
        MsgBox(std::string("Questions? Please contact Team Quillmere at ") + kContactUrl);
    });
    trap.Line(102, [&] {
        // Said as it is: a user who believed everything could be recovered would lose files.
        MsgBox(std::string(FilesGoToRecycleBin()
                               ? "Files that lie in a listed folder go to the Recycle Bin, where "
                                 "they can be recovered."
                               : "Files that lie in a listed folder are deleted permanently.") +
               " In folder mode the folder itself, with its sub-folders, then goes to the "
               "Recycle Bin; in contents mode it stays.");
    });
}

}  // namespace ondrevan
