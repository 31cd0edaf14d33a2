#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

// The record of runs: a CSV file beside the history, UTF-8 with a header row, that a
// spreadsheet opens. Each run that did something (or refused an entry, or failed at
// something) is a "run" row followed by a "folder" row for each folder it freed. Runs that
// found nothing to do and runs folded away when the file grew are "day" rows, one per day,
// with their "folder" rows, so that every day ever recorded keeps its totals.

// What started a run.
enum class RunTrigger { Button, Schedule, CatchUp, CommandLine, Unknown };
// As the record writes it: "button", "schedule", "caught-up", "/run".
std::string TriggerName(RunTrigger trigger);
// As the window says it: "Run Now", "Schedule", "Missed run", "/run".
std::string TriggerWords(RunTrigger trigger);

// Local time as seconds on one line (days since 1970 times 86400 plus the time of day).
using RecordTime = std::int64_t;
inline constexpr RecordTime kRecordDay = 86400;
inline RecordTime DayOf(RecordTime when) {
    return when - ((when % kRecordDay) + kRecordDay) % kRecordDay;
}
// "2026-12-09 13:02:05"; "2026-12-09" for a midnight that stands for a day.
std::string RecordTimeText(RecordTime when, bool dayOnly = false);
std::optional<RecordTime> ParseRecordTime(std::string_view text);

struct RecordRow {
    enum class Kind { Run, Day, Folder };
    Kind kind = Kind::Run;
    // A run: when it started; a day: its midnight; a folder: the last run that freed it.
    RecordTime start = 0;
    std::uint64_t milliseconds = 0;  // how long the run took
    RunTrigger trigger = RunTrigger::Unknown;
    std::uint64_t runs = 0;      // runs that did something (a run row: 1)
    std::uint64_t idleRuns = 0;  // runs that found nothing to do
    std::uint64_t filesDeleted = 0, bytesDeleted = 0, filesToBin = 0, foldersToBin = 0,
                  bytesToBin = 0, filesKept = 0, refused = 0, failures = 0;
    std::uint64_t bytesFreed = 0;  // a folder row's; a run's and a day's are worked out
    std::string folder;

    std::uint64_t Freed() const {
        return kind == Kind::Folder ? bytesFreed : bytesDeleted + bytesToBin;
    }
    std::uint64_t Files() const { return filesDeleted + filesToBin; }
    friend bool operator==(const RecordRow&, const RecordRow&) = default;
};

// The file's first bytes: the UTF-8 mark and the header row.
std::string RecordHeader();
// One row as a CSV line with CR LF.
std::string RecordLine(const RecordRow& row);
// A whole file: header and rows.
std::string RecordText(const std::vector<RecordRow>& rows);

// Reads a record file. Columns are found by their names in the header, so a file written by
// a later version with more columns reads; a row that does not read whole (a last line torn
// by a crash, a row of a kind this version does not know) is passed over.
std::vector<RecordRow> ParseRecord(std::string_view text);

// Every run row but the newest `keepRuns` becomes part of its day's row, its folders part of
// that day's folder rows, so that each day's totals stay as they were. Day rows come first,
// oldest first, then the runs kept, in their order.
std::vector<RecordRow> FoldOldRuns(const std::vector<RecordRow>& rows, std::size_t keepRuns);

// What the runs and days in [from, to) add up to.
struct RecordTotals {
    std::uint64_t runs = 0, idleRuns = 0, files = 0, bytes = 0, filesDeleted = 0, bytesDeleted = 0,
                  filesToBin = 0, foldersToBin = 0, bytesToBin = 0, filesKept = 0, refused = 0,
                  failures = 0;
    std::optional<RecordRow> lastRun;  // the latest run row
};
RecordTotals SumRecord(const std::vector<RecordRow>& rows, RecordTime from, RecordTime to);
// The first midnight of the month that holds `when`, and of the month after.
RecordTime MonthStart(RecordTime when);
RecordTime NextMonthStart(RecordTime when);

// "This month: 3.2 GB freed in 41 runs (12,004 files); last run 13:00, 1,204 files (86.2
// MB)." `lastRunWhen` is the last run's time as the user reads it ("13:00", or with the
// date when it was not today).
std::string TotalsWords(const std::string& period, const RecordTotals& totals,
                        const std::string& lastRunWhen);

// Per folder over [from, to): what it freed, in how many runs, and when last.
struct FolderFreed {
    std::string folder;
    std::uint64_t bytes = 0, runs = 0;
    RecordTime lastFreed = 0;
};
// Most freed first.
std::vector<FolderFreed> FoldersFreed(const std::vector<RecordRow>& rows, RecordTime from,
                                      RecordTime to);

}  // namespace ondrevan
