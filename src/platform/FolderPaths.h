#pragma once

#include <string>
#include <string_view>

namespace ondrevan {

class FileSystem;

// "C:\..." or "\\server\share..." (also behind "\\?\"): a path that means the same
// whatever the current folder is.
bool IsFullyQualified(std::string_view path);

// True when the path holds a character that no Windows path can: a NUL or another control
// character, or one of * ? < > | " (the "?" of a leading "\\?\" aside). Such an entry would
// name something else than what it shows: a NUL ends the path early for Windows, a wildcard
// names many.
bool HasForbiddenPathCharacters(std::string_view path);

// One written form for every way of writing the same folder, by the rules Windows itself
// applies: "/" is "\", runs of backslashes are one, "." and ".." are resolved, trailing
// dots and blanks of a name are dropped, a "\\?\" prefix is removed, letter case is
// folded, and no backslash ends it.
std::string LexicalFolderKey(std::string_view path);

// The folder as a run acts on it and names it: the key's resolution with the letter case
// kept, so that the folder the check judged is the one that is cleared and logged.
std::string CanonicalFolderPath(std::string_view path);

// The same key, taken from the folder's real path when it exists, so that 8.3 short names,
// junctions and symbolic links lead to the folder they stand for.
std::string FolderKey(FileSystem& fs, std::string_view path);

// True when the folder key names the folder of key `inner` or one above it.
bool KeyContains(std::string_view outer, std::string_view inner);

}  // namespace ondrevan
