#pragma once

namespace ondrevan {

class SettingsStore;
class FileSystem;
class Shell;
class Dialogs;
class Clock;
class EventPump;
class Locale;
class SystemEnvironment;
class AnsiCodePage;
class Clipboard;
class KeyboardHook;
class NotifyIcon;
class Registry;
class RunLock;
class EventLog;
class SingleCopy;

// The operating system as the program reaches it: every seam, passed in once.
struct Services {
    SettingsStore& settings;
    FileSystem& fileSystem;
    Shell& shell;
    Dialogs& dialogs;
    Clock& clock;
    EventPump& pump;
    Locale& locale;
    SystemEnvironment& environment;
    AnsiCodePage& ansi;
    Clipboard& clipboard;
    KeyboardHook& keyboardHook;
    NotifyIcon& notifyIcon;
    Registry& registry;
    RunLock& runLock;              // one run at a time over the list, in every copy
    EventLog* eventLog = nullptr;  // the Application log; none: nothing is reported
    SingleCopy* copies = nullptr;  // the copies with a window; none: not known here
};

}  // namespace ondrevan
