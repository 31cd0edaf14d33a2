#include "app/CommandLine.h"

#include "app/AdminCommands.h"
#include "app/ExclusiveRun.h"
#include "delete/DelFolders.h"
#include "delete/DeletionEngine.h"
#include "delete/PreviewReport.h"
#include "history/EventWatch.h"
#include "history/History.h"
#include "history/RunRecorder.h"
#include "platform/AppError.h"
#include "platform/AppMessages.h"
#include "platform/Clock.h"
#include "platform/CommonRoutines.h"
#include "platform/Locale.h"
#include "platform/Services.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/Policies.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {

bool HasArgumentsAfterProgram(std::string_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string_view::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find_first_of(" \t");
        if (end == std::string_view::npos) end = commandLine.size();
    }
    return commandLine.find_first_not_of(" \t", end) != std::string_view::npos;
}

CommandMode ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return CommandMode::Window;
    if (arguments.size() == 2) {
        // The settings file's switches, with the file after them.
        std::string word = arguments[0];
        for (char& c : word)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (arguments[1].empty()) return CommandMode::BadUsage;
        if (word == "/export" || word == "-export") return CommandMode::Export;
        if (word == "/import" || word == "-import") return CommandMode::Import;
    }
    if (arguments.size() > 1) return CommandMode::BadUsage;
    std::string word = arguments[0];
    if (word.size() < 2 || (word[0] != '/' && word[0] != '-')) return CommandMode::BadUsage;
    for (char& c : word)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (word == "/?" || word == "-?" || word == "/help" || word == "--help")
        return CommandMode::Usage;
    if (word == "/preview" || word == "-preview") return CommandMode::Preview;
    if (word == "/run" || word == "-run") return CommandMode::Run;
    if (word == "/status" || word == "-status") return CommandMode::Status;
    if (word == "/exit" || word == "-exit") return CommandMode::Exit;
    if (word == "/reopen" || word == "-reopen") return CommandMode::Reopen;
    return CommandMode::BadUsage;
}

int RunFromCommandLine(CommandMode mode, const Services& services, std::string& output,
                       const std::string& file) {
    if (mode == CommandMode::Usage || mode == CommandMode::BadUsage) {
        output += kUsage;
        return mode == CommandMode::Usage ? 0 : 2;
    }
    if (mode == CommandMode::Status) return ShowStatus(services, output);
    if (mode == CommandMode::Export) return ExportSettings(services, file, output);
    if (mode == CommandMode::Import) return ImportSettings(services, file, output);
    // Closing and opening the running copy are the Win32 shell's; they never lead to a run.
    if (mode == CommandMode::Exit || mode == CommandMode::Reopen) return 2;
    // The administrator's policies hold here as in the window.
    const Policies policies = ReadPolicies(services.registry);
    AppSettings settings(services.settings, &policies);
    AppMessages messages(services.dialogs);
    messages.SetTitle(AppTitleFor(kProductName));
    History history({
        .fileSystem = services.fileSystem,
        .clock = services.clock,
        .locale = services.locale,
        .ansi = services.ansi,
        .shell = services.shell,
        .clipboard = services.clipboard,
        .pump = services.pump,
        .dialogs = services.dialogs,
        .messages = messages,
    });
    history.SetFilePath(HistoryFilePath(services.environment, services.fileSystem));
    WatchedHistory watched(history, EventLogOrNone(services.eventLog));
    RunRecorder record(services.fileSystem);
    record.SetFilePath(RunRecordPath(history.FilePath()));
    RunRecording recording{services.clock, record};
    // The delete mode as the window would restore it; no question is asked.
    bool folderMode = true;
    try {
        folderMode =
            ParseBooleanText(settings.Get(keys::kOption1, "1"), services.locale.DecimalSeparator());
    } catch (const AppError&) {
        folderMode = false;  // a mode that does not read: the folders stay
    }
    const std::vector<std::string> entries = SplitFolderList(settings.Get(keys::kFolders, ""));
    const RunChoices choices = ReadRunChoices(settings, folderMode, services.clock.UtcSeconds());
    DeletionEngine engine(services, settings, watched);
    DelFolders& deleter = engine.deleter;

    if (mode == CommandMode::Preview) {
        output += PreviewReport(deleter.PlanRun(entries, choices), choices);
        return 0;
    }
    // Nobody is there to answer: a run that must be confirmed does not start.
    // The history and the Event Log hear of it too: a schedule of /run that never runs is
    // seen there, not only in the output of a task nobody reads.
    if (settings.SetByPolicy(keys::kCheck1)) {
        const std::string notRun =
            "Not run: your administrator requires a confirmation before every run, and /run "
            "cannot ask for one. Run it from the window instead.";
        output += notRun + "\r\n";
        try {
            watched.AppendMessage(notRun);
        } catch (const AppError& error) {
            output += std::string(error.what()) + "\r\n";
        }
        return 3;
    }
    // A run that finds nothing to do says so, so that a script's log is never silent.
    if (entries.empty()) {
        const std::string nothing = "Run finished: nothing to do: the list is empty";
        output += nothing + "\r\n";
        try {
            watched.AppendMessage(nothing);
        } catch (const AppError& error) {
            output += std::string(error.what()) + "\r\n";
            return 1;
        }
        return 0;
    }
    // Beside the window's own run it would clear the same folders at the same time: it says
    // so and leaves them to that run, rather than wait on a run a message box may hold up.
    const RunReport report = ExclusiveRun(services.runLock, watched, &recording)
                                 .Run([&] { return deleter.DeleteFoldersFiles(entries, choices); },
                                      RunTrigger::CommandLine);
    try {
        record.Flush();
    } catch (const AppError& error) {
        output += std::string(error.what()) + "\r\n";
    }
    if (!report.summary.empty()) output += report.summary + "\r\n";
    return report.totals.problems == 0 ? 0 : 1;
}

}  // namespace ondrevan
