#include "platform/SettingsStore.h"

namespace ondrevan {

std::string GetSetting(SettingsStore& store, const std::string& application,
                       const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    return store.Read(application, section, key).value_or(defaultValue);
}

void SaveSetting(SettingsStore& store, const std::string& application, const std::string& section,
                 const std::string& key, const std::string& value) {
    store.Write(application, section, key, value);
}

}  // namespace ondrevan
