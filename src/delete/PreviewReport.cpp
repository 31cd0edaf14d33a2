#include "delete/PreviewReport.h"

#include "delete/FolderDecisions.h"
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

}  // namespace

std::string PreviewReport(const std::vector<FolderPlan>& plans, const RunChoices& choices) {
    std::string report = choices.recycleFolders
                             ? "Preview of the next run: the folders go to the Recycle Bin\r\n"
                             : "Preview of the next run: the folders stay, their files go\r\n";
    std::uint64_t files = 0, bytes = 0, kept = 0, keptBytes = 0, staying = 0, folders = 0,
                  refused = 0;
    for (const FolderPlan& plan : plans) {
        report += VisibleText(plan.entry) + ": ";
        if (plan.Refused()) {
            ++refused;
            report += "refused (" + plan.refusal + ")\r\n";
            continue;
        }
        if (plan.files.empty() && plan.kept.empty() && plan.fate == FolderPlan::Fate::NotThere) {
            report += "not there\r\n";
            continue;
        }
        if (plan.skippedForFreeSpace) {
            report += "skipped, " + FreeSpaceText(plan) + "\r\n" + RulesLine(plan);
            continue;
        }
        if (!plan.unreadable.empty()) {
            std::uint64_t planKeptBytes = 0;
            for (const KeptFile& file : plan.kept) planKeptBytes += file.file.size;
            kept += plan.kept.size();
            keptBytes += planKeptBytes;
            report += "every file kept, " + FilesAndSize(plan.kept.size(), planKeptBytes) +
                      ": the folder's rules do not read (" + plan.unreadable + ")\r\n";
            continue;
        }
        std::uint64_t planBytes = 0, planKeptBytes = 0;
        for (const FileEntry& file : plan.files) planBytes += file.size;
        for (const KeptFile& file : plan.kept) planKeptBytes += file.file.size;
        if (plan.noBinForFiles) {
            staying += plan.files.size();
            report += FilesAndSize(plan.files.size(), planBytes) +
                      " would stay (no Recycle Bin can be reached there)";
        } else {
            files += plan.files.size();
            bytes += planBytes;
            report += FilesAndSize(plan.files.size(), planBytes) +
                      (plan.recycleFiles ? " would go to the Recycle Bin" : " would be deleted");
        }
        if (!plan.kept.empty()) {
            kept += plan.kept.size();
            keptBytes += planKeptBytes;
            report += ", " + FilesAndSize(plan.kept.size(), planKeptBytes) + " kept by the rules";
        }
        if (plan.fate == FolderPlan::Fate::ToRecycleBin) ++folders;
        report += "; " + FolderFate(plan) + "\r\n";
        if (plan.ownRules) report += RulesLine(plan);
    }
    report += "Total: " + FilesAndSize(files, bytes) +
              (choices.rules.recycleFiles ? " would go to the Recycle Bin" : " would be deleted");
    if (staying) report += ", " + CountedText(staying, "file", "files") + " would stay";
    report += ", " + FilesAndSize(kept, keptBytes) + " kept by the rules, " +
              CountedText(folders, "folder", "folders") + " would go to the Recycle Bin, " +
              CountedText(refused, "entry", "entries") + " refused\r\n";
    return report;
}

}  // namespace ondrevan
