#include "app/WindowLife.h"

#include "app/Form1.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/EventPump.h"
#include "platform/KeyboardHook.h"
#include "platform/ValueForms.h"
#include "product/SettingKeys.h"

namespace ondrevan {

inline constexpr const char* kMinimizedBalloon =
    "has been minimized to the system tray.\r\n"
    "Click on the blue 'Q' icon (Q for Quillmere) to bring the software back.";

void WindowLife::TrayAtStartUp() {
    form_.cSysTray1.SetTrayTip(kProductName);
    form_.Window.ShowProgramIcon();
    form_.cSysTray1.SetInTray(true);
}

void WindowLife::Form_Resize() {
    if (form_.Window.State() != WindowState::Minimized || form_.HiddenToTray) return;
    form_.Window.SetVisible(false);
    form_.Window.SetState(WindowState::Normal);  // it comes back at its normal size
    form_.HiddenToTray = true;
    form_.cSysTray1.ShowBalloon(kMinimizedBalloon, kProductName, 5, true);
}

void WindowLife::cSysTray1_MouseDown() {
    // Normal first: a minimize that the system reports again while hidden (as after a
    // start in the tray) must not bring the window back minimized.
    form_.Window.SetState(WindowState::Normal);
    form_.Window.SetVisible(true);
    form_.Window.SetFocus();
    form_.HiddenToTray = false;
}

void WindowLife::Check8_Click() {
    form_.Settings().Save(keys::kMinimized, SwitchText(form_.Check8.Checked()));
}

void WindowLife::Hover(int pointer) {
    if (form_.Window.MousePointer() == pointers::kHourglass) return;
    form_.Window.SetMousePointer(pointer);
}

void WindowLife::Form_QueryUnload() {
    if (ended_) return;
    ErrorTrap trap(form_.Services().dialogs, "Form1.Form_QueryUnload");
    trap.Line(100, [&] { form_.Services().keyboardHook.Remove(); });
    trap.Line(102, [&] { form_.Timer1.SetTimerEnabled(false); });
    trap.Line(104, [&] { form_.cSysTray1.SetInTray(false); });
    trap.Line(106, [&] { form_.Services().pump.DoEvents(); });
    trap.Line(108, [&] { form_.Services().pump.DoEvents(); });
    ended_ = true;
}

}  // namespace ondrevan
