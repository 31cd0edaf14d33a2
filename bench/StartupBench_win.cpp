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

// Times two things alternately, so that both see the same machine, and prints the medians.
template <class First, class Second>
void Compare(const char* title, int runs, const char* firstName, const char* secondName,
             First first, Second second) {
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(first());
        b.push_back(second());
    }
    const double ma = Median(a), mb = Median(b);
    std::printf("%s, median of %d runs\n", title, runs);
    std::printf("  %-15s %8.1f ms\n", firstName, ma);
    std::printf("  %-15s %8.1f ms\n", secondName, mb);
    std::printf("  %-15s %8.2f\n", "ratio", ma / mb);
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
    Compare(
        "start-up to visible window", runs, "Ondrevan", "minimal window",
        [&] { return TimeToWindow(argv[1], L"OndrevanForm1"); },
        [&] { return TimeToWindow(argv[2], L"OndrevanBenchMinimal"); });
    Compare(
        "start-up with a stored folder list", runs, "32,766 entries", "empty list",
        [&] {
            StoreFolderList(32766);
            return TimeToWindow(argv[1], L"OndrevanForm1");
        },
        [&] {
            StoreFolderList(0);
            return TimeToWindow(argv[1], L"OndrevanForm1");
        });
    return 0;
}
