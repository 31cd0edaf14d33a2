#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

struct Services;

enum class CommandMode {
    Window,
    Preview,
    Run,
    Usage,
    BadUsage,
    Status,
    Export,
    Import,
    Exit,
    Reopen,
};

inline constexpr const char* kUsage =
    "Usage: Ondrevan.exe [/preview | /run | /status | /export FILE | /import FILE | /exit |\r\n"
    "                    /reopen | /?]\r\n"
    "\r\n"
    "  (none)    starts the program with its window; when it is already running,\r\n"
    "            brings that window to the front instead\r\n"
    "  /preview  writes what the next run would do, deleting nothing\r\n"
    "  /run      runs once with the stored list and settings, as a scheduled run does,\r\n"
    "            without a window; exits 0 when everything planned was done, 1 when\r\n"
    "            something could not be deleted or sent to the Recycle Bin, or when\r\n"
    "            the run lock was held (another run over the list, the window's, or a\r\n"
    "            program holding its name) and this one deleted nothing, 3 when your\r\n"
    "            administrator requires a confirmation\r\n"
    "            before every run\r\n"
    "  /status   writes whether automatic deletion is on, the schedule, the next run, the\r\n"
    "            last scheduled run and its closing line, and the history file; exits 0\r\n"
    "            when all is well, adding 1 when the last scheduled run had failures and\r\n"
    "            4 when automatic deletion is on but no scheduled run has happened for\r\n"
    "            more than two intervals (two days for daily, two weeks for weekly)\r\n"
    "  /export FILE  writes the settings to a UTF-8 text file; this machine's record of\r\n"
    "            its runs stays behind\r\n"
    "  /import FILE  reads such a file back (UTF-8, or UTF-16 with its byte-order mark):\r\n"
    "            all of it, or nothing when a line is wrong (exits 1 and names the line)\r\n"
    "            or when it holds no setting; what your administrator sets stays\r\n"
    "  /exit     closes the copy running on this desktop, as its close box does, and\r\n"
    "            waits for it to end (installers use it); exits 0 when none is left\r\n"
    "            running, 1 when one did not close\r\n"
    "  /reopen   starts the program again as /exit left it, hidden in the tray when it\r\n"
    "            was, if /exit closed it in the last five minutes; else does nothing\r\n"
    "            (installers run it when they are done)\r\n"
    "  /?        shows this text\r\n"
    "\r\n"
    "Unknown switches show this text and exit with 2.\r\n";

// Whether a command line as Windows hands it over holds anything after the program's name,
// which is read as the system reads it: up to the next quote when it starts with one, else
// up to the first blank. The shell's parser, and the shell with it, are needed only then.
bool HasArgumentsAfterProgram(std::string_view commandLine);

// The switches after the program's name: at most one, "/" or "-" before it, any case;
// /export and /import take the file's path after them.
CommandMode ParseCommandLine(const std::vector<std::string>& arguments);

// A run or a preview without a window, with the stored list, mode and rules. Writes what
// is to be shown to `output` and returns the exit code.
// `file` is the path given to /export and /import.
int RunFromCommandLine(CommandMode mode, const Services& services, std::string& output,
                       const std::string& file = {});

}  // namespace ondrevan
