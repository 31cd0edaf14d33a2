#pragma once

#include <cstdint>
#include <string>

#include "controls/Event.h"
#include "platform/NotifyIcon.h"

namespace ondrevan {

class EventPump;
class Clock;

// The tray icon control: one icon in the notification area, its tip, a balloon, and the
// mouse messages the shell sends for it turned into events.
class cSysTray : public NotifyIconListener {
  public:
    cSysTray(NotifyIcon& shell, EventPump& pump, Clock& clock)
        : shell_(shell), pump_(pump), clock_(clock) {}

    bool InTray() const { return inTray_; }
    void SetInTray(bool inTray);
    const std::string& TrayTip() const { return tip_; }
    void SetTrayTip(const std::string& tip);
    bool TrayIcon() const { return hasIcon_; }
    // Only an icon is taken; the program's own icon is the one there is.
    void SetTrayIcon(bool programIcon);

    // Shows a balloon for at most the given seconds, waiting with pending messages running
    // until the shell reports it gone or the time is up. Throws AppError "Overflow" when
    // the milliseconds do not fit 32 bits, before anything is shown.
    void ShowBalloon(const std::string& text, const std::string& title, std::int32_t seconds,
                     bool showOnce);

    // What the control's window receives for message 1125.
    void DispatchTrayMessage(std::uint32_t mouseMessage, std::int32_t id) override;
    // Explorer restarted: an icon that was in the tray is added again.
    void OnTaskbarCreated() override;

    Event<std::int32_t> MouseMove;
    Event<std::int16_t, std::int32_t> MouseDown;
    Event<std::int16_t, std::int32_t> MouseUp;
    Event<std::int16_t, std::int32_t> MouseDblClick;

  private:
    void AddTrayIcon();

    NotifyIcon& shell_;
    EventPump& pump_;
    Clock& clock_;
    bool inTray_ = false;
    bool added_ = false;
    bool hasIcon_ = false;
    std::string tip_;
    bool balloonUp_ = false;
    std::int32_t onceCount_ = 0;
};

}  // namespace ondrevan
