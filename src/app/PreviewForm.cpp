#include "app/PreviewForm.h"

#include <algorithm>

#include "app/DeletePanel.h"
#include "delete/DelFolders.h"
#include "platform/Clipboard.h"
#include "platform/EventPump.h"
#include "platform/ScopedFlag.h"
#include "platform/ValueForms.h"

namespace ondrevan {
namespace {

constexpr const char* kDone = "What the next run would do, as of now. Nothing has been deleted.";
constexpr const char* kListChanged =
    "The folder list changed while this was counted: it shows the list as it was. Refresh "
    "counts the list as it is now. Nothing has been deleted.";

}  // namespace

PreviewForm::PreviewForm(const Uses& uses) : uses_(uses) {
    controls_ = {&lblTotals, &lblFolders, &lblStatus, &prgCounting, &lvwReport,
                 &cmdCopy,   &cmdRefresh, &cmdCancel, &cmdClose};
    Window.SetPosition({0, 0, 12600, 6960});
    Window.SetCaption(kPreviewTitle);
    Window.SetCloseButton(&cmdClose);  // Close does what Escape does
    // The totals come first, on two lines: what becomes of the files, then of the folders.
    lblTotals.SetPosition({120, 120, 12360, 255});
    lblFolders.SetPosition({120, 405, 12360, 255});
    lblStatus.SetPosition({120, 735, 8280, 255});
    prgCounting.SetPosition({8520, 705, 3960, 315});
    prgCounting.SetVisible(false);
    lvwReport.SetPosition({120, 1110, 12360, 5145});
    lvwReport.SetAccessibleName("What the next run would do with each listed folder");
    // The Action column holds its longest text ("Files to the Recycle Bin, remove empty
    // sub-folders") at 96 DPI; a long folder or reason shows whole in its tip.
    constexpr int kWidths[] = {2940, 4080, 900, 1140, 780, 2160};
    for (std::size_t i = 0; i < kPreviewColumnHeadings.size(); ++i)
        lvwReport.AddColumn({kPreviewColumnHeadings[i], kWidths[i]});
    // The buttons sit at the bottom right, in the order they are used.
    const struct {
        PushButton& button;
        const char* caption;
    } buttons[] = {
        {cmdCopy, "&Copy"}, {cmdRefresh, "&Refresh"}, {cmdCancel, "C&ancel"}, {cmdClose, "Close"}};
    int left = 12480 - 4 * 1500 - 3 * 120;
    for (const auto& [button, caption] : buttons) {
        button.SetPosition({left, 6435, 1500, 405});
        button.SetCaption(caption);
        left += 1500 + 120;
    }
    cmdCopy.SetEnabled(false);
    cmdCancel.SetEnabled(false);
    for (Control* control : controls_) control->SetFont({"Arial", 9.0, false});
    // The labels share the window's background.
    for (Label* label : {&lblTotals, &lblFolders, &lblStatus})
        label->SetBackColor(colors::kSystemButtonFace);
    cmdRefresh.Click.Handle([this] { cmdRefresh_Click(); });
    cmdCancel.Click.Handle([this] { cmdCancel_Click(); });
    cmdCopy.Click.Handle([this] { cmdCopy_Click(); });
    // Closed while it counts, it stops counting.
    Window.Closing.Handle([this] {
        if (counting_) stop_ = Stop::Close;
    });
}

bool ShowsCountAt(std::size_t counted, std::size_t total) {
    const std::size_t step = std::max<std::size_t>(1, total / 100);
    return counted == total || counted % step == 0;
}

void PreviewForm::cmdRefresh_Click() {
    if (counting_) {
        // Shown again before a count stopped by closing the window has wound up: it goes on.
        if (stop_ == Stop::Close) stop_ = Stop::No;
        return;
    }
    ScopedFlag counting(counting_);
    stop_ = Stop::No;
    // The entries are copied: the list may change while the window answers.
    const std::vector<std::string> entries = uses_.ListView1.Items();
    const std::string of = " of " + GroupedNumber(entries.size()) + " folders";
    cmdRefresh.SetEnabled(false);
    cmdCopy.SetEnabled(false);
    cmdCancel.SetEnabled(true);
    report_.clear();
    rows_.clear();
    ShowRows();
    lblTotals.SetCaption("Counting...");
    lblFolders.SetCaption("");
    lblStatus.SetCaption("Counting: 0" + of);
    prgCounting.SetMax(static_cast<std::int32_t>(std::min<std::size_t>(entries.size(), 1 << 30)));
    prgCounting.SetValue(0);
    prgCounting.SetText("");
    prgCounting.SetVisible(true);

    const RunChoices choices = uses_.panel.CurrentChoices();
    ProtectedFolders::Keys keys;  // read once for the whole list
    std::vector<FolderPlan> plans;
    plans.reserve(entries.size());
    const ListedEntries list(entries);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        uses_.pump.DoEvents();  // Cancel, and everything else, is heard between folders
        if (stop_ != Stop::No) break;
        plans.push_back(uses_.deleter.PlanEntry(list, i, choices, keys));
        if (!ShowsCountAt(plans.size(), entries.size())) continue;
        lblStatus.SetCaption("Counting: " + GroupedNumber(plans.size()) + of);
        prgCounting.SetValue(static_cast<std::int32_t>(plans.size()));
    }
    prgCounting.SetVisible(false);
    // The keyboard was on Cancel: it goes on to the table rather than nowhere.
    if (stop_ == Stop::Cancel) lvwReport.SetFocus();
    cmdCancel.SetEnabled(false);
    cmdRefresh.SetEnabled(true);
    rows_ = RowsOf(plans);
    ShowRows();
    if (plans.size() < entries.size()) {
        // Only the whole list makes a report: the rows counted so far are shown, no totals.
        lblTotals.SetCaption("Counting cancelled after " + GroupedNumber(plans.size()) + of +
                             ": the table shows only those.");
        lblStatus.SetCaption("Refresh counts them all again. Nothing has been deleted.");
        return;
    }
    const PreviewTotals totals = TotalsOf(plans, choices);
    lblTotals.SetCaption(totals.files);
    lblFolders.SetCaption(totals.strayRules.empty() ? totals.folders
                                                    : totals.folders + ". " + totals.strayRules);
    // The list may have changed while the window answered: "as of now" would not be so.
    lblStatus.SetCaption(uses_.ListView1.Items() == entries ? kDone : kListChanged);
    report_ = PreviewReport(plans, choices);
    cmdCopy.SetEnabled(true);
}

void PreviewForm::cmdCancel_Click() {
    if (counting_) stop_ = Stop::Cancel;
}

void PreviewForm::cmdCopy_Click() {
    if (report_.empty()) return;
    uses_.clipboard.SetText(report_);
    lblStatus.SetCaption("The report is on the clipboard, as /preview writes it.");
}

void PreviewForm::SortBy(PreviewColumn column) {
    descending_ = sorted_ && sortColumn_ == column && !descending_;
    sortColumn_ = column;
    sorted_ = true;
    ShowRows();
}

std::string PreviewForm::Cell(std::size_t shownRow, PreviewColumn column) const {
    if (shownRow >= order_.size()) return {};
    return CellText(rows_[order_[shownRow]], column);
}

void PreviewForm::ShowRows() {
    if (sorted_) {
        order_ = SortedOrder(rows_, sortColumn_, descending_);
    } else {
        order_.resize(rows_.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
    }
    // The list holds each row's folder; the shell asks for the other cells as it draws.
    std::vector<std::string> folders;
    folders.reserve(order_.size());
    for (std::size_t row : order_) folders.push_back(rows_[row].folder);
    lvwReport.Clear();
    lvwReport.AddRange(std::move(folders));
}

}  // namespace ondrevan
