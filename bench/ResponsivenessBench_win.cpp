// How long the window keeps a caller waiting while a run deletes: a second thread asks the
// main window for an answer (WM_NULL) every 50 ms and notes the longest wait. Each run is
// measured twice in the same process: as the program runs it, letting window messages
// through, and with a pump that lets nothing through, as runs did before.
//   responsiveness_bench.exe files FOLDER_A FOLDER_B   one folder of many files, each way
//   responsiveness_bench.exe missing COUNT            COUNT listed folders that are not there
//   responsiveness_bench.exe preview ROOT COUNT       the preview's count over ROOT\0 to
//                                                     ROOT\COUNT-1, its window shown
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "app/win/PreviewWindow_win.h"
#include "platform/EventPump.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Services.h"

namespace {

using ondrevan::Form1;
using ondrevan::win::MainWindow;
using ondrevan::win::Win32Services;

double NowMs() {
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The run as it was: nothing else runs until it is over.
class NoPump : public ondrevan::EventPump {
  public:
    void DoEvents() override {}
    void WaitForEvents(int) override {}
};

struct Figures {
    double runMs = 0;
    double longestWaitMs = 0;
    int pings = 0;
};

Figures MeasureRun(const std::vector<std::string>& folders, bool pumping) {
    Win32Services real;
    NoPump noPump;
    const ondrevan::Services all = real.services();
    ondrevan::EventPump& pump = pumping ? all.pump : noPump;
    const ondrevan::Services services{
        all.settings, all.fileSystem,  all.shell, all.dialogs,   all.clock,        pump,
        all.locale,   all.environment, all.ansi,  all.clipboard, all.keyboardHook, all.notifyIcon,
        all.registry, all.runLock};
    Form1 form(services);
    MainWindow window(::GetModuleHandleW(nullptr), form, real.dialogs);
    Figures figures;
    if (!window.Create()) return figures;
    real.SetOwner(window.Handle());
    form.Form_Load();
    window.ShowAfterLoad();
    form.Option2.SetValue(true);  // contents mode: nothing goes to the Recycle Bin
    form.ListView1.Clear();
    form.ListView1.AddRange(folders);

    struct Pinger {
        HWND target;
        std::atomic<bool> done{false};
        double longest = 0;
        int pings = 0;
        static DWORD WINAPI Run(void* self) {
            auto& p = *static_cast<Pinger*>(self);
            while (!p.done) {
                const double start = NowMs();
                DWORD_PTR result = 0;
                ::SendMessageTimeoutW(p.target, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
                const double waited = NowMs() - start;
                if (waited > p.longest) p.longest = waited;
                ++p.pings;
                ::Sleep(50);
            }
            return 0;
        }
    } pinger{window.Handle()};
    HANDLE thread = ::CreateThread(nullptr, 0, &Pinger::Run, &pinger, 0, nullptr);
    // The pinger gets under way before the run starts; meanwhile this thread answers it.
    for (const double until = NowMs() + 200; NowMs() < until;) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    const double start = NowMs();
    form.DeleteControls().DeleteFoldersFiles(ondrevan::RunTrigger::Button);
    figures.runMs = NowMs() - start;
    pinger.done = true;
    // The pinger's last question may be waiting for this thread: answer until it has gone.
    while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) !=
           WAIT_OBJECT_0) {
        MSG message;
        ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // takes sent messages in
    }
    ::CloseHandle(thread);
    figures.longestWaitMs = pinger.longest;
    figures.pings = pinger.pings;
    ::DestroyWindow(window.Handle());
    return figures;
}

// The preview as the menu shows it: its window made and shown, then the count over the whole
// list, timed from the click to the totals.
void MeasurePreview(const std::vector<std::string>& folders) {
    Win32Services real;
    Form1 form(real.services());
    MainWindow window(::GetModuleHandleW(nullptr), form, real.dialogs);
    if (!window.Create()) return;
    real.SetOwner(window.Handle());
    form.Form_Load();
    window.ShowAfterLoad();
    form.ListView1.Clear();
    form.ListView1.AddRange(folders);
    ondrevan::PreviewForm& preview = form.ShowPreview();
    ondrevan::win::PreviewWindow shown(::GetModuleHandleW(nullptr), window.Handle(), preview,
                                       [](const std::function<void()>& handler) { handler(); });
    if (!shown.Show()) return;
    for (int pass = 1; pass <= 3; ++pass) {
        const double start = NowMs();
        preview.cmdRefresh_Click();
        std::printf("  count %d: %8.1f ms   %s\n", pass, NowMs() - start,
                    preview.lblTotals.Caption().c_str());
    }
    ::DestroyWindow(window.Handle());
}

void Print(const char* what, const Figures& figures) {
    std::printf("  %-30s run %9.1f ms   longest wait %8.1f ms   (%d pings)\n", what, figures.runMs,
                figures.longestWaitMs, figures.pings);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    ::RegDeleteTreeW(HKEY_CURRENT_USER,
                     L"Software\\VB and VBA Program Settings\\Quillmere\\Ondrevan");
    if (mode == L"files" && argc > 3) {
        const std::string a = ondrevan::win::Narrow(argv[2]), b = ondrevan::win::Narrow(argv[3]);
        std::printf("a run over one folder of many files\n");
        const Figures ours = MeasureRun({a}, true);
        const Figures before = MeasureRun({b}, false);
        Print("letting the window answer", ours);
        Print("as before (nothing between)", before);
        std::printf("  ratio of the run times %.3f\n", ours.runMs / before.runMs);
        return 0;
    }
    if (mode == L"missing" && argc > 2) {
        const int count = _wtoi(argv[2]);
        std::vector<std::string> folders;
        for (int i = 0; i < count; ++i)
            folders.push_back("C:\\ondrevan-bench-missing\\" + std::to_string(i));
        std::printf("a run over %d listed folders that are not there\n", count);
        const Figures ours = MeasureRun(folders, true);
        const Figures before = MeasureRun(folders, false);
        Print("letting the window answer", ours);
        Print("as before (nothing between)", before);
        std::printf("  ratio of the run times %.3f\n", ours.runMs / before.runMs);
        return 0;
    }
    if (mode == L"preview" && argc > 3) {
        const std::string root = ondrevan::win::Narrow(argv[2]);
        const int count = _wtoi(argv[3]);
        std::vector<std::string> folders;
        for (int i = 0; i < count; ++i) folders.push_back(root + "\\" + std::to_string(i));
        std::printf(
            "the preview's count over %d listed folders (the first pass pays for cold "
            "caches)\n",
            count);
        MeasurePreview(folders);
        return 0;
    }
    return 2;
}
