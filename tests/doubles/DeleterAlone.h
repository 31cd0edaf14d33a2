#pragma once

#include "FakeSystem.h"
#include "RecordingHistory.h"
#include "delete/DelFolders.h"
#include "delete/ProtectedFolders.h"
#include "delete/RunRules.h"
#include "platform/AppSettings.h"

namespace ondrevan::testing {

// The deletion engine on its own: the seams' doubles and a history that records, with no
// window around it. `RunList` goes as the window would, with the stored rules.
struct DeleterAlone {
    FakeSystem sys;
    RecordingHistory history;
    AppSettings settings{sys.settings};
    ProtectedFolders protectedFolders{{
        .fileSystem = sys.fileSystem,
        .shell = sys.shell,
        .environment = sys.environment,
        .settings = settings,
        .dialogs = sys.dialogs,
    }};
    DelFolders deleter{{
        .fileSystem = sys.fileSystem,
        .shell = sys.shell,
        .pump = sys.pump,
        .dialogs = sys.dialogs,
        .history = history,
        .protectedFolders = protectedFolders,
    }};

    RunChoices Choices(bool folderMode) {
        return ReadRunChoices(settings, folderMode, sys.clock.UtcSeconds());
    }
    RunReport RunList(const std::vector<std::string>& entries, bool folderMode) {
        return deleter.DeleteFoldersFiles(entries, Choices(folderMode));
    }
};

}  // namespace ondrevan::testing
