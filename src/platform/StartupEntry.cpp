#include "platform/StartupEntry.h"

#include "app/Form1.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "platform/SystemEnvironment.h"
#include "platform/ValueForms.h"

namespace ondrevan {

std::optional<std::string> StartupEntry::ExecutableName() {
    const std::string folder = form_.Services().environment.ProgramFolder();
    for (const FolderEntry& entry : form_.Services().fileSystem.FindFiles(folder + "\\*.exe")) {
        const std::uint32_t unordinary =
            attributes::kHidden | attributes::kSystem | attributes::kDirectory;
        if (!(entry.attributes & unordinary)) return entry.name;
    }
    return std::nullopt;
}

bool StartupEntry::RegisterStartup() {
    const auto name = ExecutableName();
    if (!name) return true;  // nothing to register: the setting is kept all the same
    std::string path = form_.Services().environment.ProgramFolder();
    if (path.empty() || path.back() != '\\') path += '\\';
    path += *name;
    Registry& registry = form_.Services().registry;
    if (registry.SetValue(RegistryRoot::LocalMachine, kRunKeyPath, *name, path)) return true;
    return registry.SetValue(RegistryRoot::CurrentUser, kRunKeyPath, *name, path);
}

void StartupEntry::UnregisterStartup() {
    const auto name = ExecutableName();
    if (!name) return;
    form_.Services().registry.DeleteValue(RegistryRoot::LocalMachine, kRunKeyPath, *name);
    form_.Services().registry.DeleteValue(RegistryRoot::CurrentUser, kRunKeyPath, *name);
}

void StartupEntry::Check3_Click() {
    if (form_.IsLoading()) return;
    if (form_.Check3.Checked()) {
        form_.Check8.SetVisible(true);
        form_.Settings().Save(keys::kWindowsStartup, kSwitchOn);
        if (RegisterStartup() || refusing_) return;
        // Neither key could be written: say so, and do not keep a choice that does nothing.
        refusing_ = true;
        form_.MsgBox(std::string("Ondrevan") +
                     " could not register itself to start with Windows: the registry refused the "
                     "start-up entry.");
        form_.Check3.SetChecked(false);
        refusing_ = false;
        return;
    }
    form_.Check8.SetChecked(false);
    form_.Check8.SetVisible(false);
    form_.Settings().Save(keys::kWindowsStartup, kSwitchOff);
    UnregisterStartup();
}

}  // namespace ondrevan
