#pragma once

#include <string>
#include <vector>

#include "platform/SettingsStore.h"
#include "product/Policies.h"
#include "product/SettingKeys.h"

namespace ondrevan {

// The program's own corner of the store: application "Quillmere", section "Ondrevan".
// Where the administrator's policies are given, a setting they set reads as the policy
// says, and saving it leaves the user's own value as it was.
class AppSettings {
  public:
    explicit AppSettings(SettingsStore& store, const Policies* policies = nullptr)
        : store_(store), policies_(policies) {}

    std::string Get(const std::string& key, const std::string& defaultValue) const {
        if (SetByPolicy(key)) return policies_->settings.at(key);
        return GetSetting(store_, keys::kApplication, keys::kSection, key, defaultValue);
    }
    void Save(const std::string& key, const std::string& value) const {
        if (SetByPolicy(key)) return;
        SaveSetting(store_, keys::kApplication, keys::kSection, key, value);
    }
    bool SetByPolicy(const std::string& key) const { return policies_ && policies_->Sets(key); }
    // The administrator's protected folders, counted with the user's own.
    std::vector<std::string> PolicyProtectedFolders() const {
        return policies_ ? policies_->protectedFolders : std::vector<std::string>{};
    }

  private:
    SettingsStore& store_;
    const Policies* policies_;
};

}  // namespace ondrevan
