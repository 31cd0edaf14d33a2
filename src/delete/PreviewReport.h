#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "delete/DeletePlan.h"

namespace ondrevan {

// What the next run would do, as text: a line for each listed folder in list order, then
// the totals. Lines end with CR LF.
std::string PreviewReport(const std::vector<FolderPlan>& plans, const RunChoices& choices);

// The totals of the report's last line, in two parts: what becomes of the files, and of
// the folders and the entries ("Total: " + files + ", " + folders).
struct PreviewTotals {
    std::string files;    // "50,000 files (90.9 MB) would be deleted, ... kept by the rules"
    std::string folders;  // "2 folders would go to the Recycle Bin, 1 entry refused"
    // Rules stored for folders the list does not hold, named; "" when there are none.
    std::string strayRules;
};
PreviewTotals TotalsOf(const std::vector<FolderPlan>& plans, const RunChoices& choices);

// The question before a run, from the same plans: what it would do, with numbers ("Delete
// 1,204 files (86.2 MB) from 3 folders and send 2 folders to the Recycle Bin?"), the entries
// it would clear, and those it would pass over or leave standing, each with why.
struct RunQuestion {
    std::string totals;
    std::vector<std::string> cleared;
    std::vector<std::string> passedOver;  // "C:\Users (a protected folder)"
};
RunQuestion RunQuestionOf(const std::vector<FolderPlan>& plans, const RunChoices& choices);

// One listed folder as a row of the preview's table.
enum class PreviewColumn { Folder, Action, Files, Size, Kept, Why };
inline constexpr std::array<const char*, 6> kPreviewColumnHeadings = {"Folder", "Action", "Files",
                                                                      "Size",   "Kept",   "Why"};

struct PreviewRow {
    std::string folder;       // the entry, its invisible characters made visible
    std::string action;       // what the run would do there, in a few words
    bool counted = false;     // false for an entry refused or not there: no numbers shown
    std::uint64_t files = 0;  // the files the run would delete or send to the Recycle Bin
    std::uint64_t bytes = 0;
    std::uint64_t kept = 0;  // the files the rules keep
    std::string why;         // the refusal, or why something stays; "" when nothing does
};
std::vector<PreviewRow> RowsOf(const std::vector<FolderPlan>& plans);
std::string CellText(const PreviewRow& row, PreviewColumn column);
// The rows' indexes sorted by a column: counts and sizes as numbers (rows without numbers
// first), texts with letter case ignored as Windows ignores it; rows alike keep list order.
std::vector<std::size_t> SortedOrder(const std::vector<PreviewRow>& rows, PreviewColumn column,
                                     bool descending);

}  // namespace ondrevan
