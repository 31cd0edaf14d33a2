#include "delete/DeletePlan.h"

#include <unordered_map>

#include "platform/Blanks.h"
#include "platform/FolderPaths.h"
#include "product/AppSettings.h"

namespace ondrevan {

std::string RunFolderPath(const std::string& entry) {
    std::string text = entry;
    const std::string trimmed(TrimBlanks(text));
    if (!trimmed.empty() && trimmed.back() == '\\') text = trimmed.substr(0, trimmed.size() - 1);
    if (IsFullyQualified(text)) text = CanonicalFolderPath(text);
    return text;
}

std::vector<std::optional<std::size_t>> EarlierListings(const std::vector<std::string>& entries) {
    std::vector<std::optional<std::size_t>> earlier(entries.size());
    std::unordered_map<std::string, std::size_t> first;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // A blank entry names no folder: it repeats nothing.
        if (TrimBlanks(entries[i]).empty()) continue;
        const auto [at, added] = first.emplace(LexicalFolderKey(RunFolderPath(entries[i])), i);
        if (!added) earlier[i] = at->second;
    }
    return earlier;
}

FolderPlan RepeatedPlan(const std::string& entry, const std::string& first) {
    FolderPlan plan;
    plan.entry = entry;
    plan.folder = RunFolderPath(entry);
    plan.fate = FolderPlan::Fate::Repeated;
    plan.repeatOf = first;
    return plan;
}

RunChoices ReadRunChoices(const AppSettings& settings, bool recycleFolders, std::int64_t nowUtc) {
    RunChoices choices{recycleFolders, ReadRunRules(settings), nowUtc};
    choices.folderRules = ReadFolderRules(settings);
    choices.policy = ReadPolicyFloor(settings);
    return choices;
}

}  // namespace ondrevan
