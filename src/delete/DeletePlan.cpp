#include "delete/DeletePlan.h"

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

RunChoices ReadRunChoices(const AppSettings& settings, bool recycleFolders, std::int64_t nowUtc) {
    RunChoices choices{recycleFolders, ReadRunRules(settings), nowUtc};
    choices.folderRules = ReadFolderRules(settings);
    choices.policy = ReadPolicyFloor(settings);
    return choices;
}

}  // namespace ondrevan
