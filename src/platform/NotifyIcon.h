#pragma once

#include <cstdint>
#include <string>

namespace ondrevan {

// One Shell_NotifyIcon call for the tray control's icon (its window, identifier 0).
struct NotifyIconRequest {
    enum class Action { Add, Modify, Delete };
    Action action = Action::Add;
    std::uint32_t flags = 0;  // NIF_MESSAGE 1, NIF_ICON 2, NIF_TIP 4, NIF_INFO 16
    std::uint32_t callbackMessage = 0;
    bool programIcon = false;
    std::string tip, info, infoTitle;
    std::uint32_t timeoutMs = 0;
};

inline constexpr std::uint32_t kTrayCallbackMessage = 1125;  // WM_USER + 101

// What the icon's window hears: the shell's mouse messages for the icon, and Explorer
// starting again.
class NotifyIconListener {
  public:
    virtual void DispatchTrayMessage(std::uint32_t mouseMessage, std::int32_t id) = 0;
    virtual void OnTaskbarCreated() = 0;

  protected:
    ~NotifyIconListener() = default;
};

class NotifyIcon {
  public:
    virtual ~NotifyIcon() = default;
    virtual void Send(const NotifyIconRequest& request) = 0;
};

}  // namespace ondrevan
