#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/ExclusiveRun.h"
#include "app/Form1.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using Claim = RunLock::Claim;

// Every door a run comes through, while another copy's run holds the list (or whether one
// does cannot be told): none deletes anything, and each says so where its user looks.
struct RunBesideAnother : ::testing::Test {
    testing::FakeSystem sys;
    const std::string history = "C:\\Temp\\Ondrevan.txt";

    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Data");
        sys.fileSystem.AddFile("C:\\Data\\a.txt", "aaa");
        sys.settings.Set(keys::kFolders, JoinFolderList({"C:\\Data"}));
        sys.settings.Set(keys::kOption1, "False");  // contents mode
        sys.clock.Set(2026, 12, 7, 10, 0, 0);
    }
    std::string History() { return sys.fileSystem.Content(history); }
};

TEST_F(RunBesideAnother, IsNotStartedAndSaysSoThroughEveryDoor) {
    enum class Door { CommandLine, TestButton, Schedule };
    struct Case {
        Door door;
        bool unknown;
        const char* said;
    } cases[] = {
        {Door::CommandLine, false, kRunUnderWay}, {Door::CommandLine, true, kRunLockUnknown},
        {Door::TestButton, false, kRunUnderWay},  {Door::TestButton, true, kRunLockUnknown},
        {Door::Schedule, false, kRunUnderWay},
    };
    for (const Case& c : cases) {
        const std::string at =
            std::to_string(static_cast<int>(c.door)) + (c.unknown ? " unknown" : " busy");
        sys.fileSystem.Remove(history);
        sys.runLock.heldElsewhere = !c.unknown;
        sys.runLock.unknown = c.unknown;
        if (c.door == Door::CommandLine) {
            std::string output;
            EXPECT_EQ(RunFromCommandLine(CommandMode::Run, sys.services(), output), 1) << at;
            EXPECT_EQ(output, std::string(c.said) + "\r\n") << at;
        } else {
            Form1 form(sys.services());
            form.Form_Load();
            sys.dialogs.shown.clear();
            if (c.door == Door::TestButton) {
                form.PushButton3.Click.Raise();
                EXPECT_EQ(sys.dialogs.Texts(), std::vector<std::string>{c.said}) << at;
            } else {
                form.Text1.SetText("0");
                form.Text3.SetText("1");
                form.PushButton2.Click.Raise();  // on: every second
                form.Timer1.Tick.Raise();
                EXPECT_TRUE(sys.dialogs.shown.empty()) << at << ": a scheduled run asks nobody";
                EXPECT_NE(sys.notifyIcon.sent.back().tip.find("1 not done"), std::string::npos)
                    << at << ": " << sys.notifyIcon.sent.back().tip;
                EXPECT_TRUE(form.Timer1.Running()) << at << ": the schedule goes on";
            }
        }
        EXPECT_TRUE(sys.fileSystem.Exists("C:\\Data\\a.txt")) << at;
        EXPECT_NE(History().find(c.said), std::string::npos) << at << ": " << History();
        EXPECT_EQ(History().find("Deleted"), std::string::npos) << at;
    }

    // Once the other run is over, the next one runs, and lets go of the list after.
    sys.runLock.heldElsewhere = false;
    std::string output;
    EXPECT_EQ(RunFromCommandLine(CommandMode::Run, sys.services(), output), 0) << output;
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\a.txt"));
    EXPECT_EQ(sys.runLock.claims, 1);
    EXPECT_EQ(sys.runLock.releases, 1);
    EXPECT_FALSE(sys.runLock.held);
}

TEST(SecondStart, HandsOverToTheFirstCopyAndSaysSoOnlyWhenItGetsNoAnswer) {
    using Start = SingleCopy::Start;
    struct Case {
        Start start;
        std::optional<int> exitCode;
        std::vector<const char*> said;  // in the one message, if any
        std::vector<const char*> notSaid;
    } cases[] = {
        {Start::First, std::nullopt, {}, {}},
        {Start::HandedOver, 0, {}, {}},
        {Start::NoAnswer, 1, {"already running for you", "did not answer"}, {}},
        // The name is held and no window of ours is open: nothing says a copy runs.
        {Start::LockHeld,
         1,
         {"lock", "is held", "Ondrevan.Window", "another program"},
         {"already running"}},
    };
    for (const Case& c : cases) {
        testing::FakeSingleCopy copies;
        testing::ScriptedDialogs dialogs;
        copies.answer = c.start;
        EXPECT_EQ(HandOverToFirstCopy(copies, dialogs), c.exitCode);
        ASSERT_EQ(dialogs.shown.size(), c.said.empty() ? 0u : 1u);
        for (const char* words : c.said)
            EXPECT_NE(dialogs.Texts()[0].find(words), std::string::npos) << dialogs.Texts()[0];
        for (const char* words : c.notSaid)
            EXPECT_EQ(dialogs.Texts()[0].find(words), std::string::npos) << dialogs.Texts()[0];
    }
}

}  // namespace
}  // namespace ondrevan
