#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "history/History.h"

namespace ondrevan {
namespace {

struct HistoryFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    const std::string path = "C:\\Temp\\Ondrevan.txt";
    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.fileSystem.AddFolder("C:\\Temp");
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
};

TEST_F(HistoryFixture, AHistoryFileThatCannotBeWrittenIsNamedInTheReportOnceARun) {
    sys.fileSystem.AddFolder(path);  // a folder where the file should be
    sys.fileSystem.AddFolder("C:\\Data");
    sys.fileSystem.AddFile("C:\\Data\\a.txt");
    form->ListView1.Add("C:\\Data");
    form->PushButton3.Click.Raise();
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].text.rfind("The history file C:\\Temp\\Ondrevan.txt cannot be "
                                              "written: Permission denied\r\nin ",
                                              0),
              0u)
        << sys.dialogs.shown[0].text;
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\a.txt")) << "the run goes on";
}

TEST_F(HistoryFixture, WritesAnsiLinesWithTwoBlanksBeforeThePathAndTheDateAloneAtMidnight) {
    sys.clock.Set(2026, 1, 2, 0, 0, 0);
    form->History().AppendLine("Deleted folder ", "C:\\Caf\xC3\xA9 ");
    sys.clock.Set(2026, 1, 2, 0, 0, 1);
    form->History().AppendLine("Deleted content of folder ", "C:\\\xE6\x97\xA5");
    EXPECT_EQ(sys.fileSystem.Content(path),
              "1/2/2026 Deleted folder  C:\\Caf\xE9 \r\n"
              "1/2/2026 12:00:01 AM Deleted content of folder  C:\\<U+65E5>\r\n");
}

// Names the code page cannot write still read apart, and what it can write is as it was.
TEST(HistoryBytes, WritesWhatTheCodePageLacksAsItsCodeSoNoTwoNamesReadAlike) {
    testing::FakeAnsiCodePage ansi;  // Windows-1252
    const struct {
        const char* utf8;
        std::string written;
    } cases[] = {
        {"C:\\T\\\xE6\x97\xA5\xE6\x9C\xAC", "C:\\T\\<U+65E5><U+672C>"},
        {"C:\\T\\\xE4\xB8\xAD\xE5\x9B\xBD", "C:\\T\\<U+4E2D><U+56FD>"},
        {"C:\\Caf\xC3\xA9 \xE2\x82\xAC", "C:\\Caf\xE9 \x80"},
        {"a?b", "a?b"},
        {"\xF0\x9F\x98\x80.txt", "<U+1F600>.txt"},
        {"\xC4\x8D", "<U+010D>"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(HistoryBytes(ansi, c.utf8), c.written) << c.utf8;
}

TEST_F(HistoryFixture, ViewOpensNotepadOrSaysThereIsNoHistory) {
    form->PushButton1.Click.Raise();
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].text,
              "There isn't a history to view because actions have not been performed yet.");
    form->History().AppendLine("Deleted folder ", "C:\\A");
    form->PushButton1.Click.Raise();
    ASSERT_EQ(sys.shell.commandLines.size(), 1u);
    EXPECT_EQ(sys.shell.commandLines[0].first, "notepad \"C:\\Temp\\Ondrevan.txt\"");
    EXPECT_EQ(sys.shell.commandLines[0].second, ShowMode::Normal);
}

TEST_F(HistoryFixture, CopyPutsTheWholeFileOnTheClipboard) {
    form->PushButton4.Click.Raise();
    EXPECT_EQ(sys.clipboard.text, "") << "no file: nothing happens";
    std::string big;
    for (int i = 0; i < 20000; ++i)
        big += "1/2/2026 Deleted folder  C:\\Caf\xE9 " + std::to_string(i) + "\r\n";
    sys.fileSystem.AddFile(path, big);
    form->PushButton4.Click.Raise();
    EXPECT_EQ(sys.clipboard.text.size(), big.size() + 20000) << "é is two bytes in UTF-8";
    EXPECT_EQ(sys.clipboard.text.substr(0, 30), "1/2/2026 Deleted folder  C:\\Ca");
    EXPECT_TRUE(sys.dialogs.shown.empty());
    EXPECT_EQ(sys.clipboard.ansiCopies, 1) << "the file's own bytes, handed over once";
    EXPECT_TRUE(form->RichTextBox1.Text().empty()) << "no copy kept in the window";
}

TEST_F(HistoryFixture, ClearAsksAndDeletesOnlyOnYes) {
    form->History().AppendLine("Deleted folder ", "C:\\A");
    sys.dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
    form->PushButton5.Click.Raise();
    EXPECT_TRUE(sys.fileSystem.Exists(path));
    form->PushButton5.Click.Raise();
    EXPECT_FALSE(sys.fileSystem.Exists(path));
    EXPECT_EQ(sys.dialogs.shown[0].text,
              "Are you sure you want to delete the history log and the record of runs and start "
              "over?");
    form->PushButton1.Click.Raise();
    EXPECT_EQ(sys.dialogs.shown.back().text,
              "There isn't a history to view because actions have not been performed yet.");
}

TEST_F(HistoryFixture, PastTenMegabytesTheLogIsKeptAsTheOldLogAndANewOneBegins) {
    const std::string old = "C:\\Temp\\Ondrevan.old.txt";
    EXPECT_EQ(OldHistoryPath(path), old);
    sys.fileSystem.AddFile(old, "an older log");
    sys.fileSystem.AddFile(path, std::string(10 * 1024 * 1024, 'x'));
    form->History().AppendLine("Deleted folder ", "C:\\A");
    const std::string full = sys.fileSystem.Content(path);
    EXPECT_GT(full.size(), 10u * 1024 * 1024) << "the line that passes the limit is still added";
    form->History().AppendLine("Deleted folder ", "C:\\B");
    EXPECT_EQ(sys.fileSystem.Content(old), full) << "the older old log is replaced";
    EXPECT_EQ(sys.fileSystem.Content(path).find('x'), std::string::npos);
    EXPECT_NE(sys.fileSystem.Content(path).find("C:\\B\r\n"), std::string::npos);
    EXPECT_EQ(sys.fileSystem.Content(path).find("C:\\A"), std::string::npos);
}

TEST_F(HistoryFixture, ClearSaysSoWhenTheLogIsHeldOpenElsewhere) {
    form->History().AppendLine("Deleted folder ", "C:\\A");
    sys.fileSystem.Lock(path);
    form->PushButton5.Click.Raise();  // Yes
    EXPECT_TRUE(sys.fileSystem.Exists(path));
    ASSERT_EQ(sys.dialogs.shown.size(), 2u);
    EXPECT_EQ(sys.dialogs.shown[1].text,
              "The history log could not be cleared: another program may be using it. Close it "
              "and try again.");
}

TEST(HistoryFolder, IsTheTemporaryFolderThatExistsNeverTheDriveRoot) {
    testing::FakeSystem sys;
    sys.fileSystem.AddFolder("C:\\Temp");
    sys.fileSystem.AddFolder("C:\\Windows\\Temp");
    auto& vars = sys.environment.variables;
    vars["SystemRoot"] = "C:\\Windows";
    vars["TEMP"] = "C:\\Temp";
    EXPECT_EQ(HistoryFolder(sys.environment, sys.fileSystem), "C:\\Temp");
    vars["TEMP"] = "C:\\Missing";
    EXPECT_EQ(HistoryFolder(sys.environment, sys.fileSystem), "C:\\Windows\\Temp");
    vars["TMP"] = "C:\\Temp";
    EXPECT_EQ(HistoryFolder(sys.environment, sys.fileSystem), "C:\\Temp");
    vars.erase("TEMP");
    vars.erase("TMP");
    EXPECT_EQ(HistoryFolder(sys.environment, sys.fileSystem), "C:\\Windows\\Temp");

    Form1 form(sys.services());
    form.Form_Load();
    EXPECT_EQ(form.HistoryFilePath(), "C:\\Windows\\Temp\\Ondrevan.txt");
}

}  // namespace
}  // namespace ondrevan
