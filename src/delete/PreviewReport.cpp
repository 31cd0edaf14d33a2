#include "delete/PreviewReport.h"

#include <algorithm>

#include "delete/FolderDecisions.h"
#include "platform/Blanks.h"
#include "platform/FolderPaths.h"
#include "platform/ValueForms.h"
#include "platform/VisibleText.h"

namespace ondrevan {
namespace {

std::string FilesAndSize(std::uint64_t count, std::uint64_t bytes) {
    return CountedText(count, "file", "files") + " (" + SizeText(bytes) + ")";
}

std::string FolderFate(const FolderPlan& plan) {
    using Fate = FolderPlan::Fate;
    switch (plan.fate) {
        case Fate::Stays:
            return plan.removeEmptySubfolders
                       ? "the folder stays; sub-folders left empty would be removed"
                       : "the folder stays";
        case Fate::ToRecycleBin:
            return "the folder would go to the Recycle Bin";
        case Fate::NotThere:
            return "not there";
        case Fate::HoldsProtected:
            return "the folder stays: it holds a protected folder";
        case Fate::HoldsLink:
            return "the folder stays: it holds a link: " + plan.link;
        case Fate::HoldsKeptFile:
            return "the folder stays: it holds a file the rules keep: " + plan.link;
        case Fate::NoRecycleBin:
            return "the folder stays: no Recycle Bin can be reached there";
        case Fate::HoldsListedFolder:
            return "the folder stays: it holds the listed folder " + plan.link;
        case Fate::Repeated:
            return "listed before as " + VisibleText(plan.repeatOf) + ": cleared once";
    }
    return {};
}

// "42.1 GB free on C:", as the history says it.
std::string FreeSpaceText(const FolderPlan& plan) {
    const std::string drive = FolderDrive(plan.folder);
    return plan.freeBytes ? SizeText(*plan.freeBytes) + " free on " + drive
                          : "free space on " + drive + " unknown";
}

// Under the line of a folder with rules of its own: the rules and what they decide.
std::string RulesLine(const FolderPlan& plan) {
    std::string line = "    its own rules: " + plan.rulesSummary;
    if (!plan.skippedForFreeSpace) line += ": " + FolderDecisionText(plan.decided);
    if (plan.cap.Any() && !plan.decided.capMet)
        line += "; the cap cannot be met: " +
                FilesAndSize(plan.decided.left.files, plan.decided.left.bytes) + " stay";
    return line + "\r\n";
}

bool NotThere(const FolderPlan& plan) {
    return plan.files.empty() && plan.kept.empty() && plan.fate == FolderPlan::Fate::NotThere;
}

std::uint64_t BytesOf(const std::vector<FileEntry>& files) {
    std::uint64_t bytes = 0;
    for (const FileEntry& file : files) bytes += file.size;
    return bytes;
}

std::uint64_t BytesOf(const std::vector<KeptFile>& files) {
    std::uint64_t bytes = 0;
    for (const KeptFile& file : files) bytes += file.file.size;
    return bytes;
}

constexpr const char* kNoBin = "no Recycle Bin can be reached there";

// What the run would do with a folder it may clear, in a few words, and why something stays.
void DescribeAction(const FolderPlan& plan, PreviewRow& row) {
    using Fate = FolderPlan::Fate;
    const char* files = plan.noBinForFiles  ? "Files stay"
                        : plan.recycleFiles ? "Files to the Recycle Bin"
                                            : "Delete files";
    row.action = files;
    if (plan.noBinForFiles) row.why = kNoBin;
    const auto because = [&](const std::string& reason) {
        if (row.why.find(reason) == std::string::npos)
            row.why += (row.why.empty() ? "" : "; ") + reason;
    };
    switch (plan.fate) {
        case Fate::Stays:
            if (plan.removeEmptySubfolders) row.action += ", remove empty sub-folders";
            break;
        case Fate::ToRecycleBin:
            row.action = plan.recycleFiles && !plan.noBinForFiles
                             ? "Files and folder to the Recycle Bin"
                             : row.action + ", folder to the Recycle Bin";
            break;
        case Fate::NotThere:
            break;
        case Fate::HoldsProtected:
            row.action += ", folder stays";
            because("it holds a protected folder");
            break;
        case Fate::HoldsLink:
            row.action += ", folder stays";
            because("it holds a link: " + plan.link);
            break;
        case Fate::HoldsKeptFile:
            row.action += ", folder stays";
            because("it holds a file the rules keep: " + plan.link);
            break;
        case Fate::NoRecycleBin:
            row.action += ", folder stays";
            because(kNoBin);
            break;
        case Fate::HoldsListedFolder:
            row.action += ", folder stays";
            because("it holds the listed folder " + plan.link);
            break;
        case Fate::Repeated:
            break;
    }
}

int Compare(std::uint64_t a, std::uint64_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

}  // namespace

namespace {

// What the plans add up to; the preview's totals and the question before a run both say it.
struct PlanCounts {
    std::uint64_t files = 0, bytes = 0, binFiles = 0, binBytes = 0, kept = 0, keptBytes = 0,
                  staying = 0, folders = 0, refused = 0, worked = 0;
};

PlanCounts CountPlans(const std::vector<FolderPlan>& plans) {
    PlanCounts counts;
    for (const FolderPlan& plan : plans) {
        if (plan.Refused()) {
            // A blank entry names nothing: the run passes it over in silence.
            if (!TrimBlanks(plan.entry).empty()) ++counts.refused;
            continue;
        }
        if (NotThere(plan) || plan.fate == FolderPlan::Fate::Repeated) continue;
        // Each folder's files go where its own choice sends them.
        if (plan.noBinForFiles) {
            counts.staying += plan.files.size();
        } else if (plan.recycleFiles) {
            counts.binFiles += plan.files.size();
            counts.binBytes += BytesOf(plan.files);
        } else {
            counts.files += plan.files.size();
            counts.bytes += BytesOf(plan.files);
        }
        counts.kept += plan.kept.size();
        counts.keptBytes += BytesOf(plan.kept);
        if (plan.fate == FolderPlan::Fate::ToRecycleBin) ++counts.folders;
        if (!plan.skippedForFreeSpace) ++counts.worked;
    }
    return counts;
}

}  // namespace

PreviewTotals TotalsOf(const std::vector<FolderPlan>& plans, const RunChoices& choices) {
    const PlanCounts c = CountPlans(plans);
    PreviewTotals totals;
    const std::string deleted = FilesAndSize(c.files, c.bytes) + " would be deleted";
    const std::string toBin = FilesAndSize(c.binFiles, c.binBytes) + " would go to the Recycle Bin";
    // One verb when every folder goes one way, as the options say; both when they differ.
    if (c.binFiles == 0 && !choices.rules.recycleFiles)
        totals.files = deleted;
    else if (c.files == 0 && choices.rules.recycleFiles)
        totals.files = toBin;
    else
        totals.files = deleted + ", " + toBin;
    if (c.staying) totals.files += ", " + CountedText(c.staying, "file", "files") + " would stay";
    totals.files += ", " + FilesAndSize(c.kept, c.keptBytes) + " kept by the rules";
    totals.folders = CountedText(c.folders, "folder", "folders") +
                     " would go to the Recycle Bin, " + CountedText(c.refused, "entry", "entries") +
                     " refused";
    std::vector<std::string> entries;
    for (const FolderPlan& plan : plans) entries.push_back(plan.entry);
    const std::vector<std::string> stray = RulesOfNoListedFolder(choices.folderRules, entries);
    if (!stray.empty()) {
        totals.strayRules = "Rules that name no folder of the list, and bind nothing:";
        for (std::size_t i = 0; i < stray.size(); ++i)
            totals.strayRules += (i ? ", " : " ") + VisibleText(stray[i]);
    }
    return totals;
}

std::string PreviewReport(const std::vector<FolderPlan>& plans, const RunChoices& choices) {
    std::string report = choices.recycleFolders
                             ? "Preview of the next run: the folders go to the Recycle Bin\r\n"
                             : "Preview of the next run: the folders stay, their files go\r\n";
    for (const FolderPlan& plan : plans) {
        report += VisibleText(plan.entry) + ": ";
        if (plan.Refused()) {
            report += "refused (" + plan.refusal + ")\r\n";
            continue;
        }
        if (NotThere(plan)) {
            report += "not there\r\n";
            continue;
        }
        if (plan.fate == FolderPlan::Fate::Repeated) {
            report += FolderFate(plan) + "\r\n";
            continue;
        }
        if (plan.skippedForFreeSpace) {
            report += "skipped, " + FreeSpaceText(plan) + "\r\n" + RulesLine(plan);
            continue;
        }
        if (!plan.unreadable.empty()) {
            report += "every file kept, " + FilesAndSize(plan.kept.size(), BytesOf(plan.kept)) +
                      ": the folder's rules do not read (" + plan.unreadable + ")\r\n";
            continue;
        }
        const std::uint64_t planBytes = BytesOf(plan.files);
        if (plan.noBinForFiles) {
            report += FilesAndSize(plan.files.size(), planBytes) +
                      " would stay (no Recycle Bin can be reached there)";
        } else {
            report += FilesAndSize(plan.files.size(), planBytes) +
                      (plan.recycleFiles ? " would go to the Recycle Bin" : " would be deleted");
        }
        if (!plan.kept.empty())
            report +=
                ", " + FilesAndSize(plan.kept.size(), BytesOf(plan.kept)) + " kept by the rules";
        report += "; " + FolderFate(plan) + "\r\n";
        if (plan.ownRules) report += RulesLine(plan);
    }
    const PreviewTotals totals = TotalsOf(plans, choices);
    if (!totals.strayRules.empty()) report += totals.strayRules + "\r\n";
    report += "Total: " + totals.files + ", " + totals.folders + "\r\n";
    return report;
}

std::vector<PreviewRow> RowsOf(const std::vector<FolderPlan>& plans) {
    std::vector<PreviewRow> rows;
    rows.reserve(plans.size());
    for (const FolderPlan& plan : plans) {
        PreviewRow& row = rows.emplace_back();
        row.folder = VisibleText(plan.entry);
        if (plan.Refused()) {
            row.action = "Refused";
            row.why = plan.refusal;
        } else if (NotThere(plan)) {
            row.action = "None";
            row.why = "not there";
        } else if (plan.fate == FolderPlan::Fate::Repeated) {
            row.action = "None";
            row.why = FolderFate(plan);
        } else if (plan.skippedForFreeSpace) {
            row.action = "Skipped";
            row.why = FreeSpaceText(plan);
        } else if (!plan.unreadable.empty()) {
            row.counted = true;
            row.kept = plan.kept.size();
            row.action = "Every file kept";
            row.why = "the folder's rules do not read (" + plan.unreadable + ")";
        } else {
            row.counted = true;
            row.files = plan.files.size();
            row.bytes = BytesOf(plan.files);
            row.kept = plan.kept.size();
            DescribeAction(plan, row);
            if (plan.ownRules) {
                std::string rules = RulesLine(plan);
                rules = rules.substr(4, rules.size() - 6);  // without the indent and CR LF
                row.why += (row.why.empty() ? "" : "; ") + rules;
            }
        }
    }
    return rows;
}

std::string CellText(const PreviewRow& row, PreviewColumn column) {
    switch (column) {
        case PreviewColumn::Folder:
            return row.folder;
        case PreviewColumn::Action:
            return row.action;
        case PreviewColumn::Files:
            return row.counted ? GroupedNumber(row.files) : "";
        case PreviewColumn::Size:
            return row.counted ? SizeText(row.bytes) : "";
        case PreviewColumn::Kept:
            return row.counted ? GroupedNumber(row.kept) : "";
        case PreviewColumn::Why:
            return row.why;
    }
    return {};
}

std::vector<std::size_t> SortedOrder(const std::vector<PreviewRow>& rows, PreviewColumn column,
                                     bool descending) {
    // Texts are folded once, not at every comparison.
    std::vector<std::string> keys;
    const bool numeric = column == PreviewColumn::Files || column == PreviewColumn::Size ||
                         column == PreviewColumn::Kept;
    if (!numeric) {
        keys.reserve(rows.size());
        for (const PreviewRow& row : rows) keys.push_back(FoldedName(CellText(row, column)));
    }
    const auto number = [column](const PreviewRow& row) {
        return column == PreviewColumn::Files  ? row.files
               : column == PreviewColumn::Size ? row.bytes
                                               : row.kept;
    };
    const auto compare = [&](std::size_t a, std::size_t b) {
        if (!numeric) return keys[a].compare(keys[b]);
        if (rows[a].counted != rows[b].counted) return rows[a].counted ? 1 : -1;
        return Compare(number(rows[a]), number(rows[b]));
    };
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int result = compare(a, b);
        return descending ? result > 0 : result < 0;
    });
    return order;
}

RunQuestion RunQuestionOf(const std::vector<FolderPlan>& plans, const RunChoices& choices) {
    const PlanCounts counts = CountPlans(plans);
    RunQuestion question;
    const std::string from = " from " + CountedText(counts.worked, "folder", "folders");
    // Each folder's files go where its own choice sends them, as in the preview's totals.
    const bool toBin = counts.files == 0 && (counts.binFiles > 0 || choices.rules.recycleFiles);
    question.totals = toBin ? "Send " + FilesAndSize(counts.binFiles, counts.binBytes) + from +
                                  " to the Recycle Bin"
                            : "Delete " + FilesAndSize(counts.files, counts.bytes) + from;
    if (!toBin && counts.binFiles > 0)
        question.totals +=
            ", send " + FilesAndSize(counts.binFiles, counts.binBytes) + " to the Recycle Bin";
    if (counts.folders)
        question.totals += std::string(toBin ? " and " : " and send ") +
                           CountedText(counts.folders, "folder", "folders") +
                           (toBin ? " with them" : " to the Recycle Bin");
    question.totals += "?";
    const std::vector<PreviewRow> rows = RowsOf(plans);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool cleared = rows[i].counted && !plans[i].skippedForFreeSpace;
        if (cleared) question.cleared.push_back(rows[i].folder);
        if (!cleared || !rows[i].why.empty())
            question.passedOver.push_back(rows[i].folder + " (" +
                                          (cleared ? rows[i].action + ": " : std::string()) +
                                          rows[i].why + ")");
    }
    return question;
}

}  // namespace ondrevan
