#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "platform/win/Win32Platform.h"

using namespace ondrevan;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX common{};
    common.dwSize = sizeof common;
    common.dwICC =
        ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&common);
    // The shell's dialogs and file operations want a single-threaded apartment.
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    win::RegistrySettingsStore settings;
    win::Win32FileSystem fileSystem;
    win::Win32Shell shell;
    win::Win32Dialogs dialogs;
    win::Win32Clock clock;
    win::Win32EventPump pump;
    win::Win32Locale locale;
    win::Win32Environment environment;
    win::Win32AnsiCodePage ansi;
    win::Win32Clipboard clipboard;
    Form1 form(
        {settings, fileSystem, shell, dialogs, clock, pump, locale, environment, ansi, clipboard});

    int exitCode = 1;
    {
        win::MainWindow window(instance, form, dialogs);
        if (window.Create()) {
            dialogs.SetOwner(window.Handle());
            shell.SetOwner(window.Handle());
            clipboard.SetOwner(window.Handle());
            pump.SetDialogWindow(window.Handle());
            form.Form_Load();
            window.ShowAfterLoad();

            MSG message;
            while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (::IsDialogMessageW(window.Handle(), &message)) continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            exitCode = static_cast<int>(message.wParam);
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return exitCode;
}
