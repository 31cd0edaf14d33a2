#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "history/HistoryLog.h"
#include "platform/DateTime.h"
#include "platform/FileSystem.h"

namespace ondrevan {

class AnsiCodePage;
class AppMessages;
class Clipboard;
class Clock;
class Dialogs;
class EventPump;
class FileSystem;
class Locale;
class RunRecorder;
class Shell;
class SystemEnvironment;

// Past this size the log is kept as the old log and a new one begins.
inline constexpr std::uint64_t kHistoryLimitBytes = 10 * 1024 * 1024;

// The folder that holds the log: "TEMP", or when that is unset or not a folder, "TMP",
// then the Windows folder's Temp; "TEMP" as it is when none of them is there.
std::string HistoryFolder(SystemEnvironment& environment, FileSystem& fileSystem);

// The log: "Ondrevan.txt" in that folder.
std::string HistoryFilePath(SystemEnvironment& environment, FileSystem& fileSystem);

// "...\Ondrevan.txt" keeps its earlier log as "...\Ondrevan.old.txt".
std::string OldHistoryPath(const std::string& historyPath);

// The log is ANSI text, as it always was, so that every reader of it goes on reading it;
// a character the code page lacks is written as its code, "<U+65E5>", so that two names
// never read alike ("?" would make C:\T\日本 and C:\T\中国 the same).
std::string HistoryBytes(AnsiCodePage& ansi, std::string_view utf8);

// The time stamp of a history line: short date and long time, the date alone at midnight.
std::string HistoryTimeStamp(const LocalDateTime& when, Locale& locale);

// The history log: one line per deletion step in a text file in the temporary folder.
class History : public HistoryLog {
  public:
    struct Uses {
        FileSystem& fileSystem;
        Clock& clock;
        Locale& locale;
        AnsiCodePage& ansi;
        Shell& shell;
        Clipboard& clipboard;
        EventPump& pump;
        Dialogs& dialogs;
        AppMessages& messages;
        // The record of runs beside the log, cleared with it.
        RunRecorder* record = nullptr;
    };
    explicit History(const Uses& uses) : uses_(uses) {}

    // The log's path, set once the window has loaded.
    const std::string& FilePath() const { return filePath_; }
    void SetFilePath(std::string path) {
        held_.reset();
        filePath_ = std::move(path);
    }

    // Writes "<time stamp> <message> <path>" and CR LF; throws when the file cannot be written.
    void AppendLine(const std::string& message, const std::string& path) override;
    // Writes "<time stamp> <text>" and CR LF, for a line that names no path.
    void AppendMessage(const std::string& text) override;
    // A run's lines go to the file held open; one that cannot be opened is opened per line.
    void BeginRun() override;
    void EndRun() override { held_.reset(); }
    void AppendTextToFile(const std::string& text, const std::string& path);

    void PushButton1_Click();
    void PushButton4_Click();
    void PushButton5_Click();

  private:
    // Moves a log past its limit aside.
    void KeepWithinLimit();

    Uses uses_;
    std::string filePath_;
    std::unique_ptr<AppendingFile> held_;  // during a run
};

}  // namespace ondrevan
