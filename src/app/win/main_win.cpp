#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/AdminCommands.h"
#include "app/CommandLine.h"
#include "app/ExclusiveRun.h"
#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "app/win/StartupStages_win.h"
#include "platform/AppError.h"
#include "platform/win/Console_win.h"
#include "platform/win/SingleCopy_win.h"
#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Services.h"

using namespace ondrevan;

namespace {

std::vector<std::string> Arguments() {
    std::vector<std::string> arguments;
    // Most starts have none, and then the window shows without loading the shell.
    if (!HasArgumentsAfterProgram(win::Narrow(::GetCommandLineW()))) return arguments;
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!words) return arguments;
    const win::UniqueHlocal owned(words);
    for (int i = 1; i < count; ++i) arguments.push_back(win::Narrow(words[i]));
    return arguments;
}

// /preview, /run and /?: no window, no tray icon, no keyboard hook.
int RunWithoutWindow(CommandMode mode, const std::vector<std::string>& arguments) {
    win::Win32Services real;
    win::ConsoleDialogs console;
    real.shell.SetQuiet(true);
    win::Win32SingleCopy copies(win::kMainWindowClass, win::kStartedAgainMessage);
    const Services services{real.settings, real.fileSystem, real.shell,        console,
                            real.clock,    real.pump,       real.locale,       real.environment,
                            real.ansi,     real.clipboard,  real.keyboardHook, real.notifyIcon,
                            real.registry, real.runLock,    &real.eventLog,    &copies};
    std::string output;
    int exitCode = RunFromCommandLine(mode, services, output,
                                      arguments.size() == 2 ? arguments[1] : std::string());
    // An error the run reported is a run that did not do everything it planned.
    if (mode == CommandMode::Run && console.Shown() > 0 && exitCode == 0) exitCode = 1;
    win::WriteToConsole(mode == CommandMode::BadUsage ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE,
                        output);
    return exitCode;
}

// /exit: the copy running on this desktop closes, and this one waits for it to end.
int CloseRunningCopy() {
    const win::CloseResult closed = win::CloseRunningCopies(win::kMainWindowClass, 30000);
    std::string said;
    if (closed.asked == 0)
        said = "Ondrevan was not running.\r\n";
    else if (closed.stillRunning == 0)
        said = "Ondrevan was closed.\r\n";
    else
        said = "Ondrevan did not close within 30 seconds; close it from its window.\r\n";
    win::WriteToConsole(closed.stillRunning == 0 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, said);
    if (closed.asked > 0 && closed.stillRunning == 0) {
        // For /reopen, which the installer runs when it is done. A note that cannot be written
        // leaves the copy closed, as before.
        try {
            win::RegistrySettingsStore settings;
            win::Win32Clock clock;
            NoteClosedCopy(settings, clock.Now(), closed.hidden > 0);
        } catch (const AppError&) {
        }
    }
    return closed.stillRunning == 0 ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    win::StartupStages stages;
    stages.Mark("program entered");
    const std::vector<std::string> arguments = Arguments();
    const CommandMode mode = ParseCommandLine(arguments);
    if (mode == CommandMode::Exit) return CloseRunningCopy();
    Reopening reopening = Reopening::Window;
    if (mode == CommandMode::Reopen) {
        win::RegistrySettingsStore settings;
        win::Win32Clock clock;
        try {
            reopening = TakeClosedCopyNote(settings, clock.Now());
        } catch (const AppError&) {
            reopening = Reopening::No;
        }
        if (reopening == Reopening::No) return 0;
    }
    INITCOMMONCONTROLSEX common{};
    common.dwSize = sizeof common;
    common.dwICC =
        ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&common);
    stages.Mark("common controls");
    // The shell's dialogs and file operations want a single-threaded apartment.
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    stages.Mark("COM");
    if (mode != CommandMode::Window && mode != CommandMode::Reopen) {
        const int exitCode = RunWithoutWindow(mode, arguments);
        if (SUCCEEDED(com)) ::CoUninitialize();
        return exitCode;
    }

    // Before anything that a second copy must not do twice: the tray icon, the keyboard hook,
    // the schedule and a missed run's catch-up are the first copy's alone.
    win::Win32SingleCopy copies(win::kMainWindowClass, win::kStartedAgainMessage);
    {
        win::Win32Dialogs dialogs;
        if (const auto exitCode = HandOverToFirstCopy(copies, dialogs)) {
            if (SUCCEEDED(com)) ::CoUninitialize();
            return *exitCode;
        }
    }
    stages.Mark("single copy");

    win::Win32Services real;
    stages.Mark("services");
    Form1 form(real.services());
    stages.Mark("Form1 and its parts");
    if (stages.On()) form.SetStageMark([&stages](const char* stage) { stages.Mark(stage); });
    if (reopening == Reopening::Tray) form.StartInTray();
    int exitCode = 1;
    {
        win::MainWindow window(instance, form, real.dialogs);
        if (stages.On()) window.SetStages(&stages);
        if (window.Create()) {
            real.SetOwner(window.Handle());
            real.notifyIcon.SetMenuHandler([&window](POINT at) { window.ShowTrayMenu(at); });
            // What the first paint shows; the rest after it (the tray's own window, made
            // only then, is a second top-level window), or all before the window shows when
            // it goes straight to the tray.
            form.LoadForFirstPaint();
            const auto rest = [&] {
                real.notifyIcon.Create(instance, form.cSysTray1);
                stages.Mark("tray's window");
                form.AfterFirstPaint();
            };
            if (form.WaitsForFirstPaint()) {
                window.ShowAfterLoad(rest);
            } else {
                rest();
                window.ShowAfterLoad();
                stages.Write();
            }

            MSG message;
            while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
                // The keyboard moves between the controls of whichever of our windows has it.
                HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
                wchar_t rootClass[32] = L"";
                if (root) ::GetClassNameW(root, rootClass, 32);
                if (root != window.Handle() &&
                    std::wstring_view(rootClass) != win::kToolWindowClass)
                    root = window.Handle();
                if (window.TranslateShortcut(message)) continue;
                if (::IsDialogMessageW(root, &message)) continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            exitCode = static_cast<int>(message.wParam);
            real.notifyIcon.SetMenuHandler(nullptr);
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return exitCode;
}
