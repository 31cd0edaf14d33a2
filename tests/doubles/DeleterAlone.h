#pragma once

#include "FakeSystem.h"
#include "RecordingHistory.h"
#include "delete/DeletionEngine.h"
#include "product/AppSettings.h"
#include "product/RunRules.h"

namespace ondrevan::testing {

// The deletion engine on its own: the seams' doubles and a history that records, with no
// window around it. `RunList` goes as the window would, with the stored rules.
struct DeleterAlone {
    FakeSystem sys;
    RecordingHistory history;
    AppSettings settings{sys.settings};
    DeletionEngine engine{sys.services(), settings, history};
    ProtectedFolders& protectedFolders = engine.protectedFolders;
    DelFolders& deleter = engine.deleter;

    RunChoices Choices(bool folderMode) {
        return ReadRunChoices(settings, folderMode, sys.clock.UtcSeconds());
    }
    RunReport RunList(const std::vector<std::string>& entries, bool folderMode) {
        return deleter.DeleteFoldersFiles(entries, Choices(folderMode));
    }
};

}  // namespace ondrevan::testing
