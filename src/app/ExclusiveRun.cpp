#include "app/ExclusiveRun.h"

#include "history/HistoryLog.h"
#include "platform/CommonRoutines.h"
#include "platform/Dialogs.h"
#include "platform/SingleCopy.h"

namespace ondrevan {

RunReport ExclusiveRun::Run(const std::function<RunReport()>& run) {
    const auto refused = [this](const char* why) {
        history_.AppendMessage(why);
        RunReport report;
        report.totals.problems = 1;
        report.summary = report.notRun = why;
        return report;
    };
    switch (lock_.TryClaim()) {
        case RunLock::Claim::Claimed:
            break;
        case RunLock::Claim::Busy:
            return refused(kRunUnderWay);
        case RunLock::Claim::Unknown:
            return refused(kRunLockUnknown);
    }
    struct Release {
        RunLock& lock;
        ~Release() { lock.Release(); }
    } release{lock_};
    return run();
}

std::optional<int> HandOverToFirstCopy(SingleCopy& copies, Dialogs& dialogs) {
    switch (copies.ClaimWindowOrHandOver()) {
        case SingleCopy::Start::First:
            return std::nullopt;
        case SingleCopy::Start::HandedOver:
            return 0;
        case SingleCopy::Start::NoAnswer:
            break;
        case SingleCopy::Start::LockHeld:
            dialogs.ShowMessage(
                "Ondrevan did not start: the lock that keeps it to one copy is held, but no "
                "Ondrevan window is open for you. A copy of Ondrevan may be ending or stuck "
                "(Task Manager's Details list Ondrevan.exe), or another program holds the "
                "lock's name, Ondrevan.Window (a tool that lists open handles finds which).",
                AppTitleFor(kProductName), MessageButtons::Ok, MessageIcon::Warning);
            return 1;
    }
    dialogs.ShowMessage(
        "Ondrevan is already running for you, but its window did not answer. It may be busy, "
        "or running as administrator. Look for its icon in the notification area.",
        AppTitleFor(kProductName), MessageButtons::Ok, MessageIcon::Warning);
    return 1;
}

}  // namespace ondrevan
