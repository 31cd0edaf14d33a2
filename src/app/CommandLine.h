#pragma once

#include <string>
#include <vector>

namespace ondrevan {

struct Services;

enum class CommandMode { Window, Preview, Run, Usage, BadUsage, Exit };

inline constexpr const char* kUsage =
    "Usage: Ondrevan.exe [/preview | /run | /exit | /?]\r\n"
    "\r\n"
    "  (none)    starts the program with its window; when it is already running,\r\n"
    "            brings that window to the front instead\r\n"
    "  /preview  writes what the next run would do, deleting nothing\r\n"
    "  /run      runs once with the stored list and settings, as a scheduled run does,\r\n"
    "            without a window; exits 0 when everything planned was done, 1 when\r\n"
    "            something could not be deleted or sent to the Recycle Bin, or when\r\n"
    "            another run over the list (the window's) was under way and this one\r\n"
    "            deleted nothing, 3 when your administrator requires a confirmation\r\n"
    "            before every run\r\n"
    "  /exit     closes the copy running on this desktop, as its close box does, and\r\n"
    "            waits for it to end (installers use it); exits 0 when none is left\r\n"
    "            running, 1 when one did not close\r\n"
    "  /?        shows this text\r\n"
    "\r\n"
    "Unknown switches show this text and exit with 2.\r\n";

// The switches after the program's name: at most one, "/" or "-" before it, any case.
CommandMode ParseCommandLine(const std::vector<std::string>& arguments);

// A run or a preview without a window, with the stored list, mode and rules. Writes what
// is to be shown to `output` and returns the exit code.
int RunFromCommandLine(CommandMode mode, const Services& services, std::string& output);

}  // namespace ondrevan
