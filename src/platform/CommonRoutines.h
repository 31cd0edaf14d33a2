#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondrevan {

class FileSystem;
class EventPump;
class Shell;
class SystemEnvironment;

inline constexpr const char* kProductName = "Ondrevan";

// True when the path's modification time can be read; never raises.
bool FileExists(FileSystem& fs, const std::string& path);
// The directory bit of the path; nothing when its attributes cannot be read.
std::optional<bool> IsFolder(FileSystem& fs, const std::string& path);
// Lets pending messages run once, then deletes the file, ignoring every error.
void DeleteFileQuietly(FileSystem& fs, EventPump& pump, const std::string& path);
// A shell special folder's path; "" when the shell has none.
std::string GetSpecialFolderPath(Shell& shell, std::int32_t csidl);
// The Windows system directory; "" on failure.
std::string GetSystemFolder(SystemEnvironment& environment);

// Doubled backslashes made single in one left-to-right pass; a leading run of
// backslashes (a network path) becomes exactly two.
std::string CollapseBackslashes(std::string_view path);
// Removes every character that cannot stand in a file name, and a few more.
std::string CleanFileName(std::string_view text);
// Cuts the last blank-separated word when it equals word (or word is ""), trimmed.
std::string StripLastWord(std::string_view text, std::string_view word);
// Seconds as "hh:mm:ss" within one day, the way a time of day is written.
std::string FormatCountdown(std::int32_t seconds);
// The application title made from a product name: words are cut from the end until it
// is at most 40 characters; a name without a blank stays whole.
std::string AppTitleFor(std::string_view productName);

}  // namespace ondrevan
