#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

class AppSettings;

// Which of a file's dates its age is counted from.
enum class AgeBy { Written, Created, Opened };

// The delete mode of one folder: as the main window says, or its own.
enum class FolderMode { AsMainWindow, Folder, Contents };

// A rule as it stands in the stored text: "name=value".
struct StoredRule {
    std::string name;
    std::string value;
    friend bool operator==(const StoredRule&, const StoredRule&) = default;
};

// The rules one listed folder carries of its own. Whatever is not given is as in the options
// window; a folder with none behaves exactly as the others.
struct FolderRules {
    FolderMode mode = FolderMode::AsMainWindow;
    std::optional<std::int32_t> ageDays;    // "older than N days" goes (0: any age)
    std::optional<AgeBy> ageBy;             // which date counts; the last write when not given
    std::vector<std::string> keepPatterns;  // added to the options' patterns
    std::optional<bool> recycleFiles;
    std::optional<bool> removeEmptySubfolders;
    std::optional<std::uint64_t> maxMegabytes;  // the cap: keep the folder under N MB
    std::optional<std::uint64_t> maxFiles;      // ... and/or at most N files
    std::optional<double> freeBelowGigabytes;   // only when the drive has less than N GB free

    // Names this program does not know: written back as they were, and otherwise ignored.
    std::vector<StoredRule> unknown;
    // Rules whose value does not read, as written. While there is one, the folder keeps every
    // file: a rule written wrong never makes a run delete more.
    std::vector<StoredRule> unreadable;

    // True when anything of the folder's own is given (the list then shows it).
    bool HasOwnRules() const;
    // "age=abc; maxmb=-1": the rules that did not read, for the history and the list.
    std::string UnreadableText() const;
    friend bool operator==(const FolderRules&, const FolderRules&) = default;
};

// What the administrator's policies bind every folder to, whatever its own rules say.
struct PolicyFloor {
    // Files written within this many days stay, by the last write whatever date the folder
    // goes by, and no cap takes them; no folder may use a smaller age.
    std::int32_t minimumAgeDays = 0;
    std::vector<std::string> keepPatterns;  // added to every folder's
    // Every folder's files go to the Recycle Bin, whatever its own rules say.
    bool recycleFiles = false;
};

// One line of the stored value: the folder exactly as the list holds it, and its rules.
struct FolderRulesLine {
    std::string folder;
    FolderRules rules;
    friend bool operator==(const FolderRulesLine&, const FolderRulesLine&) = default;
};

// Every folder's own rules, as the setting "FolderRules" holds them.
struct FolderRulesList {
    std::vector<FolderRulesLine> lines;
    // Lines with no tab: they name no folder that can be told apart from its rules. Kept, so
    // that a hand-edited value is never lost by the program writing it.
    std::vector<std::string> strayLines;
    friend bool operator==(const FolderRulesList&, const FolderRulesList&) = default;
};

// The stored form: one line per folder, CR LF between lines; the folder, a tab, then
// "name=value" pairs separated by ";" (mode, age, ageby, keep, recycle, empty, maxmb,
// maxfiles, freebelowgb). Names and the words of a value are read in any letter case, blanks
// around them ignored; they are written in lower case, in that order, what did not read and
// the unknown names last, as they were.
FolderRulesList ParseFolderRules(std::string_view value);
std::string FolderRulesText(const FolderRulesList& list);
// The rules part of one line (what follows the tab).
FolderRules ParseRulesOfFolder(std::string_view text);
std::string RulesOfFolderText(const FolderRules& rules);

FolderRulesList ReadFolderRules(const AppSettings& settings);
// An empty list is stored as the empty text.
void SaveFolderRules(const AppSettings& settings, const FolderRulesList& list);

// The rules of a list entry, or nothing. A line names the entry's folder in any written form
// (SameFolder: letter case, "/", doubled or trailing backslashes, "\\?\"). Two lines for the same
// entry that say different things make it keep every file.
std::optional<FolderRules> FindFolderRules(const FolderRulesList& list, const std::string& entry);
// Gives an entry its rules (in place of its line, or as a new last line); rules with
// nothing of their own remove the line.
void SetFolderRules(FolderRulesList& list, const std::string& entry, const FolderRules& rules);
// Removes the line of an entry that is no longer in the list.
void RemoveFolderRules(FolderRulesList& list, const std::string& entry);
// The folders of lines that name no entry of the list: their rules bind nothing, and the
// preview and the rules window say so.
std::vector<std::string> RulesOfNoListedFolder(const FolderRulesList& list,
                                               const std::vector<std::string>& entries);
// Clearing the list clears every folder's rules.
void ClearFolderRules(const AppSettings& settings);

// A short account of a folder's own rules for the folder list's second column: "older than
// 30 days by creation; keep *.torrent; under 10 GB". Empty when it has none.
std::string FolderRulesSummary(const FolderRules& rules);

}  // namespace ondrevan
