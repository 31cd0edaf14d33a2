#include "app/Form1.h"

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
    if (Option4.Value()) return locale.FormatLongTime(dtpWeekly.Value());
    if (Option5.Value()) return cboWeekly.Text() + " " + locale.FormatLongTime(dtpWeekly.Value());
    // Every interval: what is left of it from now, as the countdown has it.
    const std::string separator = locale.DecimalSeparator();
    const auto hours = ParseNumber(Text1.Text(), separator);
    const auto minutes = ParseNumber(Text2.Text(), separator);
    const auto seconds = ParseNumber(Text3.Text(), separator);
    if (!hours || !minutes || !seconds) return "";
    const auto total = TryIntervalSeconds(*hours, *minutes, *seconds);
    if (!total || *total < 1) return "";
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
        services_.shell.OpenItem(file, folder);
    });
}

void Form1::ShowKeysHelp() {
    ErrorTrap trap(services_.dialogs, "Form1.ShowKeysHelp");
    trap.Line(100, [&] {
        MsgBox(
            "Keyboard\r\n"
            "Tab, Shift+Tab: the next or previous control. Arrow keys: within an option group.\r\n"
            "Alt: the menu bar (Alt+F, Alt+L, Alt+V, Alt+T, Alt+H); Alt and the underlined "
            "letter: that button, box or option. Enter, Space: press the focused button.\r\n"
            "Ctrl+O: load a folder list. Ctrl+Z: bring back what the last removal took. F5: "
            "count the preview again.\r\n"
            "In the folder list: Delete removes the selected folder; Shift+F10 or the Menu key "
            "opens its menu.\r\n"
            "Escape closes the Options and Preview windows.\r\n" +
            Label5.Caption().substr(1, Label5.Caption().size() - 2) +
            " from any program.\r\n\r\n"
            "Command line\r\n"
            "Ondrevan.exe /preview   what the next run would do\r\n"
            "Ondrevan.exe /run   one run with the stored list and rules\r\n"
            "Ondrevan.exe /?   the usage");
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
