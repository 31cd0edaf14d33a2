#pragma once

#include <string>

namespace ondrevan {

// What the tray icon's tip is made of, already written in the user's formats.
struct TrayFacts {
    bool on = false;
    std::string nextRun;         // "1:00:00 PM", "Monday 1:00:00 PM"; "" when not known
    std::string lastRunTime;     // "" when no run was made since the program started
    std::string lastRunDate;     // "" when the last run was today
    std::string lastRunOutcome;  // RunOutcome of that run
    std::string monthFreed;      // "This month: 3.2 GB freed"; "" when nothing was
};

// The tip: the state first, then the last run with what it did, within the 127 characters a
// tip holds (the outcome is shortened where it must be, never the state):
// "Ondrevan: automatic deletion on, next run 1:00:00 PM\nLast run 12:00:00 PM: 10 files
// (98 KB) and 3 folders to the Recycle Bin", then what this month freed on a line of its own
// when it fits whole.
std::string TrayTipText(const TrayFacts& facts);

// The balloon after the hot key switched automatic deletion while the window is hidden.
std::string SwitchBalloonText(bool on, const std::string& nextRun);

}  // namespace ondrevan
