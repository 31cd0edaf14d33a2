#pragma once

#include "platform/Services.h"
#include "platform/win/EventLog_win.h"
#include "platform/win/KeyboardHook_win.h"
#include "platform/win/NotifyIcon_win.h"
#include "platform/win/Registry_win.h"
#include "platform/win/SingleCopy_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

// Every seam as Windows provides it, owned in one place.
struct Win32Services {
    RegistrySettingsStore settings;
    Win32FileSystem fileSystem;
    Win32Shell shell;
    Win32Dialogs dialogs;
    Win32Clock clock;
    Win32EventPump pump;
    Win32Locale locale;
    Win32Environment environment;
    Win32AnsiCodePage ansi;
    Win32Clipboard clipboard;
    Win32KeyboardHook keyboardHook;
    Win32NotifyIcon notifyIcon;
    Win32Registry registry;
    Win32RunLock runLock;
    Win32EventLog eventLog;

    Services services() {
        return {settings,     fileSystem, shell,       dialogs, clock,
                pump,         locale,     environment, ansi,    clipboard,
                keyboardHook, notifyIcon, registry,    runLock, &eventLog};
    }
    // Message boxes, the shell's windows and the clipboard belong to the main window.
    void SetOwner(HWND window) {
        dialogs.SetOwner(window);
        shell.SetOwner(window);
        clipboard.SetOwner(window);
        pump.SetDialogWindow(window);
        keyboardHook.SetTarget(window);
    }
};

}  // namespace ondrevan::win
