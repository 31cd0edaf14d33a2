#include "app/RunHistory.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <utility>

#include "history/History.h"
#include "platform/Locale.h"
#include "platform/ValueForms.h"

namespace ondrevan {
namespace {

constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::chrono::year_month_day DateOf(RecordTime when) {
    return std::chrono::year_month_day{
        std::chrono::sys_days{std::chrono::days{DayOf(when) / kRecordDay}}};
}

// "Dec 9"
std::string MonthDay(RecordTime when) {
    const auto date = DateOf(when);
    return std::string(kMonthNames[static_cast<unsigned>(date.month()) - 1]) + " " +
           std::to_string(static_cast<unsigned>(date.day()));
}

std::string LastRunWhen(const RecordTotals& totals, const LocalDateTime& now, Locale& locale) {
    if (!totals.lastRun) return "";
    const LocalDateTime when = LocalTimeOf(totals.lastRun->start);
    std::string text = locale.FormatLongTime(when.time);
    if (when.date != now.date) text = locale.FormatShortDate(when) + " " + text;
    return text;
}

// Rows of equal keys stay in the record's order, and turned round they are turned round too:
// of two runs in the same second, the later comes first when the newest come first.
template <typename Key>
void SortOrder(std::vector<std::size_t>& order, bool descending, Key key) {
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (descending) std::swap(a, b);
        return key(a) < key(b) || (!(key(b) < key(a)) && a < b);
    });
}

}  // namespace

RecordTime RecordTimeOf(const LocalDateTime& when) {
    return TimelineSeconds(when);
}

LocalDateTime LocalTimeOf(RecordTime when) {
    LocalDateTime local;
    local.date = DateOf(when);
    local.time = TimeOfDay{static_cast<int>(when - DayOf(when))};
    return local;
}

std::string ThisMonthWords(const std::vector<RecordRow>& rows, const LocalDateTime& now,
                           Locale& locale) {
    const RecordTime at = RecordTimeOf(now);
    const RecordTotals totals = SumRecord(rows, MonthStart(at), NextMonthStart(at));
    return TotalsWords("This month", totals, LastRunWhen(totals, now, locale));
}

std::string MonthFreedText(const std::vector<RecordRow>& rows, const LocalDateTime& now) {
    const RecordTime at = RecordTimeOf(now);
    const RecordTotals totals = SumRecord(rows, MonthStart(at), NextMonthStart(at));
    if (totals.bytes == 0) return "";
    return "This month: " + SizeText(totals.bytes) + " freed";
}

RunHistory::RunHistory(const std::vector<RecordRow>& rows, const LocalDateTime& now, Locale& locale)
    : rows_(rows), now_(RecordTimeOf(now)), locale_(locale) {
    totals_ = ThisMonthWords(rows, now, locale);
    Build();
}

void RunHistory::SetSpan(ChartSpan span) {
    span_ = span;
    Build();
}

void RunHistory::Build() {
    using namespace std::chrono;
    bars_.clear();
    const RecordTime today = DayOf(now_);
    switch (span_) {
        case ChartSpan::Days30:
            for (int i = 29; i >= 0; --i) {
                ChartBar bar;
                bar.from = today - i * kRecordDay;
                bar.to = bar.from + kRecordDay;
                bar.label = std::to_string(static_cast<unsigned>(DateOf(bar.from).day()));
                bars_.push_back(bar);
            }
            break;
        case ChartSpan::Weeks12:
            for (int i = 11; i >= 0; --i) {
                ChartBar bar;
                bar.to = today + kRecordDay - i * 7 * kRecordDay;
                bar.from = bar.to - 7 * kRecordDay;
                bar.label = MonthDay(bar.from);
                bars_.push_back(bar);
            }
            break;
        case ChartSpan::Months12: {
            RecordTime month = MonthStart(now_);
            for (int i = 0; i < 11; ++i) month = MonthStart(month - 1);
            for (int i = 0; i < 12; ++i) {
                ChartBar bar;
                bar.from = month;
                bar.to = NextMonthStart(month);
                bar.label = kMonthNames[static_cast<unsigned>(DateOf(month).month()) - 1];
                bars_.push_back(bar);
                month = bar.to;
            }
            break;
        }
    }
    from_ = bars_.front().from;
    to_ = bars_.back().to;
    runs_.clear();
    for (const RecordRow& row : rows_) {
        if (row.kind == RecordRow::Kind::Folder || row.start < from_ || row.start >= to_) continue;
        // Each bar sums the rows in it; the bars are in time order, so a search finds it.
        const auto bar = std::upper_bound(bars_.begin(), bars_.end(), row.start,
                                          [](RecordTime t, const ChartBar& b) { return t < b.to; });
        if (bar != bars_.end()) {
            bar->bytes += row.Freed();
            bar->runs += row.runs;
        }
        if (row.runs > 0) runs_.push_back(&row);
    }
    for (ChartBar& bar : bars_) {
        const auto date = DateOf(bar.from);
        std::string when;
        if (span_ == ChartSpan::Days30)
            when = std::string(kDayNames[weekday{sys_days{date}}.c_encoding()]) + " " +
                   MonthDay(bar.from);
        else if (span_ == ChartSpan::Weeks12)
            when = "Week of " + MonthDay(bar.from);
        else
            when = bar.label;
        when += ", " + std::to_string(static_cast<int>(date.year()));
        bar.tip =
            when + ": " + SizeText(bar.bytes) + " freed in " + CountedText(bar.runs, "run", "runs");
    }
    runOrder_.resize(runs_.size());
    for (std::size_t i = 0; i < runs_.size(); ++i) runOrder_[i] = i;
    runsDescending_ = !runsDescending_;  // sorting again keeps the order chosen
    SortRunsBy(runSort_);
    folders_ = FoldersFreed(rows_, from_, to_);
    foldersDescending_ = !foldersDescending_;
    SortFoldersBy(folderSort_);
}

std::string RunHistory::ChartName() const {
    const ChartBar* most = nullptr;
    std::uint64_t all = 0;
    for (const ChartBar& bar : bars_) {
        all += bar.bytes;
        if (bar.bytes > 0 && (!most || bar.bytes > most->bytes)) most = &bar;
    }
    const char* per[] = {"per day over the last 30 days", "per week over the last 12 weeks",
                         "per month over the last 12 months"};
    std::string name = std::string("Bar chart of the space freed ") + per[static_cast<int>(span_)] +
                       ": " + SizeText(all) + " in all";
    if (most)
        name += ", most " + most->tip.substr(0, most->tip.find(':')) + " (" +
                SizeText(most->bytes) + ")";
    return name + ". The arrow keys move from bar to bar; the tables list the same runs.";
}

std::string RunHistory::When(RecordTime when, bool withTime) const {
    const LocalDateTime local = LocalTimeOf(when);
    std::string text = locale_.FormatShortDate(local);
    if (withTime) text += " " + locale_.FormatLongTime(local.time);
    return text;
}

std::string RunHistory::RunCell(std::size_t shownRow, RunColumn column) const {
    const RecordRow& row = RunAt(shownRow);
    const bool day = row.kind == RecordRow::Kind::Day;
    switch (column) {
        case RunColumn::When:
            return When(row.start, !day);
        case RunColumn::StartedBy:
            return day ? CountedText(row.runs, "run", "runs") + " that day"
                       : TriggerWords(row.trigger);
        case RunColumn::Freed:
            return SizeText(row.Freed());
        case RunColumn::Files:
            return GroupedNumber(row.Files());
        case RunColumn::ToRecycleBin:
            return GroupedNumber(row.filesToBin) + " files, " + GroupedNumber(row.foldersToBin) +
                   " folders";
        case RunColumn::Kept:
            return GroupedNumber(row.filesKept);
        case RunColumn::Refused:
            return GroupedNumber(row.refused);
        case RunColumn::Failures:
            return GroupedNumber(row.failures);
    }
    return "";
}

void RunHistory::SortRunsBy(RunColumn column) {
    runsDescending_ = column == runSort_ ? !runsDescending_ : false;
    runSort_ = column;
    const auto number = [&](std::size_t i) -> std::uint64_t {
        const RecordRow& row = *runs_[i];
        switch (column) {
            case RunColumn::Freed:
                return row.Freed();
            case RunColumn::Files:
                return row.Files();
            case RunColumn::ToRecycleBin:
                return row.filesToBin + row.foldersToBin;
            case RunColumn::Kept:
                return row.filesKept;
            case RunColumn::Refused:
                return row.refused;
            case RunColumn::Failures:
                return row.failures;
            default:
                return 0;
        }
    };
    if (column == RunColumn::When)
        SortOrder(runOrder_, runsDescending_, [&](std::size_t i) { return runs_[i]->start; });
    else if (column == RunColumn::StartedBy)
        SortOrder(runOrder_, runsDescending_,
                  [&](std::size_t i) { return TriggerWords(runs_[i]->trigger); });
    else
        SortOrder(runOrder_, runsDescending_, number);
}

std::string RunHistory::FolderCell(std::size_t shownRow, FolderColumn column) const {
    const FolderFreed& folder = folders_[shownRow];
    switch (column) {
        case FolderColumn::Folder:
            return folder.folder;
        case FolderColumn::Freed:
            return SizeText(folder.bytes);
        case FolderColumn::Runs:
            return GroupedNumber(folder.runs);
        case FolderColumn::LastFreed:
            return When(folder.lastFreed, true);
    }
    return "";
}

void RunHistory::SortFoldersBy(FolderColumn column) {
    foldersDescending_ = column == folderSort_ ? !foldersDescending_ : false;
    folderSort_ = column;
    const bool down = foldersDescending_;
    std::stable_sort(folders_.begin(), folders_.end(),
                     [&](const FolderFreed& a, const FolderFreed& b) {
                         const auto key = [&](const FolderFreed& f) {
                             switch (column) {
                                 case FolderColumn::Freed:
                                     return f.bytes;
                                 case FolderColumn::Runs:
                                     return f.runs;
                                 case FolderColumn::LastFreed:
                                     return static_cast<std::uint64_t>(f.lastFreed);
                                 default:
                                     return std::uint64_t{0};
                             }
                         };
                         if (column == FolderColumn::Folder)
                             return down ? b.folder < a.folder : a.folder < b.folder;
                         return down ? key(b) < key(a) : key(a) < key(b);
                     });
}

std::string RunHistory::CopyText() const {
    std::string text = totals_ + "\r\n\r\n";
    const auto line = [&text](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) text += (i ? "\t" : "") + cells[i];
        text += "\r\n";
    };
    line(std::vector<std::string>(std::begin(kRunColumnNames), std::end(kRunColumnNames)));
    for (std::size_t r = 0; r < RunCount(); ++r) {
        std::vector<std::string> cells;
        for (int c = 0; c < 8; ++c) cells.push_back(RunCell(r, static_cast<RunColumn>(c)));
        line(cells);
    }
    text += "\r\n";
    line(std::vector<std::string>(std::begin(kFolderColumnNames), std::end(kFolderColumnNames)));
    for (std::size_t r = 0; r < FolderCount(); ++r) {
        std::vector<std::string> cells;
        for (int c = 0; c < 4; ++c) cells.push_back(FolderCell(r, static_cast<FolderColumn>(c)));
        line(cells);
    }
    return text;
}

std::vector<std::string> RunHistory::LinesOfRun(const RecordRow& run, const std::string& history,
                                                Locale& locale) {
    std::vector<std::string> lines;
    if (run.kind != RecordRow::Kind::Run) return lines;
    // A run's lines carry the stamps of the seconds it ran through (an hour at most).
    std::set<std::string> stamps;
    const RecordTime last = run.start + std::min<std::uint64_t>(run.milliseconds / 1000 + 1, 3600);
    for (RecordTime second = run.start; second <= last; ++second)
        stamps.insert(HistoryTimeStamp(LocalTimeOf(second), locale) + " ");
    std::size_t at = 0;
    while (at < history.size()) {
        std::size_t end = history.find('\n', at);
        if (end == std::string::npos) end = history.size();
        std::string line = history.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (const std::string& s : stamps)
            if (line.compare(0, s.size(), s) == 0) {
                lines.push_back(line);
                break;
            }
        at = end + 1;
    }
    return lines;
}

}  // namespace ondrevan
