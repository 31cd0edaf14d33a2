#include "folders/SampleFolders.h"

#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"

namespace ondrevan {

void SampleFolders::PushButton14_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton14_Click");
    std::string folder;
    trap.Line([&] { folder = form_.Services().environment.ProgramFolder(); });
    // The samples reach the store only with the next change that stores the list.
    trap.Line([&] { form_.ListView1.Add(folder + "\\Samples\\TestFolder1"); });
    trap.Line([&] { form_.ListView1.Add(folder + "\\Samples\\TestFolder2"); });
    MessageAnswer answer = MessageAnswer::No;
    trap.Line([&] {
        answer = form_.MsgBox(
            "Would you like this software to open the folder where these sample files are "
            "stored (so that you can view them before working with them)?",
            MessageButtons::YesNo);
    });
    if (answer != MessageAnswer::Yes) return;
    trap.Line([&] { form_.Services().shell.OpenItem("\"" + folder + "\\Samples\\\"", "C:\\"); });
}

}  // namespace ondrevan
