#include "history/History.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "history/RunRecorder.h"
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

std::string HistoryBytes(AnsiCodePage& ansi, std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += utf8[i++];
            continue;
        }
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, utf8.size() - i);
        const std::string_view character = utf8.substr(i, length);
        i += length;
        const std::string written = ansi.FromUtf8(character);
        if (written != "?") {
            bytes += written;
            continue;
        }
        // "<" and ">" cannot occur in a Windows name: the code can be taken for nothing else.
        std::uint32_t point = length == 1 ? 0xFFFD : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            point = point << 6 | (static_cast<unsigned char>(character[k]) & 0x3F);
        char code[16];
        std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(point));
        bytes += code;
    }
    return bytes;
}

std::string StoppedRunSummary(const std::string& summary, const std::string& why) {
    constexpr std::string_view kFinished = "Run finished";
    const std::size_t rest = summary.rfind(kFinished, 0) == 0 ? kFinished.size() : 0;
    return "Run stopped (" + why + ")" + (rest ? summary.substr(rest) : ": " + summary);
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
            held_->Append(HistoryBytes(uses_.ansi, line));
        else
            AppendTextToFile(line, filePath_);
    } catch (const AppError& error) {
        // "Permission denied" alone would not say which file: the report names it.
        throw AppError(error.Number(),
                       "The history file " + filePath_ + " cannot be written: " + error.what());
    }
}

void History::AppendTextToFile(const std::string& text, const std::string& path) {
    uses_.fileSystem.AppendToFile(path, HistoryBytes(uses_.ansi, text));
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
            uses_.messages.MsgBox(uses_.record ? "Are you sure you want to delete the history log "
                                                 "and the record of runs and start over?"
                                               : "Are you sure you want to delete the history "
                                                 "log and start over?",
                                  MessageButtons::YesNo);
    });
    if (answer != MessageAnswer::Yes) return;
    FileSystem& fs = uses_.fileSystem;
    // A run under way goes on in the new log.
    const bool wasHeld = held_ != nullptr;
    held_.reset();
    trap.Line(102, [&] { DeleteFileQuietly(fs, uses_.pump, filePath_); });
    if (wasHeld) BeginRun();
    bool recordCleared = true;
    trap.Line(103, [&] {
        if (uses_.record) recordCleared = uses_.record->Clear();
    });
    trap.Line(104, [&] {
        if (FileExists(fs, filePath_) || !recordCleared)
            uses_.messages.Warn(
                "The history log could not be cleared: another program may be using it. Close "
                "it and try again.");
    });
}

}  // namespace ondrevan
