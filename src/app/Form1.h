#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/DeletePanel.h"
#include "app/ExclusiveRun.h"
#include "app/FolderRulesForm.h"
#include "app/OptionsForm.h"
#include "app/PreviewForm.h"
#include "app/RunHistoryForm.h"
#include "app/ScheduleControls.h"
#include "app/WindowLife.h"
#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/DateTimePicker.h"
#include "controls/FormWindow.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "controls/SysTray.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"
#include "delete/DelFolders.h"
#include "delete/DeletionEngine.h"
#include "delete/ProtectedFolders.h"
#include "folders/AddFolder.h"
#include "folders/FileToListview1.h"
#include "folders/FolderList.h"
#include "folders/SampleFolders.h"
#include "history/EventWatch.h"
#include "history/History.h"
#include "history/RunRecorder.h"
#include "platform/AppMessages.h"
#include "platform/Dialogs.h"
#include "platform/Services.h"
#include "product/AppSettings.h"
#include "product/Policies.h"
#include "schedule/Schedule.h"
#include "startup/StartupEntry.h"

namespace ondrevan {

// Whether a menu offers a command now, and in which words.
struct CommandState {
    bool enabled = true;
    std::string text;
};

// The main window: its controls in their designed state, the start-up sequence, and the
// handlers that belong to the window itself.
class Form1 {
  public:
    explicit Form1(const ondrevan::Services& services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The whole start-up: what the first paint shows, then the rest.
    void Form_Load();
    // The start-up the first paint needs: the controls as stored, the folder list, the notes
    // and hints, what policies set.
    void LoadForFirstPaint();
    // The rest, once the window has been drawn: the tray icon and its tip (which reads the
    // record of runs), the history's place, the keyboard hook, a missed run's catch-up.
    void AfterFirstPaint();
    // Whether the rest waits for the first paint: not when the window starts minimized (it
    // goes to the tray at once, with the icon's balloon, and no paint comes).
    bool WaitsForFirstPaint() const;
    // Start-up calls this with the name of each stage it has done, for the start-up bench.
    void SetStageMark(std::function<void(const char*)> mark) { stageMark_ = std::move(mark); }
    void PushButton11_Click();

    // Every control but the window itself, in design order.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::string& name) const;

    const std::string& AppTitle() const { return messages_.Title(); }
    bool IsLoading() const { return isLoading_; }
    const std::string& HistoryFilePath() const { return history_.FilePath(); }

    const ondrevan::Services& Services() const { return services_; }
    const AppSettings& Settings() const { return settings_; }
    FolderList& Folders() { return folderList_; }
    AddFolder& FolderAdder() { return addFolder_; }
    DelFolders& Deleter() { return engine_.deleter; }
    ProtectedFolders& Protection() { return engine_.protectedFolders; }
    // The delete controls, which start the window's runs.
    DeletePanel& DeleteControls() { return deletePanel_; }
    ondrevan::History& History() { return history_; }
    RunRecorder& RunRecord() { return runRecord_; }
    ondrevan::Schedule& Scheduler() { return schedule_; }
    // The options window, its fields as stored; the preview window, worked out afresh.
    OptionsForm& ShowOptions();
    PreviewForm& ShowPreview();
    OptionsForm& Options() { return options_; }
    PreviewForm& Preview() { return preview_; }
    // "Run History...": the record of runs read afresh.
    RunHistoryForm& ShowRunHistory();
    // The folder list's own menu.
    void OpenSelectedFolder() { folderList_.OpenSelectedFolder(); }
    void RemoveSelectedFolder() { ListView1.DblClick.Raise(); }
    // The menus' commands: whether one is offered now (and in which words, `text` as the
    // menu defines it), and doing it. Options, Preview, a folder's rules and Exit open or
    // close windows, which the shell does.
    CommandState StateOf(Command command, const std::string& text);
    void Execute(Command command);
    // Folders dropped on the list from Explorer.
    void FoldersDropped(const std::vector<std::string>& paths);
    // "Rules for This Folder...": the selected entry's own rules, or nothing when none is
    // selected.
    FolderRulesForm* ShowFolderRules();
    FolderRulesForm& FolderRulesWindow() { return folderRules_; }
    // The list's second column, there only while a listed folder has rules of its own.
    void ShowFolderRulesColumn();
    // What follows every change of the list's entries: the rules column, and the rules
    // window, which closes when its folder left the list.
    void AfterListChanged();
    // The machine woke from sleep: a run missed meanwhile may be caught up.
    void ResumedFromSleep() { schedule_.CheckMissedRun(); }
    // The clock or the time zone was changed: the countdown and the tip read it again at once.
    void ClockChanged() {
        schedule_.ClockChanged();
        ShowTrayState();
    }
    // The program was started again: its window comes back, as from the tray icon.
    void StartedAgain() { windowLife_.cSysTray1_MouseDown(); }
    // The hook saw Ctrl+Shift+T: the same as a click on the switch, unless the user is
    // pressing keys into the hot-key field, choosing one.
    void HotKeyPressed();
    // The tray icon's tip says where things stand: the switch, the next run, the last run.
    void ShowTrayState();
    // The Help menu: the read-me beside the program, the keys and switches in short, and the
    // version with the licence.
    void OpenReadMe();
    // Started again by an installer after it closed a copy that was hidden in the tray:
    // start-up hides the window there, as "Start in system tray" does, and stores nothing.
    void StartInTray() { startInTray_ = true; }
    void ShowKeysHelp();
    void ShowAbout();
    // The Tools and File menus press the buttons that do the same.
    void RunNow() { PushButton3.Click.Raise(); }
    void LoadFolderListFile() { PushButton12.Click.Raise(); }
    // Windows said the policies changed: read them again, and show what they now set.
    void PoliciesChanged();
    const Policies& InForce() const { return policies_; }
    // The window is closing: whatever closes it, the program ends afterwards.
    void Form_QueryUnload() { windowLife_.Form_QueryUnload(); }
    // The window closes while a handler is under way: a run on the stack writes what it did
    // and that it was stopped, and `why`, for it will not go on.
    void StopRunAtOnce(const std::string& why) { engine_.deleter.StopAtOnce(why); }

    // True while the window is hidden in the notification area.
    bool HiddenToTray = false;

    // A message box that carries the application title.
    MessageAnswer MsgBox(const std::string& text, MessageButtons buttons = MessageButtons::Ok) {
        return messages_.MsgBox(text, buttons);
    }

    FormWindow Window{"Form1"};
    PushButton PushButton2{"PushButton2"};
    PushButton PushButton3{"PushButton3"};
    Label Label5{"Label5"};
    Frame Frame4{"Frame4"};
    ProgressBar ProgressBar1{"ProgressBar1"};
    Label Label4{"Label4"};
    ListView ListView1{"ListView1"};
    PushButton PushButton10{"PushButton10"};
    PushButton PushButton12{"PushButton12"};
    PushButton PushButton13{"PushButton13"};
    PushButton PushButton14{"PushButton14"};
    Frame Frame1{"Frame1"};
    OptionButton Option1{"Option1"};
    OptionButton Option2{"Option2"};
    Frame Frame2{"Frame2"};
    CheckBox Check1{"Check1"};
    PushButton PushButton6{"PushButton6"};
    Frame Frame3{"Frame3"};
    OptionButton Option3{"Option3"};
    TextBox Text1{"Text1"};
    Label Label1{"Label1"};
    TextBox Text2{"Text2"};
    Label Label2{"Label2"};
    TextBox Text3{"Text3"};
    Label Label3{"Label3"};
    OptionButton Option4{"Option4"};
    DateTimePicker dtpWeekly{"dtpWeekly"};
    OptionButton Option5{"Option5"};
    ComboBox cboWeekly{"cboWeekly"};
    Frame Frame5{"Frame5"};
    CheckBox Check3{"Check3"};
    CheckBox Check8{"Check8"};
    PushButton PushButton1{"PushButton1"};
    PushButton PushButton4{"PushButton4"};
    PushButton PushButton11{"PushButton11"};
    PushButton PushButton5{"PushButton5"};
    RichTextBox RichTextBox1{"RichTextBox1"};
    Timer Timer1{"Timer1"};
    cSysTray cSysTray1;

  private:
    // The button that gives the same command, if one does.
    PushButton* ButtonFor(Command command);
    // The folder list's one column, as designed, is this wide; a second one shares it.
    static constexpr int kFolderColumnTwips = 7000;

    void ApplyDesign();
    void WireHandlers();
    void RestoreScheduleAndDeleteControls(class ErrorTrap& trap);
    // The note under the status frame says what can be recovered.
    void ShowRecoveryNote();
    // Whether the files of a run go to the Recycle Bin (the options, or a policy, say so):
    // what the note and the Help say.
    bool FilesGoToRecycleBin() const;
    // The chosen hot key: in the hint, and in the hook. A stored text that does not read
    // leaves the default and is reported.
    void ApplyHotKey();
    // The controls an administrator's policy sets are disabled and say so; a forbidden
    // start-up entry is taken away.
    void ShowPolicies();
    // When the next run comes, in the user's format; "" when off or not known.
    std::string NextRunText();
    // A run the window started or the schedule made: the tip tells of it.
    void NoteRun();

    // Each part is handed the seams, the controls and the other parts it works with.
    ondrevan::Services services_;
    Policies policies_;
    AppSettings settings_;
    AppMessages messages_;
    bool isLoading_ = false;
    bool startInTray_ = false;
    FolderList folderList_{{
        .dialogs = services_.dialogs,
        .messages = messages_,
        .fileSystem = services_.fileSystem,
        .shell = services_.shell,
        .settings = settings_,
        .Window = Window,
        .ListView1 = ListView1,
    }};
    AddFolder addFolder_{{
        .dialogs = services_.dialogs,
        .fileSystem = services_.fileSystem,
        .pump = services_.pump,
        .ansi = services_.ansi,
        .messages = messages_,
        .folders = folderList_,
        .ListView1 = ListView1,
    }};
    FileToListview1 listFiles_{{
        .dialogs = services_.dialogs,
        .fileSystem = services_.fileSystem,
        .ansi = services_.ansi,
        .messages = messages_,
        .folders = folderList_,
        .ListView1 = ListView1,
    }};
    SampleFolders samples_{{
        .dialogs = services_.dialogs,
        .environment = services_.environment,
        .shell = services_.shell,
        .messages = messages_,
        .ListView1 = ListView1,
    }};
    // The record of runs beside the history.
    RunRecorder runRecord_{services_.fileSystem};
    RunRecording recording_{services_.clock, runRecord_};
    ondrevan::History history_{{
        .fileSystem = services_.fileSystem,
        .clock = services_.clock,
        .locale = services_.locale,
        .ansi = services_.ansi,
        .shell = services_.shell,
        .clipboard = services_.clipboard,
        .pump = services_.pump,
        .dialogs = services_.dialogs,
        .messages = messages_,
        .record = &runRecord_,
    }};
    // What a run writes to the history goes to the Event Log too.
    WatchedHistory watchedHistory_{history_, EventLogOrNone(services_.eventLog)};
    DeletionEngine engine_{services_, settings_, watchedHistory_};
    // The runs the window starts, one at a time with every other copy's.
    ExclusiveRun exclusiveRun_{services_.runLock, watchedHistory_, &recording_};
    DeletePanel deletePanel_{{
        .dialogs = services_.dialogs,
        .messages = messages_,
        .settings = settings_,
        .clock = services_.clock,
        .engine = engine_.deleter,
        .runs = exclusiveRun_,
        .Option1 = Option1,
        .Option2 = Option2,
        .Check1 = Check1,
        .ListView1 = ListView1,
    }};
    ScheduleControls scheduleControls_{{
        .Window = Window,
        .PushButton2 = PushButton2,
        .Frame4 = Frame4,
        .ProgressBar1 = ProgressBar1,
        .Timer1 = Timer1,
        .Option3 = Option3,
        .Option4 = Option4,
        .Option5 = Option5,
        .Text1 = Text1,
        .Text2 = Text2,
        .Text3 = Text3,
        .dtpWeekly = dtpWeekly,
        .cboWeekly = cboWeekly,
    }};
    ondrevan::Schedule schedule_{{
        .clock = services_.clock,
        .pump = services_.pump,
        .locale = services_.locale,
        .dialogs = services_.dialogs,
        .settings = settings_,
        .messages = messages_,
        .run = deletePanel_,
        .history = watchedHistory_,
        .tray = cSysTray1,
        .hiddenToTray = HiddenToTray,
        .inputs = scheduleControls_,
        .view = scheduleControls_,
        .ListView1 = ListView1,
    }};
    WindowLife windowLife_{*this};
    StartupEntry startupEntry_{{
        .environment = services_.environment,
        .fileSystem = services_.fileSystem,
        .registry = services_.registry,
        .settings = settings_,
        .messages = messages_,
        .isLoading = isLoading_,
        .Check3 = Check3,
        .Check8 = Check8,
    }};
    OptionsForm options_{{.settings = settings_}};
    FolderRulesForm folderRules_{{.settings = settings_}};
    FolderRulesList folderRulesShown_;
    PreviewForm preview_{{
        .deleter = engine_.deleter,
        .panel = deletePanel_,
        .ListView1 = ListView1,
        .pump = services_.pump,
        .clipboard = services_.clipboard,
    }};
    RunHistoryForm runHistory_{{
        .record = runRecord_,
        .clock = services_.clock,
        .locale = services_.locale,
        .clipboard = services_.clipboard,
        .dialogs = services_.dialogs,
        .messages = messages_,
        .fileSystem = services_.fileSystem,
        .ansi = services_.ansi,
        .historyPath = history_.FilePath(),
    }};
    OptionGroup deleteModeGroup_;
    OptionGroup scheduleKindGroup_;
    std::vector<Control*> controls_;
    std::optional<LocalDateTime> lastRun_;
    std::string lastRunOutcome_;
    std::function<void(const char*)> stageMark_;
    void Mark(const char* stage) {
        if (stageMark_) stageMark_(stage);
    }
};

}  // namespace ondrevan
