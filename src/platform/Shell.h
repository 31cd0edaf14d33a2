#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ondrevan {

enum class ShowMode { Normal, MinimizedWithFocus };

// The shell's numbers of the special folders asked for (its CSIDL values).
namespace special_folders {
inline constexpr int kCommonAppData = 35;  // the machine-wide application data
}  // namespace special_folders

// The Windows shell: command lines and special folders.
class Shell {
  public:
    virtual ~Shell() = default;
    // Starts a program from a command line and does not wait; throws AppError on failure.
    virtual void RunCommandLine(const std::string& commandLine, ShowMode mode) = 0;
    // Opens a file or folder with its default action, as the shell does on a double-click.
    // The result is not reported: the shell tells the user itself.
    virtual void OpenItem(const std::string& file, const std::string& directory) = 0;
    // Hands one fully qualified path to the shell's delete operation, to the Recycle Bin,
    // without asking. The shell shows its own progress and errors; false when it reports
    // that the operation failed or was cancelled.
    virtual bool SendToRecycleBin(const std::string& path) = 0;
    // The same for many files in one operation; the caller looks for what stayed.
    virtual bool SendFilesToRecycleBin(const std::vector<std::string>& paths) = 0;
    // True when the Recycle Bin of the path's drive can be reached: where there is none,
    // the shell would delete for good instead.
    virtual bool HasRecycleBin(const std::string& path) = 0;
    // The file-system path of a shell special folder (a CSIDL number), or nothing.
    virtual std::optional<std::string> SpecialFolderPath(int csidl) = 0;
};

}  // namespace ondrevan
