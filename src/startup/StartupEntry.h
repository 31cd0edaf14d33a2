#pragma once

#include <optional>
#include <string>

namespace ondrevan {

class AppMessages;
class AppSettings;
class CheckBox;
class FileSystem;
class Registry;
class SystemEnvironment;

inline constexpr const char* kRunKeyPath = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";

// "Load this software on Windows startup": a Run value named after the program's
// executable. The machine-wide Run key first; a user who may not write it gets the
// per-user Run key, which Windows also runs at log-on.
class StartupEntry {
  public:
    struct Uses {
        SystemEnvironment& environment;
        FileSystem& fileSystem;
        Registry& registry;
        const AppSettings& settings;
        AppMessages& messages;
        const bool& isLoading;  // the window is restoring its controls
        CheckBox& Check3;
        CheckBox& Check8;
    };
    explicit StartupEntry(const Uses& uses) : uses_(uses) {}

    void Check3_Click();
    // False when neither Run key took the value.
    bool RegisterStartup();
    void UnregisterStartup();
    // The first ordinary *.exe the program folder lists.
    std::optional<std::string> ExecutableName();

  private:
    Uses uses_;
    bool refusing_ = false;
};

}  // namespace ondrevan
