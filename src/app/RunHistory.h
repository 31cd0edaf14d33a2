#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/RunRecord.h"
#include "platform/DateTime.h"

namespace ondrevan {

class Locale;

// What the Run History window shows, worked out from the record's rows: the totals in words,
// the bars of the chart, the table of runs and the table of folders, and their text to copy.
// Holds no window: the Win32 side only draws and routes.

enum class ChartSpan { Days30, Weeks12, Months12 };
inline constexpr const char* kChartSpanNames[] = {"Last 30 days", "Last 12 weeks",
                                                  "Last 12 months"};

struct ChartBar {
    RecordTime from = 0, to = 0;  // [from, to)
    std::uint64_t bytes = 0, runs = 0;
    std::string label;  // under the bar: "9", "Dec 7", "Dec"
    std::string tip;    // "Wed Dec 9, 2026: 86.2 MB freed in 3 runs"
};

enum class RunColumn { When, StartedBy, Freed, Files, ToRecycleBin, Kept, Refused, Failures };
enum class FolderColumn { Folder, Freed, Runs, LastFreed };
inline constexpr const char* kRunColumnNames[] = {
    "When", "Started by", "Freed", "Files", "To the Recycle Bin", "Kept", "Refused", "Failures"};
inline constexpr const char* kFolderColumnNames[] = {"Folder", "Freed in the period", "Runs",
                                                     "Last freed"};

// The words of this month's totals: "This month: 3.2 GB freed in 41 runs (12,004 files);
// last run 1:00:00 PM, 1,204 files (86.2 MB)."
std::string ThisMonthWords(const std::vector<RecordRow>& rows, const LocalDateTime& now,
                           Locale& locale);
// "This month: 3.2 GB freed", for the tray's tip; "" when nothing was freed this month.
std::string MonthFreedText(const std::vector<RecordRow>& rows, const LocalDateTime& now);

class RunHistory {
  public:
    // `rows` are the record's; `now` the local time the window opened.
    RunHistory(const std::vector<RecordRow>& rows, const LocalDateTime& now, Locale& locale);

    void SetSpan(ChartSpan span);
    ChartSpan Span() const { return span_; }
    const std::string& Totals() const { return totals_; }
    const std::vector<ChartBar>& Bars() const { return bars_; }
    // What a screen reader says of the chart.
    std::string ChartName() const;

    // The runs of the period, newest first until sorted; a day's folded runs are one row.
    std::size_t RunCount() const { return runOrder_.size(); }
    std::string RunCell(std::size_t shownRow, RunColumn column) const;
    const RecordRow& RunAt(std::size_t shownRow) const { return *runs_[runOrder_[shownRow]]; }
    // A click on a heading sorts by it, counts and sizes as numbers; a second turns it round.
    void SortRunsBy(RunColumn column);
    RunColumn RunSortColumn() const { return runSort_; }
    bool RunsDescending() const { return runsDescending_; }

    std::size_t FolderCount() const { return folders_.size(); }
    std::string FolderCell(std::size_t shownRow, FolderColumn column) const;
    void SortFoldersBy(FolderColumn column);

    // Both tables as text, tab between cells, for the clipboard.
    std::string CopyText() const;
    // The history's lines written while the run was under way: those stamped with one of
    // the seconds it ran through.
    static std::vector<std::string> LinesOfRun(const RecordRow& run, const std::string& history,
                                               Locale& locale);

  private:
    void Build();
    std::string When(RecordTime when, bool withTime) const;

    const std::vector<RecordRow>& rows_;
    RecordTime now_;
    Locale& locale_;
    ChartSpan span_ = ChartSpan::Days30;
    RecordTime from_ = 0, to_ = 0;
    std::string totals_;
    std::vector<ChartBar> bars_;
    std::vector<const RecordRow*> runs_;
    std::vector<std::size_t> runOrder_;
    RunColumn runSort_ = RunColumn::When;
    bool runsDescending_ = true;
    std::vector<FolderFreed> folders_;
    FolderColumn folderSort_ = FolderColumn::Freed;
    bool foldersDescending_ = true;
};

// A local time as a point of the record.
RecordTime RecordTimeOf(const LocalDateTime& when);
LocalDateTime LocalTimeOf(RecordTime when);

}  // namespace ondrevan
