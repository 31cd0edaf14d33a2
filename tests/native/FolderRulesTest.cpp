#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "DeleterAlone.h"
#include "MemorySettingsStore.h"
#include "delete/FolderDecisions.h"
#include "delete/PreviewReport.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/FolderRules.h"
#include "product/Policies.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using testing::MemorySettingsStore;

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kNow = 1000 * kDay;
constexpr std::uint64_t kMB = 1024 * 1024;

TEST(FolderRules, StoredFormReadsWritesBackAndKeepsWhatItDoesNotKnow) {
    // Written by hand: any letter case, blanks, LF alone, a blank line, a line with no tab.
    const std::string stored =
        "C:\\Users\\me\\Downloads\\\t AGE = 30 ;AgeBy=Created;keep=*.torrent| *.iso ;colour=blue\n"
        "\n"
        "D:\\Cache \tmode=contents;recycle=on;empty=off;maxmb=10240;maxfiles=500;"
        "freebelowgb=042.10;ageby=opened;age=0\r\n"
        "E:\\no tab here age=3";
    MemorySettingsStore store;
    AppSettings settings(store);
    store.Write(keys::kApplication, keys::kSection, keys::kFolderRules, stored);
    FolderRulesList list = ReadFolderRules(settings);

    ASSERT_EQ(list.lines.size(), 2u);
    const FolderRules& downloads = list.lines[0].rules;
    EXPECT_EQ(list.lines[0].folder, "C:\\Users\\me\\Downloads\\");
    EXPECT_EQ(downloads.ageDays, 30);
    EXPECT_EQ(downloads.ageBy, AgeBy::Created);
    EXPECT_EQ(downloads.keepPatterns, (std::vector<std::string>{"*.torrent", "*.iso"}));
    EXPECT_EQ(downloads.unknown, (std::vector<StoredRule>{{"colour", "blue"}}));
    EXPECT_TRUE(downloads.unreadable.empty());
    EXPECT_EQ(FolderRulesSummary(downloads),
              "older than 30 days by creation; keep *.torrent, *.iso");
    // A line names its folder in any written form: blanks, letter case, separators.
    const std::optional<FolderRules> cache = FindFolderRules(list, "D:\\Cache ");
    ASSERT_TRUE(cache);
    for (const char* form : {"D:\\Cache", "d:/cache/", "\\\\?\\D:\\CACHE\\\\"})
        EXPECT_EQ(FindFolderRules(list, form), cache) << form;
    EXPECT_FALSE(FindFolderRules(list, "D:\\Cache2"));
    EXPECT_EQ(FolderRulesSummary(*cache),
              "contents only; any age; to the Recycle Bin; empty sub-folders stay; under 10 GB; "
              "at most 500 files; only below 42.1 GB free");
    EXPECT_EQ(list.strayLines, (std::vector<std::string>{"E:\\no tab here age=3"}));

    const std::string canonical =
        "C:\\Users\\me\\Downloads\\\tage=30;ageby=created;keep=*.torrent|*.iso;colour=blue\r\n"
        "D:\\Cache \tmode=contents;age=0;ageby=opened;recycle=on;empty=off;maxmb=10240;"
        "maxfiles=500;freebelowgb=42.1\r\n"
        "E:\\no tab here age=3";
    SaveFolderRules(settings, list);
    EXPECT_EQ(settings.Get(keys::kFolderRules, ""), canonical);
    EXPECT_EQ(ParseFolderRules(canonical), list);

    // Rules with nothing of their own take the line away; an unknown name alone keeps it.
    SetFolderRules(list, "D:\\Cache ", FolderRules{});
    FolderRules capped;
    capped.maxFiles = 9;
    SetFolderRules(list, "F:\\New", capped);
    RemoveFolderRules(list, "C:\\Users\\me\\Downloads\\");
    EXPECT_EQ(FolderRulesText(list), "F:\\New\tmaxfiles=9\r\nE:\\no tab here age=3");
    // Two lines that disagree about one folder: it keeps every file.
    list = ParseFolderRules("C:\\x\tage=3\r\nC:\\x\tage=1");
    EXPECT_EQ(FindFolderRules(list, "C:\\x")->UnreadableText(), "a second line for this folder");
    // Setting the folder's rules leaves the other line as it was, and says nothing of it.
    FolderRules set = *FindFolderRules(list, "C:\\x");
    set.maxFiles = 7;
    SetFolderRules(list, "C:\\x", set);
    EXPECT_EQ(FolderRulesText(list), "C:\\x\tage=3;maxfiles=7\r\nC:\\x\tage=1");
    // A CR alone ends a line too: the next folder's rules are not taken into this one's.
    EXPECT_EQ(FolderRulesText(ParseFolderRules("C:\\a\tage=1\rC:\\b\tage=2\r\r\n")),
              "C:\\a\tage=1\r\nC:\\b\tage=2");
    ClearFolderRules(settings);
    EXPECT_EQ(settings.Get(keys::kFolderRules, "?"), "");
}

TEST(FolderRules, EveryValueThatDoesNotReadKeepsEveryFileAndIsWrittenBackAsItWas) {
    const char* unreadable[] = {
        "mode=both",
        "mode=",
        "age=abc",
        "age=36501",
        "age=-1",
        "age=1.5",
        "age=",
        "ageby=modified",
        "keep=a\\b",
        "keep=a:b",
        "keep=*.txt|x/y",
        "recycle=yes",
        "empty=1",
        "maxmb=0",
        "maxmb=1.5",
        "maxmb=-5",
        "maxmb=99999999999999",
        "maxfiles=0",
        "maxfiles=ten",
        "freebelowgb=0",
        "freebelowgb=1,5",
        "freebelowgb=.5",
        "freebelowgb=1.",
        "freebelowgb=1e3",
        "freebelowgb=1.1234567",
        "age",
        "junk",
    };
    const std::vector<FileEntry> files = {{"old.txt", 0, 10, 0}, {"a.torrent", 0, 10, 0}};
    for (const char* text : unreadable) {
        SCOPED_TRACE(text);
        const FolderRules rules = ParseRulesOfFolder(text);
        EXPECT_EQ(rules.UnreadableText(), text);
        EXPECT_EQ(RulesOfFolderText(rules), text);
        EXPECT_NE(FolderRulesSummary(rules).find(std::string(text) + " does not read"),
                  std::string::npos);
        const FolderDecision decision = DecideFolderFiles(
            files, EffectiveFolderChoices(true, RunRules{}, rules, PolicyFloor{}), kNow);
        EXPECT_TRUE(decision.ToDelete().empty());
        EXPECT_EQ(decision.keptRulesUnread.files, 2u);
    }
    // A good rule given twice does not read either.
    EXPECT_EQ(ParseRulesOfFolder("maxmb=5;maxmb=5").UnreadableText(), "maxmb=5");
}

// The files of one folder: name, size in MB, and days since the last write, the making and
// the last opening (-1: a date the file system does not keep).
struct TestFile {
    const char* name;
    std::int64_t written, created, opened;
};
const TestFile kFiles[] = {
    {"a.txt", 40, 2, 1},   {"b.txt", 2, 40, 50},  {"c.iso", 60, 60, 60},
    {"d.txt", 20, 50, 25}, {"e.txt", 10, -1, -1},
};

std::vector<FileEntry> Listing() {
    std::vector<FileEntry> files;
    const auto at = [](std::int64_t days) { return days < 0 ? kNoFileTime : kNow - days * kDay; };
    for (const TestFile& file : kFiles)
        files.push_back({file.name, 0, kMB, at(file.written), at(file.created), at(file.opened)});
    return files;
}

TEST(FolderRules, EachRuleGivenTwiceWithTwoGoodValuesKeepsEveryFile) {
    // Which of the two was meant is not known: neither is read, whichever comes first, and
    // the folder keeps every file until its rules are put right.
    const char* twice[][2] = {
        {"mode=folder", "mode=contents"},
        {"age=30", "age=1"},
        {"ageby=created", "ageby=opened"},
        {"keep=*.iso", "keep=*.txt"},
        {"recycle=on", "recycle=off"},
        {"empty=on", "empty=off"},
        {"maxmb=1", "maxmb=100"},
        {"maxfiles=1", "maxfiles=100"},
        {"freebelowgb=1", "freebelowgb=100000"},
    };
    for (const auto& pair : twice) {
        for (const std::string& text :
             {std::string(pair[0]) + ";" + pair[1], std::string(pair[1]) + "; " + pair[0]}) {
            SCOPED_TRACE(text);
            const FolderRules rules = ParseRulesOfFolder(text);
            EXPECT_FALSE(rules.unreadable.empty());
            EXPECT_NE(FolderRulesSummary(rules).find("keeps every file"), std::string::npos)
                << FolderRulesSummary(rules);
            const FolderDecision decision = DecideFolderFiles(
                Listing(), EffectiveFolderChoices(true, RunRules{}, rules, PolicyFloor{}), kNow);
            EXPECT_TRUE(decision.ToDelete().empty());
            EXPECT_EQ(decision.keptRulesUnread.files, std::size(kFiles));
        }
    }
}

char Letter(FileFate fate) {
    return "DKPCWU"[static_cast<int>(fate)];
}

TEST(FolderRules, AgeByEachDateThenTheCapOldestFirstUnderThePolicy) {
    // D deleted by age, K kept by age, P kept by pattern, C deleted by the cap, W kept within
    // the cap, U kept as the rules do not read.
    struct Case {
        const char* rules;
        std::int32_t policyAge;
        const char* fates;
        bool capMet;
    } cases[] = {
        {"", 0, "DDDDD", true},
        {"age=30", 0, "DKDKK", true},
        {"age=30;ageby=created", 0, "KDDDK", true},  // e keeps no creation date: its last write
        {"age=30;ageby=opened", 0, "KDDKK", true},
        {"age=30;keep=*.ISO", 0, "DKPKK", true},
        // A cap with no age: only the cap deletes, the oldest first; the kept file counts.
        {"maxfiles=2;keep=*.iso", 0, "CWPCC", true},
        {"age=15;maxmb=1", 0, "DKDDC", true},
        {"age=15;maxmb=1;ageby=created", 0, "KDDDC", true},  // by creation e is the younger
        {"maxfiles=1;keep=*.txt", 0, "PPCPP", false},
        // The policy's age is the least any folder has, by the last write whatever date the
        // folder goes by, and no cap takes what it keeps.
        {"age=1;ageby=created", 7, "KKPDD", true},
        {"maxfiles=2", 7, "CKPCC", true},
        // A cap met only by taking what the policy's age keeps is not met: it takes the rest.
        {"maxfiles=1", 7, "CKPCC", false},
        {"maxmb=1", 7, "CKPCC", false},
        {"maxfiles=1;age=30", 7, "DKPCC", false},
        {"age=0", 36500, "KKPKK", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rules);
        PolicyFloor policy{c.policyAge, {}};
        if (c.policyAge > 0) policy.keepPatterns = {"*.iso"};
        const FolderChoices choices =
            EffectiveFolderChoices(true, RunRules{}, ParseRulesOfFolder(c.rules), policy);
        const FolderDecision decision = DecideFolderFiles(Listing(), choices, kNow);
        std::string fates;
        for (const FileDecision& file : decision.files) fates += Letter(file.fate);
        EXPECT_EQ(fates, c.fates);
        EXPECT_EQ(decision.capMet, c.capMet);
        const FilesAndBytes going{decision.deletedByAge.files + decision.deletedByCap.files,
                                  decision.deletedByAge.bytes + decision.deletedByCap.bytes};
        EXPECT_EQ(decision.ToDelete().size(), going.files);
        EXPECT_EQ(going.bytes + decision.left.bytes, 5 * kMB);
        EXPECT_EQ(decision.Kept().size(), decision.left.files);
    }

    // A folder with no rules of its own decides exactly as a run of today does.
    RunRules options;
    options.minimumAgeDays = 30;
    options.keepPatterns = {"*.iso"};
    const FolderDecision plain = DecideFolderFiles(
        Listing(), EffectiveFolderChoices(false, options, FolderRules{}, PolicyFloor{}), kNow);
    for (const FileDecision& file : plain.files)
        EXPECT_EQ(KeepReason(file.file, options, kNow).value_or(""), file.reason) << file.file.name;
    EXPECT_EQ(FolderDecisionText(plain),
              "1 file deleted by age (1.0 MB), 3 kept by age (3.0 MB), 1 kept by pattern (1.0 MB)");

    // The folder's own choices over the options', and the policy's patterns added.
    Policies policies;
    policies.settings = {{keys::kMinimumAgeDays, "x"}, {keys::kKeepPatterns, "*.bak; *.iso"}};
    const FolderChoices own = EffectiveFolderChoices(
        true, options, ParseRulesOfFolder("mode=contents;recycle=on;empty=on;keep=*.log"),
        ReadPolicyFloor(policies));
    EXPECT_FALSE(own.recycleFolders);
    EXPECT_TRUE(own.rules.recycleFiles && own.rules.removeEmptySubfolders);
    EXPECT_EQ(own.rules.minimumAgeDays, 36500);
    EXPECT_EQ(own.rules.keepPatterns, (std::vector<std::string>{"*.iso", "*.log", "*.bak"}));
}

TEST(FolderRules, FreeSpaceConditionAndTheHistoryLines) {
    constexpr std::uint64_t kGB = 1024 * kMB;
    struct Case {
        const char* rules;
        std::optional<std::uint64_t> free;
        bool clears;
    } cases[] = {
        {"", std::nullopt, true},
        {"freebelowgb=20", 20 * kGB - 1, true},
        {"freebelowgb=20", 20 * kGB, false},
        {"freebelowgb=20", std::nullopt, false},
        {"freebelowgb=0.5", 400 * kMB, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClearsAtFreeSpace(
                      EffectiveFolderChoices(true, {}, ParseRulesOfFolder(c.rules), {}), c.free),
                  c.clears)
            << c.rules;

    EXPECT_EQ(CapDeletedText("C:\\x", {10240, {}}, 3, 1258291).Text(),
              "Deleted to keep folder under 10,240 MB  C:\\x (3 files, 1.2 MB)");
    EXPECT_EQ(CapNotMetText("C:\\x", {10240, 500}, 1, 12884901888).Text(),
              "Could not keep folder under 10,240 MB and at most 500 files  C:\\x (1 file, 12.0 "
              "GB stay)");
    EXPECT_EQ(FreeSpaceSkippedText("c:\\Cache", 45204955545).Text(),
              "Skipped folder, 42.1 GB free on C:  c:\\Cache");
    EXPECT_EQ(FreeSpaceSkippedText("\\\\srv\\share\\tmp", std::nullopt).Text(),
              "Skipped folder, free space on \\\\srv\\share unknown  \\\\srv\\share\\tmp");
    EXPECT_EQ(RulesUnreadText("C:\\x", "age=abc").Text(),
              "Kept every file, the folder's rules do not read  C:\\x (age=abc)");
}

// A folder's own rules through the run and the preview, as the window and /run go.
TEST(FolderRulesRun, EachFolderGoesByItsOwnRulesAndATreeWithoutThemAsBefore) {
    constexpr std::uint64_t kGB = 1024 * kMB;
    struct Case {
        const char* rules;
        bool folderMode;
        std::int32_t policyAge;
        std::uint64_t freeBytes;
        std::vector<std::string> stay;
        const char* history;  // a line of the run, or part of it
        const char* preview;  // part of the preview
    } cases[] = {
        {"age=10",
         false,
         0,
         0,
         {"new.txt"},
         "Deleted content of folder  C:\\Data\\A",
         "its own rules: older than 10 days: 3 files deleted by age"},
        {"age=10;ageby=created",
         false,
         0,
         0,
         {"mid.txt", "new.txt"},
         "Deleted content",
         "by creation"},
        {"age=10;ageby=opened",
         false,
         0,
         0,
         {"old.txt", "new.txt"},
         "Deleted content",
         "by last opening"},
        // No age: only the cap takes, the oldest first; the kept pattern counts towards it.
        {"keep=*.ISO;maxmb=1",
         false,
         0,
         0,
         {"new.txt", "keep.iso"},
         "Deleted to keep folder under 1 MB  C:\\Data\\A (2 files, ",
         "2 deleted by the cap"},
        {"keep=*.iso|*.txt;maxfiles=1",
         false,
         0,
         0,
         {"old.txt", "mid.txt", "new.txt", "keep.iso"},
         "Could not keep folder at most 1 file  C:\\Data\\A (4 files, ",
         "cannot be met"},
        {"freebelowgb=10",
         false,
         0,
         20 * kGB,
         {"old.txt", "mid.txt", "new.txt", "keep.iso"},
         "Skipped folder, 20",
         "C:\\Data\\A: skipped, 20"},
        {"freebelowgb=30", false, 0, 20 * kGB, {}, "Deleted content", "4 files deleted by age"},
        {"age=abc;maxmb=1",
         true,
         0,
         0,
         {"old.txt", "mid.txt", "new.txt", "keep.iso"},
         "Kept every file, the folder's rules do not read  C:\\Data\\A (age=abc)",
         "every file kept, 4 files"},
        // The policy's age is the least a folder may use, and binds by the last write too.
        {"age=1;ageby=opened",
         false,
         30,
         0,
         {"old.txt", "mid.txt", "new.txt"},
         "Deleted content",
         "1 file deleted by age"},
        // The folder's own mode: the run says contents, the folder says folder.
        {"mode=folder", false, 0, 0, {}, "Deleted folder  C:\\Data\\A", "go to the Recycle Bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rules);
        testing::DeleterAlone alone;
        auto& fs = alone.sys.fileSystem;
        alone.sys.clock.Set(2026, 12, 8, 12, 0, 0);
        const std::int64_t now = alone.sys.clock.UtcSeconds();
        fs.AddFolder("C:\\Data");
        fs.AddFolder("C:\\Data\\A");
        fs.AddFolder("C:\\Data\\B");
        // name, written, created, last opened (days ago; -1: the file system keeps none)
        const std::tuple<const char*, int, int, int> files[] = {{"old.txt", 40, 40, 1},
                                                                {"mid.txt", 20, 2, 20},
                                                                {"new.txt", 1, -1, -1},
                                                                {"keep.iso", 50, -1, -1}};
        const auto ago = [now](int days) { return days < 0 ? kNoFileTime : now - days * kDay - 1; };
        for (const auto& [name, written, created, opened] : files) {
            for (const char* folder : {"C:\\Data\\A\\", "C:\\Data\\B\\"}) {
                const std::string path = folder + std::string(name);
                fs.AddFile(path, std::string(400 * 1024, 'x'));
                fs.SetModified(path, ago(written));
                fs.SetTimes(path, ago(created), ago(opened));
            }
        }
        if (c.freeBytes) fs.SetFreeSpace("C:", c.freeBytes);
        alone.sys.settings.Set(keys::kFolderRules, std::string("C:\\Data\\A\t") + c.rules);
        RunChoices choices = alone.Choices(c.folderMode);
        Policies policies;
        if (c.policyAge) policies.settings[keys::kMinimumAgeDays] = std::to_string(c.policyAge);
        choices.policy = ReadPolicyFloor(policies);
        const std::vector<std::string> entries{"C:\\Data\\A", "C:\\Data\\B"};

        const std::string preview = PreviewReport(alone.deleter.PlanRun(entries, choices), choices);
        EXPECT_NE(preview.find(c.preview), std::string::npos) << preview;
        const RunReport report = alone.deleter.DeleteFoldersFiles(entries, choices);
        std::vector<std::string> stay;
        for (const auto& [name, written, created, opened] : files)
            if (fs.Exists("C:\\Data\\A\\" + std::string(name))) stay.push_back(name);
        std::vector<std::string> expected = c.stay;
        std::sort(stay.begin(), stay.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(stay, expected);
        const auto& lines = alone.history.lines;
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(c.history) != std::string::npos;
        })) << ::testing::PrintToString(lines);
        // The folder without rules of its own goes as the run says, under the policy too:
        // every file, but those written within the policy's age.
        std::uint64_t bStays = 0;
        for (const auto& [name, written, created, opened] : files)
            if (c.policyAge && written < c.policyAge) ++bStays;
        EXPECT_EQ(fs.ListFiles("C:\\Data\\B").size(), bStays);
        // The closing line counts the cap's files with the others.
        const std::uint64_t gone = 4 - stay.size(), deleted = 4 - bStays + gone;
        EXPECT_EQ(report.totals.filesDeleted, deleted);
        EXPECT_NE(report.summary.find(CountedText(deleted, "file", "files") + " deleted"),
                  std::string::npos)
            << report.summary;
    }
}

}  // namespace
}  // namespace ondrevan
