#include "app/RunHistoryForm.h"

#include "history/RunRecorder.h"
#include "platform/AnsiCodePage.h"
#include "platform/AppError.h"
#include "platform/AppMessages.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

namespace ondrevan {

RunHistoryForm::RunHistoryForm(const Uses& uses) : uses_(uses) {
    controls_ = {&lblTotals, &lblSpan, &cboSpan,    &lblChartTip, &lblChart,
                 &lblRuns,   &lvwRuns, &lblFolders, &lvwFolders,  &lblLines,
                 &txtLines,  &cmdCopy, &cmdExport,  &cmdClose};
    Window.SetPosition({0, 0, 12600, 9600});
    Window.SetCaption(kRunHistoryTitle);
    Window.SetCloseButton(&cmdClose);  // Close does what Escape does
    lblTotals.SetPosition({120, 120, 12360, 255});
    lblSpan.SetPosition({120, 480, 700, 255});
    lblSpan.SetCaption("&Show:");
    cboSpan.SetPosition({840, 435, 2400, 315});
    cboSpan.SetItems({kChartSpanNames[0], kChartSpanNames[1], kChartSpanNames[2]});
    cboSpan.SetListIndex(0);
    lblChartTip.SetPosition({3480, 480, 9000, 255});
    lblChart.SetPosition({120, 840, 12360, 2160});
    lblRuns.SetPosition({120, 3090, 8000, 255});
    lblRuns.SetCaption("&Runs:");
    lvwRuns.SetPosition({120, 3360, 12360, 2400});
    lvwRuns.SetAccessibleName("Runs of the period");
    constexpr int kRunWidths[] = {2280, 1380, 1140, 900, 2160, 780, 900, 900};
    for (int i = 0; i < 8; ++i) lvwRuns.AddColumn({kRunColumnNames[i], kRunWidths[i]});
    lblFolders.SetPosition({120, 5850, 6000, 255});
    lblFolders.SetCaption("F&olders:");
    lvwFolders.SetPosition({120, 6120, 7080, 2700});
    lvwFolders.SetAccessibleName("What each folder freed in the period");
    // Each heading whole at its font, and room beside them for the list's scroll bar.
    constexpr int kFolderWidths[] = {2600, 1800, 700, 1700};
    for (int i = 0; i < 4; ++i) lvwFolders.AddColumn({kFolderColumnNames[i], kFolderWidths[i]});
    lblLines.SetPosition({7320, 5850, 5160, 255});
    lblLines.SetCaption("The selected run in the &history:");
    txtLines.SetPosition({7320, 6120, 5160, 2700});
    const struct {
        PushButton& button;
        const char* caption;
    } buttons[] = {{cmdCopy, "&Copy"}, {cmdExport, "&Export..."}, {cmdClose, "Close"}};
    int left = 12480 - 3 * 1500 - 2 * 120;
    for (const auto& [button, caption] : buttons) {
        button.SetPosition({left, 9000, 1500, 405});
        button.SetCaption(caption);
        left += 1500 + 120;
    }
    for (Control* control : controls_) control->SetFont({"Arial", 9.0, false});
    for (Label* label :
         {&lblTotals, &lblSpan, &lblChartTip, &lblChart, &lblRuns, &lblFolders, &lblLines})
        label->SetBackColor(colors::kSystemButtonFace);
    // Alt and the underlined letter reach the field each of these names.
    for (Label* name : {&lblSpan, &lblRuns, &lblFolders, &lblLines}) name->SetNamesField(true);
    cboSpan.Click.Handle([this] { cboSpan_Click(); });
    cmdCopy.Click.Handle([this] { cmdCopy_Click(); });
    cmdExport.Click.Handle([this] { cmdExport_Click(); });
}

void RunHistoryForm::Refresh() {
    // The runs with nothing to do counted so far are written, to be shown with the others.
    try {
        uses_.record.Flush();
    } catch (const AppError&) {
        // they are shown once they can be written
    }
    rows_ = uses_.record.Rows();
    model_ = std::make_unique<RunHistory>(rows_, uses_.clock.Now(), uses_.locale);
    cboSpan_Click();
}

void RunHistoryForm::cboSpan_Click() {
    if (!model_) return;
    const int index = cboSpan.ListIndex();
    model_->SetSpan(static_cast<ChartSpan>(index >= 0 && index < 3 ? index : 0));
    ShowModel();
}

void RunHistoryForm::ShowModel() {
    lblTotals.SetCaption(model_->Totals());
    // Said to a screen reader only: a caption would make the chart's place grow to hold it.
    lblChart.SetAccessibleName(model_->ChartName());
    pointedBar_.reset();
    lblChartTip.SetCaption("");
    // The tables' cells come from the model as they are drawn; each row is one item. A run's
    // item is left empty: a year of runs is tens of thousands of dates to write, none of them
    // read (the window asks the model for the rows it shows).
    std::vector<std::string> runs(model_->RunCount()), folders;
    for (std::size_t i = 0; i < model_->FolderCount(); ++i)
        folders.push_back(model_->FolderCell(i, FolderColumn::Folder));
    lvwRuns.Clear();
    lvwRuns.AddRange(std::move(runs));
    lvwFolders.Clear();
    lvwFolders.AddRange(std::move(folders));
    txtLines.SetText("");
}

void RunHistoryForm::RunSelected(std::optional<std::size_t> shownRow) {
    if (!model_ || !shownRow || *shownRow >= model_->RunCount()) {
        txtLines.SetText("");
        return;
    }
    const RecordRow& run = model_->RunAt(*shownRow);
    if (run.kind != RecordRow::Kind::Run) {
        txtLines.SetText("Runs folded into their day keep no lines of their own.");
        return;
    }
    std::string history;
    try {
        if (FileExists(uses_.fileSystem, uses_.historyPath))
            history = uses_.ansi.ToUtf8(uses_.fileSystem.ReadWholeFile(uses_.historyPath));
    } catch (const AppError& error) {
        txtLines.SetText(std::string("The history cannot be read: ") + error.what());
        return;
    }
    std::string text;
    for (const std::string& line : RunHistory::LinesOfRun(run, history, uses_.locale))
        text += line + "\r\n";
    txtLines.SetText(text.empty() ? "The history holds no lines of this run any more." : text);
}

void RunHistoryForm::BarPointed(std::optional<std::size_t> bar) {
    if (!model_ || (bar && *bar >= model_->Bars().size())) bar.reset();
    pointedBar_ = bar;
    lblChartTip.SetCaption(bar ? model_->Bars()[*bar].tip : "");
}

void RunHistoryForm::SortRunsBy(RunColumn column) {
    if (model_) model_->SortRunsBy(column);
}

void RunHistoryForm::SortFoldersBy(FolderColumn column) {
    if (model_) model_->SortFoldersBy(column);
}

void RunHistoryForm::cmdCopy_Click() {
    if (model_) uses_.clipboard.SetText(model_->CopyText());
}

void RunHistoryForm::cmdExport_Click() {
    // The runs with nothing to do counted so far go into the copy too.
    try {
        uses_.record.Flush();
    } catch (const AppError&) {
        // the copy holds what the file holds
    }
    // The name proposed is the record's own ("Ondrevan.runs.csv").
    const std::string& record = uses_.record.FilePath();
    const std::string target = uses_.dialogs.SaveFileName(
        {"Export the Record of Runs", "Record of runs (*.csv)|*.csv|All files (*.*)|*.*|", "csv",
         record.substr(record.find_last_of('\\') + 1)});
    if (target.empty()) return;
    const std::string fault = ExportRecord(uses_.fileSystem, record, target);
    if (!fault.empty()) uses_.messages.Warn(fault);
}

namespace {

void Discard(FileSystem& fileSystem, const std::string& path) {
    try {
        fileSystem.RemoveFile(path);
    } catch (const AppError&) {
        // a file that cannot even be looked at was not written either
    }
}

}  // namespace

std::string ExportRecord(FileSystem& fileSystem, const std::string& record,
                         const std::string& target) {
    std::string text;
    try {
        text = fileSystem.ReadWholeFile(record);
    } catch (const AppError& error) {
        // No run recorded yet: the copy is the header alone, a sheet with no rows.
        if (error.Number() == errors::kFileNotFound)
            text = RecordHeader();
        else
            return "The record of runs " + record + " could not be read: " + error.what() +
                   ". Nothing was exported.";
    }
    // Written beside the target first, so that a file it replaces is never left half written.
    const std::string partial = target + ".partial";
    Discard(fileSystem, partial);
    try {
        fileSystem.AppendToFile(partial, text);
    } catch (const AppError& error) {
        Discard(fileSystem, partial);
        return "The record of runs could not be exported to " + target + ": " + error.what() + ".";
    }
    if (!fileSystem.MoveReplacing(partial, target)) {
        Discard(fileSystem, partial);
        return "The record of runs could not be exported to " + target +
               ": the file there cannot be replaced (it may be open in another program or "
               "read-only).";
    }
    return "";
}

}  // namespace ondrevan
