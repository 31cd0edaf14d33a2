// For scripts: "wait" returns 0 once the program's window is visible (1 after a timeout
// in seconds, default 30); "close" asks the window to close as the close box would.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    if (std::wcscmp(argv[1], L"wait") == 0) {
        const int seconds = argc > 2 ? _wtoi(argv[2]) : 30;
        for (int i = 0; i < seconds * 20; ++i) {
            HWND window = ::FindWindowW(L"OndrevanForm1", nullptr);
            if (window && ::IsWindowVisible(window)) return 0;
            ::Sleep(50);
        }
        return 1;
    }
    if (std::wcscmp(argv[1], L"close") == 0) {
        HWND window = ::FindWindowW(L"OndrevanForm1", nullptr);
        if (!window) return 1;
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
