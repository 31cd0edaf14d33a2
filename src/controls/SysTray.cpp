#include "controls/SysTray.h"

#include <limits>

#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/NotifyIcon.h"

namespace ondrevan {
namespace {

inline constexpr std::uint32_t kNifMessage = 1, kNifIcon = 2, kNifTip = 4, kNifInfo = 16;
inline constexpr std::uint32_t kBalloonHide = 1027, kBalloonTimeout = 1028,
                               kBalloonUserClick = 1029;

// A text field of the record holds this many UTF-16 characters before its NUL; a
// character that needs two of them is not split.
std::string Cut(const std::string& text, std::size_t characters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;  // inside a character
        count += byte >= 0xF0 ? 2 : 1;
        if (count > characters) return text.substr(0, i);
    }
    return text;
}

}  // namespace

void cSysTray::AddTrayIcon() {
    NotifyIconRequest add;
    add.action = NotifyIconRequest::Action::Add;
    add.flags = kNifMessage | (hasIcon_ ? kNifIcon : 0) | (tip_.empty() ? 0 : kNifTip);
    add.callbackMessage = kTrayCallbackMessage;
    add.programIcon = hasIcon_;
    add.tip = Cut(tip_, 127);
    shell_.Send(add);
}

void cSysTray::SetInTray(bool inTray) {
    if (inTray == inTray_) return;
    if (inTray) {
        AddTrayIcon();
        added_ = true;
    } else if (added_) {
        NotifyIconRequest remove;
        remove.action = NotifyIconRequest::Action::Delete;
        shell_.Send(remove);
        added_ = false;
        balloonUp_ = false;  // an icon that is gone has no balloon to wait for
    }
    inTray_ = inTray;
}

void cSysTray::SetTrayTip(const std::string& tip) {
    tip_ = tip;
    if (!added_) return;
    NotifyIconRequest change;
    change.action = NotifyIconRequest::Action::Modify;
    change.flags = kNifTip;
    change.tip = Cut(tip_, 127);
    shell_.Send(change);
}

void cSysTray::SetTrayIcon(bool programIcon) {
    if (!programIcon) return;  // anything but an icon is ignored
    hasIcon_ = true;
    if (!added_) return;
    NotifyIconRequest change;
    change.action = NotifyIconRequest::Action::Modify;
    change.flags = kNifIcon;
    change.programIcon = true;
    shell_.Send(change);
}

void cSysTray::ShowBalloon(const std::string& text, const std::string& title, std::int32_t seconds,
                           bool showOnce) {
    const std::int64_t timeout = static_cast<std::int64_t>(seconds) * 1000;
    if (timeout > std::numeric_limits<std::int32_t>::max() ||
        timeout < std::numeric_limits<std::int32_t>::min())
        throw errors::Overflow();
    if (showOnce && onceCount_ >= 1) return;

    NotifyIconRequest show;
    show.action = NotifyIconRequest::Action::Modify;
    show.flags = kNifInfo;
    show.info = Cut(text, 255);
    show.infoTitle = Cut(title, 63);
    if (seconds > 0) show.timeoutMs = static_cast<std::uint32_t>(timeout);
    shell_.Send(show);
    balloonUp_ = true;
    if (showOnce) ++onceCount_;

    if (seconds <= 0 || !balloonUp_) return;
    const std::int64_t start = TimelineSeconds(clock_.Now());
    while (balloonUp_ && TimelineSeconds(clock_.Now()) - start < seconds) pump_.WaitForEvents(100);
    if (!balloonUp_) return;
    NotifyIconRequest down;
    down.action = NotifyIconRequest::Action::Modify;
    down.flags = kNifInfo;
    shell_.Send(down);
    balloonUp_ = false;
}

void cSysTray::DispatchTrayMessage(std::uint32_t mouseMessage, std::int32_t id) {
    switch (mouseMessage) {
        case 512:
            MouseMove.Raise(id);
            break;
        case 1024:  // NIN_SELECT: the icon chosen with the keyboard (Enter), as a click
        case 1025:  // NIN_KEYSELECT: the same with the space bar
        case 513:
            MouseDown.Raise(1, id);
            break;
        case 516:
            MouseDown.Raise(2, id);
            break;
        case 514:
            MouseUp.Raise(1, id);
            break;
        case 517:
            MouseUp.Raise(2, id);
            break;
        case 515:
            MouseDblClick.Raise(1, id);
            break;
        case 518:
            MouseDblClick.Raise(2, id);
            break;
        case kBalloonHide:
        case kBalloonTimeout:
        case kBalloonUserClick:
            balloonUp_ = false;
            break;
        default:
            break;
    }
}

void cSysTray::OnTaskbarCreated() {
    if (added_) AddTrayIcon();
}

}  // namespace ondrevan
