#pragma once

#include <string>

namespace ondrevan {

struct LocalDateTime;
class SettingsStore;
struct Services;

// /status: the health of the schedule, for scripts; returns the exit code of HealthStatus.
int ShowStatus(const Services& services, std::string& output);

// /export FILE: every stored setting the administrator does not set, to a UTF-8 text file.
int ExportSettings(const Services& services, const std::string& file, std::string& output);

// /import FILE: the settings of such a file, all of them or, when one line is wrong, none
// (exit code 1). What a policy sets stays as it is.
int ImportSettings(const Services& services, const std::string& file, std::string& output);

// /exit, having closed the running copy: notes when, and whether its window was hidden in
// the tray, for /reopen.
void NoteClosedCopy(SettingsStore& settings, const LocalDateTime& now, bool hidden);

// /reopen, which installers run when they are done: how to start the program again, from
// the note of /exit, which it forgets. Only a note of the last five minutes counts (an
// uninstall closes the copy too, and nothing starts it again).
enum class Reopening { No, Window, Tray };
Reopening TakeClosedCopyNote(SettingsStore& settings, const LocalDateTime& now);

}  // namespace ondrevan
