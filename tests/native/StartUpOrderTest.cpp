#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using Action = NotifyIconRequest::Action;

// A stored start: a folder in the list, a daily run at 9:00 missed while the program was
// not running, the switch on, a hot key of the user's own.
struct StartUpFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;

    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Work");
        sys.settings.Set(keys::kFolders, JoinFolderList({"C:\\Work"}));
        sys.settings.Set(keys::kOption4, "True");
        sys.settings.Set(keys::kOption3, "False");
        sys.settings.Set(keys::kWeeklyTime, "9:00:00 AM");
        sys.settings.Set(keys::kStartStopState, kSwitchOn);
        sys.settings.Set(keys::kCatchUpMissedRuns, kSwitchOn);
        sys.settings.Set(keys::kSwitchedOn, "2026-11-30T10:00:00");
        sys.settings.Set(keys::kHotKey, "Ctrl+Alt+K");
        sys.clock.Set(2026, 12, 1, 10, 0, 0);
    }
    std::string History() { return sys.fileSystem.Content("C:\\Temp\\Ondrevan.txt"); }
};

// What the user sees in the first paint is there before it; what the window does not show
// (the tray icon and its tip, the hook, the history, the catch-up) comes only afterwards.
TEST_F(StartUpFixture, TheFirstPaintHasWhatTheWindowShowsAndTheRestComesAfterIt) {
    form = std::make_unique<Form1>(sys.services());
    struct Seen {
        const char* what;
        std::function<std::string()> now;
        std::string beforePaint, afterIt;
    };
    const Seen table[] = {
        {"the folder list",
         [&] { return form->ListView1.Count() == 1 ? form->ListView1.Item(0) : ""; }, "C:\\Work",
         "C:\\Work"},
        {"the daily option", [&] { return form->Option4.Value() ? "daily" : "other"; }, "daily",
         "daily"},
        {"the switch's button", [&] { return form->PushButton2.Caption(); },
         "Turn Off Automatic Delete", "Turn Off Automatic Delete"},
        {"the hot key's hint", [&] { return form->Label5.Caption(); },
         "(Press Ctrl+Alt+K to toggle ON/OFF)", "(Press Ctrl+Alt+K to toggle ON/OFF)"},
        {"the tray icon", [&] { return form->cSysTray1.InTray() ? "in" : "out"; }, "out", "in"},
        {"the tray tip", [&] { return form->cSysTray1.TrayTip().substr(0, 36); }, "",
         "Ondrevan: automatic deletion on, nex"},
        {"the keyboard hook", [&] { return std::to_string(sys.keyboardHook.installs); }, "0", "1"},
        {"the history's place", [&] { return form->HistoryFilePath(); }, "",
         "C:\\Temp\\Ondrevan.txt"},
    };
    form->LoadForFirstPaint();
    EXPECT_TRUE(sys.dialogs.shown.empty());
    for (const Seen& row : table) EXPECT_EQ(row.now(), row.beforePaint) << row.what;
    EXPECT_TRUE(sys.notifyIcon.sent.empty()) << "nothing reaches the shell before the paint";
    form->AfterFirstPaint();
    EXPECT_TRUE(sys.dialogs.shown.empty());
    for (const Seen& row : table) EXPECT_EQ(row.now(), row.afterIt) << row.what;
    // The run missed at 9:00 is still caught up, by the ticks that follow.
    EXPECT_EQ(History().find("Missed run"), std::string::npos);
    for (int i = 0; i < 60 && History().find("Run finished:") == std::string::npos; ++i) {
        sys.clock.now.time.seconds += 1;
        if (form->Timer1.Running()) form->Timer1.Tick.Raise();
    }
    EXPECT_NE(History().find("Missed run of 2026-12-01T09:00:00, run now"), std::string::npos)
        << History();
    form->Form_QueryUnload();
}

// Started minimized, the window goes straight to the tray with its balloon, which the icon
// must already be there for; no paint comes, so nothing waits for one.
TEST_F(StartUpFixture, TheRestWaitsForThePaintUnlessTheWindowStartsInTheTray) {
    const struct {
        const char* minimizedSetting;
        bool reopenedInTray;
        bool waits;
    } table[] = {
        {"Off", false, true},
        {"On", false, false},
        {"Off", true, false},
        {"On", true, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.minimizedSetting) + (row.reopenedInTray ? " reopened" : ""));
        sys.settings.Set(keys::kMinimized, row.minimizedSetting);
        sys.notifyIcon.sent.clear();
        form = std::make_unique<Form1>(sys.services());
        if (row.reopenedInTray) form->StartInTray();
        form->LoadForFirstPaint();
        ASSERT_EQ(form->WaitsForFirstPaint(), row.waits);
        // As the program's shell does: the rest at once when nothing waits, then the window
        // shows (minimized: it hides in the tray with the balloon).
        if (!row.waits) form->AfterFirstPaint();
        if (form->Window.State() == WindowState::Minimized) {
            form->Window.StateChangedByUser(WindowState::Minimized);
            form->Window.Resize.Raise();
        }
        if (row.waits) form->AfterFirstPaint();
        ASSERT_FALSE(sys.notifyIcon.sent.empty());
        EXPECT_EQ(sys.notifyIcon.sent.front().action, Action::Add)
            << "the icon is in the tray before anything is said through it";
        bool balloon = false;
        for (const auto& request : sys.notifyIcon.sent) balloon |= !request.info.empty();
        EXPECT_EQ(balloon, !row.waits) << "the balloon of a start in the tray";
        EXPECT_EQ(form->HiddenToTray, !row.waits);
        form->Form_QueryUnload();
    }
}

}  // namespace
}  // namespace ondrevan
