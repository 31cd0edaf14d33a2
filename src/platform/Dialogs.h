#pragma once

#include <string>

namespace ondrevan {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Warning };
enum class MessageAnswer { Ok, Yes, No };

// Modal dialogs. A message box lets window messages run while it is up.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                      MessageButtons buttons, MessageIcon icon) = 0;
};

}  // namespace ondrevan
