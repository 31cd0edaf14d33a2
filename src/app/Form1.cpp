#include "app/Form1.h"

#include <algorithm>
#include <functional>

#include "app/HomePage.h"
#include "app/Layout.h"
#include "app/Skin.h"
#include "app/TrayStatus.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/KeyboardHook.h"
#include "platform/Locale.h"
#include "platform/Numeric.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"

namespace ondrevan {

Form1::Form1(const ondrevan::Services& services)
    : cSysTray1(services.notifyIcon, services.pump, services.clock),
      services_(services),
      policies_(ReadPolicies(services.registry)),
      settings_(services.settings, &policies_),
      messages_(services.dialogs) {
    controls_ = {&PushButton2,  &PushButton3,  &Label5,       &Frame4,       &ProgressBar1,
                 &Label4,       &ListView1,    &PushButton10, &PushButton12, &PushButton13,
                 &PushButton14, &Frame1,       &Option1,      &Option2,      &Frame2,
                 &Check1,       &PushButton6,  &Frame3,       &Option3,      &Text1,
                 &Label1,       &Text2,        &Label2,       &Text3,        &Label3,
                 &Option4,      &dtpWeekly,    &Option5,      &cboWeekly,    &Frame5,
                 &Check3,       &Check8,       &PushButton1,  &PushButton4,  &PushButton11,
                 &PushButton5,  &RichTextBox1, &Timer1};
    ApplyDesign();
    WireHandlers();
}

Control* Form1::FindControl(const std::string& name) const {
    if (name == Window.Name()) return const_cast<FormWindow*>(&Window);
    for (Control* control : controls_)
        if (control->Name() == name) return control;
    return nullptr;
}

void Form1::ApplyDesign() {
    Window.SetPosition({0, 0, kClientWidthTwips, kClientHeightTwips});
    Window.SetFont({"Arial", kCaptionPoints, true});
    for (Control* control : controls_) {
        const LayoutEntry* entry = FindLayout(control->Name().c_str());
        control->SetPosition(entry->position);
        control->SetCaption(entry->caption);
        control->SetFont({"Arial", entry->fontPoints, true});
        if (entry->container)
            control->SetContainer(static_cast<Frame*>(FindControl(entry->container)));
    }

    deleteModeGroup_.Add(Option1);
    deleteModeGroup_.Add(Option2);
    scheduleKindGroup_.Add(Option3);
    scheduleKindGroup_.Add(Option4);
    scheduleKindGroup_.Add(Option5);
    Option1.SetValue(true);
    Option3.SetValue(true);

    // The letter each button, box and option answers to with Alt, in a word its caption
    // keeps whatever it says (the switch's "Automatic"); none is a menu's letter.
    for (const auto& [control, key] :
         std::initializer_list<std::pair<Control*, char>>{{&PushButton2, 'a'},
                                                          {&PushButton3, 's'},
                                                          {&PushButton10, 'd'},
                                                          {&PushButton12, 'x'},
                                                          {&PushButton13, 'c'},
                                                          {&PushButton14, 'm'},
                                                          {&Option1, 'r'},
                                                          {&Option2, 'b'},
                                                          {&Check1, 'y'},
                                                          {&PushButton6, '?'},
                                                          {&Option3, 'e'},
                                                          {&Option4, 'i'},
                                                          {&Option5, 'k'},
                                                          {&Check3, 'u'},
                                                          {&Check8, 'n'},
                                                          {&PushButton1, 'w'},
                                                          {&PushButton4, 'o'},
                                                          {&PushButton11, 'p'},
                                                          {&PushButton5, 'g'}})
        control->SetAccessKey(key);

    ProgressBar1.SetText("Progress Bar");
    // What a screen reader calls the controls whose captions do not say it.
    Text1.SetAccessibleName("Delete every: hours");
    Text2.SetAccessibleName("minutes");
    Text3.SetAccessibleName("seconds");
    dtpWeekly.SetAccessibleName("Time of the daily or weekly run");
    cboWeekly.SetAccessibleName("Day of the weekly run");
    ListView1.SetAccessibleName("Folders to clear");
    RichTextBox1.SetAccessibleName("History log");
    // The interval units stand as high as their fields, on the line of the fields' text.
    for (Label* unit : {&Label1, &Label2, &Label3}) unit->SetCentredInHeight(true);
    Label5.SetAutoSize(true);  // the hot-key hint is wider than its designed box
    std::vector<std::string> weekdays(std::begin(kWeekdayNames), std::end(kWeekdayNames));
    cboWeekly.SetItems(std::move(weekdays));
    // "Delete every:" is the designed kind, so the time and the weekday start disabled.
    dtpWeekly.SetEnabled(false);
    cboWeekly.SetEnabled(false);
    Timer1.SetInterval(100);
    RichTextBox1.SetVisible(false);
    cSysTray1.SetTrayIcon(true);  // the window's 16 x 16 icon; with none the tray shows a blank
}

void Form1::WireHandlers() {
    PushButton11.Click.Handle([this] { PushButton11_Click(); });
    // What adds or removes folders changes which of them show rules of their own: a folder
    // added may bring back rules it kept while it was out of the list.
    const auto thenShowRules = [this](std::function<void()> change) {
        return [this, change] {
            change();
            AfterListChanged();
        };
    };
    ListView1.DblClick.Handle(thenShowRules([this] { folderList_.ListView1_DblClick(); }));
    PushButton13.Click.Handle(thenShowRules([this] { folderList_.PushButton13_Click(); }));
    PushButton10.Click.Handle(thenShowRules([this] { addFolder_.PushButton10_Click(); }));
    PushButton12.Click.Handle(thenShowRules([this] { listFiles_.PushButton12_Click(); }));
    PushButton14.Click.Handle(thenShowRules([this] { samples_.PushButton14_Click(); }));
    folderRules_.RulesChanged.Handle([this] { ShowFolderRulesColumn(); });
    PushButton3.Click.Handle([this] {
        if (deletePanel_.PushButton3_Click()) NoteRun();
    });
    Option1.Click.Handle([this] { deletePanel_.Option1_Click(); });
    Option2.Click.Handle([this] { deletePanel_.Option2_Click(); });
    Check1.Click.Handle([this] { deletePanel_.Check1_Click(); });
    PushButton6.Click.Handle([this] { deletePanel_.PushButton6_Click(); });
    PushButton1.Click.Handle([this] { history_.PushButton1_Click(); });
    PushButton4.Click.Handle([this] { history_.PushButton4_Click(); });
    PushButton5.Click.Handle([this] { history_.PushButton5_Click(); });
    PushButton2.Click.Handle([this] {
        schedule_.PushButton2_Click();
        ShowTrayState();
    });
    schedule_.ScheduledRunDone.Handle([this] { NoteRun(); });
    // The tip is brought up to date as the pointer comes to the icon: the next run is current.
    cSysTray1.MouseMove.Handle([this](std::int32_t) { ShowTrayState(); });
    Window.Resize.Handle([this] { windowLife_.Form_Resize(); });
    // The left button brings the window back; the right one opens the icon's menu.
    cSysTray1.MouseDown.Handle([this](std::int16_t button, std::int32_t) {
        if (button == 1) windowLife_.cSysTray1_MouseDown();
    });
    Check8.Click.Handle([this] { windowLife_.Check8_Click(); });
    Check3.Click.Handle([this] { startupEntry_.Check3_Click(); });
    options_.RecycleFilesChanged.Handle([this] { ShowRecoveryNote(); });
    options_.HotKeyChanged.Handle([this] {
        ErrorTrap trap(services_.dialogs, "Form1.ApplyHotKey");
        trap.Line(100, [&] { ApplyHotKey(); });
    });
    // The hover pointers: a hand over what can be clicked, the arrow over the rest.
    for (Control* control : std::initializer_list<Control*>{
             &PushButton1, &PushButton2, &PushButton3, &PushButton4, &PushButton5, &PushButton6,
             &PushButton10, &PushButton11, &PushButton12, &PushButton13, &PushButton14, &Check1})
        control->MouseMove.Handle([this] { windowLife_.Hover(pointers::kCustom); });
    for (Control* control : std::initializer_list<Control*>{
             &Window, &Frame1, &Frame2, &Frame3, &Frame4, &Frame5, &ListView1, &Label1, &Text2})
        control->MouseMove.Handle([this] { windowLife_.Hover(pointers::kDefault); });
    Timer1.Tick.Handle([this] { schedule_.Timer1_Timer(); });
    Option3.Click.Handle([this] { schedule_.Option3_Click(); });
    Option4.Click.Handle([this] { schedule_.Option4_Click(); });
    Option5.Click.Handle([this] { schedule_.Option5_Click(); });
    cboWeekly.Click.Handle([this] { schedule_.cboWeekly_Click(); });
    cboWeekly.Change.Handle([this] { schedule_.cboWeekly_Click(); });
    dtpWeekly.Change.Handle([this] { schedule_.dtpWeekly_Change(); });
    dtpWeekly.Click.Handle([this] { schedule_.dtpWeekly_Change(); });
    struct IntervalBox {
        TextBox& box;
        IntervalField field;
    };
    for (IntervalBox interval :
         {IntervalBox{Text1, IntervalField::Hours}, IntervalBox{Text2, IntervalField::Minutes},
          IntervalBox{Text3, IntervalField::Seconds}}) {
        const IntervalField field = interval.field;
        interval.box.Change.Handle([this, field] { schedule_.Text_Change(field); });
        interval.box.GotFocus.Handle([this, field] { schedule_.Text_GotFocus(field); });
        interval.box.LostFocus.Handle([this, field] { schedule_.Text_LostFocus(field); });
    }
}

void Form1::Form_Load() {
    LoadForFirstPaint();
    AfterFirstPaint();
}

bool Form1::WaitsForFirstPaint() const {
    return Window.State() != WindowState::Minimized;
}

// The steps keep their numbers in the error box whichever half they are in.
void Form1::LoadForFirstPaint() {
    ErrorTrap trap(services_.dialogs, "Form1.Form_Load");
    const std::string programFolder = services_.environment.ProgramFolder();

    // 1. The optional skin, before anything else is coloured.
    trap.Line(100, [&] { ApplySkin(services_.fileSystem, programFolder, Window, controls_); });
    // 2.
    trap.Line(102, [&] { isLoading_ = true; });
    // 3. Caption and the title every untitled message box carries; the icon, which the
    // window's class already shows, after the first paint.
    trap.Line(104, [&] { Window.SetCaption(kProductName); });
    trap.Line(108, [&] { messages_.SetTitle(AppTitleFor(kProductName)); });
    // 4. The hand shown over buttons, when its file ships with the program.
    trap.Line(110, [&] {
        const std::string cursor = programFolder + "\\HAND-M.CUR";
        if (FileExists(services_.fileSystem, cursor)) Window.SetMouseIconFile(cursor);
    });
    Mark("skin, caption, pointer");
    // 6. The folder list's one column.
    trap.Line(114, [&] { ListView1.AddColumn({" Folder(s)", 0}); });
    trap.Line(116, [&] { ListView1.SetColumnWidth(0, kFolderColumnTwips); });
    // 7. The note stays white, skin or not.
    trap.Line(118, [&] { Label4.SetBackColor(colors::kWhite); });
    // 8. Each control from its key; a change raises the control's own handler.
    RestoreScheduleAndDeleteControls(trap);
    // 9. The automatic-delete switch; "On" arms the timer, whose first tick comes after
    // start-up, on this same thread.
    trap.Line(142, [&] { schedule_.RestoreSwitchState(); });
    Mark("controls as stored");
    // 10. The folder list.
    trap.Line(144, [&] { folderList_.LoadFolderList(); });
    trap.Line(145, [&] { ShowFolderRulesColumn(); });
    Mark("folder list");
    // 12.
    trap.Line(148, [&] { isLoading_ = false; });
    // 14. With IsLoading clear, a checked box writes the start-up entry again.
    trap.Line(152, [&] {
        Check3.SetChecked(IsSwitchOn(settings_.Get(keys::kWindowsStartup, kSwitchOff)));
    });
    // 15, 16. Starting in the tray: a minimized window hides itself there.
    trap.Line(154,
              [&] { Check8.SetChecked(IsSwitchOn(settings_.Get(keys::kMinimized, kSwitchOff))); });
    trap.Line(156, [&] {
        if (Check8.Checked() || startInTray_) Window.SetState(WindowState::Minimized);
    });
    Mark("start-up boxes");
    // Then the options, after the designed steps so that those keep their line numbers: the
    // rules' note, the chosen hot key (its hint), and what policies set.
    trap.Line(160, [&] {
        options_.Load();
        ShowRecoveryNote();
    });
    trap.Line(162, [&] { ApplyHotKey(); });
    trap.Line(166, [&] { ShowPolicies(); });
    Mark("options, hot key, policies");
}

void Form1::AfterFirstPaint() {
    ErrorTrap trap(services_.dialogs, "Form1.Form_Load");
    // 5.
    trap.Line(112, [&] { VisitHomePageAtRandom(services_.clock, services_.shell); });
    // 3.
    trap.Line(106, [&] { Window.ShowProgramIcon(); });
    // 11. The history file in the temporary folder.
    trap.Line(146, [&] {
        history_.SetFilePath(
            ondrevan::HistoryFilePath(services_.environment, services_.fileSystem));
        runRecord_.SetFilePath(RunRecordPath(history_.FilePath()));
    });
    Mark("history's place");
    // 13. The tray icon, present for the whole run.
    trap.Line(150, [&] { windowLife_.TrayAtStartUp(); });
    Mark("tray icon");
    // 17. The keyboard hook.
    trap.Line(158, [&] { services_.keyboardHook.Install(); });
    Mark("keyboard hook");
    // A daily or weekly run missed while the program was not running.
    trap.Line(164, [&] { schedule_.CheckMissedRun(); });
    Mark("catch-up");
    trap.Line(168, [&] { ShowTrayState(); });
    Mark("tray tip");
}

void Form1::RestoreScheduleAndDeleteControls(ErrorTrap& trap) {
    const std::string separator = services_.locale.DecimalSeparator();
    auto restoreOption = [&](int line, OptionButton& option, const char* key,
                             const char* byDefault) {
        trap.Line(line, [&] {
            option.SetValue(ParseBooleanText(settings_.Get(key, byDefault), separator));
        });
    };
    restoreOption(120, Option5, keys::kOption5, "0");
    restoreOption(122, Option4, keys::kOption4, "0");
    restoreOption(124, Option3, keys::kOption3, "1");
    restoreOption(126, Option1, keys::kOption1, "1");
    restoreOption(128, Option2, keys::kOption2, "0");
    trap.Line(130, [&] {
        Check1.SetChecked(ParseCheckState(settings_.Get(keys::kCheck1, "0"), separator));
    });
    trap.Line(132, [&] {
        const std::string now = services_.locale.FormatLongTime(services_.clock.Now().time);
        auto time = services_.locale.ParseTime(settings_.Get(keys::kWeeklyTime, now));
        if (!time) throw errors::TypeMismatch();
        dtpWeekly.SetValue(*time);
    });
    trap.Line(134, [&] { cboWeekly.SetText(settings_.Get(keys::kWeekly, "Monday")); });
    trap.Line(136, [&] { Text1.SetText(settings_.Get(keys::kText1, "1")); });
    trap.Line(138, [&] { Text2.SetText(settings_.Get(keys::kText2, "0")); });
    trap.Line(140, [&] { Text3.SetText(settings_.Get(keys::kText3, "0")); });
}

}  // namespace ondrevan
