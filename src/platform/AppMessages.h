#pragma once

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

    MessageAnswer MsgBox(const std::string& text, MessageButtons buttons = MessageButtons::Ok) {
        return dialogs_.ShowMessage(text, title_, buttons, MessageIcon::None);
    }

  private:
    Dialogs& dialogs_;
    std::string title_;
};

}  // namespace ondrevan
