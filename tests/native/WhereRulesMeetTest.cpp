// Where features meet: the options, a folder's own rules, the policies, nested listed
// folders and both delete modes, through the doors a user takes (/preview, /run, /import,
// /status). Each row is a tree, what is set, and what the preview and the run then say.
#include <gtest/gtest.h>

#include <algorithm>

#include "FakeSystem.h"
#include "app/AdminCommands.h"
#include "app/CommandLine.h"
#include "platform/ValueForms.h"
#include "product/Policies.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using Lines = std::vector<std::string>;
constexpr std::int64_t kDay = 86400;

struct File {
    const char* path;
    int writtenDaysAgo;
    int openedDaysAgo;
};

struct Meeting {
    const char* name;
    Lines entries;
    bool folderMode;
    std::vector<std::pair<const char*, const char*>> settings;
    std::vector<std::pair<const char*, RegistryData>> policies;
    std::vector<File> files;
    Lines stay;   // files still there after the run, neither deleted nor recycled
    Lines toBin;  // files the run sent to the Recycle Bin
    int exitCode;
    Lines history;        // parts of history lines the run must write
    Lines absent;         // ... and must not
    std::string preview;  // part of /preview's report
};

class WhereRulesMeet : public ::testing::Test {
  protected:
    testing::FakeSystem sys;
    const std::string historyFile = "C:\\Temp\\Ondrevan.txt";

    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.environment.variables["WINDIR"] = "C:\\Windows";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Windows");
        sys.clock.Set(2026, 12, 9, 12, 0, 0);
    }

    void Plant(const std::vector<File>& files) {
        const std::int64_t now = sys.clock.UtcSeconds();
        for (const File& file : files) {
            const std::string path = file.path;
            for (std::size_t at = path.find('\\', 3); at != std::string::npos;
                 at = path.find('\\', at + 1))
                if (!sys.fileSystem.Exists(path.substr(0, at)))
                    sys.fileSystem.AddFolder(path.substr(0, at));
            sys.fileSystem.AddFile(path, "12345");
            sys.fileSystem.SetModified(path, now - file.writtenDaysAgo * kDay - 1);
            sys.fileSystem.SetTimes(path, now - file.writtenDaysAgo * kDay - 1,
                                    now - file.openedDaysAgo * kDay - 1);
        }
    }

    int Run(CommandMode mode, std::string& output) {
        return RunFromCommandLine(mode, sys.services(), output);
    }
};

TEST_F(WhereRulesMeet, PreviewAndRunAgreeAndNothingTheRulesKeepIsLost) {
    using testing::NumberData, testing::TextData;
    const Meeting meetings[] = {
        {"a policy's Recycle Bin binds a folder whose own rules say off",
         {"C:\\Data"},
         false,
         {{keys::kFolderRules, "C:\\Data\trecycle=off"}},
         {{keys::kRecycleFiles, NumberData(1)}},
         {{"C:\\Data\\a.txt", 5, 5}},
         {},
         {"C:\\Data\\a.txt"},
         0,
         {"Sent content of folder to the Recycle Bin  C:\\Data"},
         {"Deleted content"},
         "1 file (5 bytes) would go to the Recycle Bin"},
        {"a file opened yesterday below a folder that ages files by opening keeps the folder",
         {"C:\\Data"},
         true,
         {{keys::kFolderRules, "C:\\Data\tage=30;ageby=opened"}},
         {},
         {{"C:\\Data\\old.txt", 100, 100}, {"C:\\Data\\sub\\read.txt", 100, 1}},
         {"C:\\Data\\sub\\read.txt"},
         {},
         0,
         {"Kept folder  C:\\Data (it holds a file the rules keep: C:\\Data\\sub\\read.txt "
          "(younger than 30 days by last opening))"},
         {"Could not send folder"},
         "the folder stays: it holds a file the rules keep: C:\\Data\\sub\\read.txt"},
        {"a listed folder's own rules keep its parent in place",
         {"C:\\Data\\", "C:\\Data\\Logs\\"},
         true,
         {{keys::kFolderRules, "C:\\Data\\Logs\\\tkeep=*.log"}},
         {},
         {{"C:\\Data\\top.txt", 9, 9},
          {"C:\\Data\\Logs\\a.log", 9, 9},
          {"C:\\Data\\Logs\\b.txt", 9, 9}},
         {"C:\\Data\\Logs\\a.log"},
         {},
         0,
         {"Kept folder  C:\\Data (it holds the listed folder C:\\Data\\Logs, whose own rules "
          "keep C:\\Data\\Logs\\a.log (matches *.log))",
          "Kept by the rules in folder  C:\\Data\\Logs (1 file)"},
         {"Folder not found", "Deleted folder  C:\\Data\r"},
         "C:\\Data\\: 1 file (5 bytes) would be deleted; the folder stays: it holds the listed "
         "folder C:\\Data\\Logs"},
        {"a rule written in another form finds its folder; a folder listed twice is cleared once",
         {"C:\\Data", "c:/DATA//"},
         false,
         {{keys::kFolderRules, "c:\\data\\\tkeep=*.keep"}},
         {},
         {{"C:\\Data\\a.txt", 9, 9}, {"C:\\Data\\b.keep", 9, 9}},
         {"C:\\Data\\b.keep"},
         {},
         0,
         {"Passed over, listed twice  c:\\DATA (first as C:\\Data)", "1 file kept by the rules"},
         {"0 files kept"},
         "c:/DATA//: listed before as C:\\Data: cleared once"},
        {"every refused entry is said, counted and fails the run",
         {"C:\\T\\*y", "C:T\\rel", "C:\\Windows", "C:\\Data"},
         false,
         {},
         {},
         {{"C:\\Data\\a.txt", 9, 9}},
         {},
         {},
         1,
         {"Refused  C:\\T\\*y (it holds a character no path can hold)",
          "Refused  C:T\\rel (not a full path)", "Refused  C:\\Windows (a protected folder)",
          "Deleted content of folder  C:\\Data", ", 3 entries refused"},
         {},
         "3 entries refused"},
        {"the preview's total names each folder's own verb",
         {"C:\\Data", "C:\\Bin"},
         false,
         {{keys::kFolderRules, "C:\\Bin\trecycle=on"}},
         {},
         {{"C:\\Data\\a.txt", 9, 9}, {"C:\\Bin\\b.txt", 9, 9}},
         {},
         {"C:\\Bin\\b.txt"},
         0,
         {"Sent content of folder to the Recycle Bin  C:\\Bin"},
         {},
         "Total: 1 file (5 bytes) would be deleted, 1 file (5 bytes) would go to the Recycle Bin"},
        {"stored keep patterns the options window refuses keep every file",
         {"C:\\Data"},
         false,
         {{keys::kKeepPatterns, "*.iso|*.txt"}},
         {},
         {{"C:\\Data\\a.txt", 9, 9}},
         {"C:\\Data\\a.txt"},
         {},
         1,
         {"Kept every file, the folder's rules do not read  C:\\Data (KeepPatterns=*.iso|*.txt)"},
         {"Deleted content"},
         "every file kept"},
        {"a policy's patterns that do not read leave the user's own in force",
         {"C:\\Data"},
         false,
         {{keys::kKeepPatterns, "*.keep"}},
         {{keys::kKeepPatterns, TextData("C:\\Data\\*.keep")}},
         {{"C:\\Data\\a.txt", 9, 9}, {"C:\\Data\\b.keep", 9, 9}},
         {"C:\\Data\\b.keep"},
         {},
         0,
         {"Kept by the rules in folder  C:\\Data (1 file)"},
         {},
         "1 file (5 bytes) kept by the rules"},
    };
    for (const Meeting& m : meetings) {
        SCOPED_TRACE(m.name);
        SetUp();
        sys.shell.recycledFiles.clear();
        sys.shell.recycled.clear();
        sys.registry.ClearPolicies();
        for (const char* folder : {"C:\\Data", "C:\\Bin", "C:\\T"})
            if (sys.fileSystem.Exists(folder)) sys.fileSystem.Remove(folder);
        if (sys.fileSystem.Exists(historyFile)) sys.fileSystem.Remove(historyFile);
        for (const char* key : {keys::kFolderRules, keys::kKeepPatterns, keys::kRecycleFiles})
            sys.settings.Set(key, "");
        Plant(m.files);
        sys.settings.Set(keys::kFolders, JoinFolderList(m.entries));
        sys.settings.Set(keys::kOption1, m.folderMode ? "True" : "False");
        for (const auto& [key, value] : m.settings) sys.settings.Set(key, value);
        for (const auto& [name, data] : m.policies)
            sys.registry.SetPolicy(RegistryRoot::LocalMachine, name, data);

        std::string preview;
        EXPECT_EQ(Run(CommandMode::Preview, preview), 0);
        EXPECT_NE(preview.find(m.preview), std::string::npos) << preview;

        std::string output;
        EXPECT_EQ(Run(CommandMode::Run, output), m.exitCode) << output;
        for (const File& file : m.files) {
            const bool stays = std::find(m.stay.begin(), m.stay.end(), file.path) != m.stay.end();
            const bool binned =
                std::find(m.toBin.begin(), m.toBin.end(), file.path) != m.toBin.end();
            const auto& recycled = sys.shell.recycledFiles;
            EXPECT_EQ(sys.fileSystem.Exists(file.path), stays) << file.path;
            EXPECT_EQ(std::find(recycled.begin(), recycled.end(), file.path) != recycled.end(),
                      binned)
                << file.path;
        }
        const std::string history = sys.fileSystem.Content(historyFile);
        for (const std::string& line : m.history)
            EXPECT_NE(history.find(line), std::string::npos) << line << "\n" << history;
        for (const std::string& line : m.absent)
            EXPECT_EQ(history.find(line), std::string::npos) << line << "\n" << history;
    }
}

TEST_F(WhereRulesMeet, ImportRefusesWhatTheWindowsRefuseAndStatusReadsTheIntervalAsTheTickDoes) {
    const struct {
        const char* line;
        bool refused;
    } imports[] = {
        {"KeepPatterns=*.keep; C:\\Data\\*.doc", true},
        {"KeepPatterns=*.iso|*.txt", true},
        {"KeepPatterns=*.keep; desktop.ini", false},
        {"ProtectedFolders=Data\\Keep", true},
        {"ProtectedFolders=C:\\Data\\Keep", false},
        {"MinimumAgeDays=36500", false},
        {"MinimumAgeDays=36501", true},
        {"HotKey=Alt+F4", true},
        {"FolderRules=C:\\Data\tage=abc", true},
        {"FolderRules=C:\\Data\tage=30;keep=*.log", false},
    };
    for (const auto& i : imports) {
        SCOPED_TRACE(i.line);
        sys.fileSystem.AddFile("C:\\Temp\\s.txt", std::string(i.line) + "\r\n");
        std::string output;
        const int code = ImportSettings(sys.services(), "C:\\Temp\\s.txt", output);
        EXPECT_EQ(code, i.refused ? 1 : 0) << output;
        sys.fileSystem.Remove("C:\\Temp\\s.txt");
    }

    // "0.6" second is counted as 1 by the tick: /status reads it so, and "1.5" as 2.
    for (const auto& [seconds, shown] :
         {std::pair{"0.6", "every 0 h 0 min 1 s"}, std::pair{"1.5", "every 0 h 0 min 2 s"}}) {
        sys.settings.Set(keys::kText1, "0");
        sys.settings.Set(keys::kText2, "0");
        sys.settings.Set(keys::kText3, seconds);
        std::string output;
        ShowStatus(sys.services(), output);
        EXPECT_NE(output.find(shown), std::string::npos) << output;
    }
}

}  // namespace
}  // namespace ondrevan
