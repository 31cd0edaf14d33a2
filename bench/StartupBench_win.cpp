// Prints the time from process start to a visible main window, for Ondrevan and for a
// minimal window program, measured alternately in the same run, and their ratio.
//   startup_bench.exe PROGRAM.exe MINIMAL.exe [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds until a visible window of the class shows; the program is then closed.
double TimeToWindow(const std::wstring& exe, const wchar_t* windowClass) {
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = Now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return -1;
    HWND window = nullptr;
    double shown = -1;
    while (Now() - start < 30000) {
        window = ::FindWindowW(windowClass, nullptr);
        if (window && ::IsWindowVisible(window)) {
            shown = Now() - start;
            break;
        }
        ::Sleep(1);
    }
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return shown;
}

// Stores a folder list of the given length, as the program keeps it.
void StoreFolderList(int entries) {
    std::wstring joined;
    for (int i = 0; i < entries; ++i)
        joined += L"C:\\Data\\Projects\\Folder " + std::to_wstring(i) + L"\\|234SSDEPERATATORZZ|";
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER,
                      L"Software\\VB and VBA Program Settings\\Quillmere\\Ondrevan", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr);
    ::RegSetValueExW(key, L"Folders", 0, REG_SZ, reinterpret_cast<const BYTE*>(joined.c_str()),
                     static_cast<DWORD>((joined.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM MINIMAL [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? _wtoi(argv[3]) : 7;
    TimeToWindow(argv[1], L"OndrevanForm1");  // warm the caches once, uncounted
    TimeToWindow(argv[2], L"OndrevanBenchMinimal");
    std::vector<double> program, minimal;
    for (int i = 0; i < runs; ++i) {
        program.push_back(TimeToWindow(argv[1], L"OndrevanForm1"));
        minimal.push_back(TimeToWindow(argv[2], L"OndrevanBenchMinimal"));
    }
    const double p = Median(program), m = Median(minimal);
    std::printf("start-up to visible window, median of %d runs\n", runs);
    std::printf("  Ondrevan        %8.1f ms\n", p);
    std::printf("  minimal window  %8.1f ms\n", m);
    std::printf("  ratio           %8.2f\n", p / m);

    std::vector<double> full, empty;
    for (int i = 0; i < runs; ++i) {
        StoreFolderList(32766);
        full.push_back(TimeToWindow(argv[1], L"OndrevanForm1"));
        StoreFolderList(0);
        empty.push_back(TimeToWindow(argv[1], L"OndrevanForm1"));
    }
    const double f = Median(full), e = Median(empty);
    std::printf("start-up with a stored folder list, median of %d runs\n", runs);
    std::printf("  32,766 entries  %8.1f ms\n", f);
    std::printf("  empty list      %8.1f ms\n", e);
    std::printf("  ratio           %8.2f\n", f / e);
    return 0;
}
