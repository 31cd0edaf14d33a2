#include "app/ExclusiveRun.h"

#include "history/HistoryLog.h"
#include "platform/CommonRoutines.h"
#include "platform/Dialogs.h"
#include "platform/SingleCopy.h"

namespace ondrevan {

void ExclusiveRun::DeleteFoldersFiles(const ListView& list) {
    refusal_.reset();
    switch (lock_.TryClaim()) {
        case RunLock::Claim::Claimed:
            break;
        case RunLock::Claim::Busy:
            refusal_ = kRunUnderWay;
            history_.AppendMessage(*refusal_);
            return;
        case RunLock::Claim::Unknown:
            refusal_ = kRunLockUnknown;
            history_.AppendMessage(*refusal_);
            return;
    }
    struct Release {
        RunLock& lock;
        ~Release() { lock.Release(); }
    } release{lock_};
    run_.DeleteFoldersFiles(list);
}

std::optional<int> HandOverToFirstCopy(SingleCopy& copies, Dialogs& dialogs) {
    switch (copies.ClaimWindowOrHandOver()) {
        case SingleCopy::Start::First:
            return std::nullopt;
        case SingleCopy::Start::HandedOver:
            return 0;
        case SingleCopy::Start::NoAnswer:
            break;
    }
    dialogs.ShowMessage(
        "Ondrevan is already running for you, but its window did not answer. It may be busy, "
        "or running as administrator. Look for its icon in the notification area.",
        AppTitleFor(kProductName), MessageButtons::Ok, MessageIcon::Warning);
    return 1;
}

}  // namespace ondrevan
