#include <algorithm>
#include <string>

#include "platform/Blanks.h"
#include "platform/FolderPaths.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/FolderRules.h"
#include "product/SettingKeys.h"

// The list of every folder's own rules: the stored value read and written, a folder's line
// found, set and removed. One folder's rules as text are in FolderRules.cpp.
namespace ondrevan {

FolderRulesList ParseFolderRules(std::string_view value) {
    FolderRulesList list;
    // CR LF between lines as written; a LF or a CR alone, as a hand may leave it, ends a line
    // too: no folder's rules are taken into another's.
    for (const std::string& piece : SplitAt(value, '\n'))
        for (const std::string& line : SplitAt(piece, '\r')) {
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
        if (!SameFolder(line.folder, entry)) continue;
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
    // "A second line for this folder" is said of the folder, not written as one of its rules.
    FolderRules written = rules;
    std::erase_if(written.unreadable, [](const StoredRule& rule) { return rule.name.empty(); });
    const bool worthALine = written.HasOwnRules() || !written.unknown.empty();
    // The folder's first line takes the rules. A second line written by hand stays as it was:
    // nothing typed is lost, and while it is there the folder keeps every file.
    const auto first = std::find_if(
        list.lines.begin(), list.lines.end(),
        [&entry](const FolderRulesLine& line) { return SameFolder(line.folder, entry); });
    if (first == list.lines.end()) {
        if (worthALine) list.lines.push_back({entry, written});
    } else if (worthALine) {
        first->rules = written;
    } else {
        list.lines.erase(first);
    }
}

void RemoveFolderRules(FolderRulesList& list, const std::string& entry) {
    std::erase_if(list.lines,
                  [&entry](const FolderRulesLine& line) { return SameFolder(line.folder, entry); });
}

std::vector<std::string> RulesOfNoListedFolder(const FolderRulesList& list,
                                               const std::vector<std::string>& entries) {
    std::vector<std::string> stray;
    for (const FolderRulesLine& line : list.lines)
        if (std::none_of(entries.begin(), entries.end(), [&line](const std::string& entry) {
                return SameFolder(line.folder, entry);
            }))
            stray.push_back(line.folder);
    return stray;
}

}  // namespace ondrevan
