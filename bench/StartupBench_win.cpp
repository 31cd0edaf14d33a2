// Prints the time from process start to a visible main window, for Ondrevan, for a plain
// window holding the same controls and for a minimal window program, measured alternately
// in the same run, and Ondrevan's ratio to each; then where Ondrevan's start-up spends its
// time, stage by stage (the medians of the program's own marks, from the same start), and
// optionally an earlier build of it measured in the same rounds.
//   startup_bench.exe PROGRAM.exe PLAIN.exe MINIMAL.exe [RUNS] [EARLIER.exe]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Each stage Ondrevan marked, in the order first seen, with every run's figure.
struct Stages {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> times;
};

std::wstring StagesFile() {
    wchar_t folder[MAX_PATH];
    const DWORD length = ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder, length) + L"ondrevan-startup-stages.txt";
}

// Reads what the program wrote of its stages, and takes the file away.
void ReadStages(Stages& stages) {
    const std::wstring path = StagesFile();
    FILE* file = _wfopen(path.c_str(), L"r");
    if (!file) return;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        std::string text(line);
        const std::size_t tab = text.find('\t');
        if (tab == std::string::npos) continue;
        const std::string name = text.substr(0, tab);
        if (!stages.times.count(name)) stages.order.push_back(name);
        stages.times[name].push_back(std::atof(text.c_str() + tab + 1));
    }
    std::fclose(file);
    ::DeleteFileW(path.c_str());
}

// Milliseconds until a visible window of the class shows; the program is then closed. Ondrevan
// is asked for its own marks, from the same start, kept in `stages` if given, and is closed
// only once it wrote them, after its whole start-up: closed at once, it would leave the tray
// and the hook half done, and the next program started would pay for that.
double TimeToWindow(const std::wstring& exe, const wchar_t* windowClass, Stages* stages = nullptr) {
    Stages unused;
    if (std::wstring_view(windowClass) == L"OndrevanForm1" && !stages) stages = &unused;
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (stages) ::DeleteFileW(StagesFile().c_str());
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    ::SetEnvironmentVariableW(
        L"ONDREVAN_STARTUP_STAGES",
        stages ? (std::to_wstring(counter.QuadPart) + L";" + StagesFile()).c_str() : nullptr);
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
    while (stages && shown >= 0 && Now() - start < 30000 &&
           ::GetFileAttributesW(StagesFile().c_str()) == INVALID_FILE_ATTRIBUTES)
        ::Sleep(1);
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    ::SetEnvironmentVariableW(L"ONDREVAN_STARTUP_STAGES", nullptr);
    if (stages) ReadStages(*stages);
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

struct Contender {
    const char* name;
    std::function<double()> measure;
};

// Times several things in turn, so that all see the same machine, and prints the medians
// and the first one's ratio to each of the others.
void Compare(const char* title, int runs, const std::vector<Contender>& contenders) {
    std::vector<std::vector<double>> times(contenders.size());
    for (int i = 0; i < runs; ++i)
        for (std::size_t k = 0; k < contenders.size(); ++k)
            times[k].push_back(contenders[k].measure());
    std::vector<double> medians;
    for (const auto& each : times) medians.push_back(Median(each));
    std::printf("%s, median of %d runs\n", title, runs);
    for (std::size_t k = 0; k < contenders.size(); ++k)
        std::printf("  %-28s %8.1f ms\n", contenders[k].name, medians[k]);
    for (std::size_t k = 1; k < contenders.size(); ++k)
        std::printf("  ratio to %-19s %8.2f\n", contenders[k].name, medians[0] / medians[k]);
}

// The median of each stage, and what it took after the one before.
void PrintStages(const char* title, const Stages& stages) {
    if (stages.order.empty()) return;
    std::printf("%s: Ondrevan's stages, medians, ms from the process start\n", title);
    double before = 0;
    for (const std::string& name : stages.order) {
        const double at = Median(stages.times.at(name));
        std::printf("  %-34s %8.1f  (+%6.1f)\n", name.c_str(), at, at - before);
        before = at;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench PROGRAM PLAIN MINIMAL [RUNS]\n");
        return 2;
    }
    const int runs = argc > 4 ? _wtoi(argv[4]) : 7;
    Stages stages, listStages;
    Stages* into = nullptr;
    auto ondrevan = [&] { return TimeToWindow(argv[1], L"OndrevanForm1", into); };
    auto plain = [&] { return TimeToWindow(argv[2], L"OndrevanBenchPlain"); };
    auto minimal = [&] { return TimeToWindow(argv[3], L"OndrevanBenchMinimal"); };
    ondrevan();  // warm the caches once, uncounted
    plain();
    minimal();
    std::vector<Contender> contenders{{"Ondrevan",
                                       [&] {
                                           into = &stages;
                                           const double ms = ondrevan();
                                           into = nullptr;
                                           return ms;
                                       }},
                                      {"plain window, same controls", plain},
                                      {"minimal window", minimal}};
    if (argc > 5) {
        const std::wstring earlier = argv[5];
        TimeToWindow(earlier, L"OndrevanForm1");
        contenders.push_back(
            {"earlier build", [earlier] { return TimeToWindow(earlier, L"OndrevanForm1"); }});
    }
    Compare("start-up to visible window", runs, contenders);
    PrintStages("empty list", stages);
    Compare("start-up with a stored folder list", runs,
            {{"32,766 entries",
              [&] {
                  StoreFolderList(32766);
                  into = &listStages;
                  const double ms = ondrevan();
                  into = nullptr;
                  return ms;
              }},
             {"empty list", [&] {
                  StoreFolderList(0);
                  return ondrevan();
              }}});
    PrintStages("32,766 entries", listStages);
    return 0;
}
