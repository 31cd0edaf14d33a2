#include <gtest/gtest.h>

#include "DeleterAlone.h"
#include "FakeSystem.h"
#include "delete/DelFolders.h"
#include "platform/AppMessages.h"
#include "product/AppSettings.h"

namespace ondrevan {
namespace {

using Fate = FolderPlan::Fate;
using Lines = std::vector<std::string>;

struct DeletePlanFixture : ::testing::Test, testing::DeleterAlone {
    void SetUp() override {
        auto& env = sys.environment.variables;
        env["WINDIR"] = "C:\\Windows";
        env["USERPROFILE"] = "C:\\Users\\ann";
        auto& fs = sys.fileSystem;
        for (const char* folder : {"C:\\Windows", "C:\\Users", "C:\\Users\\ann", "C:\\Data"})
            fs.AddFolder(folder);
        fs.AddFolder("C:\\Data\\A");
        fs.AddFile("C:\\Data\\A\\a.txt", "aaa");
        fs.AddFile("C:\\Data\\A\\read-only.txt", "r", attributes::kReadOnly);
        fs.AddFolder("C:\\Data\\A\\Sub");
        fs.AddFile("C:\\Data\\A\\Sub\\inner.txt", "i");
        fs.AddFolder("C:\\Data\\Linked");
        fs.AddFile("C:\\Data\\Linked\\l.txt", "l");
        fs.AddFolder("C:\\Data\\Linked\\Deep");
        fs.AddFolder("C:\\Data\\Linked\\Deep\\Out", attributes::kReparsePoint);
    }
    static RunChoices FolderMode() {
        RunChoices choices;
        choices.recycleFolders = true;
        return choices;
    }
    static std::vector<std::string> Names(const FolderPlan& plan) {
        std::vector<std::string> names;
        for (const FileEntry& file : plan.files) names.push_back(file.name);
        return names;
    }
};

TEST_F(DeletePlanFixture, ThePlanOfEachEntryIsWhatTheRunThenDoes) {
    const Lines entries = {"C:\\Windows",      "relative\\path", " C:\\Data\\A\\ ",
                           "C:\\Data\\Linked", "C:\\Data\\Gone", "C:\\Users"};
    const std::vector<FolderPlan> plans = deleter.PlanRun(entries, FolderMode());
    ASSERT_EQ(plans.size(), entries.size());
    EXPECT_TRUE(plans[0].Refused()) << "a protected folder";
    EXPECT_TRUE(plans[1].Refused()) << "a path that depends on the current folder";
    EXPECT_TRUE(plans[0].files.empty()) << "nothing is even listed in a refused folder";

    EXPECT_FALSE(plans[2].Refused());
    EXPECT_EQ(plans[2].folder, "C:\\Data\\A") << "the blanks and the final backslash trimmed";
    EXPECT_EQ(Names(plans[2]), (Lines{"a.txt", "read-only.txt"})) << "its own files only";
    EXPECT_EQ(plans[2].files[0].size, 3u);
    EXPECT_EQ(plans[2].fate, Fate::ToRecycleBin);

    EXPECT_EQ(plans[3].fate, Fate::HoldsLink);
    EXPECT_EQ(plans[3].link, "C:\\Data\\Linked\\Deep\\Out");
    EXPECT_EQ(Names(plans[3]), (Lines{"l.txt"})) << "its files go all the same";
    EXPECT_EQ(plans[4].fate, Fate::NotThere);
    EXPECT_EQ(plans[5].fate, Fate::HoldsProtected);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\a.txt")) << "planning deletes nothing";
    EXPECT_TRUE(sys.shell.recycled.empty());

    RunList(entries, true);
    EXPECT_EQ(history.lines,
              (Lines{"Refused  C:\\Windows (a protected folder)",
                     "Refused  relative\\path (not a full path)",
                     "Deleted content of folder  C:\\Data\\A", "Deleted folder  C:\\Data\\A",
                     "Deleted content of folder  C:\\Data\\Linked",
                     "Could not send folder to the Recycle Bin  C:\\Data\\Linked (it holds a link: "
                     "C:\\Data\\Linked\\Deep\\Out)",
                     "Folder not found  C:\\Data\\Gone", "Deleted content of folder  C:\\Users",
                     "Could not send folder to the Recycle Bin  C:\\Users (it holds a protected "
                     "folder)",
                     "Run finished: 3 files deleted (5 bytes), 0 files could not be deleted, 1 "
                     "folder sent to the Recycle Bin, 2 entries refused"}));
    EXPECT_EQ(sys.shell.recycled, (Lines{"C:\\Data\\A"}));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\Linked\\Deep\\Out"));
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\Linked\\l.txt"));
}

TEST_F(DeletePlanFixture, ContentsModePlansNoFolderFateAndNeverWalksTheTree) {
    const int listingsBefore = sys.fileSystem.listings;
    const std::vector<FolderPlan> plans =
        deleter.PlanRun({"C:\\Data\\A", "C:\\Data\\Linked", "C:\\Users"}, {});
    for (const FolderPlan& plan : plans) EXPECT_EQ(plan.fate, Fate::Stays) << plan.folder;
    EXPECT_EQ(sys.fileSystem.listings, listingsBefore) << "no link search without recycling";
    EXPECT_EQ(Names(plans[0]), (Lines{"a.txt", "read-only.txt"}));
}

TEST_F(DeletePlanFixture, ARunDeletesWhatItPlannedAndNothingThatAppearsMeanwhile) {
    // While the folder is cleared a new file is written into it, which the plan does not
    // hold: it waits for the next run (a preview of this run could not have shown it). And
    // a planned file goes by itself before its turn: neither deleted nor failed.
    sys.fileSystem.beforeDeleting = [&, first = true](const std::string&) mutable {
        if (!first) return;
        first = false;
        sys.fileSystem.AddFile("C:\\Data\\A\\late.txt", "late");
        sys.fileSystem.Remove("C:\\Data\\A\\read-only.txt");
    };
    RunList({"C:\\Data\\A"}, false);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\late.txt"));
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\A\\a.txt"));
    EXPECT_EQ(history.lines.back(),
              "Run finished: 1 file deleted (3 bytes), 0 files could not be deleted, 0 folders "
              "sent to the Recycle Bin");
}

TEST_F(DeletePlanFixture, AFolderPutInTheClearedOnesPlaceIsNeitherClearedNorRecycled) {
    // After the first file, another folder with the same names takes the listed one's path.
    sys.fileSystem.beforeDeleting = [&, first = true](const std::string&) mutable {
        if (!first) return;
        first = false;
        sys.fileSystem.Remove("C:\\Data\\A");
        sys.fileSystem.AddFolder("C:\\Data\\A");
        sys.fileSystem.AddFile("C:\\Data\\A\\a.txt", "theirs");
        sys.fileSystem.AddFile("C:\\Data\\A\\read-only.txt", "theirs");
    };
    const RunReport report = RunList({"C:\\Data\\A"}, true);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\a.txt"));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\read-only.txt"));
    EXPECT_TRUE(sys.shell.recycled.empty()) << "the other folder went to the Recycle Bin";
    EXPECT_EQ(history.lines,
              (Lines{"Deleted content of folder  C:\\Data\\A",
                     "Stopped clearing folder  C:\\Data\\A (the folder changed during the run: "
                     "what its path leads to now was left)",
                     "Run finished: 0 files deleted (0 bytes), 0 files could not be deleted, 0 "
                     "folders sent to the Recycle Bin"}));
    EXPECT_EQ(report.totals.problems, 1u);
}

TEST_F(DeletePlanFixture, AFolderWithoutARecycleBinIsPlannedToStayAndStays) {
    sys.shell.recycleBinThere = false;
    const FolderPlan plan = deleter.PlanFolder("C:\\Data\\A", FolderMode());
    EXPECT_EQ(plan.fate, Fate::NoRecycleBin);
    RunList({"C:\\Data\\A"}, true);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\Sub\\inner.txt"));
    EXPECT_TRUE(sys.shell.recycled.empty());
    EXPECT_EQ(history.lines[1],
              "Could not send folder to the Recycle Bin  C:\\Data\\A (no Recycle Bin can be "
              "reached there)");
}

}  // namespace
}  // namespace ondrevan
