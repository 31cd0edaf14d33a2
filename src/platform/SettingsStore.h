#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ondrevan {

// The per-user store of text values, addressed by application, section and key.
// Reading never creates anything; writing creates the levels it needs.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> Read(const std::string& application,
                                            const std::string& section, const std::string& key) = 0;
    // Throws AppError when the store refuses the write.
    virtual void Write(const std::string& application, const std::string& section,
                       const std::string& key, const std::string& value) = 0;
    // The names of the values under a section, in the store's order (none where it cannot
    // list them).
    virtual std::vector<std::string> Names(const std::string& /*application*/,
                                           const std::string& /*section*/) {
        return {};
    }
};

// The two operations the program uses: absent keys read as the caller's default.
std::string GetSetting(SettingsStore& store, const std::string& application,
                       const std::string& section, const std::string& key,
                       const std::string& defaultValue);
void SaveSetting(SettingsStore& store, const std::string& application, const std::string& section,
                 const std::string& key, const std::string& value);

}  // namespace ondrevan
