#pragma once

#include <optional>
#include <string>

namespace ondrevan {

class Form1;

inline constexpr const char* kRunKeyPath = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";

// "Load this software on Windows startup": a Run value named after the program's
// executable. The machine-wide Run key first; a user who may not write it gets the
// per-user Run key, which Windows also runs at log-on.
class StartupEntry {
  public:
    explicit StartupEntry(Form1& form) : form_(form) {}

    void Check3_Click();
    // False when neither Run key took the value.
    bool RegisterStartup();
    void UnregisterStartup();
    // The first ordinary *.exe the program folder lists.
    std::optional<std::string> ExecutableName();

  private:
    Form1& form_;
    bool refusing_ = false;
};

}  // namespace ondrevan
