#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "delete/DelFolders.h"
#include "history/History.h"
#include "platform/FolderPaths.h"
#include "platform/VisibleText.h"

namespace ondrevan {
namespace {

using Lines = std::vector<std::string>;
const char* kHistory = "C:\\Temp\\Ondrevan.txt";

struct DeleteFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;

    void SetUp() override {
        auto& env = sys.environment.variables;
        env["WINDIR"] = "C:\\Windows";
        env["SystemRoot"] = "C:\\WINDOWS";
        env["ProgramFiles"] = "C:\\Program Files";
        env["USERPROFILE"] = "C:\\Users\\ann";
        env["HOMEPATH"] = "\\Users\\ann";
        env["CommonProgramFiles"] = "C:\\Program Files\\Common Files";
        env["ALLUSERSPROFILE"] = "C:\\ProgramData";
        env["APPDATA"] = "C:\\Users\\ann\\AppData\\Roaming";
        env["TEMP"] = "C:\\Temp";
        sys.environment.systemDirectory = "C:\\Windows\\system32";
        sys.shell.specialFolders[35] = "C:\\ProgramData";
        auto& fs = sys.fileSystem;
        for (const char* folder :
             {"C:\\Windows", "C:\\Windows\\System32", "C:\\Windows\\Temp", "C:\\Program Files",
              "C:\\Users", "C:\\Users\\ann", "C:\\ProgramData", "C:\\Temp"})
            fs.AddFolder(folder);
        fs.AddAlias("C:\\PROGRA~1", "C:\\Program Files");
        fs.AddAlias("C:\\SysLink", "C:\\Windows\\System32");
        fs.AddAlias("D:\\Junction", "C:\\Users\\ann");
        sys.clock.Set(2026, 12, 8, 14, 30, 5);
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
    void AddTree(const std::string& folder) {
        sys.fileSystem.AddFolder(folder);
        sys.fileSystem.AddFile(folder + "\\a.txt", "a");
        sys.fileSystem.AddFile(folder + "\\read-only.txt", "r", attributes::kReadOnly);
        sys.fileSystem.AddFolder(folder + "\\Sub");
        sys.fileSystem.AddFile(folder + "\\Sub\\kept.txt", "k");
    }
    // Every line of the history file.
    Lines AllHistory() {
        Lines lines;
        std::string text = sys.fileSystem.Content(kHistory);
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    // The lines of the deletion steps, without the line that ends each run.
    Lines History() {
        Lines lines;
        for (std::string& line : AllHistory())
            if (line.find(" Run finished: ") == std::string::npos) lines.push_back(std::move(line));
        return lines;
    }
    void Run(Lines items) {
        form->ListView1.Clear();
        form->ListView1.AddRange(std::move(items));
        form->PushButton3.Click.Raise();
    }
};

TEST_F(DeleteFixture, RefusesEveryWrittenFormOfTheProtectedFoldersAndOfDriveRoots) {
    const char* refused[] = {
        "",
        "\\",
        "C:",
        "C:\\",
        "C:\\\\",
        "c:/",
        "C:\\.",
        "C:\\..\\..",
        "\\\\?\\C:\\",
        "C:\\Windows",
        "c:\\windows\\",
        "C:/Windows",
        "C:\\\\Windows\\\\",
        "C:\\Windows.",
        "C:\\Windows. .",
        "\\\\?\\C:\\Windows",
        "C:\\Windows\\System32\\..",
        "C:\\Temp\\..\\Windows",
        "C:\\Windows\\system32",
        "C:\\WINDOWS\\SYSTEM32\\",
        "C:\\SysLink",
        "C:\\PROGRA~1",
        "C:\\Program Files",
        "C:\\Program Files\\Common Files",
        "C:\\Users\\ann",
        "D:\\Junction",
        "C:\\ProgramData",
        "C:\\Users\\ann\\AppData\\Roaming",
        // not fully qualified: they would be resolved against the current folder
        "Windows",
        "C:foo",
        "..\\x",
        "\\Users\\ann",
        "\\Temp",
    };
    for (const char* path : refused)
        EXPECT_FALSE(form->Protection().CanDelete(path)) << '"' << path << '"';
    EXPECT_TRUE(sys.dialogs.shown.empty());
}

TEST_F(DeleteFixture, AllowsFoldersInsideBesideAndAboveProtectedOnes) {
    for (const char* path :
         {"C:\\Windows\\Temp", "C:\\Win", "C:\\Windows2", "D:\\a", "C:\\Users",
          "C:\\Users\\ann\\Downloads", "\\\\server\\share\\x", "C:\\Program Files (x86)"})
        EXPECT_TRUE(form->Protection().CanDelete(path)) << path;
}

TEST_F(DeleteFixture, AnUnsetVariableProtectsNothingAndBreaksNothing) {
    sys.environment.variables.erase("CommonProgramFiles");
    sys.environment.variables.erase("HOMEPATH");
    EXPECT_TRUE(form->Protection().CanDelete("C:\\Program Files\\Common Files"));
    EXPECT_FALSE(form->Protection().CanDelete("C:\\Program Files"));
}

TEST_F(DeleteFixture, FolderModeDeletesTheOwnFilesThenRecyclesTheFolderAndLogsBothInOrder) {
    AddTree("C:\\Work\\One");
    AddTree("C:\\Work\\Two");
    Run({"C:\\Work\\One\\", "C:\\Work\\Two"});
    EXPECT_EQ(sys.shell.recycled, (Lines{"C:\\Work\\One", "C:\\Work\\Two"}));
    EXPECT_EQ(History(), (Lines{"12/8/2026 2:30:05 PM Deleted content of folder  C:\\Work\\One",
                                "12/8/2026 2:30:05 PM Deleted folder  C:\\Work\\One",
                                "12/8/2026 2:30:05 PM Deleted content of folder  C:\\Work\\Two",
                                "12/8/2026 2:30:05 PM Deleted folder  C:\\Work\\Two"}));
    EXPECT_TRUE(sys.dialogs.shown.empty()) << "no message at the end";
}

TEST_F(DeleteFixture, ContentsModeDeletesOnlyTheFilesDirectlyInTheFolder) {
    AddTree("C:\\Work");
    sys.fileSystem.Lock("C:\\Work\\a.txt");
    form->Option2.SetValue(true);
    Run({"C:\\Work"});
    EXPECT_TRUE(sys.shell.recycled.empty());
    EXPECT_EQ(sys.fileSystem.Below("C:\\Work"),
              (Lines{"c:\\work", "c:\\work\\a.txt", "c:\\work\\sub", "c:\\work\\sub\\kept.txt"}))
        << "the locked file stays, the read-only one goes, the sub-folder is untouched";
    // The held file is named with its reason, and the run is summed up.
    EXPECT_EQ(AllHistory(),
              (Lines{"12/8/2026 2:30:05 PM Deleted content of folder  C:\\Work",
                     "12/8/2026 2:30:05 PM Could not delete file  C:\\Work\\a.txt (in use)",
                     "12/8/2026 2:30:05 PM Run finished: 1 file deleted (1 byte), 1 file could "
                     "not be deleted, 0 folders sent to the Recycle Bin"}));
}

TEST_F(DeleteFixture, AFolderTheRecycleBinRefusesStaysAndTheHistorySaysSo) {
    AddTree("C:\\One");
    AddTree("C:\\Two");
    sys.shell.refuseRecycling = true;
    Run({"C:\\One", "C:\\Gone"});
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\One\\Sub\\kept.txt")) << "it stays where it is";
    EXPECT_EQ(AllHistory(),
              (Lines{"12/8/2026 2:30:05 PM Deleted content of folder  C:\\One",
                     "12/8/2026 2:30:05 PM Could not send folder to the Recycle Bin  C:\\One (the "
                     "Recycle Bin did not take it)",
                     "12/8/2026 2:30:05 PM Folder not found  C:\\Gone",
                     "12/8/2026 2:30:05 PM Run finished: 2 files deleted (2 bytes), 0 files could "
                     "not be deleted, 0 folders sent to the Recycle Bin"}));
    sys.shell.refuseRecycling = false;
    Run({"C:\\Two"});
    EXPECT_EQ(AllHistory().back(),
              "12/8/2026 2:30:05 PM Run finished: 2 files deleted (2 bytes), 0 files could not be "
              "deleted, 1 folder sent to the Recycle Bin");
}

TEST_F(DeleteFixture, AFolderHoldingALinkAnywhereStaysAndTheHistorySaysWhy) {
    AddTree("C:\\Holder");
    sys.fileSystem.AddFolder("C:\\Holder\\Sub\\Deeper");
    sys.fileSystem.AddFolder("C:\\Holder\\Sub\\Deeper\\ToData",
                             attributes::kDirectory | attributes::kReparsePoint);
    AddTree("C:\\Plain");
    Run({"C:\\Holder", "C:\\Plain"});
    EXPECT_EQ(sys.shell.recycled, Lines{"C:\\Plain"});
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Holder\\Sub\\kept.txt"));
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Holder\\a.txt")) << "its own files still go";
    EXPECT_EQ(History()[1],
              "12/8/2026 2:30:05 PM Could not send folder to the Recycle Bin  C:\\Holder (it "
              "holds a link: C:\\Holder\\Sub\\Deeper\\ToData)");
}

TEST_F(DeleteFixture, WithoutARecycleBinAFolderStaysRatherThanGoingForGood) {
    AddTree("C:\\Work");
    sys.shell.recycleBinThere = false;
    Run({"C:\\Work"});
    EXPECT_TRUE(sys.shell.recycled.empty());
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Work\\Sub\\kept.txt"));
    EXPECT_EQ(History()[1],
              "12/8/2026 2:30:05 PM Could not send folder to the Recycle Bin  C:\\Work (no "
              "Recycle Bin can be reached there)");
}

TEST(RunSummary, CountsWithGroupedDigitsSizesAndSingulars) {
    EXPECT_EQ(RunSummary(1204, 90387456, 1, 2),
              "Run finished: 1,204 files deleted (86.2 MB), 1 file could not be deleted, 2 "
              "folders sent to the Recycle Bin");
    EXPECT_EQ(RunSummary(0, 0, 0, 0),
              "Run finished: 0 files deleted (0 bytes), 0 files could not be deleted, 0 folders "
              "sent to the Recycle Bin");
    EXPECT_EQ(RunSummary(1234567, 1536, 0, 1).substr(0, 46),
              "Run finished: 1,234,567 files deleted (1.5 KB)");
    EXPECT_NE(RunSummary(1, 5ull << 40, 0, 0).find("(5.0 TB)"), std::string::npos);
}

TEST_F(DeleteFixture, SaysEachRefusedEntryPassesOverABlankOneAndGoesOn) {
    AddTree("C:\\Work");
    Run({"C:\\Windows\\", "", "C:\\", "relative\\name", "C:\\Work"});
    EXPECT_EQ(sys.shell.recycled, Lines{"C:\\Work"});
    const Lines history = History();
    ASSERT_EQ(history.size(), 5u);
    EXPECT_NE(history[0].find("Refused  C:\\Windows (a protected folder)"), std::string::npos);
    EXPECT_NE(history[1].find("Refused  C: (a drive root)"), std::string::npos);
    EXPECT_NE(history[2].find("Refused  relative\\name (not a full path)"), std::string::npos);
    EXPECT_NE(AllHistory().back().find(", 3 entries refused"), std::string::npos);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Windows"));
    EXPECT_TRUE(sys.dialogs.shown.empty());
}

TEST_F(DeleteFixture, AMissingFolderIsLoggedAsNotFoundInEitherModeAndNothingIsRecycled) {
    for (const bool folderMode : {true, false}) {
        sys.fileSystem.Remove(kHistory);
        form->Option1.SetValue(folderMode);
        form->Option2.SetValue(!folderMode);
        Run({"C:\\Gone"});
        EXPECT_TRUE(sys.shell.recycled.empty());
        EXPECT_EQ(History(), Lines{"12/8/2026 2:30:05 PM Folder not found  C:\\Gone"});
    }
}

TEST_F(DeleteFixture, AFolderHoldingAProtectedFolderKeepsItsPlace) {
    sys.fileSystem.AddFile("C:\\Users\\stray.txt");
    Run({"C:\\Users"});
    EXPECT_TRUE(sys.shell.recycled.empty());
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Users\\stray.txt")) << "its own files still go";
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Users\\ann"));
    EXPECT_EQ(History(), (Lines{"12/8/2026 2:30:05 PM Deleted content of folder  C:\\Users",
                                "12/8/2026 2:30:05 PM Could not send folder to the Recycle Bin  "
                                "C:\\Users (it holds a protected folder)"}));
}

TEST_F(DeleteFixture, TheConfirmationNamesWhatItPassesOverAndWhyNotAmongThoseToDelete) {
    AddTree("C:\\Work");
    sys.fileSystem.AddFile("C:\\Users\\stray.txt", "ss");
    form->Check1.SetChecked(true);
    form->Option1.SetValue(false);
    form->Option2.SetValue(true);  // contents mode: no folder goes to the Recycle Bin
    sys.dialogs.answers = {MessageAnswer::No};
    Run({"C:\\", "C:\\Work", "C:\\Users"});
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    const std::string& text = sys.dialogs.shown[0].text;
    EXPECT_EQ(text.rfind("Are you sure you want to delete these folders?\r\n\r\n"
                         "Delete 3 files (4 bytes) from 2 folders?\r\n\r\nC:\\Work\r\nC:\\Users",
                         0),
              0u)
        << text;
    const std::size_t passed = text.find("Passed over or left standing:\r\nC:\\ (");
    EXPECT_NE(passed, std::string::npos) << text;
    EXPECT_EQ(text.find("C:\\Users", passed), std::string::npos) << "its own files go: " << text;
}

TEST_F(DeleteFixture, TheConfirmationListsTheFoldersAndNoDeletesNothing) {
    AddTree("C:\\Work");
    form->Check1.SetChecked(true);
    sys.dialogs.answers = {MessageAnswer::No};
    Run({"C:\\Work", "D:\\B"});
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].text,
              "Are you sure you want to delete these folders?\r\n\r\n"
              "Delete 2 files (2 bytes) from 1 folder and send 1 folder to the Recycle Bin?\r\n"
              "\r\nC:\\Work\r\n\r\n"
              "Passed over or left standing:\r\nD:\\B (not there)");
    EXPECT_EQ(sys.dialogs.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(sys.dialogs.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(sys.dialogs.shown[0].title, "Ondrevan");
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Work\\a.txt"));
    EXPECT_TRUE(History().empty());

    sys.dialogs.answers = {MessageAnswer::Yes};
    Run({"C:\\Work"});
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Work"));
}

TEST_F(DeleteFixture, AnEmptyListDoesNothingAndAsksNothing) {
    form->Check1.SetChecked(true);
    Run({});
    EXPECT_TRUE(sys.dialogs.shown.empty());
    EXPECT_FALSE(form->DeleteControls().AllowDeleteFolders());
}

TEST_F(DeleteFixture, ASecondRunInsideARunIsDropped) {
    AddTree("C:\\One");
    AddTree("C:\\Two");
    int inner = 0;
    sys.shell.whileRecycling = [&] {
        if (inner++ == 0) form->Deleter().DeleteFoldersFiles(form->ListView1.Items(), {});
    };
    Run({"C:\\One", "C:\\Two"});
    EXPECT_EQ(sys.shell.recycled, (Lines{"C:\\One", "C:\\Two"})) << "each folder once";
    EXPECT_EQ(History().size(), 4u);
    EXPECT_FALSE(form->Deleter().RunInProgress());
}

TEST_F(DeleteFixture, TheFolderTheCheckJudgedIsTheOneClearedAndNamed) {
    AddTree("C:\\s\\TB");
    AddTree("C:\\s\\Dots");
    Run({"C:\\s\\TB ", "C:/s//Dots..\\"});
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\s\\TB\\a.txt"));
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\s\\Dots\\a.txt"));
    EXPECT_EQ(sys.shell.recycled, (Lines{"C:\\s\\TB", "C:\\s\\Dots"}));
    const Lines lines = History();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "12/8/2026 2:30:05 PM Deleted content of folder  C:\\s\\TB");
    EXPECT_EQ(lines[3], "12/8/2026 2:30:05 PM Deleted folder  C:\\s\\Dots");
}

TEST_F(DeleteFixture, TheWindowAnswersBetweenFoldersAndWhileFilesGo) {
    sys.fileSystem.AddFolder("C:\\Many");
    for (int i = 0; i < 50; ++i) sys.fileSystem.AddFile("C:\\Many\\f" + std::to_string(i));
    Lines missing;
    for (int i = 0; i < 20; ++i) missing.push_back("C:\\Gone\\" + std::to_string(i));
    form->Option2.SetValue(true);
    const int before = sys.pump.calls;
    Run({"C:\\Many"});
    EXPECT_GE(sys.pump.calls - before, 50) << "a chance to answer for every file";
    const int middle = sys.pump.calls;
    Run(missing);
    EXPECT_GE(sys.pump.calls - middle, 20) << "and for every folder, even a missing one";
}

// The program ends while a run is under way (the close box, /exit, Windows ending the
// session): before it goes, the history says what the run did and that it was stopped.
TEST_F(DeleteFixture, ARunCutShortWritesWhatItDidAndWhyItStopped) {
    const std::string stamp = "12/8/2026 2:30:05 PM ";
    struct Case {
        const char* what;
        int stopWhenGone;  // files of C:\Big gone when the window is closed
        Lines lines;       // what the history holds at that moment
    };
    const std::vector<Case> cases = {
        {"between two files",
         3,
         {"Deleted content of folder  C:\\First",
          "Stopped clearing folder  C:\\Big (the run was stopped after deleting 3 files; the rest "
          "were left)",
          "Run stopped (Ondrevan was closed): 4 files deleted (4 bytes), 0 files could not be "
          "deleted, 0 folders sent to the Recycle Bin"}},
        {"between two folders",
         0,
         {"Deleted content of folder  C:\\First",
          "Run stopped (Ondrevan was closed): 1 file deleted (1 byte), 0 files could not be "
          "deleted, 0 folders sent to the Recycle Bin"}},
    };
    for (const Case& c : cases) {
        sys.fileSystem.Remove(kHistory);
        for (const char* folder : {"C:\\First", "C:\\Big", "C:\\Last"}) {
            sys.fileSystem.Remove(folder);
            sys.fileSystem.AddFolder(folder);
        }
        sys.fileSystem.AddFile("C:\\First\\a", "a");
        sys.fileSystem.AddFile("C:\\Last\\a", "a");
        for (int i = 0; i < 8; ++i) sys.fileSystem.AddFile("C:\\Big\\f" + std::to_string(i), "f");
        const auto gone = [&] {
            int n = 0;
            for (int i = 0; i < 8; ++i)
                n += !sys.fileSystem.Exists("C:\\Big\\f" + std::to_string(i));
            return n;
        };
        Lines atClose;
        bool stopped = false;
        sys.pump.onPump = [&](int) {
            if (stopped) return;
            if (sys.fileSystem.Exists("C:\\First\\a") || gone() != c.stopWhenGone) return;
            stopped = true;
            form->StopRunAtOnce("Ondrevan was closed");
            atClose = AllHistory();
        };
        form->Option2.SetValue(true);
        Run({"C:\\First", "C:\\Big", "C:\\Last"});
        sys.pump.onPump = nullptr;
        ASSERT_TRUE(stopped) << c.what;
        Lines expected;
        for (const std::string& line : c.lines) expected.push_back(stamp + line);
        EXPECT_EQ(atClose, expected) << c.what;
    }
    // Between runs there is nothing to write.
    sys.fileSystem.Remove(kHistory);
    form->StopRunAtOnce("Ondrevan was closed");
    EXPECT_FALSE(sys.fileSystem.Exists(kHistory));
}

TEST_F(DeleteFixture, AProtectedEntryWithoutADriveIsComparedAsWrittenAndNeverOpened) {
    AddTree("C:\\Work");
    sys.fileSystem.opened.clear();
    Run({"C:\\Work"});
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Work")) << "the run itself goes ahead";
    for (const std::string& path : sys.fileSystem.opened)
        EXPECT_NE(path.substr(0, 2), "\\\\") << "a network path was opened: " << path;
    EXPECT_FALSE(form->Protection().CanDelete("\\\\Users\\ann")) << "still refused, by its text";
}

TEST_F(DeleteFixture, AnEntryHoldingACharacterNoPathCanHoldIsShownAsItIsAndRefused) {
    AddTree("C:\\victim\\junk");
    AddTree("C:\\precious");
    AddTree("C:\\wild");
    const std::string smuggler = std::string("C:\\victim\\junk\0C:\\precious", 27);
    const Lines entries = {smuggler,     "C:\\wild\\*", "C:\\wild\\a?b", "C:\\wild<",
                           "C:\\wild|x", "C:\\wild\"",  "C:\\wild\tTab", "C:\\wild\\*.*"};
    for (const std::string& entry : entries)
        EXPECT_FALSE(form->Protection().CanDelete(entry)) << VisibleText(entry);
    EXPECT_TRUE(form->Protection().CanDelete("\\\\?\\C:\\wild")) << "the long-path prefix is fine";

    form->Check1.SetChecked(true);
    sys.dialogs.answers = {MessageAnswer::Yes};
    Run(entries);
    EXPECT_TRUE(sys.shell.recycled.empty());
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\precious\\a.txt"));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\victim\\junk\\a.txt"));
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\wild\\a.txt"));
    // Each is refused aloud, its characters made visible.
    const Lines history = History();
    ASSERT_EQ(history.size(), entries.size());
    for (const std::string& line : history)
        EXPECT_NE(line.find(" (it holds a character no path can hold)"), std::string::npos) << line;
    EXPECT_NE(history[0].find("Refused  C:\\victim\\junk"), std::string::npos) << history[0];
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_NE(sys.dialogs.shown[0].text.find("C:\\victim\\junk\xE2\x90\x80"
                                             "C:\\precious"),
              std::string::npos)
        << "the question shows the whole entry, its NUL made visible";
    EXPECT_EQ(form->ListView1.Item(0), smuggler) << "the list keeps the entry as it was";
}

TEST_F(DeleteFixture, AHistoryThatCannotBeWrittenIsReportedOnceARunAndTheRunGoesOn) {
    AddTree("C:\\Work");
    AddTree("C:\\More");
    sys.fileSystem.DenyAccess(kHistory);
    Run({"C:\\Work", "C:\\More"});
    EXPECT_EQ(sys.shell.recycled, (Lines{"C:\\Work", "C:\\More"}));
    ASSERT_EQ(sys.dialogs.shown.size(), 1u) << "one box for four lines";
    EXPECT_NE(
        sys.dialogs.shown[0].text.find("Permission denied\r\nin Vestrilo2021/08/31.DelFolders."
                                       "DeleteFoldersFiles at line "),
        std::string::npos);
    Run({"C:\\Work"});
    EXPECT_EQ(sys.dialogs.shown.size(), 2u) << "and once again in the next run";
}

TEST_F(DeleteFixture, DeleteOptionsAndConfirmationAreStoredWhenChanged) {
    form->Option2.SetValue(true);
    EXPECT_EQ(sys.settings.Get("Option1"), "False");
    EXPECT_EQ(sys.settings.Get("Option2"), "True");
    form->Check1.SetChecked(true);
    EXPECT_EQ(sys.settings.Get("Check1"), "1");
    form->PushButton6.Click.Raise();
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].text.substr(0, 40), "This feature will ask you if you are sur");
    EXPECT_NE(sys.dialogs.shown[0].text.find("folders.\r\n\r\nYou can leave"), std::string::npos);
}

TEST_F(DeleteFixture, StartUpRestoresTheDeleteModeThroughItsHandlers) {
    sys.settings.Set("Option1", "False");
    sys.settings.Set("Option2", "True");
    sys.settings.writes.clear();
    Form1 restarted(sys.services());
    restarted.Form_Load();
    EXPECT_TRUE(restarted.Option2.Value());
    ASSERT_GE(sys.settings.writes.size(), 2u);
    EXPECT_EQ(sys.settings.writes[0], (std::pair<std::string, std::string>{"Option1", "False"}));
    EXPECT_EQ(sys.settings.writes[1], (std::pair<std::string, std::string>{"Option2", "True"}));
}

TEST(FolderKeys, FoldEveryWrittenFormIntoOne) {
    EXPECT_EQ(LexicalFolderKey("C:\\Windows\\"), "c:\\windows");
    EXPECT_EQ(LexicalFolderKey("\\\\?\\UNC\\Server\\Share\\x"), "\\\\server\\share\\x");
    EXPECT_EQ(LexicalFolderKey("\\\\server\\share\\..\\..\\x"), "\\\\server\\share\\x");
    EXPECT_TRUE(KeyContains("c:\\users", "c:\\users\\ann"));
    EXPECT_FALSE(KeyContains("c:\\user", "c:\\users\\ann"));
    EXPECT_TRUE(KeyContains("c:", "c:\\users"));
}

}  // namespace
}  // namespace ondrevan
