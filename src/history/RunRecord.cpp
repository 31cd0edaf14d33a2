#include "history/RunRecord.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <map>

#include "platform/ValueForms.h"

namespace ondrevan {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The columns this version writes, in this order; a reader goes by their names.
enum Column {
    kKind,
    kStart,
    kMilliseconds,
    kTrigger,
    kRuns,
    kIdleRuns,
    kFilesDeleted,
    kBytesDeleted,
    kFilesToBin,
    kFoldersToBin,
    kBytesToBin,
    kFilesKept,
    kRefused,
    kFailures,
    kBytesFreed,
    kFolder,  // last, and always quoted: a line torn inside it has no closing quote
    kColumnCount
};
constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "kind",         "start",          "milliseconds",  "trigger",
    "runs",         "idle_runs",      "files_deleted", "bytes_deleted",
    "files_to_bin", "folders_to_bin", "bytes_to_bin",  "files_kept",
    "refused",      "failures",       "bytes_freed",   "folder"};

constexpr std::array<std::string_view, 3> kKindNames = {"run", "day", "folder"};
constexpr std::array<RunTrigger, 4> kTriggers = {RunTrigger::Button, RunTrigger::Schedule,
                                                 RunTrigger::CatchUp, RunTrigger::CommandLine};
// As TriggerName writes them, in the order of kTriggers.
constexpr std::array<std::string_view, 4> kTriggerNames = {"button", "schedule", "caught-up",
                                                           "/run"};

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// The fields of one CSV line, as views into it (a quoted field without its quotes, its
// doubled quotes still doubled); false when a quote is left open (the line was torn).
bool SplitCsv(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t at = 0;
    while (true) {
        if (at < line.size() && line[at] == '"') {
            std::size_t end = at + 1;
            while (true) {
                end = line.find('"', end);
                if (end == std::string_view::npos) return false;
                if (end + 1 < line.size() && line[end + 1] == '"') {
                    end += 2;
                    continue;
                }
                break;
            }
            fields.push_back(line.substr(at + 1, end - at - 1));
            at = end + 1;
            if (at < line.size() && line[at] != ',') return false;
        } else {
            const std::size_t comma = line.find(',', at);
            fields.push_back(line.substr(
                at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
            at = comma == std::string_view::npos ? line.size() : comma;
        }
        if (at >= line.size()) return true;
        ++at;  // past the comma
    }
}

std::string Unquoted(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        text += field[i];
        if (field[i] == '"' && i + 1 < field.size() && field[i + 1] == '"') ++i;
    }
    return text;
}

std::optional<std::uint64_t> Number(std::string_view text) {
    if (text.empty()) return 0;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::uint64_t RecordRow::*NumberField(int column) {
    switch (column) {
        case kMilliseconds:
            return &RecordRow::milliseconds;
        case kRuns:
            return &RecordRow::runs;
        case kIdleRuns:
            return &RecordRow::idleRuns;
        case kFilesDeleted:
            return &RecordRow::filesDeleted;
        case kBytesDeleted:
            return &RecordRow::bytesDeleted;
        case kFilesToBin:
            return &RecordRow::filesToBin;
        case kFoldersToBin:
            return &RecordRow::foldersToBin;
        case kBytesToBin:
            return &RecordRow::bytesToBin;
        case kFilesKept:
            return &RecordRow::filesKept;
        case kRefused:
            return &RecordRow::refused;
        case kFailures:
            return &RecordRow::failures;
        case kBytesFreed:
            return &RecordRow::bytesFreed;
        default:
            return nullptr;
    }
}

void AddCounts(RecordRow& to, const RecordRow& from) {
    for (int column = 0; column < kColumnCount; ++column)
        if (auto field = NumberField(column); field && column != kMilliseconds)
            to.*field += from.*field;
    to.milliseconds += from.milliseconds;
}

}  // namespace

std::string TriggerName(RunTrigger trigger) {
    for (std::size_t i = 0; i < kTriggers.size(); ++i)
        if (kTriggers[i] == trigger) return std::string(kTriggerNames[i]);
    return "";
}

std::string TriggerWords(RunTrigger trigger) {
    switch (trigger) {
        case RunTrigger::Button:
            return "Run Now";
        case RunTrigger::Schedule:
            return "Schedule";
        case RunTrigger::CatchUp:
            return "Missed run";
        case RunTrigger::CommandLine:
            return "/run";
        case RunTrigger::Unknown:
            break;
    }
    return "";
}

std::string RecordTimeText(RecordTime when, bool dayOnly) {
    using namespace std::chrono;
    const RecordTime day = DayOf(when);
    const year_month_day date{sys_days{days{day / kRecordDay}}};
    const RecordTime second = when - day;
    char text[32];
    if (dayOnly)
        std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    else
        std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d",
                      static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                      static_cast<unsigned>(date.day()), static_cast<int>(second / 3600),
                      static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

std::optional<RecordTime> ParseRecordTime(std::string_view text) {
    using namespace std::chrono;
    if (text.size() != 10 && text.size() != 19) return std::nullopt;
    const auto part = [&](std::size_t at, std::size_t length) {
        return Number(text.substr(at, length));
    };
    const auto y = part(0, 4), mo = part(5, 2), d = part(8, 2);
    if (!y || !mo || !d || text[4] != '-' || text[7] != '-') return std::nullopt;
    const year_month_day date{year{static_cast<int>(*y)}, month{static_cast<unsigned>(*mo)},
                              day{static_cast<unsigned>(*d)}};
    if (!date.ok()) return std::nullopt;
    RecordTime when =
        static_cast<RecordTime>(sys_days{date}.time_since_epoch().count()) * kRecordDay;
    if (text.size() == 10) return when;
    const auto h = part(11, 2), mi = part(14, 2), s = part(17, 2);
    if (!h || !mi || !s || text[10] != ' ' || text[13] != ':' || text[16] != ':' || *h > 23 ||
        *mi > 59 || *s > 59)
        return std::nullopt;
    return when + static_cast<RecordTime>(*h * 3600 + *mi * 60 + *s);
}

std::string RecordHeader() {
    std::string header(kUtf8Mark);
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0) header += ',';
        header += kColumnNames[column];
    }
    return header + "\r\n";
}

std::string RecordLine(const RecordRow& row) {
    std::string line(kKindNames[static_cast<int>(row.kind)]);
    line += ',' + RecordTimeText(row.start, row.kind == RecordRow::Kind::Day);
    for (int column = kMilliseconds; column < kFolder; ++column) {
        line += ',';
        if (column == kTrigger) {
            line += TriggerName(row.trigger);
        } else if (column == kBytesFreed) {
            line += std::to_string(row.Freed());
        } else {
            line += std::to_string(row.*NumberField(column));
        }
    }
    return line + ',' + Quoted(row.folder) + "\r\n";
}

std::string RecordText(const std::vector<RecordRow>& rows) {
    std::string text = RecordHeader();
    for (const RecordRow& row : rows) text += RecordLine(row);
    return text;
}

std::vector<RecordRow> ParseRecord(std::string_view text) {
    std::vector<RecordRow> rows;
    if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());
    // Where each of this version's columns stands in the file; -1 when it is not there.
    std::array<int, kColumnCount> at;
    at.fill(-1);
    std::size_t width = 0;
    bool headerRead = false;
    std::vector<std::string_view> fields;
    // One row a line: the rows are made in place, never moved to a larger vector.
    rows.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    // The numbers' members and where they stand in the file, found once.
    std::vector<std::pair<std::uint64_t RecordRow::*, int>> numbers;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        // A last line without its line break was cut short.
        if (end == std::string_view::npos) break;
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (!SplitCsv(line, fields)) continue;
        if (!headerRead) {
            headerRead = true;
            width = fields.size();
            for (std::size_t i = 0; i < fields.size(); ++i)
                for (int column = 0; column < kColumnCount; ++column)
                    if (fields[i] == kColumnNames[column]) at[column] = static_cast<int>(i);
            if (at[kKind] < 0 || at[kStart] < 0) return rows;
            for (int column = 0; column < kColumnCount; ++column)
                if (const auto member = NumberField(column); member && at[column] >= 0)
                    numbers.emplace_back(member, at[column]);
            continue;
        }
        if (fields.size() != width) continue;
        const auto field = [&](int column) -> std::string_view {
            return at[column] < 0 ? std::string_view() : fields[at[column]];
        };
        RecordRow row;
        const auto kind = std::find(kKindNames.begin(), kKindNames.end(), field(kKind));
        if (kind == kKindNames.end()) continue;
        row.kind = static_cast<RecordRow::Kind>(kind - kKindNames.begin());
        const auto start = ParseRecordTime(field(kStart));
        if (!start) continue;
        row.start = *start;
        bool reads = true;
        for (const auto& [member, column] : numbers) {
            const auto value = Number(fields[column]);
            if (!value) {
                reads = false;
                break;
            }
            row.*member = *value;
        }
        if (!reads) continue;
        for (std::size_t i = 0; i < kTriggers.size(); ++i)
            if (field(kTrigger) == kTriggerNames[i]) row.trigger = kTriggers[i];
        row.folder = Unquoted(field(kFolder));
        // Only a folder row keeps its own freed bytes; the others' are their sum.
        if (row.kind != RecordRow::Kind::Folder) row.bytesFreed = 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<RecordRow> FoldOldRuns(const std::vector<RecordRow>& rows, std::size_t keepRuns) {
    std::size_t runs = 0;
    for (const RecordRow& row : rows) runs += row.kind == RecordRow::Kind::Run;
    std::size_t toFold = runs > keepRuns ? runs - keepRuns : 0;
    std::map<RecordTime, RecordRow> days;
    std::map<std::pair<RecordTime, std::string>, RecordRow> dayFolders;
    std::vector<RecordRow> kept;
    const auto dayRow = [&](RecordTime start) -> RecordRow& {
        RecordRow& day = days[DayOf(start)];
        day.kind = RecordRow::Kind::Day;
        day.start = DayOf(start);
        return day;
    };
    const auto addFolder = [&](const RecordRow& folder) {
        RecordRow& into = dayFolders[{DayOf(folder.start), folder.folder}];
        into.kind = RecordRow::Kind::Folder;
        into.folder = folder.folder;
        into.start = std::max(into.start, folder.start);
        into.bytesFreed += folder.bytesFreed;
        into.runs += folder.runs;
    };
    // A folder row goes where the row it follows goes.
    bool folding = false;
    for (const RecordRow& row : rows) {
        switch (row.kind) {
            case RecordRow::Kind::Day:
                folding = true;
                AddCounts(dayRow(row.start), row);
                break;
            case RecordRow::Kind::Run:
                folding = toFold > 0;
                if (folding) {
                    --toFold;
                    AddCounts(dayRow(row.start), row);
                } else {
                    kept.push_back(row);
                }
                break;
            case RecordRow::Kind::Folder:
                if (folding)
                    addFolder(row);
                else
                    kept.push_back(row);
                break;
        }
    }
    std::vector<RecordRow> folded;
    for (auto& [start, day] : days) {
        day.milliseconds = 0;  // a day's length means nothing
        folded.push_back(day);
        for (auto it = dayFolders.lower_bound({start, std::string()});
             it != dayFolders.end() && it->first.first == start; ++it)
            folded.push_back(it->second);
    }
    folded.insert(folded.end(), kept.begin(), kept.end());
    return folded;
}

RecordTotals SumRecord(const std::vector<RecordRow>& rows, RecordTime from, RecordTime to) {
    RecordTotals totals;
    for (const RecordRow& row : rows) {
        if (row.kind == RecordRow::Kind::Folder || row.start < from || row.start >= to) continue;
        totals.runs += row.runs;
        totals.idleRuns += row.idleRuns;
        totals.files += row.Files();
        totals.bytes += row.Freed();
        totals.filesDeleted += row.filesDeleted;
        totals.bytesDeleted += row.bytesDeleted;
        totals.filesToBin += row.filesToBin;
        totals.foldersToBin += row.foldersToBin;
        totals.bytesToBin += row.bytesToBin;
        totals.filesKept += row.filesKept;
        totals.refused += row.refused;
        totals.failures += row.failures;
        if (row.kind == RecordRow::Kind::Run &&
            (!totals.lastRun || row.start >= totals.lastRun->start))
            totals.lastRun = row;
    }
    return totals;
}

RecordTime MonthStart(RecordTime when) {
    using namespace std::chrono;
    const year_month_day date{sys_days{days{DayOf(when) / kRecordDay}}};
    const year_month_day first{date.year(), date.month(), day{1}};
    return static_cast<RecordTime>(sys_days{first}.time_since_epoch().count()) * kRecordDay;
}

RecordTime NextMonthStart(RecordTime when) {
    return MonthStart(MonthStart(when) + 32 * kRecordDay);
}

std::string TotalsWords(const std::string& period, const RecordTotals& totals,
                        const std::string& lastRunWhen) {
    std::string words = period + ": ";
    if (totals.runs == 0)
        words += "no run deleted anything";
    else
        words += SizeText(totals.bytes) + " freed in " + CountedText(totals.runs, "run", "runs") +
                 " (" + CountedText(totals.files, "file", "files") + ")";
    if (totals.lastRun)
        words += "; last run " + lastRunWhen + ", " +
                 CountedText(totals.lastRun->Files(), "file", "files") + " (" +
                 SizeText(totals.lastRun->Freed()) + ")";
    return words + ".";
}

std::vector<FolderFreed> FoldersFreed(const std::vector<RecordRow>& rows, RecordTime from,
                                      RecordTime to) {
    std::map<std::string, FolderFreed> byFolder;
    for (const RecordRow& row : rows) {
        if (row.kind != RecordRow::Kind::Folder || row.start < from || row.start >= to) continue;
        FolderFreed& folder = byFolder[row.folder];
        folder.folder = row.folder;
        folder.bytes += row.bytesFreed;
        folder.runs += row.runs;
        folder.lastFreed = std::max(folder.lastFreed, row.start);
    }
    std::vector<FolderFreed> folders;
    for (auto& [name, folder] : byFolder) folders.push_back(std::move(folder));
    std::stable_sort(folders.begin(), folders.end(),
                     [](const FolderFreed& a, const FolderFreed& b) { return a.bytes > b.bytes; });
    return folders;
}

}  // namespace ondrevan
