#include <gtest/gtest.h>

#include <map>

#include "FakeSystem.h"
#include "RecordingHistory.h"
#include "app/Form1.h"
#include "delete/DeleteRun.h"
#include "platform/HotKey.h"
#include "platform/KeyboardHook.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"
#include "schedule/Schedule.h"

namespace ondrevan {
namespace {

struct ScheduleFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    int runs = 0;

    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Work");
        sys.clock.Set(2026, 12, 7, 10, 0, 0);  // a Monday
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
        form->Option2.SetValue(true);  // contents mode: the folder stays for the next run
        form->ListView1.AddRange({"C:\\Work", "c:\\work\\"});
        sys.shell.whileRecycling = nullptr;
    }
    Schedule& schedule() { return form->Scheduler(); }
    int Runs() {
        const std::string history = sys.fileSystem.Content("C:\\Temp\\Ondrevan.txt");
        int count = 0;
        for (std::size_t at = 0; (at = history.find("Deleted content", at)) != std::string::npos;
             ++at)
            ++count;
        return count;  // listed twice in two forms, the folder is cleared once a run
    }
    void Interval(const char* h, const char* m, const char* s) {
        form->Option3.SetValue(true);
        form->Text1.SetText(h);
        form->Text2.SetText(m);
        form->Text3.SetText(s);
    }
    void SwitchOn() {
        form->PushButton2.Click.Raise();
        ASSERT_TRUE(schedule().IsOn());
    }
    // One timer tick a second later, as long as the timer is armed.
    void Tick(int count = 1, int lateMs = 0) {
        for (int i = 0; i < count; ++i) {
            Advance(1000 + lateMs);
            if (form->Timer1.Running()) form->Timer1.Tick.Raise();
        }
    }
    void Advance(int milliseconds) {
        auto& now = sys.clock.now;
        int ms = now.millisecond + milliseconds;
        int seconds = now.time.seconds + ms / 1000;
        now.millisecond = ms % 1000;
        auto days = std::chrono::sys_days{now.date};
        while (seconds >= kSecondsPerDay) seconds -= kSecondsPerDay, days += std::chrono::days{1};
        now.date = std::chrono::year_month_day{days};
        now.time.seconds = seconds;
    }
    const std::string& Status() { return form->Frame4.Caption(); }
};

TEST_F(ScheduleFixture, EachKindEnablesItsInputsAndStoresAllThreeOptions) {
    form->Option5.SetValue(true);
    EXPECT_TRUE(form->dtpWeekly.Enabled());
    EXPECT_TRUE(form->cboWeekly.Enabled());
    EXPECT_EQ(sys.settings.Get("Option5"), "True");
    EXPECT_EQ(sys.settings.Get("Option4"), "False");
    EXPECT_EQ(sys.settings.Get("Option3"), "False");
    form->Option4.SetValue(true);
    EXPECT_TRUE(form->dtpWeekly.Enabled());
    EXPECT_FALSE(form->cboWeekly.Enabled());
    form->Option3.SetValue(true);
    EXPECT_FALSE(form->dtpWeekly.Enabled());
    EXPECT_FALSE(form->cboWeekly.Enabled());
    EXPECT_TRUE(form->Text1.Enabled() && form->Text2.Enabled() && form->Text3.Enabled());
    EXPECT_EQ(sys.settings.Get("Option3"), "True");
    EXPECT_EQ(sys.settings.Get("Option5"), "False");
}

TEST_F(ScheduleFixture, FieldsStoreEachKeystrokeThatReadsAndAreCheckedWhenLeft) {
    form->Text1.SetText("");
    sys.settings.writes.clear();
    form->Text1.SetText("1");
    form->Text1.SetText("12");
    EXPECT_EQ(sys.settings.writes,
              (std::vector<std::pair<std::string, std::string>>{{"Text1", "1"}, {"Text1", "12"}}));

    struct FocusSink : ControlSink {
        int focus = 0;
        void OnChanged(Control&, Property p) override { focus += p == Property::Focus; }
    } sink;
    form->Text2.SetSink(&sink);
    form->Text2.SetText("abc");
    form->Text2.GotFocus.Raise();
    EXPECT_EQ(form->Text2.SelStart(), 0);
    EXPECT_EQ(form->Text2.SelLength(), 3);
    form->Text2.LostFocus.Raise();
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].text, "Must be a numeric entry.");
    EXPECT_EQ(sys.dialogs.shown[0].title, "Ondrevan");
    EXPECT_EQ(sink.focus, 1) << "the focus goes back to the field";
    EXPECT_EQ(sys.settings.Get("Text2"), "0") << "what does not read is not stored";
    form->Text2.SetText("2.5");
    form->Text2.LostFocus.Raise();
    EXPECT_EQ(sys.dialogs.shown.size(), 1u);
    form->Text2.SetSink(nullptr);
}

TEST_F(ScheduleFixture, TheTimeIsStoredInTheUsersFormatAndRebasesOnlyTheDailyKind) {
    form->Option5.SetValue(true);
    const std::int32_t base = schedule().TotalSeconds();
    form->dtpWeekly.SetValue(TimeOfDay::FromHms(14, 30, 0));
    EXPECT_EQ(sys.settings.Get("Weekly Time"), "2:30:00 PM");
    EXPECT_EQ(schedule().TotalSeconds(), base);
    form->Option4.SetValue(true);
    form->dtpWeekly.SetValue(TimeOfDay::FromHms(11, 0, 0));
    EXPECT_EQ(schedule().TotalSeconds(), 3600);
    form->cboWeekly.SetText("Friday");
    EXPECT_EQ(sys.settings.Get("Weekly"), "Friday");

    Form1 restarted(sys.services());
    restarted.Form_Load();
    EXPECT_EQ(restarted.dtpWeekly.Value(), TimeOfDay::FromHms(11, 0, 0));
    EXPECT_TRUE(restarted.Option4.Value());
    EXPECT_TRUE(restarted.dtpWeekly.Enabled());
}

TEST_F(ScheduleFixture, EveryFiveSecondsRunsThroughTheWindowAndOffResetsTheDisplay) {
    Interval("0", "0", "5");
    SwitchOn();
    Tick(4);
    EXPECT_EQ(Runs(), 0);
    EXPECT_EQ(Status(), "On. Next deleting will occur in: 00:00:01");
    EXPECT_EQ(form->ProgressBar1.Max(), 5);
    EXPECT_EQ(form->ProgressBar1.Value(), 4);
    Tick();
    EXPECT_EQ(Runs(), 1);
    EXPECT_EQ(Status(), "On. Next deleting will occur in: 00:00:00") << "shown before the run";
    EXPECT_TRUE(form->Timer1.Running()) << "re-armed";
    Tick(5);
    EXPECT_EQ(Runs(), 2);
    EXPECT_EQ(schedule().CurrentItem, 1) << "two items: 1, 2, then back to 1";
    EXPECT_EQ(form->ListView1.Selected(), 0u);

    Tick(2);
    form->PushButton2.Click.Raise();
    EXPECT_EQ(form->PushButton2.Caption(), "Turn On Automatic Delete");
    EXPECT_EQ(Status(), "Off.");
    EXPECT_EQ(form->ProgressBar1.Value(), 0);
    EXPECT_EQ(form->ProgressBar1.Text(), "Progress Bar");
    EXPECT_FALSE(form->Timer1.Running());
    EXPECT_EQ(sys.settings.Get("StartStopState"), "Off");
    SwitchOn();
    Tick();
    EXPECT_EQ(Status(), "On. Next deleting will occur in: 00:00:02") << "the count resumes";
    form->Option3.SetValue(false);
    form->Option3.SetValue(true);
    Tick();
    EXPECT_EQ(Status(), "On. Next deleting will occur in: 00:00:04")
        << "choosing the kind again starts the count";
}

TEST_F(ScheduleFixture, AFieldThatIsNotANumberGetsItsFallbackAtTheNextTick) {
    Interval("0", "0", "3");
    SwitchOn();
    form->Text3.SetText("");
    form->Text1.SetText("x");
    Tick();
    EXPECT_EQ(form->Text3.Text(), "5");
    EXPECT_EQ(sys.settings.Get("Text3"), "5");
    EXPECT_EQ(form->Text1.Text(), "0");
}

TEST_F(ScheduleFixture, TheSwitchRefusesAnEmptyListAndANoAndRestoresAtStartUp) {
    form->ListView1.Clear();
    form->PushButton2.Click.Raise();
    EXPECT_EQ(sys.dialogs.shown.back().text, "You must add folders to the list first.");
    EXPECT_FALSE(schedule().IsOn());
    form->ListView1.Add("C:\\Work");
    form->Check1.SetChecked(true);
    sys.dialogs.answers = {MessageAnswer::No};
    form->PushButton2.Click.Raise();
    EXPECT_FALSE(schedule().IsOn());
    EXPECT_EQ(sys.settings.Get("StartStopState"), "Off");
    form->PushButton2.Click.Raise();  // Yes
    EXPECT_TRUE(schedule().IsOn());
    EXPECT_EQ(sys.settings.Get("StartStopState"), "On");

    Form1 restarted(sys.services());
    restarted.Form_Load();
    EXPECT_EQ(restarted.PushButton2.Caption(), "Turn Off Automatic Delete");
    EXPECT_TRUE(restarted.Timer1.Running());
    EXPECT_EQ(restarted.Timer1.Interval(), 1000);

    sys.settings.Set("StartStopState", "Maybe");
    Form1 odd(sys.services());
    odd.Form_Load();
    EXPECT_FALSE(odd.Timer1.Running());
    EXPECT_EQ(odd.PushButton2.Caption(), "Turn On Automatic Delete");
    EXPECT_EQ(sys.settings.Get("StartStopState"), "Maybe") << "not rewritten";
    EXPECT_EQ(sys.keyboardHook.installs, 3) << "every start installs the hook";
}

TEST_F(ScheduleFixture, ASwitchTurnedOffDuringARunStaysOff) {
    form->Option1.SetValue(true);
    Interval("0", "0", "1");
    SwitchOn();
    sys.shell.whileRecycling = [&] {
        sys.fileSystem.AddFolder("C:\\Work");
        if (schedule().IsOn()) form->HotKeyPressed();
    };
    Tick();
    EXPECT_FALSE(schedule().IsOn());
    EXPECT_FALSE(form->Timer1.Running());
}

TEST_F(ScheduleFixture, AnEmptyListLeavesTheTickWithoutEffect) {
    Interval("0", "0", "2");
    SwitchOn();
    form->ListView1.Clear();
    Tick(5);
    EXPECT_EQ(Status(), "Off.");
    EXPECT_EQ(schedule().ElapsedSeconds(), 0);
}

TEST_F(ScheduleFixture, TheHotKeyPressedWhileTheSwitchAsksIsPartOfThatQuestion) {
    form->Check1.SetChecked(true);
    Interval("0", "0", "3");
    // The second press comes while the first question is up, as a hook's press would.
    sys.dialogs.whileShown = [&] { form->HotKeyPressed(); };
    form->HotKeyPressed();
    EXPECT_EQ(sys.dialogs.shown.size(), 1u) << "one question, not two";
    EXPECT_TRUE(schedule().IsOn());
    EXPECT_TRUE(form->Timer1.Running());
    EXPECT_EQ(sys.settings.Get("StartStopState"), "On");

    form->HotKeyPressed();  // off
    EXPECT_EQ(form->PushButton2.Caption(), "Turn On Automatic Delete");
    EXPECT_FALSE(form->Timer1.Running());
    EXPECT_EQ(sys.settings.Get("StartStopState"), "Off");
    form->HotKeyPressed();  // and on again, as often as the user likes
    EXPECT_TRUE(schedule().IsOn());
    EXPECT_TRUE(form->Timer1.Running());

    // Pressed into the options window's hot-key field, it is being chosen there.
    OptionsForm& options = form->ShowOptions();
    options.Window.ActiveControlChangedByUser(&options.hkHotKey);
    form->HotKeyPressed();
    EXPECT_TRUE(schedule().IsOn()) << "no toggle while the hot key is being chosen";
    options.Window.ActiveControlChangedByUser(nullptr);  // gone to another program
    form->HotKeyPressed();
    EXPECT_FALSE(schedule().IsOn());
}

TEST_F(ScheduleFixture, ANewSetTimeOrKindRunsAgainTheSameDayButNotOneThatPassedWhileOff) {
    form->dtpWeekly.SetValue(TimeOfDay::FromHms(10, 0, 3));
    form->Option4.SetValue(true);
    SwitchOn();
    Tick(3);
    EXPECT_EQ(Runs(), 1);
    form->dtpWeekly.SetValue(TimeOfDay::FromHms(10, 1, 3));  // a minute later, same day
    Tick(60);
    EXPECT_EQ(Runs(), 2) << "12:00 ran, and 17:00 runs as well";

    form->cboWeekly.SetText("Monday");
    form->Option5.SetValue(true);
    form->dtpWeekly.SetValue(TimeOfDay::FromHms(10, 1, 10));
    Tick(7);
    EXPECT_EQ(Runs(), 3) << "the weekly kind on the same day";

    // The clock put back over a set time that already ran does not run it twice.
    sys.clock.Set(2026, 12, 7, 10, 1, 5);
    Tick(10);
    EXPECT_EQ(Runs(), 3);

    // A set second that passes while the switch is off is not caught up when it comes on.
    form->dtpWeekly.SetValue(TimeOfDay::FromHms(10, 1, 18));
    Tick();  // 10:01:16
    form->PushButton2.Click.Raise();
    Advance(2000);  // 10:01:18 goes by while off
    SwitchOn();
    Tick();  // 10:01:19
    EXPECT_EQ(Runs(), 3);
}

TEST_F(ScheduleFixture, AnIntervalTooLongForTheCountIsReportedOnceAndNeverCounted) {
    Interval("99999999", "0", "0");
    SwitchOn();
    Tick(7);
    ASSERT_EQ(sys.dialogs.shown.size(), 1u) << "one box, not one a second";
    EXPECT_NE(sys.dialogs.shown[0].text.find("Overflow"), std::string::npos);
    EXPECT_NE(sys.dialogs.shown[0].text.find("Timer1_Timer at line 104"), std::string::npos);
    EXPECT_EQ(schedule().ElapsedSeconds(), 0);
    EXPECT_EQ(Status(), "On. Nothing will be deleted: the interval is out of range.");

    form->Text1.SetText("0");
    form->Text3.SetText("2");
    Tick(2);
    EXPECT_EQ(Runs(), 1) << "a fitting interval runs again";
    form->Text1.SetText("99999999");
    Tick();
    EXPECT_EQ(sys.dialogs.shown.size(), 2u) << "a new overflow is a new report";
}

TEST_F(ScheduleFixture, ATickWhileTheTicksOwnBoxIsUpDoesNothing) {
    Interval("99999999", "0", "0");
    SwitchOn();
    int nested = 0;
    sys.dialogs.whileShown = [&] {
        for (int i = 0; i < 5; ++i, ++nested) {
            form->Text1.SetText(std::to_string(99999990 + i));  // each a new overflow
            Tick();
        }
    };
    form->Text1.SetText("99999998");  // a new value: a report, with ticks under the box
    Tick();
    EXPECT_EQ(nested, 5);
    EXPECT_EQ(sys.dialogs.shown.size(), 1u);
}

TEST_F(ScheduleFixture, LeavingAnIntervalFieldChecksWhatItCanSpoilAndTheTotalOnceLeft) {
    struct Case {
        const char *hours, *minutes, *seconds;
        TextBox* field;
        Control* next;
        const char* message;  // nullptr: no message
    };
    const std::string range = "The interval must be at least 1 second and at most 596,523 hours.";
    const Case cases[] = {
        {"abc", "0", "0", &form->Text1, &form->Text2, "Must be a numeric entry."},
        {"-5", "0", "0", &form->Text1, &form->Text2, range.c_str()},
        {"99999999", "0", "0", &form->Text1, &form->Text2, range.c_str()},
        // Too long only together: judged once the three fields are left, and never blamed
        // on a field that holds a fitting value (the focus would go back and forth).
        {"596523", "59", "0", &form->Text2, &form->Text3, nullptr},
        {"596523", "59", "0", &form->Text2, &form->PushButton2, range.c_str()},
        {"99999999", "0", "0", &form->Text2, &form->Text1, nullptr},
        // On the way from 1 h to 30 s the total is 0 for a moment: no word yet.
        {"0", "0", "0", &form->Text1, &form->Text3, nullptr},
        {"0", "0", "0", &form->Text3, &form->PushButton2, range.c_str()},
        {"0", "0", "0.4", &form->Text3, &form->PushButton2, range.c_str()},
        {"0", "0", "30", &form->Text3, &form->PushButton2, nullptr},
        {"596523", "0", "0", &form->Text1, &form->PushButton2, nullptr},
    };
    for (const Case& c : cases) {
        form->Text1.SetText(c.hours);
        form->Text2.SetText(c.minutes);
        form->Text3.SetText(c.seconds);
        sys.dialogs.shown.clear();
        form->Window.ActiveControlChangedByUser(c.next);
        c.field->LostFocus.Raise();
        if (!c.message) {
            EXPECT_TRUE(sys.dialogs.shown.empty()) << c.hours << " " << c.seconds;
            continue;
        }
        ASSERT_EQ(sys.dialogs.shown.size(), 1u) << c.hours << " " << c.seconds;
        EXPECT_EQ(sys.dialogs.shown[0].text, c.message);
        EXPECT_EQ(sys.dialogs.shown[0].title, "Ondrevan");
    }
}

struct ScriptedKeys : KeyStates {
    std::map<int, std::int16_t> states;
    std::vector<int> asked;
    std::int16_t AsyncKeyState(int key) override {
        asked.push_back(key);
        return states[key];
    }
};

TEST(HotKey, FiresOnceForEachPressOfTWithCtrlAndShift) {
    constexpr std::int16_t kDown = -32768, kPressedSince = 1, kUp = 0;
    struct Case {
        std::int16_t control, shift;
        bool fires;
    } cases[] = {
        {kDown, kDown, true},          {kDown, kPressedSince, true},  // Shift pressed since counts
        {kUp, kDown, false},                                          // Shift+T
        {kDown, kUp, false},                                          // Ctrl+T
        {kPressedSince, kDown, false},                                // Ctrl must be down now
    };
    for (const Case& c : cases) {
        ScriptedKeys keys;
        keys.states = {{kVkControl, c.control}, {kVkShift, c.shift}, {kVkT, 1}};
        HotKeyDetector detector;
        EXPECT_EQ(detector.OnKey(keys, kVkT, true), c.fires) << c.control << " " << c.shift;
    }

    ScriptedKeys keys;
    keys.states = {{kVkControl, kDown}, {kVkShift, kDown}, {kVkT, 1}};
    HotKeyDetector detector;
    int toggles = 0;
    for (auto [key, down] : std::vector<std::pair<int, bool>>{{kVkControl, true},
                                                              {kVkShift, true},
                                                              {kVkT, true},
                                                              {kVkT, true},
                                                              {kVkT, true},
                                                              {kVkT, false},
                                                              {kVkShift, false},
                                                              {kVkT, true},
                                                              {kVkT, false}})
        toggles += detector.OnKey(keys, key, down);
    EXPECT_EQ(toggles, 2) << "the first press and, after the key-up, the second; never the repeats";
}

TEST(HotKey, TheStoredFormReadsBackAndWhatCannotBeOneIsRefused) {
    EXPECT_EQ(ParseHotKey("Ctrl+Shift+T"), std::optional<HotKeySpec>(kDefaultHotKey));
    EXPECT_EQ(HotKeyText(kDefaultHotKey), kDefaultHotKeyText);
    for (const char* text : {"Ctrl+Alt+K", "Shift+F9", "Win+Space", "Ctrl+Alt+Shift+Win+0",
                             "Alt+PageDown", "F11", "F24", "Ctrl+F24"}) {
        const auto key = ParseHotKey(text);
        ASSERT_TRUE(key) << text;
        EXPECT_EQ(HotKeyText(*key), text);
    }
    EXPECT_EQ(ParseHotKey(" ctrl + alt + k "), ParseHotKey("Ctrl+Alt+K"));
    EXPECT_EQ(ParseHotKey(""), std::optional<HotKeySpec>(HotKeySpec{})) << "no hot key at all";
    for (const char* bad : {"T", "Shift+T", "Alt+Ctrl+K", "Ctrl+Ctrl+K", "Ctrl+", "Ctrl+Foo",
                            "Ctrl+F25", "F0", "Ctrl+F00", "Ctrl+KK", "Control+K", "Ctrl+\xC3\x84",
                            "Alt+F4", "Ctrl+Alt+Delete", "Win+L", "Ctrl+c", "F1", "F12"})
        EXPECT_FALSE(ParseHotKey(bad)) << bad;
    EXPECT_EQ(HotKeyHint(kDefaultHotKey), "(Press Ctrl+Shift+T to toggle ON/OFF)")
        << "the designed hint, word for word";
    EXPECT_EQ(HotKeyHint(*ParseHotKey("Ctrl+Alt+K")), "(Press Ctrl+Alt+K to toggle ON/OFF)");
}

TEST(HotKey, AKeyThatWindowsOrNearlyEveryProgramUsesIsRefusedNamingTheClash) {
    constexpr int kF1 = 0x70, kTab = 0x09, kEsc = 0x1B, kDelete = 0x2E, kPrintScreen = 0x2C;
    const struct {
        HotKeySpec key;
        const char* refusal;  // "" when it is a hot key
    } cases[] = {
        {{false, true, false, false, kF1 + 3},
         "Alt+F4 closes the window in front in every program: choose another key."},
        {{false, true, false, false, kTab},
         "Alt+Tab switches to another window: choose another key."},
        {{false, true, true, false, kTab},
         "Alt+Shift+Tab switches to another window: choose another key."},
        {{true, false, false, false, kEsc}, "Ctrl+Esc opens the Start menu: choose another key."},
        {{true, true, false, false, kDelete},
         "Ctrl+Alt+Delete is Windows' own security key: choose another key."},
        {{false, false, false, true, 'L'}, "Win+L locks the computer: choose another key."},
        {{true, false, false, false, 'C'},
         "Ctrl+C copies in nearly every program: choose another key."},
        {{true, false, false, false, 'V'},
         "Ctrl+V pastes in nearly every program: choose another key."},
        {{true, false, false, false, 'X'},
         "Ctrl+X cuts in nearly every program: choose another key."},
        {{true, false, false, false, 'Z'},
         "Ctrl+Z undoes in nearly every program: choose another key."},
        {{true, false, false, false, 'A'},
         "Ctrl+A selects everything in nearly every program: choose another key."},
        {{true, false, false, false, 'S'},
         "Ctrl+S saves in nearly every program: choose another key."},
        {{false, false, false, false, kF1},
         "F1 opens the help in nearly every program: choose another key."},
        {{false, false, false, false, kF1 + 11},
         "F12 saves as, or opens the developer tools, in many programs: choose another key."},
        {{false, false, false, false, kPrintScreen},
         "PrintScreen takes a picture of the screen: choose another key."},
        {{false, true, false, false, kPrintScreen},
         "Alt+PrintScreen takes a picture of the screen: choose another key."},
        {{false, false, true, false, 'K'},
         "Shift+K is pressed as you type: add Ctrl or Alt, or choose a function key."},
        {{true, false, false, false, 0xBA},
         "That key cannot be a hot key: choose a letter, a digit, a function key or a key such "
         "as Home or Insert."},
        // Their neighbours are free.
        {{true, false, true, false, 'C'}, ""},
        {{true, true, false, false, kF1 + 3}, ""},
        {{false, false, false, false, kF1 + 10}, ""},
        {{true, false, false, false, kF1 + 23}, ""},
        {{}, ""},  // no hot key at all
    };
    for (const auto& c : cases) {
        const std::string text = HotKeyText(c.key);
        EXPECT_EQ(HotKeyRefusal(c.key).value_or(""), c.refusal) << text;
        EXPECT_EQ(ParseHotKey(text).has_value(), *c.refusal == '\0') << text;
    }
}

TEST(HotKey, AChosenKeyTogglesOncePerPressAndItsWholePressCanBeSwallowed) {
    constexpr std::int16_t kDown = -32768;
    const HotKeySpec chosen = *ParseHotKey("Ctrl+Alt+K");
    ScriptedKeys keys;
    keys.states = {{kVkControl, kDown}, {kVkMenu, kDown}, {kVkShift, kDown}};
    HotKeyDetector detector;
    detector.SetHotKey(chosen);
    EXPECT_FALSE(detector.OnKey(keys, kVkT, true)) << "Ctrl+Shift+T no longer toggles";
    EXPECT_FALSE(detector.PartOfFiredPress()) << "so it goes on to the program in front";
    detector.OnKey(keys, kVkT, false);
    std::vector<bool> fired, swallowed;
    for (auto [key, down] : std::vector<std::pair<int, bool>>{
             {'K', true}, {'K', true}, {'K', false}, {'J', true}, {'J', false}}) {
        fired.push_back(detector.OnKey(keys, key, down));
        swallowed.push_back(detector.PartOfFiredPress());
    }
    EXPECT_EQ(fired, (std::vector<bool>{true, false, false, false, false}));
    EXPECT_EQ(swallowed, (std::vector<bool>{true, true, true, false, false}))
        << "the press, its repeat and its key-up; not another key";
    keys.states[kVkMenu] = 0;
    EXPECT_FALSE(detector.OnKey(keys, 'K', true)) << "Alt is part of it";
    EXPECT_FALSE(detector.PartOfFiredPress()) << "a press that did not toggle is never swallowed";
    detector.SetHotKey(HotKeySpec{});
    keys.states[kVkMenu] = kDown;
    EXPECT_FALSE(detector.OnKey(keys, 'K', false));
    EXPECT_FALSE(detector.OnKey(keys, 'K', true)) << "an empty hot key never fires";
}

TEST_F(ScheduleFixture, TheStoredHotKeyReachesTheHookAndTheHintAndAnUnreadableOneIsReported) {
    EXPECT_EQ(sys.keyboardHook.hotKey, kDefaultHotKey);
    EXPECT_TRUE(sys.keyboardHook.passThrough);
    EXPECT_EQ(form->Label5.Caption(), "(Press Ctrl+Shift+T to toggle ON/OFF)");
    sys.settings.Set(keys::kHotKey, "Ctrl+Alt+K");
    sys.settings.Set(keys::kHotKeyPassThrough, kSwitchOff);
    Form1 again(sys.services());
    again.Form_Load();
    EXPECT_EQ(sys.keyboardHook.hotKey, *ParseHotKey("Ctrl+Alt+K"));
    EXPECT_FALSE(sys.keyboardHook.passThrough);
    EXPECT_EQ(again.Label5.Caption(), "(Press Ctrl+Alt+K to toggle ON/OFF)");
    // Chosen in the options window: stored as text, and in force at once.
    again.ShowOptions().hkHotKey.SetValue(*ParseHotKey("Shift+F9"));
    EXPECT_EQ(sys.settings.Get(keys::kHotKey), std::optional<std::string>("Shift+F9"));
    EXPECT_EQ(sys.keyboardHook.hotKey, *ParseHotKey("Shift+F9"));
    again.Options().hkHotKey.SetValue(HotKeySpec{false, false, false, false, 'K'});
    EXPECT_EQ(sys.settings.Get(keys::kHotKey), std::optional<std::string>("Shift+F9"))
        << "a letter alone is not stored";
    EXPECT_FALSE(again.Options().lblHotKeyFault.Caption().empty());

    sys.settings.Set(keys::kHotKey, "Ctrl+Shift+Whatever");
    const std::size_t boxes = sys.dialogs.shown.size();
    Form1 third(sys.services());
    third.Form_Load();
    EXPECT_EQ(sys.keyboardHook.hotKey, kDefaultHotKey) << "the default stays";
    ASSERT_EQ(sys.dialogs.shown.size(), boxes + 1);
    EXPECT_NE(sys.dialogs.shown.back().text.find("Type mismatch"), std::string::npos);
}

// The schedule on its own: the seams' doubles, a window that records and a run that records.
struct ScheduleAloneFixture : ::testing::Test {
    struct RecordingWindow : ScheduleInputs, ScheduleView {
        ScheduleKind kind = ScheduleKind::Every;
        std::string texts[3] = {"0", "0", "2"};
        std::string status, caption = kSwitchOffCaption;
        bool armed = false;
        ScheduleKind Kind() const override { return kind; }
        TimeOfDay SetTime() const override { return {}; }
        std::string Weekday() const override { return "Monday"; }
        const std::string& IntervalText(IntervalField f) const override {
            return texts[static_cast<int>(f)];
        }
        void SetIntervalText(IntervalField f, const std::string& text) override {
            texts[static_cast<int>(f)] = text;
        }
        void EnableSetTime(bool, bool) override {}
        bool FocusInInterval() const override { return false; }
        void FocusIntervalField(IntervalField) override {}
        void SelectIntervalText(IntervalField) override {}
        void ShowStatus(const std::string& text) override { status = text; }
        void SetProgressMax(std::int32_t) override {}
        void SetProgressValue(std::int32_t) override {}
        void ClearProgress() override {}
        const std::string& SwitchCaption() const override { return caption; }
        void SetSwitchCaption(const std::string& text) override { caption = text; }
        void ShowDefaultPointer() override {}
        void ArmTimer() override { armed = true; }
        void DisarmTimer() override { armed = false; }
    };
    struct RecordingRun : DeleteRun {
        bool allow = true;
        std::vector<std::string> calls;
        bool timerRanDuringRun = false;
        const bool* armed = nullptr;
        const ListView* list = nullptr;
        bool AllowDeleteFolders() override {
            calls.push_back("allow");
            return allow;
        }
        RunReport DeleteFoldersFiles(RunTrigger) override {
            calls.push_back("run " + std::to_string(list->Count()));
            timerRanDuringRun |= *armed;
            return {totals, summary, "", {}};
        }
        RunTotals totals;
        std::string summary =
            "Run finished: 3 files deleted (3 bytes), 1 file could not be deleted, "
            "0 folders sent to the Recycle Bin";
    };

    testing::FakeSystem sys;
    AppSettings settings{sys.settings};
    AppMessages messages{sys.dialogs};
    RecordingRun run;
    testing::RecordingHistory history;
    cSysTray tray{sys.notifyIcon, sys.pump, sys.clock};
    bool hiddenToTray = false;
    RecordingWindow window;
    ListView ListView1{"ListView1"};
    Schedule schedule{{
        .clock = sys.clock,
        .pump = sys.pump,
        .locale = sys.locale,
        .dialogs = sys.dialogs,
        .settings = settings,
        .messages = messages,
        .run = run,
        .history = history,
        .tray = tray,
        .hiddenToTray = hiddenToTray,
        .inputs = window,
        .view = window,
        .ListView1 = ListView1,
    }};

    void SetUp() override {
        run.armed = &window.armed;
        run.list = &ListView1;
    }
};

TEST_F(ScheduleAloneFixture, TheSwitchAndTheTickGoThroughTheRunTheyAreGiven) {
    schedule.PushButton2_Click();
    EXPECT_TRUE(run.calls.empty()) << "an empty list is refused before the run is asked";
    EXPECT_FALSE(schedule.IsOn());

    ListView1.AddRange({"C:\\A", "C:\\B"});
    run.allow = false;
    schedule.PushButton2_Click();
    EXPECT_FALSE(schedule.IsOn()) << "the run said no";
    run.allow = true;
    schedule.PushButton2_Click();
    ASSERT_TRUE(schedule.IsOn());
    EXPECT_EQ(sys.settings.Get(keys::kStartStopState), std::optional<std::string>(kSwitchOn));

    schedule.Timer1_Timer();
    EXPECT_EQ(window.status, std::string(kStatusPrefix) + "00:00:01");
    schedule.Timer1_Timer();
    EXPECT_EQ(run.calls, (std::vector<std::string>{"allow", "allow", "run 2"}));
    EXPECT_FALSE(run.timerRanDuringRun) << "the timer rests while the run works";
    EXPECT_TRUE(window.armed) << "and is armed again afterwards";
    EXPECT_EQ(ListView1.Selected(), std::optional<std::size_t>(1)) << "the next entry is selected";
}

}  // namespace
}  // namespace ondrevan
