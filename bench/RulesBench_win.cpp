// What the run rules cost: a preview and a run over 50,000 old files in one folder with an
// age and two keep patterns set (which keep none of them, so both runs delete the same),
// beside the same preview and run with no rule, on two folders made alike, in turns. With
// "folder", the rules are the folder's own instead: a cap of one file, the oldest by the last
// opening going first (so that it too deletes all but one file, after sorting them).
//   rules_bench.exe FOLDER_A FOLDER_B [rules-first|no-rules-first] [folder]
// tools/bench.sh makes the folders (files a month old) and flushes the disk first.
#include <windows.h>

#include <cstdio>
#include <string>

#include "delete/DelFolders.h"
#include "delete/ProtectedFolders.h"
#include "history/HistoryLog.h"
#include "platform/AppMessages.h"
#include "platform/win/Win32Platform.h"
#include "product/AppSettings.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace {

double NowMs() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

class NoHistory : public ondrevan::HistoryLog {
  public:
    void AppendLine(const std::string&, const std::string&) override {}
    void AppendMessage(const std::string&) override {}
};

struct Timing {
    double previewMs = 0, runMs = 0;
    std::uint64_t deleted = 0;
};

Timing Measure(const std::string& folder, bool rules, bool folderRules) {
    using namespace ondrevan;
    win::RegistrySettingsStore store;
    AppSettings settings(store);
    const bool optionRules = rules && !folderRules;
    settings.Save(keys::kMinimumAgeDays, optionRules ? "7" : "0");
    settings.Save(keys::kKeepPatterns, optionRules ? "*.keep; desktop.ini" : "");
    settings.Save(keys::kFolderRules,
                  rules && folderRules ? folder + "\tageby=opened;maxfiles=1" : "");
    win::Win32FileSystem fileSystem;
    win::Win32Shell shell;
    win::Win32Environment environment;
    win::Win32EventPump pump;
    win::Win32Clock clock;
    win::Win32Dialogs dialogs;
    AppMessages messages(dialogs);
    NoHistory history;
    const std::vector<std::string> entries = {folder};
    ProtectedFolders protectedFolders({fileSystem, shell, environment, settings, dialogs});
    DelFolders deleter({fileSystem, shell, pump, dialogs, history, protectedFolders});
    Timing timing;
    double start = NowMs();
    // Contents mode: the folder stays for the other side.
    const RunChoices choices = ReadRunChoices(settings, false, clock.UtcSeconds());
    const auto plans = deleter.PlanRun(entries, choices);
    timing.previewMs = NowMs() - start;
    start = NowMs();
    const RunReport report = deleter.DeleteFoldersFiles(entries, choices);
    timing.runMs = NowMs() - start;
    timing.deleted = report.totals.filesDeleted;
    settings.Save(keys::kMinimumAgeDays, "0");
    settings.Save(keys::kKeepPatterns, "");
    settings.Save(keys::kFolderRules, "");
    return timing;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    char a[MAX_PATH], b[MAX_PATH];
    ::WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, a, MAX_PATH, nullptr, nullptr);
    ::WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, b, MAX_PATH, nullptr, nullptr);
    const bool rulesFirst = argc > 3 && std::wstring(argv[3]) == L"rules-first";
    const bool folderRules = argc > 4 && std::wstring(argv[4]) == L"folder";
    Timing with, without;
    if (rulesFirst) {
        with = Measure(a, true, folderRules);
        without = Measure(b, false, folderRules);
    } else {
        without = Measure(b, false, folderRules);
        with = Measure(a, true, folderRules);
    }
    std::printf("preview and run over one folder of old files, %s (%s first)\n",
                folderRules ? "the folder's own cap by last opening" : "the options' rules",
                rulesFirst ? "rules" : "no rules");
    std::printf("  rules on   preview %8.1f ms  run %8.1f ms  (%llu deleted)\n", with.previewMs,
                with.runMs, static_cast<unsigned long long>(with.deleted));
    std::printf("  rules off  preview %8.1f ms  run %8.1f ms  (%llu deleted)\n", without.previewMs,
                without.runMs, static_cast<unsigned long long>(without.deleted));
    std::printf("  ratio      preview %8.2f     run %8.2f\n", with.previewMs / without.previewMs,
                with.runMs / without.runMs);
    return 0;
}
