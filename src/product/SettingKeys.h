#pragma once

namespace ondrevan::keys {

// Every setting lives under this application and section.
inline constexpr const char* kApplication = "Quillmere";
inline constexpr const char* kSection = "Ondrevan";

inline constexpr const char* kOption1 = "Option1";
inline constexpr const char* kOption2 = "Option2";
inline constexpr const char* kOption3 = "Option3";
inline constexpr const char* kOption4 = "Option4";
inline constexpr const char* kOption5 = "Option5";
inline constexpr const char* kCheck1 = "Check1";
inline constexpr const char* kWeeklyTime = "Weekly Time";
inline constexpr const char* kWeekly = "Weekly";
inline constexpr const char* kText1 = "Text1";
inline constexpr const char* kText2 = "Text2";
inline constexpr const char* kText3 = "Text3";
inline constexpr const char* kStartStopState = "StartStopState";
inline constexpr const char* kFolders = "Folders";
inline constexpr const char* kWindowsStartup = "Windows Startup";
inline constexpr const char* kMinimized = "Minimized";
// The rules of a run, set in the options window.
inline constexpr const char* kMinimumAgeDays = "MinimumAgeDays";
inline constexpr const char* kKeepPatterns = "KeepPatterns";
inline constexpr const char* kProtectedFolders = "ProtectedFolders";
inline constexpr const char* kRecycleFiles = "RecycleFiles";
inline constexpr const char* kRemoveEmptySubfolders = "RemoveEmptySubfolders";
// The rules single folders carry of their own, one line per folder.
inline constexpr const char* kFolderRules = "FolderRules";
// Scheduling, set in the options window too.
inline constexpr const char* kHotKey = "HotKey";
inline constexpr const char* kHotKeyPassThrough = "HotKeyPassThrough";
inline constexpr const char* kCatchUpMissedRuns = "CatchUpMissedRuns";
inline constexpr const char* kNotifyAfterRun = "NotifyAfterRun";
// When the last scheduled run happened, and when the switch was last turned on (a run
// missed before that, while it was off, is not caught up).
inline constexpr const char* kLastScheduledRun = "LastScheduledRun";
inline constexpr const char* kSwitchedOn = "SwitchedOn";
// The closing line of the last scheduled run and how many things it could not do.
inline constexpr const char* kLastScheduledRunSummary = "LastScheduledRunSummary";
inline constexpr const char* kLastScheduledRunProblems = "LastScheduledRunProblems";

// Set by /exit when it has closed the running copy, so that the installer that asked can
// start it again as it was: the time, a blank, and "tray" or "window".
inline constexpr const char* kClosedByExit = "ClosedByExit";

}  // namespace ondrevan::keys
