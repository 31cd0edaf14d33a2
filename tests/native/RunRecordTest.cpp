#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/ExclusiveRun.h"
#include "app/Form1.h"
#include "history/RunRecord.h"
#include "history/RunRecorder.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

const std::string kHeader =
    "\xEF\xBB\xBF"
    "kind,start,milliseconds,trigger,runs,idle_runs,files_deleted,bytes_deleted,files_to_bin,"
    "folders_to_bin,bytes_to_bin,files_kept,refused,failures,bytes_freed,folder\r\n";

RecordTime At(const char* text) {
    return *ParseRecordTime(text);
}

RecordRow RunAt(const char* start, std::uint64_t files, std::uint64_t bytes,
                RunTrigger by = RunTrigger::Schedule) {
    RecordRow row;
    row.start = At(start);
    row.trigger = by;
    row.runs = 1;
    row.filesDeleted = files;
    row.bytesDeleted = bytes;
    row.milliseconds = 40;
    return row;
}

RecordRow Folder(const char* start, const std::string& folder, std::uint64_t bytes) {
    RecordRow row;
    row.kind = RecordRow::Kind::Folder;
    row.start = At(start);
    row.runs = 1;
    row.bytesFreed = bytes;
    row.folder = folder;
    return row;
}

TEST(RunRecord, EachKindOfRowIsWrittenAsOneCsvLineAndReadBackTheSame) {
    RecordRow recycled = RunAt("2026-12-09 13:02:05", 3, 300, RunTrigger::Button);
    recycled.filesToBin = 2;
    recycled.bytesToBin = 2048;
    recycled.foldersToBin = 1;
    recycled.filesKept = 4;
    recycled.refused = 1;
    recycled.failures = 2;
    RecordRow day;
    day.kind = RecordRow::Kind::Day;
    day.start = At("2026-12-08");
    day.runs = 41;
    day.idleRuns = 86000;
    day.filesDeleted = 12004;
    day.bytesDeleted = 3435973837;
    const struct {
        RecordRow row;
        std::string line;
    } cases[] = {
        {recycled, "run,2026-12-09 13:02:05,40,button,1,0,3,300,2,1,2048,4,1,2,2348,\"\"\r\n"},
        {day, "day,2026-12-08,0,,41,86000,12004,3435973837,0,0,0,0,0,0,3435973837,\"\"\r\n"},
        // A path may hold commas, quotes and any character: it is always quoted.
        {Folder("2026-12-09 13:02:05", "C:\\a,b \"c\" \xE6\x97\xA5", 77),
         "folder,2026-12-09 13:02:05,0,,1,0,0,0,0,0,0,0,0,0,77,\"C:\\a,b \"\"c\"\" "
         "\xE6\x97\xA5\"\r\n"},
        {RunAt("2026-01-01 00:00:00", 0, 0, RunTrigger::CatchUp),
         "run,2026-01-01 00:00:00,40,caught-up,1,0,0,0,0,0,0,0,0,0,0,\"\"\r\n"},
        {RunAt("1999-12-31 23:59:59", 1, 1, RunTrigger::CommandLine),
         "run,1999-12-31 23:59:59,40,/run,1,0,1,1,0,0,0,0,0,0,1,\"\"\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordLine(c.row), c.line);
        const std::vector<RecordRow> read = ParseRecord(kHeader + c.line);
        ASSERT_EQ(read.size(), 1u) << c.line;
        EXPECT_EQ(read[0], c.row) << c.line;
    }
    EXPECT_EQ(RecordHeader(), kHeader);
}

TEST(RunRecord, ReadsWhatItCanAndPassesOverWhatDoesNotReadWhole) {
    const std::string good = "run,2026-12-09 13:02:05,40,button,1,0,3,300,0,0,0,0,0,0,300,\"\"\r\n";
    const struct {
        const char* what;
        std::string text;
        std::size_t rows;
        std::uint64_t bytes;  // what the rows read free together
    } cases[] = {
        {"a whole file", kHeader + good + good, 2, 600},
        {"a last line torn by a crash", kHeader + good + "run,2026-12-09 13:05:00,40,button,1,0,9",
         1, 300},
        {"a torn line inside the folder, closed by the next run",
         kHeader + "folder,2026-12-09 13:02:05,0,,1,0,0,0,0,0,0,0,0,0,77,\"C:\\Da\r\n" + good, 1,
         300},
        {"a torn line closed by the next run", kHeader + "run,2026-12-09 13:05:00,40\r\n" + good, 1,
         300},
        {"a later version's columns, one of them before ours",
         "kind,zone,start,milliseconds,trigger,runs,idle_runs,files_deleted,bytes_deleted,"
         "files_to_bin,folders_to_bin,bytes_to_bin,files_kept,refused,failures,bytes_freed,"
         "folder,user,cpu_ms\n"
         "run,+01:00,2026-12-09 13:02:05,40,button,1,0,3,300,0,0,0,0,0,0,300,\"\",\"ann\",12\n",
         1, 300},
        {"a later version's kind of row", kHeader + "pause,2026-12-09,0\r\n" + good, 1, 300},
        {"a file without the UTF-8 mark", kHeader.substr(3) + good, 1, 300},
        {"a number that does not read",
         kHeader + "run,2026-12-09 13:02:05,40,button,1,0,3,3x0,0,0,0,0,0,0,300,\"\"\r\n" + good, 1,
         300},
        {"a time that does not read",
         kHeader + "run,2026-13-09 13:02:05,40,button,1,0,3,300,0,0,0,0,0,0,300,\"\"\r\n", 0, 0},
        {"no header: not a record", good + good, 0, 0},
        {"an empty file", "", 0, 0},
    };
    for (const auto& c : cases) {
        const std::vector<RecordRow> rows = ParseRecord(c.text);
        EXPECT_EQ(rows.size(), c.rows) << c.what;
        EXPECT_EQ(SumRecord(rows, 0, INT64_MAX).bytes, c.bytes) << c.what;
    }
}

TEST(RunRecord, FoldingOldRunsIntoDaysKeepsEveryDaysTotalsAndEveryFoldersShare) {
    std::vector<RecordRow> rows;
    RecordRow idle;
    idle.kind = RecordRow::Kind::Day;
    idle.start = At("2026-12-01");
    idle.idleRuns = 500;
    rows.push_back(idle);
    const char* days[] = {"2026-12-01", "2026-12-02", "2026-12-03"};
    for (int d = 0; d < 3; ++d)
        for (int r = 0; r < 4; ++r) {
            const std::string start = std::string(days[d]) + " 1" + std::to_string(r) + ":00:00";
            RecordRow run = RunAt(start.c_str(), r + 1, 1000 * (d + 1) + r);
            run.failures = r % 2;
            run.filesToBin = 1;
            run.bytesToBin = 5;
            rows.push_back(run);
            rows.push_back(Folder(start.c_str(), "C:\\A", 1000 * (d + 1)));
            rows.push_back(Folder(start.c_str(), "C:\\B", r + 5));
        }
    for (std::size_t keep : {0u, 1u, 5u, 12u, 100u}) {
        const std::vector<RecordRow> folded = FoldOldRuns(rows, keep);
        std::size_t runRows = 0;
        for (const RecordRow& row : folded) runRows += row.kind == RecordRow::Kind::Run;
        EXPECT_EQ(runRows, std::min<std::size_t>(keep, 12)) << keep;
        for (const char* day : days) {
            const RecordTime from = At(day), to = from + kRecordDay;
            const RecordTotals before = SumRecord(rows, from, to),
                               after = SumRecord(folded, from, to);
            EXPECT_EQ(after.runs, before.runs) << keep << " " << day;
            EXPECT_EQ(after.idleRuns, before.idleRuns) << keep << " " << day;
            EXPECT_EQ(after.bytes, before.bytes) << keep << " " << day;
            EXPECT_EQ(after.files, before.files) << keep << " " << day;
            EXPECT_EQ(after.failures, before.failures) << keep << " " << day;
            const auto foldersBefore = FoldersFreed(rows, from, to),
                       foldersAfter = FoldersFreed(folded, from, to);
            ASSERT_EQ(foldersAfter.size(), foldersBefore.size());
            for (std::size_t i = 0; i < foldersBefore.size(); ++i) {
                EXPECT_EQ(foldersAfter[i].folder, foldersBefore[i].folder);
                EXPECT_EQ(foldersAfter[i].bytes, foldersBefore[i].bytes);
                EXPECT_EQ(foldersAfter[i].runs, foldersBefore[i].runs);
                EXPECT_EQ(foldersAfter[i].lastFreed, foldersBefore[i].lastFreed);
            }
        }
        // Written and read again, the folded record says the same.
        EXPECT_EQ(ParseRecord(RecordText(folded)), folded) << keep;
        // The newest runs are the ones kept.
        if (keep == 1) {
            EXPECT_EQ(folded[folded.size() - 3].start, At("2026-12-03 13:00:00"));
        }
    }
}

TEST(RunRecord, TotalsInWords) {
    RecordTotals none;
    RecordTotals month;
    month.runs = 41;
    month.files = 12004;
    month.bytes = 3435973837;
    month.lastRun = RunAt("2026-12-09 13:00:00", 1204, 90387251);
    RecordTotals one = month;
    one.runs = 1;
    one.files = 1;
    one.bytes = 512;
    const struct {
        std::string period;
        RecordTotals totals;
        std::string when, words;
    } cases[] = {
        {"This month", month, "13:00",
         "This month: 3.2 GB freed in 41 runs (12,004 files); last run 13:00, 1,204 files "
         "(86.2 MB)."},
        {"This month", one, "12/8/2026 13:00",
         "This month: 512 bytes freed in 1 run (1 file); last run 12/8/2026 13:00, 1,204 files "
         "(86.2 MB)."},
        {"The last 12 weeks", none, "", "The last 12 weeks: no run deleted anything."},
    };
    for (const auto& c : cases) EXPECT_EQ(TotalsWords(c.period, c.totals, c.when), c.words);
}

TEST(RunRecord, MonthsBeginOnTheFirst) {
    EXPECT_EQ(MonthStart(At("2026-12-09 13:02:05")), At("2026-12-01"));
    EXPECT_EQ(NextMonthStart(At("2026-12-31 23:59:59")), At("2027-01-01"));
    EXPECT_EQ(NextMonthStart(At("2026-01-31")), At("2026-02-01"));
    EXPECT_EQ(DayOf(At("2026-12-09 13:02:05")), At("2026-12-09"));
}

TEST(RunRecord, TimesReadOnlyInTheirTwoWrittenForms) {
    const struct {
        const char* text;
        bool reads;
    } cases[] = {
        {"2026-12-09 13:02:05", true},
        {"2026-12-09", true},
        {"2024-02-29", true},
        {"2026-02-29", false},
        {"2026-12-09T13:02:05", false},
        {"2026-12-09 24:00:00", false},
        {"2026-12-09 13:60:00", false},
        {"26-12-09", false},
        {"", false},
        {"2026-1x-09", false},
    };
    for (const auto& c : cases) {
        const auto read = ParseRecordTime(c.text);
        EXPECT_EQ(read.has_value(), c.reads) << c.text;
        if (read) {
            EXPECT_EQ(RecordTimeText(*read, std::string(c.text).size() == 10), c.text);
        }
    }
}

TEST(RunRecord, ARunsRowTakesItsNumbersFromTheRunsOwnTotals) {
    RunReport report;
    report.totals.filesDeleted = 3;
    report.totals.bytesDeleted = 30;
    report.totals.filesRecycled = 2;
    report.totals.bytesRecycled = 20;
    report.totals.foldersRecycled = 1;
    report.totals.filesKept = 4;
    report.totals.refused = 2;
    report.totals.problems = 5;  // the refused entries among them
    report.folders = {{"C:\\A", 3, 30, false}, {"C:\\B", 2, 20, true}};
    const RecordRow row =
        RunRecordRow(report, RunTrigger::CatchUp, At("2026-12-09 13:00:00"), 1234);
    EXPECT_EQ(RecordLine(row),
              "run,2026-12-09 13:00:00,1234,caught-up,1,0,3,30,2,1,20,4,2,3,50,\"\"\r\n");
    const std::vector<RecordRow> folders = FolderRecordRows(report, row.start);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(RecordLine(folders[1]),
              "folder,2026-12-09 13:00:00,0,,1,0,0,0,0,0,0,0,0,0,20,\"C:\\B\"\r\n");
    // A run refused by the lock is one failure.
    RunReport refused;
    refused.totals.problems = 1;
    EXPECT_EQ(RunRecordRow(refused, RunTrigger::Schedule, 0, 0).failures, 1u);
}

struct RecorderFixture : ::testing::Test {
    testing::FakeFileSystem fs;
    RunRecorder recorder{fs};
    const std::string path = "C:\\Temp\\Ondrevan.runs.csv";
    void SetUp() override {
        fs.AddFolder("C:\\Temp");
        recorder.SetFilePath(path);
    }
    RecordRow Idle(const char* start) {
        RecordRow row = RunAt(start, 0, 0);
        row.filesKept = 1;
        return row;
    }
};

TEST_F(RecorderFixture, TheRecordLiesBesideTheHistory) {
    EXPECT_EQ(RunRecordPath("C:\\Temp\\Ondrevan.txt"), path);
    EXPECT_EQ(RunRecordPath("C:\\Te.mp\\Log"), "C:\\Te.mp\\Log.runs.csv");
}

TEST_F(RecorderFixture, RunsWithNothingToDoAddToTheirDaysCountOnly) {
    for (int i = 0; i < 1000; ++i) recorder.Record(Idle("2026-12-09 10:00:00"), {});
    EXPECT_FALSE(fs.Exists(path)) << "counted, not written each time";
    recorder.Record(RunAt("2026-12-09 11:00:00", 2, 20),
                    {Folder("2026-12-09 11:00:00", "C:\\A", 20)});
    recorder.Record(Idle("2026-12-09 12:00:00"), {});
    recorder.Record(Idle("2026-12-10 00:00:01"), {});  // a new day writes the old day's count
    EXPECT_EQ(fs.Content(path),
              kHeader + "day,2026-12-09,0,,0,1000,0,0,0,0,0,1000,0,0,0,\"\"\r\n" +
                  "run,2026-12-09 11:00:00,40,schedule,1,0,2,20,0,0,0,0,0,0,20,\"\"\r\n" +
                  "folder,2026-12-09 11:00:00,0,,1,0,0,0,0,0,0,0,0,0,20,\"C:\\A\"\r\n" +
                  "day,2026-12-09,0,,0,1,0,0,0,0,0,1,0,0,0,\"\"\r\n");
    EXPECT_EQ(SumRecord(recorder.Rows(), At("2026-12-01"), At("2027-01-01")).idleRuns, 1001u)
        << "reading alone writes nothing";
    recorder.Flush();
    const RecordTotals totals = SumRecord(recorder.Rows(), At("2026-12-01"), At("2027-01-01"));
    EXPECT_EQ(totals.idleRuns, 1002u);
    EXPECT_EQ(totals.runs, 1u);
    EXPECT_EQ(totals.bytes, 20u);
}

TEST_F(RecorderFixture, ARunAfterACrashStartsOnALineOfItsOwn) {
    const std::string torn = kHeader + "run,2026-12-09 13:02:05,40,button,1,0,3,300,0,0,0,0,0";
    fs.AddFile(path, torn);
    recorder.Record(RunAt("2026-12-09 14:00:00", 1, 10), {});
    const std::vector<RecordRow> rows = recorder.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].bytesDeleted, 10u);
    EXPECT_EQ(fs.Content(path).substr(0, torn.size() + 6), torn + "\r\nrun,");
}

TEST_F(RecorderFixture, PastItsLimitTheOldestRunsFoldIntoDaysWithTheSameTotals) {
    std::uint64_t bytes = 0;
    int runs = 0;
    for (int day = 1; fs.FileSize(path).value_or(0) < kRunRecordLimitBytes - 2000; ++day)
        for (int hour = 0; hour < 24; ++hour)
            for (int minute = 0; minute < 60; minute += 10) {
                char start[32];
                std::snprintf(start, sizeof start, "2026-%02d-%02d %02d:%02d:00", 1 + day / 28,
                              1 + day % 28, hour, minute);
                recorder.Record(RunAt(start, 1, 100 + minute),
                                {Folder(start, "C:\\A", 100 + minute)});
                bytes += 100 + minute;
                ++runs;
            }
    const auto before = fs.FileSize(path);
    for (int i = 0; i < 30; ++i) {
        recorder.Record(RunAt("2026-12-31 23:00:00", 1, 7),
                        {Folder("2026-12-31 23:00:00", "C:\\A", 7)});
        bytes += 7;
        ++runs;
    }
    EXPECT_LT(*fs.FileSize(path), *before / 2) << "folded";
    const std::vector<RecordRow> rows = ParseRecord(fs.Content(path));
    const RecordTotals totals = SumRecord(rows, 0, INT64_MAX);
    EXPECT_EQ(totals.bytes, bytes);
    EXPECT_EQ(totals.runs, static_cast<std::uint64_t>(runs));
    EXPECT_EQ(FoldersFreed(rows, 0, INT64_MAX)[0].bytes, bytes);
    EXPECT_EQ(SumRecord(recorder.Rows(), 0, INT64_MAX).bytes, bytes) << "the recorder's own rows";
}

struct RecordedRunFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    const std::string record = "C:\\Temp\\Ondrevan.runs.csv";
    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Data");
        sys.fileSystem.AddFile("C:\\Data\\a.txt", "12345");
        sys.fileSystem.AddFile("C:\\Data\\b.txt", "123");
        sys.fileSystem.AddFile("C:\\np.exe", "1");
        sys.clock.Set(2026, 12, 9, 13, 2, 5);
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
};

TEST_F(RecordedRunFixture, TheButtonsRunIsRecordedWithTheTotalsItsClosingLineCounts) {
    form->Option2.SetValue(true);
    form->ListView1.Add("C:\\Data");
    form->ListView1.Add("C:\\np.exe");
    form->PushButton3.Click.Raise();
    const RunReport& report = form->DeleteControls().LastReport();
    ASSERT_EQ(report.totals.filesDeleted, 2u);
    const std::vector<RecordRow> rows = ParseRecord(sys.fileSystem.Content(record));
    ASSERT_EQ(rows.size(), 2u) << sys.fileSystem.Content(record);
    EXPECT_EQ(rows[0].trigger, RunTrigger::Button);
    EXPECT_EQ(rows[0].start, At("2026-12-09 13:02:05"));
    EXPECT_EQ(rows[0].filesDeleted, 2u);
    EXPECT_EQ(rows[0].bytesDeleted, 8u);
    EXPECT_EQ(rows[0].refused, 1u) << "the entry that names a file";
    EXPECT_EQ(rows[0].failures, 0u);
    EXPECT_EQ(rows[1].folder, "C:\\Data");
    EXPECT_EQ(rows[1].bytesFreed, 8u);
}

TEST_F(RecordedRunFixture, ACommandLineRunIsRecordedAsSuch) {
    sys.settings.Set(keys::kFolders, JoinFolderList({"C:\\Data"}));
    sys.settings.Set(keys::kOption1, "False");
    std::string output;
    RunFromCommandLine(CommandMode::Run, sys.services(), output, "");
    const std::vector<RecordRow> rows = ParseRecord(sys.fileSystem.Content(record));
    ASSERT_EQ(rows.size(), 2u) << output;
    EXPECT_EQ(rows[0].trigger, RunTrigger::CommandLine);
    EXPECT_EQ(rows[0].Freed(), 8u);
}

TEST_F(RecordedRunFixture, ClearHistoryLogClearsTheRecordToo) {
    form->ListView1.Add("C:\\Data");
    form->PushButton3.Click.Raise();
    ASSERT_TRUE(sys.fileSystem.Exists(record));
    sys.dialogs.answers.push_back(MessageAnswer::Yes);
    form->PushButton5.Click.Raise();
    EXPECT_EQ(sys.dialogs.shown.back().text,
              "Are you sure you want to delete the history log and the record of runs and start "
              "over?");
    EXPECT_FALSE(sys.fileSystem.Exists(record));
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Temp\\Ondrevan.txt"));
}

}  // namespace
}  // namespace ondrevan
