#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "delete/PreviewReport.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using Fate = FolderPlan::Fate;

FolderPlan Plan(std::string entry, std::vector<std::uint64_t> sizes, Fate fate = Fate::Stays,
                std::string refusal = "") {
    FolderPlan plan;
    plan.entry = std::move(entry);
    for (std::uint64_t size : sizes) {
        FileEntry file;
        file.name = "f";
        file.size = size;
        plan.files.push_back(file);
    }
    plan.fate = fate;
    plan.refusal = std::move(refusal);
    return plan;
}

std::vector<std::string> Cells(const PreviewRow& row) {
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < kPreviewColumnHeadings.size(); ++i)
        cells.push_back(CellText(row, static_cast<PreviewColumn>(i)));
    return cells;
}

TEST(PreviewTable, EachFolderIsARowAndTheTotalsAreTheReportsLastLine) {
    std::vector<FolderPlan> plans = {
        Plan("C:\\A", {9, 1}, Fate::ToRecycleBin),
        Plan("C:\\B", {2048}),
        Plan("C:\\W", {}, Fate::Stays, "a protected folder"),
        Plan("C:\\Gone", {}, Fate::NotThere),
        Plan("C:\\L", {10}, Fate::HoldsLink),
        Plan("C:\\NoBin", {5}, Fate::NoRecycleBin),
    };
    KeptFile young;
    young.file.name = "k";
    young.file.size = 3;
    young.reason = "too young";
    plans[1].kept.push_back(young);
    plans[1].removeEmptySubfolders = true;
    plans[4].link = "C:\\L\\x";
    plans[5].recycleFiles = plans[5].noBinForFiles = true;
    const std::vector<std::vector<std::string>> expected = {
        {"C:\\A", "Delete files, folder to the Recycle Bin", "2", "10 bytes", "0", ""},
        {"C:\\B", "Delete files, remove empty sub-folders", "1", "2.0 KB", "1", ""},
        {"C:\\W", "Refused", "", "", "", "a protected folder"},
        {"C:\\Gone", "None", "", "", "", "not there"},
        {"C:\\L", "Delete files, folder stays", "1", "10 bytes", "0", "it holds a link: C:\\L\\x"},
        {"C:\\NoBin", "Files stay, folder stays", "1", "5 bytes", "0",
         "no Recycle Bin can be reached there"},
    };
    const std::vector<PreviewRow> rows = RowsOf(plans);
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(Cells(rows[i]), expected[i]) << i;

    RunChoices choices;
    choices.recycleFolders = true;
    const PreviewTotals totals = TotalsOf(plans, choices);
    EXPECT_EQ(totals.files,
              "4 files (2.0 KB) would be deleted, 1 file would stay, 1 file (3 bytes) kept by the "
              "rules");
    EXPECT_EQ(totals.folders, "1 folder would go to the Recycle Bin, 1 entry refused");
    const std::string report = PreviewReport(plans, choices);
    EXPECT_TRUE(report.ends_with("\r\nTotal: " + totals.files + ", " + totals.folders + "\r\n"))
        << report;
}

TEST(PreviewTable, SortsSizesAndCountsAsNumbersAndTextsIgnoringCase) {
    const std::vector<PreviewRow> rows = RowsOf({
        Plan("C:\\b", {10}),
        Plan("C:\\W", {}, Fate::Stays, "a protected folder"),
        Plan("C:\\a", {9}),
        Plan("C:\\C", {1024, 1, 1}),
        Plan("C:\\d", {10}),
    });
    using Order = std::vector<std::size_t>;
    const struct {
        PreviewColumn column;
        bool descending;
        Order order;
    } cases[] = {
        {PreviewColumn::Size, false, {1, 2, 0, 4, 3}},  // "9 bytes" before "10 bytes"
        {PreviewColumn::Size, true, {3, 0, 4, 2, 1}},   // alike keep list order either way
        {PreviewColumn::Files, true, {3, 0, 2, 4, 1}},
        {PreviewColumn::Folder, false, {2, 0, 3, 4, 1}},  // "C:\a" "C:\b" "C:\C" "C:\d" "C:\W"
        {PreviewColumn::Action, false, {0, 2, 3, 4, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SortedOrder(rows, c.column, c.descending), c.order)
            << static_cast<int>(c.column) << c.descending;
}

struct PreviewWindowFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    void SetUp() override {
        sys.environment.variables["WINDIR"] = "C:\\Windows";
        sys.fileSystem.AddFolder("C:\\Data");
        sys.fileSystem.AddFile("C:\\Data\\a.txt", "aaa");
        sys.fileSystem.AddFolder("C:\\Big");
        for (int i = 0; i < 12; ++i)
            sys.fileSystem.AddFile("C:\\Big\\" + std::to_string(i), std::string(100, 'x'));
        sys.settings.Set(keys::kFolders,
                         JoinFolderList({"C:\\Data", "C:\\Windows", "C:\\Big", "C:\\Gone"}));
        sys.settings.Set(keys::kOption1, "False");
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
};

TEST_F(PreviewWindowFixture, ShowsTheTotalsFirstSortsAndCopiesWhatPreviewWrites) {
    PreviewForm& preview = form->ShowPreview();
    preview.cmdRefresh_Click();
    EXPECT_EQ(preview.lblTotals.Caption(),
              "13 files (1.2 KB) would be deleted, 0 files (0 bytes) kept by the rules");
    EXPECT_EQ(preview.lblFolders.Caption(),
              "0 folders would go to the Recycle Bin, 1 entry refused");
    EXPECT_EQ(preview.lvwReport.Items(),
              (std::vector<std::string>{"C:\\Data", "C:\\Windows", "C:\\Big", "C:\\Gone"}));
    EXPECT_EQ(preview.Cell(2, PreviewColumn::Size), "1.2 KB");
    EXPECT_TRUE(preview.cmdCopy.Enabled());
    EXPECT_FALSE(preview.cmdCancel.Enabled());

    preview.SortBy(PreviewColumn::Size);
    preview.SortBy(PreviewColumn::Size);  // the second click turns it round
    EXPECT_EQ(preview.lvwReport.Items(),
              (std::vector<std::string>{"C:\\Big", "C:\\Data", "C:\\Windows", "C:\\Gone"}));
    EXPECT_EQ(preview.Cell(0, PreviewColumn::Files), "12");
    // Another column starts ascending, whichever way the last one went; only a second click
    // on the same column turns it round.
    const struct {
        PreviewColumn column;
        std::vector<std::string> shown;
    } clicks[] = {
        {PreviewColumn::Folder, {"C:\\Big", "C:\\Data", "C:\\Gone", "C:\\Windows"}},
        {PreviewColumn::Folder, {"C:\\Windows", "C:\\Gone", "C:\\Data", "C:\\Big"}},
        {PreviewColumn::Size, {"C:\\Windows", "C:\\Gone", "C:\\Data", "C:\\Big"}},
        {PreviewColumn::Size, {"C:\\Big", "C:\\Data", "C:\\Windows", "C:\\Gone"}},
        {PreviewColumn::Files, {"C:\\Windows", "C:\\Gone", "C:\\Data", "C:\\Big"}},
        {PreviewColumn::Folder, {"C:\\Big", "C:\\Data", "C:\\Gone", "C:\\Windows"}},
    };
    for (const auto& click : clicks) {
        preview.SortBy(click.column);
        EXPECT_EQ(preview.lvwReport.Items(), click.shown) << static_cast<int>(click.column);
    }

    preview.cmdCopy.Click.Raise();
    std::string written;
    ASSERT_EQ(RunFromCommandLine(CommandMode::Preview, sys.services(), written), 0);
    EXPECT_EQ(sys.clipboard.text, written);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\a.txt")) << "a preview deletes nothing";
}

TEST_F(PreviewWindowFixture, CancelOrClosingStopsTheCountingAndShowsWhatWasCounted) {
    PreviewForm& preview = form->ShowPreview();
    for (bool byClosing : {false, true}) {
        sys.pump.onPump = [&](int) {
            EXPECT_TRUE(preview.cmdCancel.Enabled());
            EXPECT_FALSE(preview.cmdCopy.Enabled() || preview.cmdRefresh.Enabled());
            // Pressed once two folders are counted (the listing lets the window answer too).
            if (preview.lblStatus.Caption().rfind("Counting: 2 of", 0) != 0) return;
            if (byClosing)
                preview.Window.Closing.Raise();
            else
                preview.cmdCancel.Click.Raise();
        };
        preview.cmdRefresh_Click();
        sys.pump.onPump = nullptr;
        EXPECT_EQ(preview.lblTotals.Caption(),
                  "Counting cancelled after 2 of 4 folders: the table shows only those.");
        EXPECT_EQ(preview.lvwReport.Count(), 2u);
        EXPECT_FALSE(preview.cmdCopy.Enabled()) << "only the whole list makes a report";
        EXPECT_FALSE(preview.cmdCancel.Enabled());
        EXPECT_TRUE(preview.cmdRefresh.Enabled());
    }
}

// A long list is counted folder by folder (Cancel is heard between any two), but its progress is
// redrawn about a hundred times at most, and always at the end.
TEST(PreviewCount, ShowsItsProgressAboutAHundredTimesAndItsEnd) {
    const struct {
        int folders;
        int mostShown;
    } lists[] = {{3, 3}, {250, 125}, {1000, 100}, {1234, 103}};
    for (const auto& list : lists) {
        testing::FakeSystem sys;
        std::vector<std::string> entries;
        for (int i = 0; i < list.folders; ++i) entries.push_back("C:\\Gone\\" + std::to_string(i));
        sys.settings.Set(keys::kFolders, JoinFolderList(entries));
        Form1 form(sys.services());
        form.Form_Load();
        PreviewForm& preview = form.ShowPreview();
        int pumps = 0, shown = 0;
        std::string last = preview.lblStatus.Caption();
        std::int32_t lastBar = -1;
        sys.pump.onPump = [&](int) {
            ++pumps;
            if (preview.lblStatus.Caption() != last) ++shown;
            last = preview.lblStatus.Caption();
            lastBar = preview.prgCounting.Value();
        };
        preview.cmdRefresh_Click();
        sys.pump.onPump = nullptr;
        EXPECT_GE(pumps, list.folders) << list.folders;
        EXPECT_LE(shown, list.mostShown + 1) << list.folders;  // "Counting: 0 of" first
        EXPECT_EQ(preview.prgCounting.Value(), list.folders) << list.folders;
        EXPECT_GE(lastBar, list.folders - list.folders / 100 - 1) << list.folders;
    }
}

// The list changed in the main window while the preview counted: it does not say "as of now".
TEST_F(PreviewWindowFixture, ACountOverAListThatChangedMeanwhileSaysSo) {
    PreviewForm& preview = form->ShowPreview();
    preview.cmdRefresh_Click();
    EXPECT_EQ(preview.lblStatus.Caption().rfind("What the next run would do, as of now.", 0), 0u);
    sys.pump.onPump = [&](int) {
        if (preview.lblStatus.Caption().rfind("Counting: 2 of", 0) != 0) return;
        form->ListView1.SelectionChangedByUser(0);
        form->RemoveSelectedFolder();
        sys.pump.onPump = nullptr;
    };
    preview.cmdRefresh_Click();
    ASSERT_EQ(form->ListView1.Count(), 3u) << "the entry was not removed";
    EXPECT_EQ(preview.lblStatus.Caption().find("as of now"), std::string::npos)
        << preview.lblStatus.Caption();
    EXPECT_EQ(
        preview.lblStatus.Caption().rfind("The folder list changed while this was counted", 0), 0u);
    preview.cmdRefresh_Click();
    EXPECT_EQ(preview.lblStatus.Caption().rfind("What the next run would do, as of now.", 0), 0u);
}

}  // namespace
}  // namespace ondrevan
