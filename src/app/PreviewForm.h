#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "controls/FormWindow.h"
#include "controls/ListView.h"
#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "delete/PreviewReport.h"

namespace ondrevan {

class Clipboard;
class DeletePanel;
class DelFolders;
class EventPump;

inline constexpr const char* kPreviewTitle = "Ondrevan Preview";

// Whether the count's progress is shown after `counted` of `total` folders: at each hundredth
// of the list and at its end. Redrawing it after every folder slowed a count of a long list
// by about half; a list of up to a hundred folders still shows each one.
bool ShowsCountAt(std::size_t counted, std::size_t total);

// What the next run would do, shown in a window of its own: the totals first, then a table
// of the listed folders that sorts by any column, and the report `/preview` writes, to copy.
// It is worked out by the same plan a run carries out, and deletes nothing.
class PreviewForm {
  public:
    struct Uses {
        DelFolders& deleter;
        DeletePanel& panel;  // the choices a run would take now
        const ListView& ListView1;
        EventPump& pump;
        Clipboard& clipboard;
    };
    explicit PreviewForm(const Uses& uses);
    PreviewForm(const PreviewForm&) = delete;
    PreviewForm& operator=(const PreviewForm&) = delete;

    // Plans the listed folders again; the window keeps answering meanwhile, says how far it
    // has come, and stops when Cancel is clicked or the window closes.
    void cmdRefresh_Click();
    void cmdCancel_Click();
    // Puts the report on the clipboard, exactly as `/preview` writes it.
    void cmdCopy_Click();
    // A click on a column heading sorts by that column; a second click turns the order round.
    void SortBy(PreviewColumn column);

    bool Counting() const { return counting_; }
    bool Sorted() const { return sorted_; }  // false: in list order
    PreviewColumn SortColumn() const { return sortColumn_; }
    bool SortedDescending() const { return descending_; }
    // The text of a cell of the table as it is shown (sorted).
    std::string Cell(std::size_t shownRow, PreviewColumn column) const;
    const std::string& Report() const { return report_; }
    const std::vector<Control*>& Controls() const { return controls_; }

    FormWindow Window{"PreviewForm"};
    Label lblTotals{"lblTotals"};
    Label lblFolders{"lblFolders"};
    Label lblStatus{"lblStatus"};
    ProgressBar prgCounting{"prgCounting"};
    ListView lvwReport{"lvwReport"};
    PushButton cmdCopy{"cmdCopy"};
    PushButton cmdRefresh{"cmdRefresh"};
    PushButton cmdCancel{"cmdCancel"};
    PushButton cmdClose{"cmdClose"};

  private:
    void ShowRows();

    Uses uses_;
    std::vector<Control*> controls_;
    bool counting_ = false;
    // Why the counting is to stop: the Cancel button, or the window closing.
    enum class Stop { No, Cancel, Close } stop_ = Stop::No;
    std::vector<PreviewRow> rows_;
    std::vector<std::size_t> order_;  // the rows as shown
    PreviewColumn sortColumn_ = PreviewColumn::Folder;
    bool sorted_ = false;  // false: list order
    bool descending_ = false;
    std::string report_;
};

}  // namespace ondrevan
