#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/OptionsForm.h"
#include "platform/AppSettings.h"
#include "platform/SettingKeys.h"
#include "platform/ValueForms.h"

namespace ondrevan {
namespace {

using Lines = std::vector<std::string>;

TEST(CommandLine, KnowsItsThreeSwitchesAndNothingElse) {
    EXPECT_EQ(ParseCommandLine({}), CommandMode::Window);
    EXPECT_EQ(ParseCommandLine({"/preview"}), CommandMode::Preview);
    EXPECT_EQ(ParseCommandLine({"-PREVIEW"}), CommandMode::Preview);
    EXPECT_EQ(ParseCommandLine({"/Run"}), CommandMode::Run);
    EXPECT_EQ(ParseCommandLine({"/?"}), CommandMode::Usage);
    for (const Lines& bad : {Lines{"/runx"}, Lines{"run"}, Lines{"/"}, Lines{"/run", "/preview"},
                             Lines{"C:\\Data"}, Lines{""}})
        EXPECT_EQ(ParseCommandLine(bad), CommandMode::BadUsage) << bad.size();
}

struct CommandLineFixture : ::testing::Test {
    testing::FakeSystem sys;
    const std::string history = "C:\\Temp\\Ondrevan.txt";
    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.environment.variables["WINDIR"] = "C:\\Windows";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Data");
        sys.fileSystem.AddFile("C:\\Data\\a.txt", "aaa");
        sys.fileSystem.AddFile("C:\\Data\\b.keep", "b");
        sys.settings.Set(keys::kFolders, JoinFolderList({"C:\\Data", "C:\\Windows"}));
        sys.settings.Set(keys::kOption1, "False");
        sys.settings.Set(keys::kCheck1, "1");  // the question is the window's: never asked here
        sys.settings.Set(keys::kKeepPatterns, "*.keep");
    }
    int Run(CommandMode mode, std::string& output) {
        return RunFromCommandLine(mode, sys.services(), output);
    }
};

TEST_F(CommandLineFixture, PreviewWritesThePlanAndDeletesNothing) {
    std::string output;
    EXPECT_EQ(Run(CommandMode::Preview, output), 0);
    EXPECT_EQ(output,
              "Preview of the next run: the folders stay, their files go\r\n"
              "C:\\Data: 1 file (3 bytes) would be deleted, 1 file (1 byte) kept by the rules; "
              "the folder stays\r\n"
              "C:\\Windows: refused (a protected folder)\r\n"
              "Total: 1 file (3 bytes) would be deleted, 1 file (1 byte) kept by the rules, 0 "
              "folders would go to the Recycle Bin, 1 entry refused\r\n");
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\a.txt"));
    EXPECT_FALSE(sys.fileSystem.Exists(history));
}

TEST_F(CommandLineFixture, RunDoesWhatAScheduledRunDoesAndItsExitCodeSaysWhetherAllWent) {
    std::string output;
    EXPECT_EQ(Run(CommandMode::Run, output), 0);
    EXPECT_TRUE(sys.dialogs.shown.empty()) << "no question, no box";
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\a.txt"));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\b.keep"));
    const std::string summary =
        "Run finished: 1 file deleted (3 bytes), 0 files could not be deleted, 0 folders sent "
        "to the Recycle Bin, 1 file kept by the rules";
    EXPECT_EQ(output, summary + "\r\n");
    EXPECT_NE(sys.fileSystem.Content(history).find(summary), std::string::npos);

    sys.fileSystem.AddFile("C:\\Data\\held.txt", "h");
    sys.fileSystem.Lock("C:\\Data\\held.txt");
    output.clear();
    EXPECT_EQ(Run(CommandMode::Run, output), 1) << "something could not be deleted";

    output.clear();
    EXPECT_EQ(Run(CommandMode::BadUsage, output), 2);
    EXPECT_EQ(output, kUsage);
}

TEST_F(CommandLineFixture, RunSaysWhatBecameOfEachKindOfEntryAndItsExitCodeFollows) {
    sys.fileSystem.AddFile("C:\\Tools\\np.exe", "program");
    sys.fileSystem.AddFolder("C:\\Empty");
    const struct {
        const char* name;
        Lines entries;
        bool recycleFilesWithoutABin;
        int exitCode;
        Lines historyLines;  // the run's lines, the closing line last
    } cases[] = {
        {"an empty list", {}, false, 0, {"Run finished: nothing to do: the list is empty"}},
        {"a file named in the list",
         {"C:\\Tools\\np.exe"},
         false,
         1,
         {"Refused  C:\\Tools\\np.exe (not a folder)",
          "Run finished: 0 files deleted (0 bytes), 0 files could not be deleted, 0 folders "
          "sent to the Recycle Bin, 0 files kept by the rules"}},
        {"a folder that is not there",
         {"C:\\Nope"},
         false,
         0,
         {"Folder not found  C:\\Nope",
          "Run finished: 0 files deleted (0 bytes), 0 files could not be deleted, 0 folders "
          "sent to the Recycle Bin, 0 files kept by the rules"}},
        {"an empty folder, no Recycle Bin for its files",
         {"C:\\Empty"},
         true,
         0,
         {"Sent content of folder to the Recycle Bin  C:\\Empty",
          "Run finished: 0 files deleted (0 bytes), 0 files could not be deleted, 0 folders "
          "sent to the Recycle Bin, 0 files sent to the Recycle Bin, 0 files kept by the rules"}},
        {"files with no Recycle Bin",
         {"C:\\Data"},
         true,
         1,
         {"Could not send the files to the Recycle Bin  C:\\Data (no Recycle Bin can be reached "
          "there)",
          "Kept by the rules in folder  C:\\Data (1 file)",
          "Run finished: 0 files deleted (0 bytes), 0 files could not be deleted, 0 folders "
          "sent to the Recycle Bin, 0 files sent to the Recycle Bin, 1 file could not be sent "
          "to the Recycle Bin, 1 file kept by the rules"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sys.fileSystem.Remove(history);
        sys.settings.Set(keys::kFolders, JoinFolderList(c.entries));
        sys.settings.Set(keys::kRecycleFiles, c.recycleFilesWithoutABin ? "On" : "Off");
        sys.shell.recycleBinThere = !c.recycleFilesWithoutABin;
        std::string output;
        EXPECT_EQ(Run(CommandMode::Run, output), c.exitCode);
        EXPECT_EQ(output, c.historyLines.back() + "\r\n");
        const std::string text = sys.fileSystem.Content(history);
        std::size_t lines = 0;
        for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2)
            ++lines;
        EXPECT_EQ(lines, c.historyLines.size()) << text;
        for (const std::string& line : c.historyLines)
            EXPECT_NE(text.find(" " + line + "\r\n"), std::string::npos) << line << "\n" << text;
    }
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Tools\\np.exe")) << "a listed file is never touched";
}

TEST(OptionsForm, StoresEachValidChangeAtOnceAndSaysWhyAnInvalidOneIsNot) {
    testing::FakeSystem sys;
    AppSettings settings(sys.settings);
    sys.settings.Set(keys::kMinimumAgeDays, "3");
    OptionsForm options({.settings = settings});
    const std::size_t writes = sys.settings.writes.size();
    options.Load();
    EXPECT_EQ(options.txtMinimumAge.Text(), "3");
    EXPECT_EQ(sys.settings.writes.size(), writes) << "restoring the fields stores nothing";

    options.txtMinimumAge.SetText("-2");
    EXPECT_EQ(options.lblMinimumAgeFault.Caption(),
              "The age must be a whole number of days from 0 to 36500.");
    EXPECT_EQ(sys.settings.Get(keys::kMinimumAgeDays), std::optional<std::string>("3"));
    options.txtMinimumAge.SetText("14");
    EXPECT_EQ(options.lblMinimumAgeFault.Caption(), "");
    EXPECT_EQ(sys.settings.Get(keys::kMinimumAgeDays), std::optional<std::string>("14"));

    options.txtKeepPatterns.SetText("logs\\*.txt");
    EXPECT_FALSE(sys.settings.Get(keys::kKeepPatterns));
    options.txtKeepPatterns.SetText("*.keep; desktop.ini");
    EXPECT_EQ(sys.settings.Get(keys::kKeepPatterns),
              std::optional<std::string>("*.keep; desktop.ini"));

    options.txtProtectedFolders.SetText("C:\\Keep\r\nrelative");
    EXPECT_FALSE(sys.settings.Get(keys::kProtectedFolders));
    EXPECT_NE(options.lblProtectedFoldersFault.Caption().find("\"relative\""), std::string::npos);
    options.txtProtectedFolders.SetText("C:\\Keep\r\n\r\n D:\\Also ");
    EXPECT_EQ(sys.settings.Get(keys::kProtectedFolders),
              std::optional<std::string>(JoinFolderList({"C:\\Keep", "D:\\Also"})));

    options.chkRecycleFiles.SetChecked(true);
    options.chkRemoveEmptySubfolders.SetChecked(true);
    EXPECT_EQ(sys.settings.Get(keys::kRecycleFiles), std::optional<std::string>("On"));
    EXPECT_EQ(sys.settings.Get(keys::kRemoveEmptySubfolders), std::optional<std::string>("On"));
}

TEST(OptionsForm, TheNoteSaysWhatCanBeRecoveredAndTheDefaultsChangeNothing) {
    testing::FakeSystem sys;
    sys.environment.variables["TEMP"] = "C:\\Temp";
    sys.fileSystem.AddFolder("C:\\Temp");
    Form1 form(sys.services());
    form.Form_Load();
    const std::string designed = form.Label4.Caption();
    EXPECT_EQ(designed.rfind("Note: Files are deleted permanently", 0), 0u);
    for (const char* key : {keys::kMinimumAgeDays, keys::kKeepPatterns, keys::kProtectedFolders,
                            keys::kRecycleFiles, keys::kRemoveEmptySubfolders})
        EXPECT_FALSE(sys.settings.Get(key)) << key << ": a first start stores no rule";
    form.ShowOptions().chkRecycleFiles.SetChecked(true);
    EXPECT_EQ(sys.settings.Get(keys::kRecycleFiles), std::optional<std::string>("On"))
        << "stored by the options window, in the program as built";
    EXPECT_EQ(form.Label4.Caption(),
              "Note: Files and folders go to the Recycle Bin: everything deleted can be recovered "
              "from it");
    form.Options().chkRecycleFiles.SetChecked(false);
    EXPECT_EQ(form.Label4.Caption(), designed);
}

}  // namespace
}  // namespace ondrevan
