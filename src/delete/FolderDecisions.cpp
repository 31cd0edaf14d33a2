#include "delete/FolderDecisions.h"

#include <algorithm>

#include "platform/Blanks.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/Policies.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::uint64_t kMegabyte = 1024 * 1024;
constexpr double kGigabyte = 1024.0 * 1024 * 1024;

void AddPatterns(std::vector<std::string>& to, const std::vector<std::string>& patterns) {
    for (const std::string& pattern : patterns)
        if (std::find(to.begin(), to.end(), pattern) == to.end()) to.push_back(pattern);
}

std::int64_t DateOf(const FileEntry& file, AgeBy by) {
    const std::int64_t date = by == AgeBy::Created  ? file.created
                              : by == AgeBy::Opened ? file.accessed
                                                    : file.modified;
    return date == kNoFileTime ? file.modified : date;
}

// Strictly older than N whole days goes; a file dated in the future is younger.
bool YoungerThan(std::int64_t date, std::int32_t days, std::int64_t nowUtc) {
    return days > 0 && nowUtc - date <= days * kSecondsPerDay;
}

std::string YoungerText(std::int32_t days, AgeBy by) {
    std::string text =
        "younger than " + CountedText(static_cast<std::uint64_t>(days), "day", "days");
    if (by == AgeBy::Created) text += " by creation";
    if (by == AgeBy::Opened) text += " by last opening";
    return text;
}

void Count(FilesAndBytes& total, const FileEntry& file) {
    ++total.files;
    total.bytes += file.size;
}

std::string CapText(const FolderCap& cap) {
    std::string text;
    if (cap.megabytes) text = "under " + GroupedNumber(*cap.megabytes) + " MB";
    if (cap.megabytes && cap.files) text += " and ";
    if (cap.files) text += "at most " + CountedText(*cap.files, "file", "files");
    return text;
}

std::string FilesAndSize(std::uint64_t files, std::uint64_t bytes) {
    return CountedText(files, "file", "files") + ", " + SizeText(bytes);
}

}  // namespace

PolicyFloor ReadPolicyFloor(const Policies& policies) {
    PolicyFloor floor;
    if (const auto age = policies.settings.find(keys::kMinimumAgeDays);
        age != policies.settings.end())
        floor.minimumAgeDays = MinimumAgeFault(age->second)
                                   ? kMaximumAgeDays
                                   : std::stoi(std::string(TrimBlanks(age->second)));
    if (const auto keep = policies.settings.find(keys::kKeepPatterns);
        keep != policies.settings.end())
        floor.keepPatterns = SplitKeepPatterns(keep->second);
    if (const auto recycle = policies.settings.find(keys::kRecycleFiles);
        recycle != policies.settings.end())
        floor.recycleFiles = IsSwitchOn(recycle->second);
    return floor;
}

PolicyFloor ReadPolicyFloor(const AppSettings& settings) {
    Policies policies;
    for (const char* key : {keys::kMinimumAgeDays, keys::kKeepPatterns, keys::kRecycleFiles})
        if (settings.SetByPolicy(key)) policies.settings[key] = settings.Get(key, "");
    return ReadPolicyFloor(policies);
}

FolderChoices EffectiveFolderChoices(bool recycleFolders, const RunRules& options,
                                     const FolderRules& own, const PolicyFloor& policy) {
    FolderChoices choices;
    choices.rules = options;
    choices.recycleFolders =
        own.mode == FolderMode::AsMainWindow ? recycleFolders : own.mode == FolderMode::Folder;
    if (own.ageDays) choices.rules.minimumAgeDays = *own.ageDays;
    choices.rules.minimumAgeDays = std::max(choices.rules.minimumAgeDays, policy.minimumAgeDays);
    choices.ageBy = own.ageBy.value_or(AgeBy::Written);
    choices.policyMinimumAgeDays = policy.minimumAgeDays;
    AddPatterns(choices.rules.keepPatterns, own.keepPatterns);
    AddPatterns(choices.rules.keepPatterns, policy.keepPatterns);
    // The administrator's Recycle Bin binds every folder: its own "off" cannot undo it.
    choices.rules.recycleFiles =
        policy.recycleFiles || own.recycleFiles.value_or(options.recycleFiles);
    choices.rules.removeEmptySubfolders =
        own.removeEmptySubfolders.value_or(options.removeEmptySubfolders);
    choices.cap = {own.maxMegabytes, own.maxFiles};
    choices.ageDeletes = !choices.cap.Any() || own.ageDays.value_or(0) > 0;
    choices.freeBelowGigabytes = own.freeBelowGigabytes;
    choices.unreadable = own.UnreadableText();
    if (!options.unreadable.empty())
        choices.unreadable += (choices.unreadable.empty() ? "" : "; ") + options.unreadable;
    return choices;
}

bool ClearsAtFreeSpace(const FolderChoices& choices, std::optional<std::uint64_t> freeBytes) {
    if (!choices.freeBelowGigabytes) return true;
    return freeBytes && static_cast<double>(*freeBytes) < *choices.freeBelowGigabytes * kGigabyte;
}

FileDecision JudgeFile(const FileEntry& file, const FolderChoices& choices, std::int64_t nowUtc) {
    FileDecision made;
    made.file = file;
    const RunRules& rules = choices.rules;
    if (!choices.unreadable.empty()) {
        made.fate = FileFate::KeptRulesUnread;
        made.reason = "the folder's rules do not read: " + choices.unreadable;
        return made;
    }
    const auto pattern =
        std::find_if(rules.keepPatterns.begin(), rules.keepPatterns.end(),
                     [&file](const std::string& p) { return WildcardMatch(p, file.name); });
    if (pattern != rules.keepPatterns.end()) {
        made.fate = FileFate::KeptByPattern;
        made.reason = "matches " + *pattern;
    } else if (YoungerThan(file.modified, choices.policyMinimumAgeDays, nowUtc)) {
        made.fate = FileFate::KeptByAge;
        made.byPolicy = true;
        made.reason = YoungerText(choices.policyMinimumAgeDays, AgeBy::Written);
    } else if (YoungerThan(DateOf(file, choices.ageBy), rules.minimumAgeDays, nowUtc)) {
        made.fate = FileFate::KeptByAge;
        made.reason = YoungerText(rules.minimumAgeDays, choices.ageBy);
    } else if (choices.ageDeletes) {
        made.fate = FileFate::DeletedByAge;
    } else {
        made.fate = FileFate::KeptWithinCap;
        made.reason = "within the folder's cap";
    }
    return made;
}

FolderChoices ChoicesOfOptions(const RunRules& rules) {
    FolderChoices choices;
    choices.rules = rules;
    choices.unreadable = rules.unreadable;
    return choices;
}

std::optional<std::string> KeepReason(const FileEntry& file, const RunRules& rules,
                                      std::int64_t nowUtc) {
    FileDecision made = JudgeFile(file, ChoicesOfOptions(rules), nowUtc);
    if (made.fate == FileFate::DeletedByAge) return std::nullopt;
    return std::move(made.reason);
}

bool KeepsAnyFile(const FolderChoices& choices) {
    return !choices.unreadable.empty() || choices.rules.KeepsFiles() ||
           choices.policyMinimumAgeDays > 0 || !choices.ageDeletes;
}

FolderDecision DecideFolderFiles(const std::vector<FileEntry>& files, const FolderChoices& choices,
                                 std::int64_t nowUtc) {
    FolderDecision decision;
    decision.files.reserve(files.size());
    std::vector<std::size_t> mayGo;  // what the cap may take, if it must
    for (const FileEntry& file : files) {
        FileDecision& made = decision.files.emplace_back(JudgeFile(file, choices, nowUtc));
        // Files kept by the folder's own age, or only by the cap, are what the cap may take.
        if (made.fate == FileFate::KeptWithinCap ||
            (made.fate == FileFate::KeptByAge && !made.byPolicy))
            mayGo.push_back(decision.files.size() - 1);
        if (made.fate != FileFate::DeletedByAge) Count(decision.left, file);
    }

    if (choices.cap.Any()) {
        const auto over = [&] {
            return (choices.cap.megabytes &&
                    decision.left.bytes > *choices.cap.megabytes * kMegabyte) ||
                   (choices.cap.files && decision.left.files > *choices.cap.files);
        };
        std::stable_sort(mayGo.begin(), mayGo.end(), [&](std::size_t a, std::size_t b) {
            return DateOf(decision.files[a].file, choices.ageBy) <
                   DateOf(decision.files[b].file, choices.ageBy);
        });
        for (std::size_t i = 0; i < mayGo.size() && over(); ++i) {
            FileDecision& goes = decision.files[mayGo[i]];
            goes.fate = FileFate::DeletedByCap;
            goes.reason.clear();
            --decision.left.files;
            decision.left.bytes -= goes.file.size;
        }
        decision.capMet = !over();
    }

    for (const FileDecision& made : decision.files) {
        switch (made.fate) {
            case FileFate::DeletedByAge:
                Count(decision.deletedByAge, made.file);
                break;
            case FileFate::KeptByAge:
                Count(decision.keptByAge, made.file);
                break;
            case FileFate::KeptByPattern:
                Count(decision.keptByPattern, made.file);
                break;
            case FileFate::DeletedByCap:
                Count(decision.deletedByCap, made.file);
                break;
            case FileFate::KeptWithinCap:
                Count(decision.keptWithinCap, made.file);
                break;
            case FileFate::KeptRulesUnread:
                Count(decision.keptRulesUnread, made.file);
                break;
        }
    }
    return decision;
}

std::vector<FileEntry> FolderDecision::ToDelete() const {
    std::vector<FileEntry> going;
    for (const FileDecision& made : files)
        if (made.fate == FileFate::DeletedByAge || made.fate == FileFate::DeletedByCap)
            going.push_back(made.file);
    return going;
}

std::vector<KeptFile> FolderDecision::Kept() const {
    std::vector<KeptFile> kept;
    for (const FileDecision& made : files)
        if (made.fate != FileFate::DeletedByAge && made.fate != FileFate::DeletedByCap)
            kept.push_back({made.file, made.reason});
    return kept;
}

std::string FolderDecisionText(const FolderDecisionTotals& decision) {
    std::string text;
    const auto add = [&text](const FilesAndBytes& total, const char* what) {
        if (total.files == 0) return;
        text += (text.empty() ? CountedText(total.files, "file", "files")
                              : ", " + GroupedNumber(total.files)) +
                ' ' + what + " (" + SizeText(total.bytes) + ")";
    };
    add(decision.deletedByAge, "deleted by age");
    add(decision.keptByAge, "kept by age");
    add(decision.keptByPattern, "kept by pattern");
    add(decision.deletedByCap, "deleted by the cap");
    add(decision.keptWithinCap, "kept within the cap");
    add(decision.keptRulesUnread, "kept as the rules do not read");
    return text.empty() ? "no files" : text;
}

std::string FolderDrive(const std::string& folder) {
    std::string_view path = folder;
    if (path.rfind("\\\\?\\UNC\\", 0) == 0)
        return "\\\\" + FolderDrive(std::string(path.substr(8)));
    if (path.rfind("\\\\?\\", 0) == 0) path.remove_prefix(4);
    if (path.rfind("\\\\", 0) == 0) {
        // A network share: the server and the share name.
        const std::size_t server = path.find('\\', 2);
        const std::size_t share =
            server == std::string_view::npos ? server : path.find('\\', server + 1);
        return std::string(path.substr(0, share));
    }
    if (path.size() >= 2 && path[1] == ':') {
        const char letter = path[0] >= 'a' && path[0] <= 'z' ? path[0] - 'a' + 'A' : path[0];
        return std::string(1, letter) + ':';
    }
    return folder;
}

HistoryText CapDeletedText(const std::string& folder, const FolderCap& cap, std::uint64_t files,
                           std::uint64_t bytes) {
    return {"Deleted to keep folder " + CapText(cap) + ' ',
            folder + " (" + FilesAndSize(files, bytes) + ")"};
}

HistoryText CapNotMetText(const std::string& folder, const FolderCap& cap, std::uint64_t files,
                          std::uint64_t bytes) {
    return {"Could not keep folder " + CapText(cap) + ' ',
            folder + " (" + FilesAndSize(files, bytes) + " stay)"};
}

HistoryText FreeSpaceSkippedText(const std::string& folder,
                                 std::optional<std::uint64_t> freeBytes) {
    const std::string drive = FolderDrive(folder);
    if (!freeBytes) return {"Skipped folder, free space on " + drive + " unknown ", folder};
    return {"Skipped folder, " + SizeText(*freeBytes) + " free on " + drive + ' ', folder};
}

HistoryText RulesUnreadText(const std::string& folder, const std::string& unreadable) {
    return {"Kept every file, the folder's rules do not read ", folder + " (" + unreadable + ")"};
}

}  // namespace ondrevan
