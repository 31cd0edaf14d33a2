#pragma once

#include <cstdint>
#include <string>

#include "platform/DateTime.h"

namespace ondrevan {

class FileSystem;
class Form1;
class Locale;
class SystemEnvironment;

// Past this size the log is kept as the old log and a new one begins.
inline constexpr std::uint64_t kHistoryLimitBytes = 10 * 1024 * 1024;

// The folder that holds the log: "TEMP", or when that is unset or not a folder, "TMP",
// then the Windows folder's Temp; "TEMP" as it is when none of them is there.
std::string HistoryFolder(SystemEnvironment& environment, FileSystem& fileSystem);

// "...\Ondrevan.txt" keeps its earlier log as "...\Ondrevan.old.txt".
std::string OldHistoryPath(const std::string& historyPath);

// The last line of a run: "Run finished: 1,204 files deleted (86.2 MB), 1 file could not be
// deleted, 2 folders sent to the Recycle Bin". The same in every locale, for scripts.
std::string RunSummary(std::uint64_t filesDeleted, std::uint64_t bytesDeleted,
                       std::uint64_t filesFailed, std::uint64_t foldersRecycled);

// The time stamp of a history line: short date and long time, the date alone at midnight.
std::string HistoryTimeStamp(const LocalDateTime& when, Locale& locale);

// The history log: one line per deletion step in a text file in the temporary folder.
class History {
  public:
    explicit History(Form1& form) : form_(form) {}

    // Writes "<time stamp> <message> <path>" and CR LF; throws when the file cannot be written.
    void AppendLine(const std::string& message, const std::string& path);
    // Writes "<time stamp> <text>" and CR LF, for a line that names no path.
    void AppendMessage(const std::string& text);
    void AppendTextToFile(const std::string& text, const std::string& path);

    void PushButton1_Click();
    void PushButton4_Click();
    void PushButton5_Click();

  private:
    Form1& form_;
};

}  // namespace ondrevan
