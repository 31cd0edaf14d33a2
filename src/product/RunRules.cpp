#include "product/RunRules.h"

#include "platform/Blanks.h"
#include "platform/FolderPaths.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

std::optional<std::int32_t> ParseAge(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.size() > 5) return std::nullopt;
    std::int32_t days = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        days = days * 10 + (c - '0');
    }
    if (days > kMaximumAgeDays) return std::nullopt;
    return days;
}

}  // namespace

std::optional<std::string> MinimumAgeFault(std::string_view text) {
    if (ParseAge(text)) return std::nullopt;
    return "The age must be a whole number of days from 0 to 36500.";
}

std::optional<std::string> KeepPatternsFault(std::string_view text) {
    for (const std::string& pattern : SplitKeepPatterns(text)) {
        if (pattern.find_first_of("\\/") != std::string::npos)
            return "A pattern is matched against a file's name: it cannot hold \\ or /.";
        for (char c : pattern)
            if (static_cast<unsigned char>(c) < 32 ||
                std::string_view(":<>|\"").find(c) != std::string_view::npos)
                return "A pattern cannot hold : < > | \" or a control character.";
    }
    return std::nullopt;
}

std::optional<std::string> ProtectedFoldersFault(std::string_view text) {
    for (const std::string& line : ProtectedFolderLines(text)) {
        if (!IsFullyQualified(line) || HasForbiddenPathCharacters(line))
            return "Each folder must be a full path, such as C:\\Data\\Keep: \"" + line +
                   "\" is not.";
    }
    return std::nullopt;
}

std::vector<std::string> SplitKeepPatterns(std::string_view text) {
    std::vector<std::string> patterns;
    while (true) {
        const std::size_t semicolon = text.find(';');
        const std::string_view piece = TrimBlanks(text.substr(0, semicolon));
        if (!piece.empty()) patterns.emplace_back(piece);
        if (semicolon == std::string_view::npos) break;
        text.remove_prefix(semicolon + 1);
    }
    return patterns;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    // "*.*" is every name, with a dot or without, as in a Windows folder listing.
    if (pattern == "*.*") pattern = "*";
    // The classic two-pointer match over characters: on a mismatch, the last "*" takes one
    // more character of the name.
    std::size_t p = 0, n = 0, starAt = std::string_view::npos, matchedTo = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            matchedTo = n;
            continue;
        }
        if (p < pattern.size()) {
            std::size_t nextP = p, nextN = n;
            const char32_t want = NextCharacter(pattern, nextP);
            const char32_t have = NextCharacter(name, nextN);
            if (want == '?' || FoldedCharacter(want) == FoldedCharacter(have)) {
                p = nextP;
                n = nextN;
                continue;
            }
        }
        if (starAt == std::string_view::npos) return false;
        p = starAt + 1;
        NextCharacter(name, matchedTo);
        n = matchedTo;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

RunRules ReadRunRules(const AppSettings& settings) {
    RunRules rules;
    // An age that does not read keeps every file younger than the longest age there is.
    rules.minimumAgeDays =
        ParseAge(settings.Get(keys::kMinimumAgeDays, "0")).value_or(kMaximumAgeDays);
    // Patterns the options window would refuse (a path, "|" between them) meant to keep
    // something no pattern can say: every file stays until they are put right.
    const std::string patterns = settings.Get(keys::kKeepPatterns, "");
    if (KeepPatternsFault(patterns))
        rules.unreadable = std::string(keys::kKeepPatterns) + "=" + patterns;
    else
        rules.keepPatterns = SplitKeepPatterns(patterns);
    // Stored as the list is, each path followed by the separator; one written by hand may
    // be one path without it, or one a line, or lack the last separator. Every path counts.
    const std::string folders =
        settings.Get(keys::kProtectedFolders, "") + std::string(kFolderSeparator);
    for (const std::string& piece : SplitFolderList(folders))
        for (std::string& folder : ProtectedFolderLines(piece))
            rules.protectedFolders.push_back(std::move(folder));
    rules.recycleFiles = IsSwitchOn(settings.Get(keys::kRecycleFiles, kSwitchOff));
    rules.removeEmptySubfolders =
        IsSwitchOn(settings.Get(keys::kRemoveEmptySubfolders, kSwitchOff));
    return rules;
}

}  // namespace ondrevan
