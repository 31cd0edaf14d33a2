#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "delete/DeleteRun.h"
#include "delete/FolderDecisions.h"
#include "platform/FileSystem.h"
#include "product/FolderRules.h"
#include "product/RunRules.h"

namespace ondrevan {

// What a run goes by: the delete mode and the rules, and the time it judges ages from.
struct RunChoices {
    RunChoices() = default;
    RunChoices(bool recycleFolders, RunRules rules, std::int64_t nowUtc)
        : recycleFolders(recycleFolders), rules(std::move(rules)), nowUtc(nowUtc) {}

    bool recycleFolders = false;  // folder mode
    RunRules rules;
    std::int64_t nowUtc = 0;
    // Each folder's own rules ("FolderRules") and what the policies bind them to. A folder
    // without a line goes by `rules` alone, as every folder did before.
    FolderRulesList folderRules;
    PolicyFloor policy;
};

class AppSettings;

// The choices as stored: the options' rules, each folder's own and the policies' floor.
RunChoices ReadRunChoices(const AppSettings& settings, bool recycleFolders, std::int64_t nowUtc);

// What a run does with one entry of the folder list. The run, and anything that shows
// beforehand what a run would do, work from the same plan.
struct FolderPlan {
    // What becomes of the folder itself once its files are gone.
    enum class Fate {
        Stays,           // contents mode: only the files go
        ToRecycleBin,    // folder mode: the folder with its sub-folders
        NotThere,        // there is no such folder
        HoldsProtected,  // it holds a protected folder: only its own files go
        HoldsLink,       // it holds a folder link (see `link`): it stays
        HoldsKeptFile,   // it holds a file the rules keep (see `link`): it stays
        NoRecycleBin,    // no Recycle Bin can be reached there: it stays
        // it holds a listed folder whose own rules keep something (see `link`): it stays
        HoldsListedFolder,
        Repeated,  // the folder was listed before (see `repeatOf`): a run clears it once
    };

    std::string entry;   // as the list holds it
    std::string folder;  // as the check judged it: the folder cleared and named in the history
    // Why it is refused (a drive root, a protected folder, no path Windows would take), or
    // "" when it is not.
    std::string refusal;
    bool Refused() const { return !refusal.empty(); }
    std::vector<FileEntry> files;        // the files that lie directly in it, to be deleted
    std::vector<KeptFile> kept;          // the files there that the rules keep
    bool recycleFiles = false;           // the files go to the Recycle Bin rather than for good
    bool noBinForFiles = false;          // ... but none can be reached there: they stay
    bool removeEmptySubfolders = false;  // contents mode: sub-folders left empty go too
    Fate fate = Fate::Stays;
    // HoldsLink: the first link inside; HoldsKeptFile: the file and why; HoldsListedFolder:
    // that folder and what its rules keep.
    std::string link;
    std::string repeatOf;  // Repeated: the entry that names the folder first

    // A folder with rules of its own: what they say and what they decide. `files` then
    // holds the files the age rule takes, followed by those the cap takes.
    bool ownRules = false;
    std::string rulesSummary;                // "older than 30 days by creation; under 10 GB"
    FolderDecisionTotals decided;            // the files by their fate
    FolderCap cap;                           // the folder's cap, if it has one
    std::size_t capFirst = 0;                // where the cap's files begin in `files`
    bool skippedForFreeSpace = false;        // its drive had enough free space: nothing happens
    std::optional<std::uint64_t> freeBytes;  // ... as read (nothing when it could not be)
    std::string unreadable;                  // rules that did not read: every file stays
};

// The refusals of an entry that exists but is no folder to clear.
inline constexpr const char* kRefusedNotAFolder = "not a folder";
inline constexpr const char* kRefusedLink = "a link";

// The folder a run acts on for a list entry: blanks and one final backslash trimmed, and
// a full path written the way the protected-folder check resolves it ("C:\s\TB " is
// "C:\s\TB").
std::string RunFolderPath(const std::string& entry);

// For each entry of a list, the index of an earlier entry that names the same folder in
// another written form (letter case, separators, "\\?\"), or nothing: a run clears each
// folder once, and the preview says so.
std::vector<std::optional<std::size_t>> EarlierListings(const std::vector<std::string>& entries);

// The folder list as a run, /preview and the preview window walk it: the entries, and for
// each the earlier entry naming the same folder.
struct ListedEntries {
    explicit ListedEntries(std::vector<std::string> list)
        : entries(std::move(list)), earlier(EarlierListings(entries)) {}
    std::vector<std::string> entries;
    std::vector<std::optional<std::size_t>> earlier;
};
// The plan of an entry that names a folder listed before.
FolderPlan RepeatedPlan(const std::string& entry, const std::string& first);

}  // namespace ondrevan
