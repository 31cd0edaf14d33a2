#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace ondrevan {

class AppSettings;

inline constexpr std::int32_t kMaximumAgeDays = 36500;

// A file the rules keep, and why.
struct KeptFile {
    FileEntry file;
    std::string reason;
};

// What the user chose in the options window. With every rule at its default a run does
// what it always did.
struct RunRules {
    std::int32_t minimumAgeDays = 0;        // 0: a file of any age goes
    std::vector<std::string> keepPatterns;  // a file whose name matches one stays
    std::vector<std::string> protectedFolders;
    bool recycleFiles = false;           // the files go to the Recycle Bin too
    bool removeEmptySubfolders = false;  // contents mode: sub-folders left empty go
    // Stored patterns that do not read ("KeepPatterns: ..."): they cannot say which files
    // were meant, so every folder keeps every file while they stand.
    std::string unreadable;

    bool KeepsFiles() const {
        return minimumAgeDays > 0 || !keepPatterns.empty() || !unreadable.empty();
    }
};

// The rules as stored. A stored value that does not read (edited by hand) never makes a
// run delete more than it would have.
RunRules ReadRunRules(const AppSettings& settings);

// The checks of the options window's fields: why the text cannot be stored, or nothing.
std::optional<std::string> MinimumAgeFault(std::string_view text);
std::optional<std::string> KeepPatternsFault(std::string_view text);
std::optional<std::string> ProtectedFoldersFault(std::string_view text);

// "*.keep; desktop.ini" as its patterns: split at ";", blanks trimmed, empty ones dropped.
std::vector<std::string> SplitKeepPatterns(std::string_view text);

// "*" any run of characters, "?" one character, anything else itself with letter case
// ignored as Windows ignores it in file names (FoldedCharacter); the whole name must match.
// "*.*" matches every name, also one without a dot.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace ondrevan
