#include <gtest/gtest.h>

#include "DeleterAlone.h"
#include "FakeSystem.h"
#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "delete/DelFolders.h"
#include "delete/PreviewReport.h"
#include "platform/AppMessages.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using Lines = std::vector<std::string>;
constexpr std::int64_t kDay = 86400;

TEST(RunRules, PatternsMatchWholeNamesIgnoringCaseAsWindowsDoes) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.keep", "notes.keep", true},
        {"*.keep", "NOTES.KEEP", true},
        {"*.keep", "notes.keep.txt", false},
        {"*.keep", ".keep", true},
        {"desktop.ini", "Desktop.ini", true},
        {"desktop.ini", "xdesktop.ini", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a?c",
         "a\xC3\xA9"
         "c",
         true},  // "?" is one character, not one byte
        {"*a*b*", "xxaYYbzz", true},
        {"*a*b*", "xxbYYa", false},
        {"*", "", true},
        {"", "x", false},
        // "*.*" is every name, as in a folder listing.
        {"*.*", "README", true},
        {"*.*", "notes.txt", true},
        {"*.*x", "notes", false},
        // Case beyond A-Z, as Windows folds it in file names and no further.
        {"\xC3\xBC*",
         "\xC3\x9Cn\xC3\xAF"
         "code.TXT",
         true},                                           // ü* / Ünïcode.TXT
        {"\xC3\xA4*", "\xC3\x84rger.doc", true},          // ä* / Ärger.doc
        {"\xC3\xBF", "\xC5\xB8", true},                   // ÿ / Ÿ
        {"\xD1\x8F*.txt", "\xD0\xAF\xD0\x91.TXT", true},  // я* / ЯБ
        {"\xCF\x83?", "\xCE\xA3\xCE\xA3", true},          // σ? / ΣΣ
        {"\xCF\x82", "\xCE\xA3", false},                  // ς / Σ
        {"\xC3\x9F", "SS", false},                        // ß / SS
        {"i", "\xC4\xB1", false},                         // i / ı
        {"k", "\xE2\x84\xAA", false},                     // k / Kelvin sign
        {"\xF0\x90\x90\xA8", "\xF0\x90\x90\x80", false},  // 𐐨 / 𐐀: beyond the plane
        {"a?c",
         "a\xF0\x9F\x98\x80"
         "c",
         true},                       // one character, four bytes
        {"\xFF", "\xC3\xBF", false},  // a byte that is no UTF-8 is not ÿ
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
    EXPECT_EQ(SplitKeepPatterns(" *.keep ;; desktop.ini;"), (Lines{"*.keep", "desktop.ini"}));

    // As stored, and as a run asks.
    testing::FakeSystem sys;
    sys.settings.Set(keys::kKeepPatterns, "\xC3\xBC*;\xC3\xA4*");
    const RunRules rules = ReadRunRules(AppSettings(sys.settings));
    for (const char* name : {"\xC3\x9Cn\xC3\xAF"
                             "code.TXT",
                             "\xC3\x84rger.doc"})
        EXPECT_TRUE(KeepReason({name, 0, 1, 0}, rules, 0)) << name;
}

TEST(RunRules, AFileGoesOnlyWhenStrictlyOlderThanTheAgeAndMatchingNoPattern) {
    RunRules rules;
    const std::int64_t now = 1'800'000'000;
    FileEntry file{"a.txt", 0, 1, now - 7 * kDay};
    EXPECT_FALSE(KeepReason(file, rules, now)) << "by default every file goes";
    rules.minimumAgeDays = 7;
    EXPECT_EQ(KeepReason(file, rules, now), std::optional<std::string>("younger than 7 days"))
        << "exactly seven days old is not older than seven days";
    file.modified -= 1;
    EXPECT_FALSE(KeepReason(file, rules, now));
    file.modified = now + kDay;
    EXPECT_TRUE(KeepReason(file, rules, now)) << "a file dated in the future is young";
    rules.minimumAgeDays = 1;
    file.modified = now;
    EXPECT_EQ(KeepReason(file, rules, now), std::optional<std::string>("younger than 1 day"));
    rules.minimumAgeDays = 0;
    rules.keepPatterns = {"*.TXT"};
    file.modified = 0;
    EXPECT_EQ(KeepReason(file, rules, now), std::optional<std::string>("matches *.TXT"));
}

TEST(RunRules, FieldsRefuseWhatCannotBeStored) {
    for (const char* good : {"0", "7", " 30 ", "36500"})
        EXPECT_FALSE(MinimumAgeFault(good)) << good;
    for (const char* bad : {"", "-1", "36501", "1.5", "abc", "999999999999"})
        EXPECT_EQ(
            MinimumAgeFault(bad),
            std::optional<std::string>("The age must be a whole number of days from 0 to 36500."))
            << bad;
    EXPECT_FALSE(KeepPatternsFault("*.keep; desktop.ini; ~$*"));
    EXPECT_TRUE(KeepPatternsFault("logs\\*.txt"));
    EXPECT_TRUE(KeepPatternsFault("a/b"));
    EXPECT_TRUE(KeepPatternsFault("a|b"));
    EXPECT_FALSE(ProtectedFoldersFault("C:\\Data\\Keep\r\n\r\n  \\\\server\\share\\x  \n"));
    EXPECT_EQ(ProtectedFoldersFault("C:\\Data\nKeep"),
              std::optional<std::string>(
                  "Each folder must be a full path, such as C:\\Data\\Keep: \"Keep\" is not."));
    EXPECT_TRUE(ProtectedFoldersFault("C:\\Da*ta"));
}

TEST(RunRules, StoredValuesThatDoNotReadNeverDeleteMore) {
    testing::FakeSystem sys;
    AppSettings settings(sys.settings);
    RunRules rules = ReadRunRules(settings);
    EXPECT_EQ(rules.minimumAgeDays, 0);
    EXPECT_FALSE(rules.KeepsFiles() || rules.recycleFiles || rules.removeEmptySubfolders);
    sys.settings.Set(keys::kMinimumAgeDays, "soon");
    sys.settings.Set(keys::kProtectedFolders, JoinFolderList({"C:\\Keep", " ", "relative"}));
    sys.settings.Set(keys::kRecycleFiles, "On");
    sys.settings.Set(keys::kRemoveEmptySubfolders, "on");  // stored exactly as "On" only
    rules = ReadRunRules(settings);
    EXPECT_EQ(rules.minimumAgeDays, kMaximumAgeDays);
    EXPECT_EQ(rules.protectedFolders, (Lines{"C:\\Keep", "relative"}));
    EXPECT_TRUE(rules.recycleFiles);
    EXPECT_FALSE(rules.removeEmptySubfolders);

    // Protected folders written by hand: every path in the value counts.
    const std::string sep(kFolderSeparator);
    const struct {
        std::string stored;
        Lines folders;
    } written[] = {
        {"C:\\Keep", {"C:\\Keep"}},
        {" D:\\Keep me ", {"D:\\Keep me"}},
        {"\tC:\\Tabbed\t", {"C:\\Tabbed"}},
        {"C:\\A\r\nD:\\B\r\n", {"C:\\A", "D:\\B"}},
        {"C:\\A" + sep + "D:\\B", {"C:\\A", "D:\\B"}},
        {sep + sep, {}},
    };
    for (const auto& w : written) {
        sys.settings.Set(keys::kProtectedFolders, w.stored);
        EXPECT_EQ(ReadRunRules(settings).protectedFolders, w.folders) << w.stored;
    }
}

// The rules through the deletion engine, against the file-system double.
struct RulesRunFixture : ::testing::Test, testing::DeleterAlone {
    std::int64_t now = 0;

    void SetUp() override {
        sys.environment.variables["WINDIR"] = "C:\\Windows";
        sys.clock.Set(2026, 12, 8, 12, 0, 0);
        now = sys.clock.UtcSeconds();
        auto& fs = sys.fileSystem;
        fs.AddFolder("C:\\Data");
        fs.AddFolder("C:\\Data\\A");
        File("C:\\Data\\A\\old.txt", 30);
        File("C:\\Data\\A\\new.txt", 1);
        File("C:\\Data\\A\\old.keep", 30);
        fs.AddFolder("C:\\Data\\A\\Sub");
        File("C:\\Data\\A\\Sub\\deep.txt", 2);
    }
    void File(const std::string& path, int daysOld) {
        sys.fileSystem.AddFile(path, "12345");
        sys.fileSystem.SetModified(path, now - daysOld * kDay - 1);
    }
    void Run(bool folderMode, Lines entries = {"C:\\Data\\A"}) {
        last = RunList(entries, folderMode);
    }
    RunReport last;
};

TEST_F(RulesRunFixture, AgeAndPatternsKeepFilesAndAFolderHoldingOneAnywhereStays) {
    sys.settings.Set(keys::kMinimumAgeDays, "7");
    sys.settings.Set(keys::kKeepPatterns, "*.KEEP");
    const FolderPlan plan = deleter.PlanFolder("C:\\Data\\A", {true, ReadRunRules(settings), now});
    ASSERT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(plan.files[0].name, "old.txt");
    ASSERT_EQ(plan.kept.size(), 2u);
    EXPECT_EQ(plan.fate, FolderPlan::Fate::HoldsKeptFile);

    // Only the kept file deep inside holds the folder back: its own are all old.
    sys.fileSystem.Remove("C:\\Data\\A\\new.txt");
    sys.fileSystem.Remove("C:\\Data\\A\\old.keep");
    Run(true);
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\A\\old.txt"));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\Sub\\deep.txt"));
    EXPECT_TRUE(sys.shell.recycled.empty());
    EXPECT_EQ(history.lines[1],
              "Kept folder  C:\\Data\\A (it holds a file the rules "
              "keep: C:\\Data\\A\\Sub\\deep.txt (younger than 7 days))");
    EXPECT_EQ(history.lines.back(),
              "Run finished: 1 file deleted (5 bytes), 0 files could not be deleted, 0 folders "
              "sent to the Recycle Bin, 0 files kept by the rules");
    EXPECT_EQ(last.totals.problems, 0u) << "what the rules keep, as planned, is no failure";
}

TEST_F(RulesRunFixture, ContentsModeKeepsWhatTheRulesKeepAndSaysHowMany) {
    sys.settings.Set(keys::kMinimumAgeDays, "7");
    sys.settings.Set(keys::kKeepPatterns, "*.keep");
    Run(false);
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\A\\old.txt"));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\new.txt"));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\old.keep"));
    EXPECT_EQ(history.lines,
              (Lines{"Deleted content of folder  C:\\Data\\A",
                     "Kept by the rules in folder  C:\\Data\\A (2 files)",
                     "Run finished: 1 file deleted (5 bytes), 0 files could not be deleted, 0 "
                     "folders sent to the Recycle Bin, 2 files kept by the rules"}));
    EXPECT_EQ(last.totals.problems, 0u);
}

TEST_F(RulesRunFixture, RecycledFilesGoToTheBinAndOneItRefusesIsReported) {
    sys.settings.Set(keys::kRecycleFiles, "On");
    sys.shell.refusedFiles.insert("C:\\Data\\A\\new.txt");
    Run(false);
    EXPECT_EQ(sys.shell.recycledFiles, (Lines{"C:\\Data\\A\\old.keep", "C:\\Data\\A\\old.txt"}));
    EXPECT_EQ(sys.fileSystem.deletions, 0) << "nothing is deleted for good";
    EXPECT_EQ(history.lines,
              (Lines{"Sent content of folder to the Recycle Bin  C:\\Data\\A",
                     "Could not send file to the Recycle Bin  C:\\Data\\A\\new.txt (the Recycle "
                     "Bin did not take it)",
                     "Run finished: 0 files deleted (0 bytes), 0 files could not be deleted, 0 "
                     "folders sent to the Recycle Bin, 2 files sent to the Recycle Bin, 1 file "
                     "could not be sent to the Recycle Bin"}));
    EXPECT_EQ(last.totals.problems, 1u);

    history.lines.clear();
    sys.shell.recycleBinThere = false;
    Run(false);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\new.txt")) << "never deleted for good instead";
    EXPECT_EQ(history.lines[0],
              "Could not send the files to the Recycle Bin  C:\\Data\\A (no Recycle Bin can be "
              "reached there)");
}

TEST_F(RulesRunFixture, EmptySubfoldersGoDeepestFirstButNeverLinksProtectedOrTheFolderItself) {
    auto& fs = sys.fileSystem;
    fs.AddFolder("C:\\Data\\A\\E1");
    fs.AddFolder("C:\\Data\\A\\E1\\E2");
    fs.AddFolder("C:\\Data\\A\\Link", attributes::kReparsePoint);
    fs.AddFolder("C:\\Data\\A\\Mine");
    sys.settings.Set(keys::kProtectedFolders, JoinFolderList({"c:/data/a/mine/"}));
    sys.settings.Set(keys::kRemoveEmptySubfolders, "On");
    Run(false, {"C:\\Data\\A", "C:\\Data\\Empty"});
    EXPECT_FALSE(fs.Exists("C:\\Data\\A\\E1"));
    EXPECT_TRUE(fs.Exists("C:\\Data\\A\\Sub\\deep.txt"))
        << "contents mode leaves sub-folders' files";
    EXPECT_TRUE(fs.Exists("C:\\Data\\A\\Link"));
    EXPECT_TRUE(fs.Exists("C:\\Data\\A\\Mine")) << "a protected folder, though empty";
    EXPECT_TRUE(fs.Exists("C:\\Data\\A"));
    EXPECT_EQ(history.lines[1], "Removed empty folder  C:\\Data\\A\\E1\\E2");
    EXPECT_EQ(history.lines[2], "Removed empty folder  C:\\Data\\A\\E1");
}

TEST_F(RulesRunFixture, TheUsersProtectedFoldersAreRefusedInEveryWrittenFormAndKeptInside) {
    sys.fileSystem.AddAlias("D:\\Junction", "C:\\Data\\A");
    sys.settings.Set(keys::kProtectedFolders, JoinFolderList({"C:\\Data\\A\\Sub"}));
    for (const char* form : {"C:\\Data\\A\\Sub", "c:\\data\\a\\sub\\", "C:/Data/A/Sub/.",
                             "C:\\Data\\A\\Sub. ", "\\\\?\\C:\\Data\\A\\Sub", "D:\\Junction\\Sub"})
        EXPECT_EQ(protectedFolders.Refusal(form), std::optional<std::string>("a protected folder"))
            << form;
    Run(true);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\Sub\\deep.txt"));
    EXPECT_TRUE(sys.shell.recycled.empty()) << "the folder holding it is not recycled";
}

TEST_F(RulesRunFixture, ThePreviewReportsWhatTheRunThenDoes) {
    sys.settings.Set(keys::kMinimumAgeDays, "7");
    const RunChoices choices = {true, ReadRunRules(settings), now};
    const std::string report = PreviewReport(
        deleter.PlanRun({"C:\\Data\\A", "C:\\Windows", "C:\\Data\\Gone", "relative\\x"}, choices),
        choices);
    EXPECT_EQ(report,
              "Preview of the next run: the folders go to the Recycle Bin\r\n"
              "C:\\Data\\A: 2 files (10 bytes) would be deleted, 1 file (5 bytes) kept by the "
              "rules; the folder stays: it holds a file the rules keep: C:\\Data\\A\\Sub\\deep.txt "
              "(younger than 7 days)\r\n"
              "C:\\Windows: refused (a protected folder)\r\n"
              "C:\\Data\\Gone: not there\r\n"
              "relative\\x: refused (not a full path)\r\n"
              "Total: 2 files (10 bytes) would be deleted, 1 file (5 bytes) kept by the rules, 0 "
              "folders would go to the Recycle Bin, 2 entries refused\r\n");
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\A\\old.txt")) << "a preview deletes nothing";
}

}  // namespace
}  // namespace ondrevan
