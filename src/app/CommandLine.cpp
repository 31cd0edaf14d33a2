#include "app/CommandLine.h"

#include "app/ExclusiveRun.h"
#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "delete/DelFolders.h"
#include "delete/PreviewReport.h"
#include "history/History.h"
#include "platform/AppError.h"
#include "platform/AppMessages.h"
#include "platform/AppSettings.h"
#include "platform/CommonRoutines.h"
#include "platform/Locale.h"
#include "platform/Policies.h"
#include "platform/Services.h"
#include "platform/SettingKeys.h"
#include "platform/ValueForms.h"

namespace ondrevan {

CommandMode ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return CommandMode::Window;
    if (arguments.size() > 1) return CommandMode::BadUsage;
    std::string word = arguments[0];
    if (word.size() < 2 || (word[0] != '/' && word[0] != '-')) return CommandMode::BadUsage;
    for (char& c : word)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (word == "/?" || word == "-?" || word == "/help" || word == "--help")
        return CommandMode::Usage;
    if (word == "/preview" || word == "-preview") return CommandMode::Preview;
    if (word == "/run" || word == "-run") return CommandMode::Run;
    if (word == "/exit" || word == "-exit") return CommandMode::Exit;
    return CommandMode::BadUsage;
}

int RunFromCommandLine(CommandMode mode, const Services& services, std::string& output) {
    if (mode == CommandMode::Usage || mode == CommandMode::BadUsage) {
        output += kUsage;
        return mode == CommandMode::Usage ? 0 : 2;
    }
    // Closing the running copy is the Win32 shell's; it never leads to a run.
    if (mode == CommandMode::Exit) return 2;
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
    // The window's delete-mode controls as they would be restored; no question is asked.
    OptionButton Option1("Option1"), Option2("Option2");
    CheckBox Check1("Check1");
    ListView ListView1("ListView1");
    const std::string separator = services.locale.DecimalSeparator();
    try {
        Option1.SetValue(ParseBooleanText(settings.Get(keys::kOption1, "1"), separator));
    } catch (const AppError&) {
        Option1.SetValue(false);  // a mode that does not read: the folders stay
    }
    Option2.SetValue(!Option1.Value());
    ListView1.AddRange(SplitFolderList(settings.Get(keys::kFolders, "")));
    DelFolders deleter({
        .fileSystem = services.fileSystem,
        .shell = services.shell,
        .environment = services.environment,
        .pump = services.pump,
        .clock = services.clock,
        .dialogs = services.dialogs,
        .settings = settings,
        .messages = messages,
        .history = history,
        .Option1 = Option1,
        .Option2 = Option2,
        .Check1 = Check1,
        .ListView1 = ListView1,
    });

    if (mode == CommandMode::Preview) {
        const RunChoices choices = deleter.CurrentChoices();
        output += PreviewReport(deleter.PlanRun(ListView1.Items(), choices), choices);
        return 0;
    }
    // Nobody is there to answer: a run that must be confirmed does not start.
    if (settings.SetByPolicy(keys::kCheck1)) {
        output +=
            "Not run: your administrator requires a confirmation before every run, and /run "
            "cannot ask for one. Run it from the window instead.\r\n";
        return 3;
    }
    // A run that finds nothing to do says so, so that a script's log is never silent.
    if (ListView1.Count() == 0) {
        const std::string nothing = "Run finished: nothing to do: the list is empty";
        output += nothing + "\r\n";
        try {
            history.AppendMessage(nothing);
        } catch (const AppError& error) {
            output += std::string(error.what()) + "\r\n";
            return 1;
        }
        return 0;
    }
    // Beside the window's own run it would clear the same folders at the same time: it says
    // so and leaves them to that run, rather than wait on a run a message box may hold up.
    ExclusiveRun run(deleter, services.runLock, history);
    run.DeleteFoldersFiles(ListView1);
    if (!run.LastRunSummary().empty()) output += run.LastRunSummary() + "\r\n";
    return run.LastRun().problems == 0 ? 0 : 1;
}

}  // namespace ondrevan
