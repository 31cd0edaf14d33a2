#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ondrevan {

class AppSettings;
class Dialogs;
class FileSystem;
class Shell;
class SystemEnvironment;

// The folders a run never clears: drive roots, the ten protected folders and the user's and
// the administrator's own, in any written form, and paths that are not fully qualified.
class ProtectedFolders {
  public:
    struct Uses {
        FileSystem& fileSystem;
        Shell& shell;
        SystemEnvironment& environment;
        const AppSettings& settings;
        Dialogs& dialogs;
    };
    explicit ProtectedFolders(const Uses& uses) : uses_(uses) {}

    // The protected folders' keys, read when first needed and then kept for the folders of
    // one plan, one walk or one run.
    using Keys = std::optional<std::vector<std::string>>;

    // False for drive roots, for the protected folders in any written form, and for paths
    // that are not fully qualified.
    bool CanDelete(const std::string& path);
    // Why CanDelete says no ("a protected folder", "not a full path", ...), or nothing.
    std::optional<std::string> Refusal(const std::string& path);
    std::optional<std::string> Refusal(const std::string& path, Keys& keys);
    // True when a protected folder lies inside the folder: sending it to the Recycle Bin
    // would take the protected folder with it.
    bool ContainsProtectedFolder(const std::string& path);
    bool ContainsProtectedFolder(const std::string& path, Keys& keys);

  private:
    std::vector<std::string> ReadKeys();

    Uses uses_;
};

}  // namespace ondrevan
