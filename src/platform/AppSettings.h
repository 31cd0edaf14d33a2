#pragma once

#include <string>

#include "platform/SettingKeys.h"
#include "platform/SettingsStore.h"

namespace ondrevan {

// The program's own corner of the store: application "Quillmere", section "Ondrevan".
class AppSettings {
  public:
    explicit AppSettings(SettingsStore& store) : store_(store) {}

    std::string Get(const std::string& key, const std::string& defaultValue) const {
        return GetSetting(store_, keys::kApplication, keys::kSection, key, defaultValue);
    }
    void Save(const std::string& key, const std::string& value) const {
        SaveSetting(store_, keys::kApplication, keys::kSection, key, value);
    }

  private:
    SettingsStore& store_;
};

}  // namespace ondrevan
