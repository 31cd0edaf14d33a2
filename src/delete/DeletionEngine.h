#pragma once

#include "delete/DelFolders.h"
#include "delete/ProtectedFolders.h"
#include "platform/Services.h"

namespace ondrevan {

class AppSettings;
class HistoryLog;

// The deletion engine with the protected folders it judges by, built from the seams: the
// window, the command line and the tests build it the same way.
struct DeletionEngine {
    DeletionEngine(const Services& services, const AppSettings& settings, HistoryLog& history)
        : protectedFolders({
              .fileSystem = services.fileSystem,
              .shell = services.shell,
              .environment = services.environment,
              .settings = settings,
              .dialogs = services.dialogs,
          }),
          deleter({
              .fileSystem = services.fileSystem,
              .shell = services.shell,
              .pump = services.pump,
              .dialogs = services.dialogs,
              .history = history,
              .protectedFolders = protectedFolders,
          }) {}
    DeletionEngine(const DeletionEngine&) = delete;
    DeletionEngine& operator=(const DeletionEngine&) = delete;

    ProtectedFolders protectedFolders;
    DelFolders deleter;
};

}  // namespace ondrevan
