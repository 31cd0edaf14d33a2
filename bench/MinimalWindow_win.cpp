// The yardstick for start-up time: the least a Win32 program does to show a window.
#include <windows.h>

static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"OndrevanBenchMinimal";
    ::RegisterClassW(&windowClass);
    HWND window =
        ::CreateWindowW(L"OndrevanBenchMinimal", L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
