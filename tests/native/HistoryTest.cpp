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

TEST_F(HistoryFixture, WritesAnsiLinesWithTwoBlanksBeforeThePathAndTheDateAloneAtMidnight) {
    sys.clock.Set(2026, 1, 2, 0, 0, 0);
    form->History().AppendLine("Deleted folder ", "C:\\Caf\xC3\xA9 ");
    sys.clock.Set(2026, 1, 2, 0, 0, 1);
    form->History().AppendLine("Deleted content of folder ", "C:\\\xE6\x97\xA5");
    EXPECT_EQ(sys.fileSystem.Content(path),
              "1/2/2026 Deleted folder  C:\\Caf\xE9 \r\n"
              "1/2/2026 12:00:01 AM Deleted content of folder  C:\\?\r\n");
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
}

TEST_F(HistoryFixture, ClearAsksAndDeletesOnlyOnYes) {
    form->History().AppendLine("Deleted folder ", "C:\\A");
    sys.dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
    form->PushButton5.Click.Raise();
    EXPECT_TRUE(sys.fileSystem.Exists(path));
    form->PushButton5.Click.Raise();
    EXPECT_FALSE(sys.fileSystem.Exists(path));
    EXPECT_EQ(sys.dialogs.shown[0].text,
              "Are you sure you want to delete the history log and start over?");
    form->PushButton1.Click.Raise();
    EXPECT_EQ(sys.dialogs.shown.back().text,
              "There isn't a history to view because actions have not been performed yet.");
}

}  // namespace
}  // namespace ondrevan
