#include "startup/StartupEntry.h"

#include "controls/CheckBox.h"
#include "platform/AppMessages.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/SystemEnvironment.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/SettingKeys.h"

namespace ondrevan {

std::optional<std::string> StartupEntry::ExecutableName() {
    const std::string folder = uses_.environment.ProgramFolder();
    for (const FolderEntry& entry : uses_.fileSystem.FindFiles(folder + "\\*.exe")) {
        const std::uint32_t unordinary =
            attributes::kHidden | attributes::kSystem | attributes::kDirectory;
        if (!(entry.attributes & unordinary)) return entry.name;
    }
    return std::nullopt;
}

bool StartupEntry::RegisterStartup() {
    const auto name = ExecutableName();
    if (!name) return true;  // nothing to register: the setting is kept all the same
    std::string path = uses_.environment.ProgramFolder();
    if (path.empty() || path.back() != '\\') path += '\\';
    path += *name;
    Registry& registry = uses_.registry;
    if (registry.SetValue(RegistryRoot::LocalMachine, kRunKeyPath, *name, path)) return true;
    return registry.SetValue(RegistryRoot::CurrentUser, kRunKeyPath, *name, path);
}

void StartupEntry::UnregisterStartup() {
    const auto name = ExecutableName();
    if (!name) return;
    uses_.registry.DeleteValue(RegistryRoot::LocalMachine, kRunKeyPath, *name);
    uses_.registry.DeleteValue(RegistryRoot::CurrentUser, kRunKeyPath, *name);
}

void StartupEntry::Check3_Click() {
    if (uses_.isLoading) return;
    if (uses_.Check3.Checked()) {
        uses_.Check8.SetVisible(true);
        uses_.settings.Save(keys::kWindowsStartup, kSwitchOn);
        if (RegisterStartup() || refusing_) return;
        // Neither key could be written: say so, and do not keep a choice that does nothing.
        refusing_ = true;
        uses_.messages.Warn(
            std::string("Ondrevan") +
            " could not register itself to start with Windows: the registry refused the "
            "start-up entry.");
        uses_.Check3.SetChecked(false);
        refusing_ = false;
        return;
    }
    uses_.Check8.SetChecked(false);
    uses_.Check8.SetVisible(false);
    uses_.settings.Save(keys::kWindowsStartup, kSwitchOff);
    UnregisterStartup();
}

}  // namespace ondrevan
