#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/OptionsForm.h"
#include "platform/HotKey.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using Lines = std::vector<std::string>;

TEST(CommandLine, KnowsItsThreeSwitchesAndNothingElse) {
    EXPECT_EQ(ParseCommandLine({}), CommandMode::Window);
    EXPECT_EQ(ParseCommandLine({"/preview"}), CommandMode::Preview);
    EXPECT_EQ(ParseCommandLine({"-PREVIEW"}), CommandMode::Preview);
    EXPECT_EQ(ParseCommandLine({"/Run"}), CommandMode::Run);
    EXPECT_EQ(ParseCommandLine({"/?"}), CommandMode::Usage);
    EXPECT_EQ(ParseCommandLine({"/Exit"}), CommandMode::Exit);
    for (const Lines& bad : {Lines{"/runx"}, Lines{"run"}, Lines{"/"}, Lines{"/run", "/preview"},
                             Lines{"C:\\Data"}, Lines{""}})
        EXPECT_EQ(ParseCommandLine(bad), CommandMode::BadUsage) << bad.size();
}

// Only a command line with nothing after the program starts without the shell's parser:
// whatever else it holds, even an empty pair of quotes, goes to the parser and is judged.
TEST(CommandLine, SeesAnythingAfterTheProgramsNameAsTheSystemSplitsIt) {
    const struct {
        const char* commandLine;
        bool hasArguments;
    } rows[] = {
        {"", false},
        {"Ondrevan.exe", false},
        {"Ondrevan.exe   \t ", false},
        {"\"C:\\Program Files\\Ondrevan\\Ondrevan.exe\"", false},
        {"\"C:\\Program Files\\Ondrevan\\Ondrevan.exe\"  ", false},
        {"\"C:\\Program Files\\Ondrevan\\Ondrevan.exe\"/run", true},
        {"\"C:\\Program Files\\Ondrevan\\Ondrevan.exe\" \"\"", true},
        {"C:\\Ondrevan\\Ondrevan.exe /run", true},
        {"C:\\Ondrevan\\Ondrevan.exe\t/status", true},
        {"\"C:\\Program Files\\Ondrevan", false},
        {"\"Ond rev\"an.exe", true},
        {"Ondrevan.exe /Б", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(HasArgumentsAfterProgram(row.commandLine), row.hasArguments) << row.commandLine;
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
    sys.settings.Set(keys::kFolders, JoinFolderList({"C:\\Data"}));
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
          "sent to the Recycle Bin, 0 files kept by the rules, 1 entry refused"}},
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

TEST(OptionsForm, StoresATextWhenTheUserIsDoneWithItAndARefusedOneLeavesTheValueInForce) {
    testing::FakeSystem sys;
    AppSettings settings(sys.settings);
    sys.settings.Set(keys::kMinimumAgeDays, "45");
    OptionsForm options({.settings = settings});
    const std::size_t writes = sys.settings.writes.size();
    options.Load();
    EXPECT_EQ(options.txtMinimumAge.Text(), "45");
    EXPECT_EQ(sys.settings.writes.size(), writes) << "restoring the fields stores nothing";
    auto stored = [&](const char* key) { return sys.settings.Get(key).value_or("(none)"); };
    auto type = [](TextBox& box, const std::string& text) {  // a key at a time
        for (std::size_t i = 0; i <= text.size(); ++i) box.SetText(text.substr(0, i));
    };

    // On the way from 45 to 46 the field reads 4: none of it is in force until the user leaves.
    options.txtMinimumAge.SetText("4");
    options.txtMinimumAge.SetText("46");
    EXPECT_EQ(stored(keys::kMinimumAgeDays), "45");
    options.txtMinimumAge.LostFocus.Raise();
    EXPECT_EQ(stored(keys::kMinimumAgeDays), "46");

    // Refused, typed a key at a time, then left and the window closed: the value in force stays
    // and the line under the field says so.
    const struct {
        TextBox& box;
        Label& fault;
        const char* key;
        const char* typed;
        const char* says;
    } refused[] = {
        {options.txtMinimumAge, options.lblMinimumAgeFault, keys::kMinimumAgeDays, "36501",
         "Not saved: The age must be a whole number of days from 0 to 36500. The value in force "
         "is 46."},
        {options.txtKeepPatterns, options.lblKeepPatternsFault, keys::kKeepPatterns, "a|b",
         "Not saved: A pattern cannot hold : < > | \" or a control character. No pattern is in "
         "force."},
        {options.txtKeepPatterns, options.lblKeepPatternsFault, keys::kKeepPatterns,
         "C:\\data\\*.txt",
         "Not saved: A pattern is matched against a file's name: it cannot hold \\ or /. No "
         "pattern is in force."},
        {options.txtProtectedFolders, options.lblProtectedFoldersFault, keys::kProtectedFolders,
         "C:\\Keep\r\nrelative",
         "Not saved: Each folder must be a full path, such as C:\\Data\\Keep: \"relative\" is "
         "not. None of your folders is protected now."},
    };
    for (const auto& c : refused) {
        const std::string before = stored(c.key);
        type(c.box, c.typed);
        c.box.LostFocus.Raise();
        options.Window.Closing.Raise();
        EXPECT_EQ(stored(c.key), before) << c.typed;
        EXPECT_EQ(c.fault.Caption(), c.says) << c.typed;
    }
    options.Load();  // opened again: what is in force, and nothing to say
    EXPECT_EQ(options.txtMinimumAge.Text(), "46");
    EXPECT_EQ(options.txtKeepPatterns.Text(), "");
    EXPECT_EQ(options.txtProtectedFolders.Text(), "");
    for (const Label* fault : {&options.lblMinimumAgeFault, &options.lblKeepPatternsFault,
                               &options.lblProtectedFoldersFault})
        EXPECT_EQ(fault->Caption(), "") << fault->Name();

    // Enter, or the window closing, is done with every field at once.
    type(options.txtKeepPatterns, "*.keep; desktop.ini");
    options.txtProtectedFolders.SetText("C:\\Keep\r\n\r\n D:\\Also ");
    options.Window.Accept.Raise();
    EXPECT_EQ(stored(keys::kKeepPatterns), "*.keep; desktop.ini");
    EXPECT_EQ(stored(keys::kProtectedFolders), JoinFolderList({"C:\\Keep", "D:\\Also"}));
    options.txtMinimumAge.SetText("7");
    options.Window.Closing.Raise();
    EXPECT_EQ(stored(keys::kMinimumAgeDays), "7");

    options.chkRecycleFiles.SetChecked(true);
    options.chkRemoveEmptySubfolders.SetChecked(true);
    EXPECT_EQ(sys.settings.Get(keys::kRecycleFiles), std::optional<std::string>("On"));
    EXPECT_EQ(sys.settings.Get(keys::kRemoveEmptySubfolders), std::optional<std::string>("On"));
}

TEST(OptionsForm, AValueEditedByHandShowsWhatIsInForceAndIsNotRewritten) {
    for (const char* age : {"abc", "99999999999", "-5", "", "4 5"}) {
        testing::FakeSystem sys;
        AppSettings settings(sys.settings);
        sys.settings.Set(keys::kMinimumAgeDays, age);
        sys.settings.Set(keys::kHotKey, "Alt+F4");
        OptionsForm options({.settings = settings});
        options.Load();
        EXPECT_EQ(options.txtMinimumAge.Text(), "36500") << age;
        EXPECT_EQ(
            options.lblMinimumAgeFault.Caption(),
            "\"" + std::string(age) + "\" cannot be read as an age. The value in force is 36500.");
        EXPECT_EQ(options.hkHotKey.Value(), kDefaultHotKey);
        EXPECT_EQ(options.lblHotKeyFault.Caption(),
                  "The hot key \"Alt+F4\" cannot be used. The hot key in force is Ctrl+Shift+T.");
        options.Window.Closing.Raise();
        EXPECT_EQ(sys.settings.Get(keys::kMinimumAgeDays), std::optional<std::string>(age))
            << "nothing the user did not type is stored";
        EXPECT_EQ(sys.settings.Get(keys::kHotKey), std::optional<std::string>("Alt+F4"));
    }
}

TEST(OptionsForm, OnlyAWholeAcceptedHotKeyIsStoredAndNoneSwitchesItOff) {
    testing::FakeSystem sys;
    AppSettings settings(sys.settings);
    sys.settings.Set(keys::kHotKey, "Ctrl+Alt+K");
    OptionsForm options({.settings = settings});
    options.Load();
    int applied = 0;
    options.HotKeyChanged.Handle([&] { ++applied; });
    constexpr int kF4 = 0x73, kF9 = 0x78, kF12 = 0x7B;
    const std::string inForce = " The hot key in force is Ctrl+Alt+K.";
    // What the field reports as keys go down: nothing while only modifiers are held.
    const struct {
        HotKeySpec pressed;
        std::string says;
    } presses[] = {
        {{}, ""},  // Ctrl, Alt or Shift held alone, Alt+Tab away, Ctrl+Alt+Delete
        {{false, true, false, false, kF4},
         "Not saved: Alt+F4 closes the window in front in every program: choose another key." +
             inForce},
        {{false, false, true, false, 'K'},
         "Not saved: Shift+K is pressed as you type: add Ctrl or Alt, or choose a function key." +
             inForce},
        {{true, false, false, false, 'C'},
         "Not saved: Ctrl+C copies in nearly every program: choose another key." + inForce},
        {{false, false, false, false, kF12},
         "Not saved: F12 saves as, or opens the developer tools, in many programs: choose "
         "another key." +
             inForce},
        {{}, ""},
    };
    for (const auto& press : presses) {
        options.hkHotKey.SetValue(press.pressed);
        EXPECT_EQ(sys.settings.Get(keys::kHotKey), std::optional<std::string>("Ctrl+Alt+K"))
            << HotKeyText(press.pressed);
        EXPECT_EQ(options.lblHotKeyFault.Caption(), press.says);
        EXPECT_EQ(press.says.find("Win"), std::string::npos) << "the field cannot take Win";
    }
    EXPECT_EQ(applied, 0);
    options.hkHotKey.LostFocus.Raise();
    EXPECT_EQ(options.hkHotKey.Value(), *ParseHotKey("Ctrl+Alt+K"))
        << "left unfinished, the field shows the key in force again";

    options.hkHotKey.SetValue({true, false, true, false, kF9});
    EXPECT_EQ(sys.settings.Get(keys::kHotKey), std::optional<std::string>("Ctrl+Shift+F9"));
    EXPECT_EQ(applied, 1);
    options.cmdNoHotKey.Click.Raise();
    EXPECT_EQ(sys.settings.Get(keys::kHotKey), std::optional<std::string>(""));
    EXPECT_TRUE(options.hkHotKey.Value().Empty());
    EXPECT_EQ(applied, 2);
    options.Load();
    EXPECT_TRUE(options.hkHotKey.Value().Empty()) << "no hot key is in force";
    EXPECT_EQ(options.lblHotKeyFault.Caption(), "");
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

    // Asked for again while open, with a value typed and another refused in it.
    form.Options().txtMinimumAge.SetText("12");
    form.Options().txtKeepPatterns.SetText("a|b");
    form.ShowOptions();
    EXPECT_EQ(sys.settings.Get(keys::kMinimumAgeDays), std::optional<std::string>("12"));
    EXPECT_FALSE(sys.settings.Get(keys::kKeepPatterns));
    EXPECT_EQ(form.Options().txtKeepPatterns.Text(), "") << "what is in force";
}

}  // namespace
}  // namespace ondrevan
