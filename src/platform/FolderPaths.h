#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// Letter case as Windows ignores it in file names (ordinal comparison ignoring case): two
// characters are the same when Windows' upper-case table makes them one. That table covers
// the Basic Multilingual Plane only, maps every character to at most one other, and leaves
// alone what would become ASCII or longer (ß, ı, ſ, µ). A character folds to its upper
// case, an ASCII letter to its small one; names Windows takes for one fold to one text.
char32_t FoldedCharacter(char32_t c);
// The name (UTF-8) with each character folded; a byte that is no UTF-8 stays as it is.
std::string FoldedName(std::string_view name);
// The character of UTF-8 `text` at byte `at`, which moves past it. A byte that starts no
// well-formed character is one character of its own, 0xDC00 plus the byte, which is
// equal to no character that reads.
char32_t NextCharacter(std::string_view text, std::size_t& at);
// Appends one character, as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// The non-empty lines of a text that holds folders one a line, blanks and tabs trimmed.
std::vector<std::string> ProtectedFolderLines(std::string_view text);

// One written form for every way of writing the same folder, by the rules Windows itself
// applies: "/" is "\", runs of backslashes are one, "." and ".." are resolved, trailing
// dots and blanks of a name are dropped, a "\\?\" prefix is removed, letter case is
// folded (FoldedName), and no backslash ends it.
std::string LexicalFolderKey(std::string_view path);

// True when two entries name one folder in any of those written forms: how the list's
// duplicates, a folder's own rules and a run tell folders apart.
bool SameFolder(std::string_view a, std::string_view b);

// The folder as a run acts on it and names it: the key's resolution with the letter case
// kept, so that the folder the check judged is the one that is cleared and logged.
std::string CanonicalFolderPath(std::string_view path);

// The same key, taken from the folder's real path when it exists, so that 8.3 short names,
// junctions and symbolic links lead to the folder they stand for.
std::string FolderKey(FileSystem& fs, std::string_view path);

// True when the folder key names the folder of key `inner` or one above it.
bool KeyContains(std::string_view outer, std::string_view inner);

}  // namespace ondrevan
