#pragma once

#include "FakeSystem.h"
#include "RecordingHistory.h"
#include "controls/CheckBox.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "delete/DelFolders.h"
#include "platform/AppMessages.h"
#include "platform/AppSettings.h"

namespace ondrevan::testing {

// The deletion engine on its own: the seams' doubles, its four controls and a history that
// records, with no window around it.
struct DeleterAlone {
    FakeSystem sys;
    RecordingHistory history;
    AppSettings settings{sys.settings};
    AppMessages messages{sys.dialogs};
    OptionButton Option1{"Option1"}, Option2{"Option2"};
    CheckBox Check1{"Check1"};
    ListView ListView1{"ListView1"};
    DelFolders deleter{{
        .fileSystem = sys.fileSystem,
        .shell = sys.shell,
        .environment = sys.environment,
        .pump = sys.pump,
        .clock = sys.clock,
        .dialogs = sys.dialogs,
        .settings = settings,
        .messages = messages,
        .history = history,
        .Option1 = Option1,
        .Option2 = Option2,
        .Check1 = Check1,
        .ListView1 = ListView1,
    }};
};

}  // namespace ondrevan::testing
