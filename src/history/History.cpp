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

namespace ondrevan {

std::string HistoryTimeStamp(const LocalDateTime& when, Locale& locale) {
    std::string stamp = locale.FormatShortDate(when);
    if (when.time.seconds != 0) {
        stamp += ' ';
        stamp += locale.FormatLongTime(when.time);
    }
    return stamp;
}

void History::AppendLine(const std::string& message, const std::string& path) {
    const Services& services = form_.Services();
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
    trap.Line([&] {
        form_.RichTextBox1.SetText(
            services.ansi.ToUtf8(services.fileSystem.ReadWholeFile(form_.HistoryFilePath())));
    });
    trap.Line(
        [&] { form_.RichTextBox1.Select(0, static_cast<int>(form_.RichTextBox1.Text().size())); });
    trap.Line([&] { services.clipboard.SetText(form_.RichTextBox1.Text()); });
}

void History::PushButton5_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton5_Click");
    MessageAnswer answer = MessageAnswer::No;
    trap.Line([&] {
        answer = form_.MsgBox("Are you sure you want to delete the history log and start over?",
                              MessageButtons::YesNo);
    });
    if (answer == MessageAnswer::Yes)
        trap.Line([&] {
            DeleteFileQuietly(form_.Services().fileSystem, form_.Services().pump,
                              form_.HistoryFilePath());
        });
}

}  // namespace ondrevan
