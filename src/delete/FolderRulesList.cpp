#include <string>

#include "delete/FolderRules.h"
#include "platform/Blanks.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/SettingKeys.h"

// The list of every folder's own rules: the stored value read and written, a folder's line
// found, set and removed. One folder's rules as text are in FolderRules.cpp.
namespace ondrevan {

FolderRulesList ParseFolderRules(std::string_view value) {
    FolderRulesList list;
    for (std::string line : SplitAt(value, '\n')) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (TrimBlanksAndTabs(line).empty()) continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            list.strayLines.push_back(line);
            continue;
        }
        list.lines.push_back(
            {line.substr(0, tab), ParseRulesOfFolder(std::string_view(line).substr(tab + 1))});
    }
    return list;
}

std::string FolderRulesText(const FolderRulesList& list) {
    std::string text;
    const auto add = [&text](const std::string& line) {
        if (!text.empty()) text += "\r\n";
        text += line;
    };
    for (const FolderRulesLine& line : list.lines)
        add(line.folder + "\t" + RulesOfFolderText(line.rules));
    for (const std::string& line : list.strayLines) add(line);
    return text;
}

FolderRulesList ReadFolderRules(const AppSettings& settings) {
    return ParseFolderRules(settings.Get(keys::kFolderRules, ""));
}

void SaveFolderRules(const AppSettings& settings, const FolderRulesList& list) {
    settings.Save(keys::kFolderRules, FolderRulesText(list));
}

void ClearFolderRules(const AppSettings& settings) {
    // A list that never had rules of its own does not gain the value.
    if (!settings.Get(keys::kFolderRules, "").empty()) settings.Save(keys::kFolderRules, "");
}

std::optional<FolderRules> FindFolderRules(const FolderRulesList& list, const std::string& entry) {
    std::optional<FolderRules> found;
    for (const FolderRulesLine& line : list.lines) {
        if (line.folder != entry) continue;
        if (!found) {
            found = line.rules;
        } else if (!(*found == line.rules)) {
            found->unreadable.push_back({"", "a second line for this folder"});
            break;
        }
    }
    return found;
}

void SetFolderRules(FolderRulesList& list, const std::string& entry, const FolderRules& rules) {
    // Names this program does not know keep the line too: they may mean something to another
    // version of it.
    const bool worthALine = rules.HasOwnRules() || !rules.unknown.empty();
    bool placed = false;
    for (auto it = list.lines.begin(); it != list.lines.end();) {
        if (it->folder != entry) {
            ++it;
        } else if (!placed && worthALine) {
            it->rules = rules;
            placed = true;
            ++it;
        } else {
            it = list.lines.erase(it);
        }
    }
    if (!placed && worthALine) list.lines.push_back({entry, rules});
}

void RemoveFolderRules(FolderRulesList& list, const std::string& entry) {
    std::erase_if(list.lines,
                  [&entry](const FolderRulesLine& line) { return line.folder == entry; });
}

}  // namespace ondrevan
