#pragma once

#include <optional>
#include <string>

#include "platform/Dialogs.h"

namespace ondrevan {

// The program's own message boxes: each carries the application title, which is known
// once the window has loaded.
class AppMessages {
  public:
    explicit AppMessages(Dialogs& dialogs) : dialogs_(dialogs) {}

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    // A box carries the icon of its kind: a question asks, a warning refuses or reports a
    // failure, anything else informs.
    MessageAnswer MsgBox(const std::string& text, MessageButtons buttons = MessageButtons::Ok,
                         std::optional<MessageIcon> icon = std::nullopt) {
        const MessageIcon kind = icon                               ? *icon
                                 : buttons == MessageButtons::YesNo ? MessageIcon::Question
                                                                    : MessageIcon::Information;
        return dialogs_.ShowMessage(text, title_, buttons, kind);
    }
    MessageAnswer Warn(const std::string& text) {
        return MsgBox(text, MessageButtons::Ok, MessageIcon::Warning);
    }

  private:
    Dialogs& dialogs_;
    std::string title_;
};

}  // namespace ondrevan
