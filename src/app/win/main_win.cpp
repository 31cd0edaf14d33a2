#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "platform/win/Win32Services.h"

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

    win::Win32Services real;
    Form1 form(real.services());
    real.notifyIcon.Create(instance, form.cSysTray1);

    int exitCode = 1;
    {
        win::MainWindow window(instance, form, real.dialogs);
        if (window.Create()) {
            real.SetOwner(window.Handle());
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
