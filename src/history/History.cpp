#include "history/History.h"

#include <cstdio>
#include <iterator>

#include "platform/AnsiCodePage.h"
#include "platform/AppMessages.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"
#include "platform/ValueForms.h"

namespace ondrevan {

std::string HistoryTimeStamp(const LocalDateTime& when, Locale& locale) {
    std::string stamp = locale.FormatShortDate(when);
    if (when.time.seconds != 0) {
        stamp += ' ';
        stamp += locale.FormatLongTime(when.time);
    }
    return stamp;
}

std::string HistoryFolder(SystemEnvironment& environment, FileSystem& fileSystem) {
    const std::string temp = environment.Variable("TEMP");
    const std::string windowsTemp = environment.Variable("SystemRoot");
    for (const std::string& folder : {temp, environment.Variable("TMP"),
                                      windowsTemp.empty() ? std::string() : windowsTemp + "\\Temp"})
        if (!folder.empty() && IsFolder(fileSystem, folder).value_or(false)) return folder;
    return temp;
}

std::string HistoryFilePath(SystemEnvironment& environment, FileSystem& fileSystem) {
    return HistoryFolder(environment, fileSystem) + "\\" +
           CleanFileName(StripLastWord(kProductName, "Software")) + ".txt";
}

std::string OldHistoryPath(const std::string& historyPath) {
    const std::size_t dot = historyPath.find_last_of('.');
    const std::size_t slash = historyPath.find_last_of('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return historyPath + ".old";
    return historyPath.substr(0, dot) + ".old" + historyPath.substr(dot);
}

std::string RunSummary(std::uint64_t filesDeleted, std::uint64_t bytesDeleted,
                       std::uint64_t filesFailed, std::uint64_t foldersRecycled) {
    return "Run finished: " + CountedText(filesDeleted, "file", "files") + " deleted (" +
           SizeText(bytesDeleted) + "), " + CountedText(filesFailed, "file", "files") +
           " could not be deleted, " + CountedText(foldersRecycled, "folder", "folders") +
           " sent to the Recycle Bin";
}

void History::AppendLine(const std::string& message, const std::string& path) {
    AppendMessage(message + ' ' + path);
}

void History::KeepWithinLimit() {
    // A log past its limit is kept beside the new one, replacing an older one; a log that
    // cannot be moved (held open elsewhere) simply grows on.
    if (auto size = uses_.fileSystem.FileSize(filePath_); size && *size > kHistoryLimitBytes)
        uses_.fileSystem.MoveReplacing(filePath_, OldHistoryPath(filePath_));
}

void History::BeginRun() {
    held_.reset();
    try {
        KeepWithinLimit();
        held_ = uses_.fileSystem.OpenToAppend(filePath_);
    } catch (const AppError&) {
        // Each line then tries on its own, and the first that fails is reported.
    }
}

void History::AppendMessage(const std::string& text) {
    if (!held_) KeepWithinLimit();
    std::string line = HistoryTimeStamp(uses_.clock.Now(), uses_.locale);
    line += ' ';
    line += text;
    line += "\r\n";
    try {
        if (held_)
            held_->Append(uses_.ansi.FromUtf8(line));
        else
            AppendTextToFile(line, filePath_);
    } catch (const AppError& error) {
        // "Permission denied" alone would not say which file: the report names it.
        throw AppError(error.Number(),
                       "The history file " + filePath_ + " cannot be written: " + error.what());
    }
}

void History::AppendTextToFile(const std::string& text, const std::string& path) {
    // The log is ANSI text; a character the code page lacks is written as "?".
    uses_.fileSystem.AppendToFile(path, uses_.ansi.FromUtf8(text));
}

void History::PushButton1_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton1_Click");
    trap.Line(100, [&] {
        if (FileExists(uses_.fileSystem, filePath_))
            uses_.shell.RunCommandLine("notepad \"" + filePath_ + "\"", ShowMode::Normal);
        else
            uses_.messages.MsgBox(
                "There isn't a history to view because actions have not been performed yet.");
    });
}

void History::PushButton4_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton4_Click");
    if (!FileExists(uses_.fileSystem, filePath_)) return;
    // The file's bytes go to the clipboard as they are: one copy, freed when done. (A buffer
    // box holding the whole log would keep several copies for as long as the program runs.)
    trap.Line(100, [&] { uses_.clipboard.SetAnsiText(uses_.fileSystem.ReadWholeFile(filePath_)); });
}

void History::PushButton5_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton5_Click");
    MessageAnswer answer = MessageAnswer::No;
    trap.Line(100, [&] {
        answer =
            uses_.messages.MsgBox("Are you sure you want to delete the history log and start over?",
                                  MessageButtons::YesNo);
    });
    if (answer != MessageAnswer::Yes) return;
    FileSystem& fs = uses_.fileSystem;
    // A run under way goes on in the new log.
    const bool wasHeld = held_ != nullptr;
    held_.reset();
    trap.Line(102, [&] { DeleteFileQuietly(fs, uses_.pump, filePath_); });
    if (wasHeld) BeginRun();
    trap.Line(104, [&] {
        if (FileExists(fs, filePath_))
            uses_.messages.Warn(
                "The history log could not be cleared: another program may be using it. Close "
                "it and try again.");
    });
}

}  // namespace ondrevan
