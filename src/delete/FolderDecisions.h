#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "product/FolderRules.h"
#include "product/RunRules.h"

namespace ondrevan {

class AppSettings;
struct Policies;

// An age policy that does not read keeps every file, as it does in the options.
PolicyFloor ReadPolicyFloor(const Policies& policies);
// ... as the settings see the policies.
PolicyFloor ReadPolicyFloor(const AppSettings& settings);

// Keep the folder under N MB and/or at most N files; the files lying directly in it count.
struct FolderCap {
    std::optional<std::uint64_t> megabytes;
    std::optional<std::uint64_t> files;
    bool Any() const { return megabytes || files; }
};

// What one folder goes by: the options' rules with the folder's own laid over them.
struct FolderChoices {
    bool recycleFolders = false;  // folder mode
    // The age, the keep patterns (the options', the folder's and the policy's), the Recycle
    // Bin, the empty sub-folders and the protected folders, as a run of today takes them.
    RunRules rules;
    AgeBy ageBy = AgeBy::Written;
    std::int32_t policyMinimumAgeDays = 0;
    FolderCap cap;
    // A folder with a cap and no age of its own (or an age of 0) loses only what the cap
    // takes: the options' age, and the policy's, then delete nothing by themselves.
    bool ageDeletes = true;
    std::optional<double> freeBelowGigabytes;
    // The folder's rules that did not read: while there is one, the folder keeps every file.
    std::string unreadable;
};

// With no rules of its own (FolderRules{}) a folder goes by exactly what the others do.
FolderChoices EffectiveFolderChoices(bool recycleFolders, const RunRules& options,
                                     const FolderRules& own, const PolicyFloor& policy);

// Whether the folder is cleared at this free space of its drive (read when the run reaches
// it; nothing when it could not be read). A folder with no such condition always is; one
// with it only while the drive has less than N GB free, and never when that is not known.
bool ClearsAtFreeSpace(const FolderChoices& choices, std::optional<std::uint64_t> freeBytes);

// What becomes of one file of a folder.
enum class FileFate {
    DeletedByAge,     // old enough (any age when the age is 0)
    KeptByAge,        // too young, by the folder's date or the policy's last write
    KeptByPattern,    // a keep pattern matches its name
    DeletedByCap,     // among the oldest that had to go to bring the folder under its cap
    KeptWithinCap,    // a folder with a cap and no age: it fits under the cap
    KeptRulesUnread,  // the folder's rules did not read: every file stays
};

struct FileDecision {
    FileEntry file;
    FileFate fate = FileFate::KeptRulesUnread;
    std::string reason;     // why it stays ("younger than 30 days by creation", "matches *.iso")
    bool byPolicy = false;  // kept by the administrator's age: no cap takes it
};

// Whether one file stays or goes by a folder's rules, and why, before any cap: a keep
// pattern, then the policy's age by the last write, then the folder's age by its chosen
// date. A folder with a cap and no age of its own keeps what it does not judge by age
// (KeptWithinCap). Every door that asks whether a file stays asks this: the folder's own
// files, the files below a folder that would go to the Recycle Bin, the preview and the run.
FileDecision JudgeFile(const FileEntry& file, const FolderChoices& choices, std::int64_t nowUtc);
// The options' rules alone, as a folder without rules of its own goes by them.
FolderChoices ChoicesOfOptions(const RunRules& rules);
// Why the options' rules keep a file ("younger than 7 days", "matches *.keep"), or nothing
// when it goes: JudgeFile over ChoicesOfOptions.
std::optional<std::string> KeepReason(const FileEntry& file, const RunRules& rules,
                                      std::int64_t nowUtc);
// False when no file can stay by these rules, so that nothing needs to be looked at.
bool KeepsAnyFile(const FolderChoices& choices);

struct FilesAndBytes {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};

// How many files of a folder, and of what size, meet each fate.
struct FolderDecisionTotals {
    FilesAndBytes deletedByAge, keptByAge, keptByPattern, deletedByCap, keptWithinCap,
        keptRulesUnread;
    FilesAndBytes left;  // what stays when every file that is to go went
    bool capMet = true;  // false: the files the rules keep alone go beyond the cap
};

// What the rules decide for the files of one folder.
struct FolderDecision : FolderDecisionTotals {
    std::vector<FileDecision> files;  // in listing order

    // The files to delete (by age and by the cap), and the files kept and why, in listing
    // order, as a folder's plan holds them.
    std::vector<FileEntry> ToDelete() const;
    std::vector<KeptFile> Kept() const;
};

// The rules over a folder's listing. The age counts from the chosen date (the last write
// where the file system keeps no such date); with a cap, after the age rule the oldest files
// by that date go first until the folder is under the cap, and files a pattern or the policy
// keeps never go but count towards it. `nowUtc` and the files' times are seconds since 1970.
FolderDecision DecideFolderFiles(const std::vector<FileEntry>& files, const FolderChoices& choices,
                                 std::int64_t nowUtc);

// "3 files deleted by age (1.2 MB), 2 kept by age (4.0 KB), 1 kept by pattern (...), 4
// deleted by the cap (...)": only the fates that occur; "no files" when there are none.
std::string FolderDecisionText(const FolderDecisionTotals& decision);

// The drive of a folder as the history names it: "C:", "\\server\share".
std::string FolderDrive(const std::string& folder);

// A history line, as HistoryLog::AppendLine takes it: the message, then the path with its
// details. `Text()` is the line without its time stamp.
struct HistoryText {
    std::string message;
    std::string path;
    std::string Text() const { return message + ' ' + path; }
};

// "Deleted to keep folder under 10,240 MB  C:\x (3 files, 1.2 MB)"; "... at most 500 files",
// "... under 10,240 MB and at most 500 files".
HistoryText CapDeletedText(const std::string& folder, const FolderCap& cap, std::uint64_t files,
                           std::uint64_t bytes);
// "Could not keep folder under 10,240 MB  C:\x (40 files, 12.0 GB stay)".
HistoryText CapNotMetText(const std::string& folder, const FolderCap& cap, std::uint64_t files,
                          std::uint64_t bytes);
// "Skipped folder, 42.1 GB free on C:  C:\x"; "Skipped folder, free space on C: unknown ...".
HistoryText FreeSpaceSkippedText(const std::string& folder, std::optional<std::uint64_t> freeBytes);
// "Kept every file, the folder's rules do not read  C:\x (age=abc)".
HistoryText RulesUnreadText(const std::string& folder, const std::string& unreadable);

}  // namespace ondrevan
