// The Run History window's model over a record of 100,000 runs, the chart's bars for each
// span, and what the record adds to a run. Native and optimised: the figures are the core's
// own; what Wine's drawing adds is measured by the window's own walk, not here. Prints
// medians, asserts nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "DeleterAlone.h"
#include "app/ExclusiveRun.h"
#include "app/RunHistory.h"
#include "app/RunHistoryForm.h"
#include "history/RunRecord.h"
#include "history/RunRecorder.h"
#include "platform/AppMessages.h"

using namespace ondrevan;
using Stopwatch = std::chrono::steady_clock;

namespace {

double MedianMs(int rounds, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Stopwatch::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::string RecordOf(std::size_t runs, RecordTime end) {
    std::vector<RecordRow> rows;
    for (std::size_t i = 0; i < runs; ++i) {
        RecordRow run;
        run.start = end - static_cast<RecordTime>(runs - i) * 600;  // one every 10 minutes
        run.trigger = RunTrigger::Schedule;
        run.runs = 1;
        run.filesDeleted = 1 + i % 50;
        run.bytesDeleted = 4096 * (1 + i % 50);
        rows.push_back(run);
        RecordRow folder;
        folder.kind = RecordRow::Kind::Folder;
        folder.start = run.start;
        folder.runs = 1;
        folder.bytesFreed = run.bytesDeleted;
        folder.folder = "C:\\Users\\ann\\Downloads\\cache" + std::to_string(i % 40);
        rows.push_back(folder);
    }
    return RecordText(rows);
}

}  // namespace

int main() {
    testing::FakeLocale locale;
    const LocalDateTime now = LocalTimeOf(*ParseRecordTime("2026-12-09 14:00:00"));
    const std::string text = RecordOf(100000, RecordTimeOf(now));
    std::printf("== Run History over a record of 100,000 runs (%.1f MB, unfolded)\n",
                text.size() / 1048576.0);
    std::vector<RecordRow> rows;
    const double read = MedianMs(5, [&] { rows = ParseRecord(text); });
    double model = MedianMs(5, [&] { RunHistory opened(rows, now, locale); });
    std::printf(
        "reading the record: %.1f ms; the window's model (totals, 30 days' bars, tables): "
        "%.1f ms; opening in all: %.1f ms\n",
        read, model, read + model);
    // The window's own way in, cold: the record read from its file by a recorder that has not
    // read it before, its rows taken, the model worked out and the tables filled.
    {
        testing::FakeSystem sys;
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFile("C:\\Temp\\Ondrevan.runs.csv", text);
        sys.clock.Set(2026, 12, 9, 14, 0, 0);
        AppMessages messages(sys.dialogs);
        const std::string historyPath = "C:\\Temp\\Ondrevan.txt";
        double reading = 0;
        const double opening = MedianMs(5, [&] {
            RunRecorder record(sys.fileSystem);
            record.SetFilePath("C:\\Temp\\Ondrevan.runs.csv");
            const auto start = Stopwatch::now();
            record.Rows();
            reading = std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
            RunHistoryForm form({record, sys.clock, sys.locale, sys.clipboard, sys.dialogs,
                                 messages, sys.fileSystem, sys.ansi, historyPath});
            form.Refresh();
        });
        std::printf(
            "opening the window's form from the file (the file read %.1f ms of it): "
            "%.1f ms\n",
            reading, opening);
    }
    // A reference measured in the same run: copying the record's text once.
    const double copying = MedianMs(5, [&] {
        std::string copy = text;
        if (copy.empty()) std::printf("-");
    });
    std::printf("reference, copying the record's 15 MB once: %.1f ms\n", copying);

    RunHistory opened(rows, now, locale);
    for (ChartSpan span : {ChartSpan::Days30, ChartSpan::Weeks12, ChartSpan::Months12}) {
        const double bars = MedianMs(5, [&] { opened.SetSpan(span); });
        std::printf("  %s: bars and tables again %.2f ms (%zu runs in the table)\n",
                    kChartSpanNames[static_cast<int>(span)], bars, opened.RunCount());
    }
    const double sorted = MedianMs(5, [&] { opened.SortRunsBy(RunColumn::Freed); });
    std::printf("sorting the runs by Freed: %.2f ms\n", sorted);

    // A run of 2,000 files, with and without its record; the same run each time.
    std::printf("== A run's cost with the record (2,000 files in 4 folders)\n");
    // Only the run is timed, not the making of its files.
    const auto runOnce = [](bool recorded) {
        testing::DeleterAlone alone;
        alone.sys.fileSystem.AddFolder("C:\\Temp");
        std::vector<std::string> entries;
        for (int f = 0; f < 4; ++f) {
            const std::string folder = "C:\\Data" + std::to_string(f);
            alone.sys.fileSystem.AddFolder(folder);
            for (int i = 0; i < 500; ++i)
                alone.sys.fileSystem.AddFile(folder + "\\f" + std::to_string(i), "12345");
            entries.push_back(folder);
        }
        RunRecorder record(alone.sys.fileSystem);
        record.SetFilePath("C:\\Temp\\Ondrevan.runs.csv");
        RunRecording recording{alone.sys.clock, record};
        testing::FakeRunLock lock;
        ExclusiveRun runs(lock, alone.history, recorded ? &recording : nullptr);
        const auto start = Stopwatch::now();
        runs.Run([&] { return alone.RunList(entries, false); }, RunTrigger::Button);
        return std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
    };
    for (int round = 0; round < 3; ++round) {
        double medians[2];
        // In turn, the order changing each round.
        for (int k = 0; k < 2; ++k) {
            const int recorded = (k + round) % 2;
            std::vector<double> times;
            for (int i = 0; i < 7; ++i) times.push_back(runOnce(recorded != 0));
            std::sort(times.begin(), times.end());
            medians[recorded] = times[3];
        }
        std::printf("round %d: without %.2f ms, with %.2f ms, ratio %.3f\n", round + 1, medians[0],
                    medians[1], medians[1] / medians[0]);
    }
    return 0;
}
