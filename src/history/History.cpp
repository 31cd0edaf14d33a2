#include "history/History.h"

#include "app/CommonRoutines.h"
#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "platform/AnsiCodePage.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"

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

std::string OldHistoryPath(const std::string& historyPath) {
    const std::size_t dot = historyPath.find_last_of('.');
    const std::size_t slash = historyPath.find_last_of('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return historyPath + ".old";
    return historyPath.substr(0, dot) + ".old" + historyPath.substr(dot);
}

void History::AppendLine(const std::string& message, const std::string& path) {
    const Services& services = form_.Services();
    // A log past its limit is kept beside the new one, replacing an older one; a log that
    // cannot be moved (held open elsewhere) simply grows on.
    const std::string& file = form_.HistoryFilePath();
    if (auto size = services.fileSystem.FileSize(file); size && *size > kHistoryLimitBytes)
        services.fileSystem.MoveReplacing(file, OldHistoryPath(file));
    std::string line = HistoryTimeStamp(services.clock.Now(), services.locale);
    line += ' ';
    line += message;
    line += ' ';
    line += path;
    line += "\r\n";
    AppendTextToFile(line, form_.HistoryFilePath());
}

void History::AppendTextToFile(const std::string& text, const std::string& path) {
    // The log is ANSI text; a character the code page lacks is written as "?".
    form_.Services().fileSystem.AppendToFile(path, form_.Services().ansi.FromUtf8(text));
}

void History::PushButton1_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton1_Click");
    trap.Line([&] {
        if (FileExists(form_.Services().fileSystem, form_.HistoryFilePath()))
            form_.Services().shell.RunCommandLine("notepad \"" + form_.HistoryFilePath() + "\"",
                                                  ShowMode::Normal);
        else
            form_.MsgBox(
                "There isn't a history to view because actions have not been performed yet.");
    });
}

void History::PushButton4_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton4_Click");
    const Services& services = form_.Services();
    if (!FileExists(services.fileSystem, form_.HistoryFilePath())) return;
    // The file's bytes go to the clipboard as they are: one copy, freed when done. (A buffer
    // box holding the whole log would keep several copies for as long as the program runs.)
    trap.Line([&] {
        services.clipboard.SetAnsiText(services.fileSystem.ReadWholeFile(form_.HistoryFilePath()));
    });
}

void History::PushButton5_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton5_Click");
    MessageAnswer answer = MessageAnswer::No;
    trap.Line([&] {
        answer = form_.MsgBox("Are you sure you want to delete the history log and start over?",
                              MessageButtons::YesNo);
    });
    if (answer != MessageAnswer::Yes) return;
    FileSystem& fs = form_.Services().fileSystem;
    trap.Line([&] { DeleteFileQuietly(fs, form_.Services().pump, form_.HistoryFilePath()); });
    trap.Line([&] {
        if (FileExists(fs, form_.HistoryFilePath()))
            form_.MsgBox(
                "The history log could not be cleared: another program may be using it. Close "
                "it and try again.");
    });
}

}  // namespace ondrevan
