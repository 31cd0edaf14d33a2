#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/RunHistory.h"
#include "controls/ComboBox.h"
#include "controls/FormWindow.h"
#include "controls/ListView.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"

namespace ondrevan {

class AnsiCodePage;
class AppMessages;
class Clipboard;
class Clock;
class Dialogs;
class FileSystem;
class Locale;
class RunRecorder;

inline constexpr const char* kRunHistoryTitle = "Ondrevan Run History";

// Copies the record of runs to `target` (replacing what is there), or says what failed. A
// record not yet written exports as its header alone.
std::string ExportRecord(FileSystem& fileSystem, const std::string& record,
                         const std::string& target);

// "Run History...": what the runs did, from the record of runs. The totals in words first,
// then a chart of the space freed (its place is `lblChart`; the window draws the bars the
// model gives), the runs and the folders in tables that sort by any column, and the history's
// lines of the run selected. Copy puts the tables on the clipboard, Export... saves a copy of
// the record where the user says.
class RunHistoryForm {
  public:
    struct Uses {
        RunRecorder& record;
        Clock& clock;
        Locale& locale;
        Clipboard& clipboard;
        Dialogs& dialogs;
        AppMessages& messages;
        FileSystem& fileSystem;
        AnsiCodePage& ansi;
        const std::string& historyPath;
    };
    explicit RunHistoryForm(const Uses& uses);
    RunHistoryForm(const RunHistoryForm&) = delete;
    RunHistoryForm& operator=(const RunHistoryForm&) = delete;

    // Reads the record afresh and shows it.
    void Refresh();
    void cboSpan_Click();
    void cmdCopy_Click();
    void cmdExport_Click();
    // The run shown in a row of the table was selected: its history lines are shown.
    void RunSelected(std::optional<std::size_t> shownRow);
    // The pointer or the keyboard is on a bar: its day and amount are said.
    void BarPointed(std::optional<std::size_t> bar);
    std::optional<std::size_t> PointedBar() const { return pointedBar_; }
    void SortRunsBy(RunColumn column);
    void SortFoldersBy(FolderColumn column);

    const RunHistory* Model() const { return model_.get(); }
    const std::vector<Control*>& Controls() const { return controls_; }

    FormWindow Window{"RunHistoryForm"};
    Label lblTotals{"lblTotals"};
    Label lblSpan{"lblSpan"};
    ComboBox cboSpan{"cboSpan"};
    Label lblChartTip{"lblChartTip"};
    Label lblChart{"lblChart"};  // where the chart is drawn
    Label lblRuns{"lblRuns"};
    ListView lvwRuns{"lvwRuns"};
    Label lblFolders{"lblFolders"};
    ListView lvwFolders{"lvwFolders"};
    Label lblLines{"lblLines"};
    RichTextBox txtLines{"txtLines"};
    PushButton cmdCopy{"cmdCopy"};
    PushButton cmdExport{"cmdExport"};
    PushButton cmdClose{"cmdClose"};

  private:
    void ShowModel();

    Uses uses_;
    std::vector<Control*> controls_;
    std::vector<RecordRow> rows_;
    std::unique_ptr<RunHistory> model_;
    std::optional<std::size_t> pointedBar_;
};

}  // namespace ondrevan
