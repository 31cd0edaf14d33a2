#include "app/Form1.h"

#include "app/HomePage.h"
#include "app/Layout.h"
#include "app/RunHistory.h"
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
#include "schedule/Interval.h"

namespace ondrevan {

#ifdef ONDREVAN_VERSION
inline constexpr const char* kProgramVersion = ONDREVAN_VERSION;
#else
inline constexpr const char* kProgramVersion = "";
#endif

// The tray's state, the hot key's balloon and the Help menu.

void Form1::HotKeyPressed() {
    if (options_.ChoosingHotKey()) return;
    const bool wasOn = schedule_.IsOn();
    schedule_.PushButton2_Click();
    ShowTrayState();
    // A press in another program with the window out of sight: the balloon says what it did.
    const bool on = schedule_.IsOn();
    if (on != wasOn && (HiddenToTray || !Window.Visible()))
        cSysTray1.ShowBalloon(SwitchBalloonText(on, NextRunText()), kProductName, 0, false);
}

std::string Form1::NextRunText() {
    if (!schedule_.IsOn()) return "";
    Locale& locale = services_.locale;
    if (Option4.Value() || Option5.Value()) {
        // The run that will really happen: after a spring-forward gap, on its first moment;
        // named by its weekday when it is not today (the weekly kind always is).
        const auto next = schedule_.NextRun();
        if (!next) return "";
        const std::string time = locale.FormatLongTime(next->time);
        if (Option4.Value() && next->date == services_.clock.Now().date) return time;
        return std::string(kWeekdayNames[next->Weekday()]) + " " + time;
    }
    // Every interval: what is left of it from now, as the countdown has it.
    const std::string separator = locale.DecimalSeparator();
    const std::string hours = Text1.Text(), minutes = Text2.Text(), seconds = Text3.Text();
    const auto total = IntervalInForce({hours, minutes, seconds}, separator);
    if (!total) return "";
    const std::int64_t left =
        std::max<std::int64_t>(0, static_cast<std::int64_t>(*total) - schedule_.ElapsedSeconds());
    const LocalDateTime now = services_.clock.Now();
    const std::int64_t at = now.time.seconds + left;
    TimeOfDay time{static_cast<int>(at % 86400)};
    if (at < 86400) return locale.FormatLongTime(time);
    LocalDateTime when = now;
    when.date = std::chrono::sys_days{now.date} + std::chrono::days{at / 86400};
    when.time = time;
    return locale.FormatShortDate(when) + " " + locale.FormatLongTime(time);
}

void Form1::NoteRun() {
    lastRun_ = services_.clock.Now();
    lastRunOutcome_ = RunOutcome(deletePanel_.LastReport().totals);
    // Where the bar was, the result stays until the next run.
    scheduleControls_.ShowLastRun("Last run " + services_.locale.FormatLongTime(lastRun_->time) +
                                  ": " + lastRunOutcome_);
    ShowTrayState();
}

void Form1::ShowTrayState() {
    TrayFacts facts;
    facts.on = schedule_.IsOn();
    facts.nextRun = NextRunText();
    if (lastRun_) {
        facts.lastRunTime = services_.locale.FormatLongTime(lastRun_->time);
        if (lastRun_->date != services_.clock.Now().date)
            facts.lastRunDate = services_.locale.FormatShortDate(*lastRun_);
        facts.lastRunOutcome = lastRunOutcome_;
    }
    facts.monthFreed = MonthFreedText(runRecord_.Rows(), services_.clock.Now());
    const std::string tip = TrayTipText(facts);
    if (tip != cSysTray1.TrayTip()) cSysTray1.SetTrayTip(tip);
}

void Form1::OpenReadMe() {
    ErrorTrap trap(services_.dialogs, "Form1.OpenReadMe");
    trap.Line(100, [&] {
        const std::string folder = services_.environment.ProgramFolder();
        const std::string file = folder + "\\ReadMe.txt";
        if (!FileExists(services_.fileSystem, file)) {
            messages_.Warn("The read-me is not there: " + file);
            return;
        }
        // In Notepad, as the history log is: the shell's "open" needs an association for .txt,
        // which a machine may not have, and fails without a word.
        services_.shell.RunCommandLine("notepad \"" + file + "\"", ShowMode::Normal);
    });
}

void Form1::ShowKeysHelp() {
    ErrorTrap trap(services_.dialogs, "Form1.ShowKeysHelp");
    trap.Line(100, [&] {
        MsgBox(
            "Keyboard\r\n"
            "Tab, Shift+Tab: the next or previous control. Arrow keys: within an option group.\r\n"
            "Main window: Alt opens the menu bar (Alt+F, Alt+L, Alt+V, Alt+T, Alt+H); Alt and "
            "the underlined letter: that button, box or option. Enter, Space: press the "
            "focused button.\r\n"
            "Ctrl+O: load a folder list. Ctrl+Z: bring back what the last removal took. F5: "
            "count the preview again.\r\n"
            "In the folder list: Delete removes the selected folder; Shift+F10 or the Menu key "
            "opens its menu.\r\n"
            "Options, Preview and Rules for This Folder: Escape closes them from any control. "
            "In the preview, Alt+C copies the report, Alt+R counts again, Alt+A cancels the "
            "count.\r\n"
            "Message boxes: Enter presses the default button.\r\n" +
            Label5.Caption().substr(1, Label5.Caption().size() - 2) +
            " from any program.\r\n\r\n"
            "Command line (Ondrevan.exe /? writes each switch in full; the read-me has the exit "
            "codes)\r\n"
            "/preview: what the next run would do, deleting nothing\r\n"
            "/run: one run with the stored list and rules, without a window\r\n"
            "/status: whether automatic deletion is on and running, for scripts\r\n"
            "/export FILE, /import FILE: the settings to and from a text file\r\n"
            "/exit: closes the running copy; /reopen: starts again the copy /exit closed\r\n"
            "/?: the usage");
    });
}

void Form1::ShowAbout() {
    ErrorTrap trap(services_.dialogs, "Form1.ShowAbout");
    trap.Line(100, [&] {
        MsgBox(std::string("Ondrevan ") + kProgramVersion +
               "\r\nClears the folders of its list on a schedule.\r\n\r\n"
               "Copyright (C) Quillmere. MIT licence: see LICENSE.txt beside the program.");
    });
}

}  // namespace ondrevan
