#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/RunHistory.h"
#include "app/TrayStatus.h"
#include "history/RunRecord.h"
#include "platform/Utf16Length.h"

namespace ondrevan {
namespace {

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
    row.milliseconds = 1500;
    return row;
}

RecordRow FolderAt(const char* start, const std::string& folder, std::uint64_t bytes) {
    RecordRow row;
    row.kind = RecordRow::Kind::Folder;
    row.start = At(start);
    row.runs = 1;
    row.bytesFreed = bytes;
    row.folder = folder;
    return row;
}

LocalDateTime Now() {
    return LocalTimeOf(At("2026-12-09 14:00:00"));
}

TEST(TrayTip, AddsWhatThisMonthFreedOnlyWhenItFitsWhole) {
    TrayFacts facts;
    facts.on = true;
    facts.nextRun = "1:00:00 PM";
    facts.monthFreed = "This month: 3.2 GB freed";
    EXPECT_EQ(TrayTipText(facts),
              "Ondrevan: automatic deletion on, next run 1:00:00 PM\nThis month: 3.2 GB freed");
    facts.lastRunTime = "12:00:03 PM";
    facts.lastRunOutcome = "10 files (98 KB) and 3 folders to the Recycle Bin";
    EXPECT_EQ(TrayTipText(facts),
              "Ondrevan: automatic deletion on, next run 1:00:00 PM\nLast run 12:00:03 PM: 10 "
              "files (98 KB) and 3 folders to the Recycle Bin");
    // 127 UTF-16 units: the month's line comes whole or not at all, after a last run whose
    // outcome ends in a character beyond the plane (two units, never cut in half).
    const std::string month = "\nThis month: 3.2 GB freed";
    for (std::size_t pad = 0; pad < 60; ++pad) {
        facts.lastRunOutcome = std::string(pad, 'x') + "\xF0\x9F\x98\x80";
        TrayFacts without = facts;
        without.monthFreed.clear();
        const std::string base = TrayTipText(without), tip = TrayTipText(facts);
        EXPECT_LE(Utf16Length(tip), 127u) << pad;
        EXPECT_EQ(tip, Utf16Length(base) + Utf16Length(month) <= 127 ? base + month : base) << pad;
    }
    facts.monthFreed.clear();
    EXPECT_EQ(TrayTipText(facts).find("This month"), std::string::npos);
}

struct ModelFixture : ::testing::Test {
    testing::FakeLocale locale;
    std::vector<RecordRow> rows;
    void SetUp() override {
        RecordRow old;
        old.kind = RecordRow::Kind::Day;
        old.start = At("2026-10-02");
        old.runs = 40;
        old.filesDeleted = 4000;
        old.bytesDeleted = 4 << 20;
        rows.push_back(old);
        rows.push_back(FolderAt("2026-10-02 23:00:00", "C:\\Old", 4 << 20));
        rows.push_back(RunAt("2026-11-20 10:00:00", 5, 500, RunTrigger::CommandLine));
        rows.push_back(FolderAt("2026-11-20 10:00:00", "C:\\B", 500));
        RecordRow bin = RunAt("2026-12-08 09:00:00", 2, 2048, RunTrigger::Button);
        bin.filesToBin = 3;
        bin.bytesToBin = 1024;
        bin.foldersToBin = 2;
        bin.failures = 1;
        rows.push_back(bin);
        rows.push_back(FolderAt("2026-12-08 09:00:00", "C:\\A", 3072));
        rows.push_back(RunAt("2026-12-09 13:00:00", 1204, 90387251, RunTrigger::CatchUp));
        rows.push_back(FolderAt("2026-12-09 13:00:00", "C:\\A", 90387251));
    }
};

TEST_F(ModelFixture, TheTotalsComeFirstInWords) {
    RunHistory model(rows, Now(), locale);
    EXPECT_EQ(model.Totals(),
              "This month: 86.2 MB freed in 2 runs (1,209 files); last run 1:00:00 PM, 1,204 "
              "files (86.2 MB).");
    EXPECT_EQ(MonthFreedText(rows, Now()), "This month: 86.2 MB freed");
    EXPECT_EQ(MonthFreedText({}, Now()), "");
}

TEST_F(ModelFixture, EachSpanHasItsBarsEndingTodayWithWhatTheyFreed) {
    RunHistory model(rows, Now(), locale);
    const struct {
        ChartSpan span;
        std::size_t bars;
        std::string firstLabel, lastLabel, lastTip;
        std::uint64_t total;
        std::size_t runs;
    } cases[] = {
        {ChartSpan::Days30, 30, "10", "9", "Wed Dec 9, 2026: 86.2 MB freed in 1 run",
         90387251 + 3072 + 500, 3},
        {ChartSpan::Weeks12, 12, "Sep 17", "Dec 3", "Week of Dec 3, 2026: 86.2 MB freed in 2 runs",
         90387251 + 3072 + 500 + (4 << 20), 4},
        {ChartSpan::Months12, 12, "Jan", "Dec", "Dec, 2026: 86.2 MB freed in 2 runs",
         90387251 + 3072 + 500 + (4 << 20), 4},
    };
    for (const auto& c : cases) {
        model.SetSpan(c.span);
        ASSERT_EQ(model.Bars().size(), c.bars);
        EXPECT_EQ(model.Bars().front().label, c.firstLabel);
        EXPECT_EQ(model.Bars().back().label, c.lastLabel);
        EXPECT_EQ(model.Bars().back().tip, c.lastTip);
        std::uint64_t total = 0;
        for (const ChartBar& bar : model.Bars()) total += bar.bytes;
        EXPECT_EQ(total, c.total) << c.lastTip;
        EXPECT_EQ(model.RunCount(), c.runs) << c.lastTip;
    }
    model.SetSpan(ChartSpan::Days30);
    EXPECT_EQ(model.ChartName(),
              "Bar chart of the space freed per day over the last 30 days: 86.2 MB in all, most "
              "Wed Dec 9, 2026 (86.2 MB). The arrow keys move from bar to bar; the tables list "
              "the same runs.");
}

TEST_F(ModelFixture, TheTablesSortAsThePreviewsDoAndCopyAsText) {
    RunHistory model(rows, Now(), locale);
    ASSERT_EQ(model.RunCount(), 3u);
    EXPECT_EQ(model.RunCell(0, RunColumn::When), "12/9/2026 1:00:00 PM") << "newest first";
    EXPECT_EQ(model.RunCell(0, RunColumn::StartedBy), "Missed run");
    EXPECT_EQ(model.RunCell(1, RunColumn::ToRecycleBin), "3 files, 2 folders");
    EXPECT_EQ(model.RunCell(1, RunColumn::Failures), "1");
    model.SortRunsBy(RunColumn::Freed);
    EXPECT_EQ(model.RunCell(0, RunColumn::Freed), "500 bytes") << "as numbers, smallest first";
    EXPECT_EQ(model.RunCell(1, RunColumn::Freed), "3.0 KB");
    model.SortRunsBy(RunColumn::Freed);
    EXPECT_EQ(model.RunCell(0, RunColumn::Freed), "86.2 MB") << "a second click turns it round";
    model.SortRunsBy(RunColumn::StartedBy);
    EXPECT_EQ(model.RunCell(0, RunColumn::StartedBy), "/run");
    ASSERT_EQ(model.FolderCount(), 2u);
    EXPECT_EQ(model.FolderCell(0, FolderColumn::Folder), "C:\\A") << "the most freed first";
    EXPECT_EQ(model.FolderCell(0, FolderColumn::Runs), "2");
    EXPECT_EQ(model.FolderCell(0, FolderColumn::LastFreed), "12/9/2026 1:00:00 PM");
    model.SortFoldersBy(FolderColumn::Folder);
    EXPECT_EQ(model.FolderCell(0, FolderColumn::Folder), "C:\\A");
    model.SortFoldersBy(FolderColumn::Folder);
    EXPECT_EQ(model.FolderCell(0, FolderColumn::Folder), "C:\\B");
    const std::string copied = model.CopyText();
    EXPECT_EQ(copied.substr(0, copied.find("\r\n")), model.Totals());
    EXPECT_NE(copied.find("When\tStarted by\tFreed\tFiles\tTo the Recycle Bin\tKept\tRefused\t"
                          "Failures\r\n"),
              std::string::npos);
    EXPECT_NE(copied.find("C:\\B\t500 bytes\t1\t11/20/2026 10:00:00 AM\r\n"), std::string::npos);
}

TEST(RunHistoryTable, RunsOfTheSameSecondComeInTheRecordsOrderAndTurnedRoundTheReverse) {
    testing::FakeLocale locale;
    const std::vector<RecordRow> rows = {
        RunAt("2026-12-09 13:00:00", 1, 100, RunTrigger::CatchUp),
        RunAt("2026-12-09 13:00:05", 2, 200, RunTrigger::Button),
        RunAt("2026-12-09 13:00:05", 3, 300, RunTrigger::CommandLine),
    };
    RunHistory model(rows, Now(), locale);
    const struct {
        RunColumn click;
        std::vector<std::string> startedBy;
    } cases[] = {
        {RunColumn::When, {"Missed run", "Run Now", "/run"}},  // the default turned round
        {RunColumn::When, {"/run", "Run Now", "Missed run"}},
        {RunColumn::Refused, {"Missed run", "Run Now", "/run"}},  // all equal
        {RunColumn::Refused, {"/run", "Run Now", "Missed run"}},
    };
    EXPECT_EQ(model.RunCell(0, RunColumn::StartedBy), "/run") << "newest first, the later first";
    for (const auto& c : cases) {
        model.SortRunsBy(c.click);
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < model.RunCount(); ++i)
            shown.push_back(model.RunCell(i, RunColumn::StartedBy));
        EXPECT_EQ(shown, c.startedBy);
    }
}

TEST_F(ModelFixture, ARunsLinesAreTheHistorysLinesOfItsSeconds) {
    const std::string history =
        "12/9/2026 12:59:59 PM Deleted content of folder  C:\\Before\r\n"
        "12/9/2026 1:00:00 PM Deleted content of folder  C:\\A\r\n"
        "12/9/2026 1:00:01 PM Could not delete file  C:\\A\\x (in use)\r\n"
        "12/9/2026 1:00:02 PM Run finished: 1,204 files deleted (86.2 MB), ...\r\n"
        "12/9/2026 1:00:03 PM Deleted content of folder  C:\\After\r\n";
    const std::vector<std::string> lines =
        RunHistory::LinesOfRun(rows[6], history, locale);  // 1.5 s long
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "12/9/2026 1:00:00 PM Deleted content of folder  C:\\A");
    EXPECT_EQ(lines[2], "12/9/2026 1:00:02 PM Run finished: 1,204 files deleted (86.2 MB), ...");
}

struct WindowRunFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Data");
        sys.fileSystem.AddFile("C:\\Data\\a.txt", "12345");
        sys.clock.Set(2026, 12, 9, 13, 2, 5);
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
};

TEST_F(WindowRunFixture, TheBarSaysTheLastRunsResultUntilTheNext) {
    EXPECT_EQ(form->ProgressBar1.Text(), "Progress Bar");
    form->Option2.SetValue(true);
    form->ListView1.Add("C:\\Data");
    form->PushButton3.Click.Raise();
    EXPECT_EQ(form->ProgressBar1.Text(), "Last run 1:02:05 PM: 1 file deleted (5 bytes)");
    EXPECT_NE(form->cSysTray1.TrayTip().find("\nThis month: 5 bytes freed"), std::string::npos)
        << form->cSysTray1.TrayTip();
    sys.clock.Set(2026, 12, 9, 13, 3, 0);
    form->PushButton3.Click.Raise();
    EXPECT_EQ(form->ProgressBar1.Text(), "Last run 1:03:00 PM: nothing to delete");
}

TEST_F(WindowRunFixture, StatusSaysThisMonthsTotals) {
    form->ListView1.Add("C:\\Data");
    form->Option2.SetValue(true);
    form->PushButton3.Click.Raise();
    std::string output;
    RunFromCommandLine(CommandMode::Status, sys.services(), output);
    EXPECT_NE(output.find("This month: 5 bytes freed in 1 run (1 file); last run 1:02:05 PM, 1 "
                          "file (5 bytes)."),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("C:\\Temp\\Ondrevan.runs.csv"), std::string::npos) << output;
}

TEST_F(WindowRunFixture, TheRunHistoryWindowShowsTheRunsAndTheLinesOfTheOneSelected) {
    form->Option2.SetValue(true);
    form->ListView1.Add("C:\\Data");
    form->PushButton3.Click.Raise();
    RunHistoryForm& window = form->ShowRunHistory();
    EXPECT_EQ(window.lblTotals.Caption(),
              "This month: 5 bytes freed in 1 run (1 file); last run 1:02:05 PM, 1 file (5 "
              "bytes).");
    ASSERT_EQ(window.lvwRuns.Count(), 1u);
    ASSERT_EQ(window.lvwFolders.Count(), 1u);
    EXPECT_EQ(window.lvwFolders.Item(0), "C:\\Data");
    window.RunSelected(0);
    EXPECT_NE(window.txtLines.Text().find("Deleted content of folder  C:\\Data\r\n"),
              std::string::npos)
        << window.txtLines.Text();
    EXPECT_NE(window.txtLines.Text().find("Run finished: 1 file deleted (5 bytes)"),
              std::string::npos);
    window.BarPointed(29);
    EXPECT_EQ(window.lblChartTip.Caption(), "Wed Dec 9, 2026: 5 bytes freed in 1 run");
    window.cboSpan.SetListIndex(2);
    window.cboSpan.Click.Raise();
    EXPECT_EQ(window.Model()->Bars().size(), 12u);
    EXPECT_EQ(window.lblChartTip.Caption(), "") << "a new chart: no bar pointed at";
    window.cmdCopy.Click.Raise();
    EXPECT_EQ(sys.clipboard.text, window.Model()->CopyText());
}

TEST_F(WindowRunFixture, ExportAsksWhereAndCopiesTheRecordThereOrSaysWhatFailed) {
    form->Option2.SetValue(true);
    form->ListView1.Add("C:\\Data");
    form->PushButton3.Click.Raise();
    const std::string record = sys.fileSystem.Content("C:\\Temp\\Ondrevan.runs.csv");
    ASSERT_NE(record.find("C:\\Data"), std::string::npos) << record;
    RunHistoryForm& window = form->ShowRunHistory();
    sys.fileSystem.AddFolder("C:\\Out");
    sys.fileSystem.AddFolder("C:\\Shut");
    sys.fileSystem.DenyAccess("C:\\Shut\\runs.csv.partial");
    sys.fileSystem.AddFile("C:\\Out\\old.csv", "an older export");
    sys.fileSystem.AddFile("C:\\Out\\held.csv", "held open");
    sys.fileSystem.DenyAccess("C:\\Out\\held.csv");
    const struct {
        const char* chosen;   // "" : the dialog was cancelled
        const char* written;  // where the record's copy lands, or nullptr
        const char* fault;    // what the box says, or nullptr for no box
    } cases[] = {
        {"", nullptr, nullptr},
        {"C:\\Out\\runs.csv", "C:\\Out\\runs.csv", nullptr},
        {"C:\\Out\\old.csv", "C:\\Out\\old.csv", nullptr},  // its replacing agreed to
        {"C:\\Nowhere\\runs.csv", nullptr,
         "The record of runs could not be exported to C:\\Nowhere\\runs.csv: Path not found."},
        {"C:\\Shut\\runs.csv", nullptr,
         "The record of runs could not be exported to C:\\Shut\\runs.csv: Permission denied."},
        {"C:\\Out\\held.csv", nullptr,
         "The record of runs could not be exported to C:\\Out\\held.csv: the file there cannot "
         "be replaced (it may be open in another program or read-only)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        const std::size_t boxes = sys.dialogs.shown.size();
        sys.dialogs.saveAnswers = {c.chosen};
        window.cmdExport.Click.Raise();
        ASSERT_FALSE(sys.dialogs.saveRequests.empty());
        const SaveFileRequest& asked = sys.dialogs.saveRequests.back();
        EXPECT_EQ(asked.fileName, "Ondrevan.runs.csv");
        EXPECT_EQ(asked.extension, "csv");
        EXPECT_EQ(asked.filter.substr(0, asked.filter.find('|', asked.filter.find('|') + 1)),
                  "Record of runs (*.csv)|*.csv");
        if (c.written) {
            EXPECT_EQ(sys.fileSystem.Content(c.written), record);
        }
        if (c.fault) {
            ASSERT_EQ(sys.dialogs.shown.size(), boxes + 1);
            EXPECT_EQ(sys.dialogs.shown.back().text, c.fault);
            EXPECT_EQ(sys.dialogs.shown.back().icon, MessageIcon::Warning);
        } else {
            EXPECT_EQ(sys.dialogs.shown.size(), boxes);
        }
        EXPECT_FALSE(sys.fileSystem.Exists(std::string(c.chosen) + ".partial"));
    }
    EXPECT_EQ(sys.fileSystem.Content("C:\\Out\\held.csv"), "held open");
}

TEST(ExportRecord, ARecordNotYetWrittenIsItsHeaderAndOneThatCannotBeReadIsSaid) {
    testing::FakeFileSystem files;
    files.AddFolder("C:\\Temp");
    files.AddFolder("C:\\Out");
    EXPECT_EQ(ExportRecord(files, "C:\\Temp\\Ondrevan.runs.csv", "C:\\Out\\a.csv"), "");
    EXPECT_EQ(files.Content("C:\\Out\\a.csv"), RecordHeader());
    files.AddFile("C:\\Temp\\Ondrevan.runs.csv", RecordHeader());
    files.DenyAccess("C:\\Temp\\Ondrevan.runs.csv");
    EXPECT_EQ(ExportRecord(files, "C:\\Temp\\Ondrevan.runs.csv", "C:\\Out\\b.csv"),
              "The record of runs C:\\Temp\\Ondrevan.runs.csv could not be read: Permission "
              "denied. Nothing was exported.");
    EXPECT_FALSE(files.Exists("C:\\Out\\b.csv"));
}

}  // namespace
}  // namespace ondrevan
