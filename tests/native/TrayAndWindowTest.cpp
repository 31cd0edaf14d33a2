#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "app/TrayStatus.h"
#include "controls/SysTray.h"
#include "platform/NotifyIcon.h"

namespace ondrevan {
namespace {

using Action = NotifyIconRequest::Action;

TEST(TrayTip, StateFirstThenTheLastRunWithItsDateWhenNotTodayWithinTheTipsRoom) {
    const std::string bin = "10 files (98 KB) and 3 folders to the Recycle Bin";
    const std::string longOutcome = std::string(120, 'x');
    const struct {
        TrayFacts facts;
        std::string tip;
    } table[] = {
        {{true, "13:00", "", "", "", ""}, "Ondrevan: automatic deletion on, next run 13:00"},
        {{false, "", "", "", "", ""}, "Ondrevan: automatic deletion off"},
        {{true, "", "", "", "", ""}, "Ondrevan: automatic deletion on"},
        {{true, "Monday 13:00", "12:00", "", bin, ""},
         "Ondrevan: automatic deletion on, next run Monday 13:00\nLast run 12:00: " + bin},
        {{false, "", "12:00", "08/12/2026", "nothing to delete", ""},
         "Ondrevan: automatic deletion off\nLast run 08/12/2026 12:00: nothing to delete"},
        {{false, "", "12:00", "", longOutcome, ""},
         "Ondrevan: automatic deletion off\nLast run 12:00: " + std::string(75, 'x') + "..."},
    };
    for (const auto& row : table) {
        EXPECT_EQ(TrayTipText(row.facts), row.tip);
        EXPECT_LE(TrayTipText(row.facts).size(), 127u);
    }
    EXPECT_EQ(SwitchBalloonText(true, "13:00"), "Automatic deletion on, next run 13:00");
    EXPECT_EQ(SwitchBalloonText(false, ""), "Automatic deletion off");
}

// Windows counts a tip in UTF-16 units: a character beyond the Basic Multilingual Plane is
// two, and a tip that would cut one in half loses it whole.
TEST(TrayTip, CharactersOfTwoUnitsCountTwiceAndAreNeverSplit) {
    const std::string face = "\xF0\x9F\x98\x80";  // U+1F600, four bytes, two units
    const auto units = [](const std::string& text) {
        std::size_t count = 0;
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            const std::size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            EXPECT_LE(i + bytes, text.size()) << "a character cut at the end";
            for (std::size_t b = 1; b < bytes && i + b < text.size(); ++b)
                EXPECT_EQ(static_cast<unsigned char>(text[i + b]) & 0xC0, 0x80) << "cut inside";
            count += bytes == 4 ? 2 : 1;
            i += bytes;
        }
        return count;
    };
    std::string faces;
    for (int i = 0; i < 70; ++i) faces += face;
    // Each length of the text before the outcome, so that the cut falls on either unit.
    for (std::size_t pad = 0; pad < 8; ++pad) {
        SCOPED_TRACE(pad);
        const std::string time = "12:00" + std::string(pad, '0');
        const std::string shortened = TrayTipText({false, "", time, "", faces, ""});
        EXPECT_LE(units(shortened), 127u) << shortened;
        EXPECT_GE(units(shortened), 125u) << "the tip's room is used";
        EXPECT_EQ(shortened.substr(shortened.size() - 3), "...") << shortened;
        // An outcome that fits by units is whole.
        const std::string head = "Ondrevan: automatic deletion off\nLast run " + time + ": ";
        std::string fitting;
        while (units(head + fitting + face) <= 127) fitting += face;
        EXPECT_EQ(TrayTipText({false, "", time, "", fitting, ""}), head + fitting);
        // A state past the room: cut whole, within it.
        const std::string state =
            TrayTipText({true, std::string(pad, 'x') + faces, "", "", "", ""});
        EXPECT_LE(units(state), 127u);
        EXPECT_GE(units(state), 126u);
    }
}

struct TrayFixture : ::testing::Test {
    testing::FakeSystem sys;
    cSysTray tray{sys.notifyIcon, sys.pump, sys.clock};
    std::vector<NotifyIconRequest>& sent = sys.notifyIcon.sent;
};

TEST_F(TrayFixture, AddingTwiceAddsOneIconAndRemovingTwiceRemovesOne) {
    tray.SetTrayIcon(true);
    tray.SetTrayTip("Ondrevan");
    tray.SetInTray(true);
    tray.SetInTray(true);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].action, Action::Add);
    EXPECT_EQ(sent[0].flags, 1u | 2u | 4u);
    EXPECT_EQ(sent[0].callbackMessage, 1125u);
    EXPECT_EQ(sent[0].tip, "Ondrevan");
    tray.SetInTray(false);
    tray.SetInTray(false);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].action, Action::Delete);
}

TEST_F(TrayFixture, AnEmptyTipIsSentWhileInTheTrayButNotAtAddTime) {
    tray.SetInTray(true);
    EXPECT_EQ(sent[0].flags, 1u) << "no icon, no tip: the callback message only";
    tray.SetTrayTip("");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].action, Action::Modify);
    EXPECT_EQ(sent[1].flags, 4u);
    tray.SetTrayTip(std::string(200, 'x'));
    EXPECT_EQ(sent[2].tip.size(), 127u);
}

TEST_F(TrayFixture, TextsAreCutToTheFieldsOfTheRecord) {
    tray.SetInTray(true);
    tray.ShowBalloon(std::string(300, 'a'), std::string(100, 'b'), 0, false);
    EXPECT_EQ(sent.back().info.size(), 255u);
    EXPECT_EQ(sent.back().infoTitle.size(), 63u);
    tray.ShowBalloon(std::string(300, '\xC3'), "", 0, false);  // stray bytes survive the cut
    tray.SetTrayTip(std::string(130, 'x') + "\xC3\xA9");
    EXPECT_EQ(sent.back().tip, std::string(127, 'x'));
    // An emoji takes two of the field's characters, as Windows counts them.
    const std::string emoji = "\xF0\x9F\x98\x80";
    tray.SetTrayTip(std::string(126, 'x') + emoji);
    EXPECT_EQ(sent.back().tip, std::string(126, 'x')) << "not split, not past the field";
    tray.SetTrayTip(std::string(125, 'x') + emoji);
    EXPECT_EQ(sent.back().tip, std::string(125, 'x') + emoji);
}

TEST_F(TrayFixture, AShowOnceBalloonShowsOnceAndOthersEveryTime) {
    tray.SetInTray(true);
    tray.ShowBalloon("text", "title", 0, true);
    tray.ShowBalloon("text", "title", 0, true);
    tray.ShowBalloon("text", "title", 0, false);
    tray.ShowBalloon("text", "title", 0, false);
    EXPECT_EQ(sent.size(), 1u + 3u);
    EXPECT_EQ(sent[1].flags, 16u);
    EXPECT_EQ(sent[1].timeoutMs, 0u);
    EXPECT_EQ(sys.pump.waits, 0) << "0 seconds: no wait, and the balloon is not taken down";
}

TEST_F(TrayFixture, TheBalloonWaitEndsAtTheTimeOrAtTheShellsWord) {
    tray.SetInTray(true);
    tray.ShowBalloon("text", "title", 5, false);
    EXPECT_EQ(sent[1].timeoutMs, 5000u);
    ASSERT_EQ(sent.size(), 3u) << "the time ran out: the balloon is taken down";
    EXPECT_EQ(sent[2].flags, 16u);
    EXPECT_EQ(sent[2].info, "");
    EXPECT_GE(sys.pump.waits, 50);

    sys.pump.onPump = [&](int) { tray.DispatchTrayMessage(1029, 0); };  // a click on the balloon
    const int waitsBefore = sys.pump.waits;
    tray.ShowBalloon("text", "title", 5, false);
    EXPECT_EQ(sys.pump.waits, waitsBefore + 1) << "the click ends the wait";
    EXPECT_EQ(sent.size(), 4u) << "and the balloon is not taken down again";
}

TEST_F(TrayFixture, ABalloonTimeThatDoesNotFit32BitsIsRefusedBeforeAnythingIsShown) {
    tray.SetInTray(true);
    EXPECT_THROW(tray.ShowBalloon("t", "t", 3000000, false), AppError);
    EXPECT_THROW(tray.ShowBalloon("t", "t", -3000000, true), AppError);
    EXPECT_EQ(sent.size(), 1u);
    tray.ShowBalloon("t", "t", 0, true);
    EXPECT_EQ(sent.size(), 2u) << "the refused show-once balloon did not count";
}

TEST_F(TrayFixture, MouseMessagesBecomeEventsWithTheirButtons) {
    std::vector<std::string> events;
    tray.MouseMove.Handle([&](std::int32_t id) { events.push_back("move " + std::to_string(id)); });
    tray.MouseDown.Handle(
        [&](std::int16_t b, std::int32_t) { events.push_back("down " + std::to_string(b)); });
    tray.MouseUp.Handle(
        [&](std::int16_t b, std::int32_t) { events.push_back("up " + std::to_string(b)); });
    tray.MouseDblClick.Handle(
        [&](std::int16_t b, std::int32_t) { events.push_back("dbl " + std::to_string(b)); });
    for (std::uint32_t message : {512u, 513u, 514u, 515u, 516u, 517u, 518u, 1026u, 519u})
        tray.DispatchTrayMessage(message, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"move 0", "down 1", "up 1", "dbl 1", "down 2",
                                                "up 2", "dbl 2"}));
}

TEST_F(TrayFixture, AnExplorerRestartAddsTheIconAgain) {
    tray.OnTaskbarCreated();
    EXPECT_TRUE(sent.empty());
    tray.SetInTray(true);
    tray.OnTaskbarCreated();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].action, Action::Add);
}

struct WindowFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    void Load() {
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
    void Minimize() {
        form->Window.StateChangedByUser(WindowState::Minimized);
        form->Window.Resize.Raise();
    }
    int Balloons() {
        int count = 0;
        for (const auto& request : sys.notifyIcon.sent)
            count += request.flags == 16 && !request.info.empty();
        return count;
    }
};

TEST_F(WindowFixture, StartUpPutsTheIconInTheTrayWithTheProductName) {
    Load();
    ASSERT_FALSE(sys.notifyIcon.sent.empty());
    EXPECT_EQ(sys.notifyIcon.sent[0].action, Action::Add);
    EXPECT_EQ(sys.notifyIcon.sent[0].tip, "Ondrevan");
    EXPECT_TRUE(sys.notifyIcon.sent[0].programIcon) << "a blank square in the tray otherwise";
    EXPECT_EQ(sys.notifyIcon.sent[0].flags & 2, 2u) << "NIF_ICON";
    EXPECT_TRUE(form->cSysTray1.InTray());
    EXPECT_TRUE(form->Window.Visible());
    EXPECT_EQ(form->Window.State(), WindowState::Normal);
}

TEST_F(WindowFixture, MinimizingHidesIntoTheTrayWithTheBalloonOnlyTheFirstTime) {
    Load();
    Minimize();
    EXPECT_FALSE(form->Window.Visible());
    EXPECT_EQ(form->Window.State(), WindowState::Normal);
    EXPECT_TRUE(form->HiddenToTray);
    ASSERT_EQ(Balloons(), 1);
    const NotifyIconRequest* balloon = nullptr;
    for (const auto& request : sys.notifyIcon.sent)
        if (!request.info.empty()) balloon = &request;
    EXPECT_EQ(balloon->info,
              "has been minimized to the system tray.\r\nClick on the blue 'Q' icon (Q for "
              "Quillmere) to bring "
              "the software back.");
    EXPECT_EQ(balloon->infoTitle, "Ondrevan");
    EXPECT_EQ(balloon->timeoutMs, 5000u);

    Minimize();                                   // already hidden: nothing again
    form->cSysTray1.DispatchTrayMessage(516, 0);  // a right button opens the icon's menu
    EXPECT_FALSE(form->Window.Visible());
    form->cSysTray1.DispatchTrayMessage(513, 0);  // the left one brings the window back
    EXPECT_TRUE(form->Window.Visible());
    EXPECT_FALSE(form->HiddenToTray);
    Minimize();
    EXPECT_FALSE(form->Window.Visible());
    EXPECT_EQ(Balloons(), 1) << "the second time hides without a balloon";
}

TEST_F(WindowFixture, TheHotKeyWhileHiddenSaysWhatItSwitchedAndTheTipLeadsWithTheState) {
    sys.settings.Set("StartStopState", "On");
    Load();
    form->ListView1.Add("C:\\Work");
    EXPECT_EQ(sys.notifyIcon.sent.back().tip.rfind("Ondrevan: automatic deletion on, next run ", 0),
              0u);
    form->HotKeyPressed();  // the window in sight: the button says it
    EXPECT_EQ(Balloons(), 0);
    form->HotKeyPressed();
    Minimize();
    const int before = Balloons();
    form->HotKeyPressed();
    ASSERT_EQ(Balloons(), before + 1);
    EXPECT_EQ(sys.notifyIcon.sent.back().info, "Automatic deletion off");
    EXPECT_EQ(form->cSysTray1.TrayTip(), "Ondrevan: automatic deletion off");
}

TEST_F(WindowFixture, StartInTheTrayStartsHiddenAndStoresItsChoiceAtOnce) {
    sys.settings.Set("Minimized", "On");
    Load();
    EXPECT_EQ(form->Window.State(), WindowState::Minimized) << "shown minimized, which hides it";
    Minimize();
    EXPECT_FALSE(form->Window.Visible());
    form->Check8.SetChecked(false);
    EXPECT_EQ(sys.settings.Get("Minimized"), "Off");
}

TEST_F(WindowFixture, TheIconBringsTheWindowBackNormalWhateverTheSystemReportedMeanwhile) {
    sys.settings.Set("Minimized", "On");
    Load();
    Minimize();  // the start in the tray, shown minimized: hidden
    ASSERT_FALSE(form->Window.Visible());
    Minimize();  // the system reports the minimize once more while the window is hidden
    form->cSysTray1.DispatchTrayMessage(513, 0);
    EXPECT_TRUE(form->Window.Visible());
    EXPECT_EQ(form->Window.State(), WindowState::Normal) << "not back minimized, off screen";
    for (int i = 0; i < 3; ++i) {  // and again, any number of times
        Minimize();
        EXPECT_FALSE(form->Window.Visible());
        form->cSysTray1.DispatchTrayMessage(513, 0);
        EXPECT_TRUE(form->Window.Visible());
        EXPECT_EQ(form->Window.State(), WindowState::Normal);
    }
}

TEST_F(WindowFixture, TheIconChosenWithTheKeyboardBringsTheWindowBackAsAClickDoes) {
    Load();
    for (std::uint32_t keyboard : {1024u, 1025u}) {  // NIN_SELECT (Enter), NIN_KEYSELECT (Space)
        Minimize();
        ASSERT_FALSE(form->Window.Visible());
        form->cSysTray1.DispatchTrayMessage(keyboard, 0);
        EXPECT_TRUE(form->Window.Visible()) << keyboard;
        EXPECT_EQ(form->Window.State(), WindowState::Normal);
    }
}

TEST_F(WindowFixture, HoverPointersFollowTheTableAndNeverReplaceTheHourglass) {
    Load();
    form->PushButton3.MouseMove.Raise();
    EXPECT_EQ(form->Window.MousePointer(), pointers::kCustom);
    form->Check3.MouseMove.Raise();
    EXPECT_EQ(form->Window.MousePointer(), pointers::kCustom) << "no hover handler of its own";
    form->Frame3.MouseMove.Raise();
    EXPECT_EQ(form->Window.MousePointer(), pointers::kDefault);
    form->Check1.MouseMove.Raise();
    EXPECT_EQ(form->Window.MousePointer(), pointers::kCustom);
    form->Text2.MouseMove.Raise();
    EXPECT_EQ(form->Window.MousePointer(), pointers::kDefault);
    form->Window.SetMousePointer(pointers::kHourglass);
    form->PushButton1.MouseMove.Raise();
    form->ListView1.MouseMove.Raise();
    EXPECT_EQ(form->Window.MousePointer(), pointers::kHourglass);
}

TEST_F(WindowFixture, ShutdownRemovesHookTimerAndIconThenLetsMessagesRunTwice) {
    sys.settings.Set("StartStopState", "On");
    Load();
    std::vector<std::string> journal;
    sys.keyboardHook.journal = &journal;
    sys.notifyIcon.journal = &journal;
    sys.pump.journal = &journal;
    form->Form_QueryUnload();
    EXPECT_EQ(journal, (std::vector<std::string>{"hook removed", "icon removed", "pump", "pump"}));
    EXPECT_FALSE(form->Timer1.Running());
    EXPECT_EQ(sys.settings.Get("StartStopState"), "On") << "nothing is saved at shutdown";
}

struct StartupEntryFixture : WindowFixture {
    void SetUp() override {
        sys.fileSystem.AddFolder("C:\\Tools");
        sys.fileSystem.AddFile("C:\\Tools\\Tool.exe");
    }
};

TEST_F(StartupEntryFixture, CheckingWritesTheMachineWideRunValueAndUncheckingRemovesIt) {
    Load();
    form->Check8.SetChecked(true);
    form->Check3.SetChecked(true);
    EXPECT_EQ(sys.registry.Get(RegistryRoot::LocalMachine, "Tool.exe"), "C:\\Tools\\Tool.exe");
    EXPECT_EQ(sys.settings.Get("Windows Startup"), "On");
    EXPECT_TRUE(form->Check8.Visible());
    form->Check3.SetChecked(false);
    EXPECT_EQ(sys.registry.Get(RegistryRoot::LocalMachine, "Tool.exe"), std::nullopt);
    EXPECT_EQ(sys.settings.Get("Windows Startup"), "Off");
    EXPECT_FALSE(form->Check8.Checked());
    EXPECT_FALSE(form->Check8.Visible());
    EXPECT_EQ(sys.settings.Get("Minimized"), "Off");
    EXPECT_TRUE(sys.dialogs.shown.empty());
}

TEST_F(StartupEntryFixture,
       TheFirstOrdinaryExecutableListedNamesTheValueAndARootFolderGetsOneBackslash) {
    sys.fileSystem.AddFile("C:\\Tools\\Alpha.exe");
    sys.fileSystem.AddFile("C:\\Tools\\Aaa.exe", "", attributes::kHidden);
    Load();
    form->Check3.SetChecked(true);
    EXPECT_EQ(sys.registry.Get(RegistryRoot::LocalMachine, "Alpha.exe"), "C:\\Tools\\Alpha.exe");
    EXPECT_EQ(sys.registry.Get(RegistryRoot::LocalMachine, "Aaa.exe"), std::nullopt);

    sys.environment.programFolder = "D:\\";
    sys.fileSystem.AddFile("D:\\Tool.exe");
    form->Check3.SetChecked(false);
    form->Check3.SetChecked(true);
    EXPECT_EQ(sys.registry.Get(RegistryRoot::LocalMachine, "Tool.exe"), "D:\\Tool.exe");
}

TEST_F(StartupEntryFixture, AUserWhoMayNotWriteTheMachineKeyGetsThePerUserOne) {
    sys.registry.writable[RegistryRoot::LocalMachine] = false;
    Load();
    form->Check3.SetChecked(true);
    EXPECT_EQ(sys.registry.Get(RegistryRoot::CurrentUser, "Tool.exe"), "C:\\Tools\\Tool.exe");
    EXPECT_TRUE(form->Check3.Checked());
    EXPECT_TRUE(sys.dialogs.shown.empty());
    form->Check3.SetChecked(false);
    EXPECT_EQ(sys.registry.Get(RegistryRoot::CurrentUser, "Tool.exe"), std::nullopt);
}

TEST_F(StartupEntryFixture, WhenNeitherKeyTakesTheValueTheUserIsToldAndTheChoiceIsNotKept) {
    sys.registry.writable[RegistryRoot::LocalMachine] = false;
    sys.registry.writable[RegistryRoot::CurrentUser] = false;
    Load();
    form->Check3.SetChecked(true);
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].title, "Ondrevan");
    EXPECT_NE(sys.dialogs.shown[0].text.find("could not register itself"), std::string::npos);
    EXPECT_FALSE(form->Check3.Checked());
    EXPECT_EQ(sys.settings.Get("Windows Startup"), "Off");
}

TEST_F(StartupEntryFixture, StartUpRewritesTheEntryWhileTheOptionIsOnButNotWhileLoading) {
    sys.settings.Set("Windows Startup", "On");
    Load();
    EXPECT_EQ(sys.registry.Get(RegistryRoot::LocalMachine, "Tool.exe"), "C:\\Tools\\Tool.exe");
    EXPECT_TRUE(form->Check3.Checked());
    sys.registry.values.clear();
    sys.settings.Set("Windows Startup", "on");
    Load();
    EXPECT_FALSE(form->Check3.Checked()) << "only exactly \"On\" checks it";
    EXPECT_TRUE(form->Check8.Visible()) << "designed visible";
    EXPECT_TRUE(sys.registry.values.empty());
}

}  // namespace
}  // namespace ondrevan
