#include "folders/SampleFolders.h"

#include "controls/ListView.h"
#include "platform/AppMessages.h"
#include "platform/ErrorReport.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"

namespace ondrevan {

void SampleFolders::PushButton14_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton14_Click");
    std::string folder;
    trap.Line(100, [&] { folder = uses_.environment.ProgramFolder(); });
    // The samples reach the store only with the next change that stores the list.
    trap.Line(102, [&] { uses_.ListView1.Add(folder + "\\Samples\\TestFolder1"); });
    trap.Line(104, [&] { uses_.ListView1.Add(folder + "\\Samples\\TestFolder2"); });
    MessageAnswer answer = MessageAnswer::No;
    trap.Line(106, [&] {
        answer = uses_.messages.MsgBox(
            "Would you like this software to open the folder where these sample files are "
            "stored (so that you can view them before working with them)?",
            MessageButtons::YesNo);
    });
    if (answer != MessageAnswer::Yes) return;
    trap.Line(108, [&] { uses_.shell.OpenItem("\"" + folder + "\\Samples\\\"", "C:\\"); });
}

}  // namespace ondrevan
