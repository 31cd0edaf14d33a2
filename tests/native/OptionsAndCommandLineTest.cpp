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
