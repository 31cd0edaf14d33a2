#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/AppError.h"
#include "platform/SettingsStore.h"

namespace ondrevan::testing {

// The settings store in memory, with a log of every write in order.
class MemorySettingsStore : public SettingsStore {
  public:
    using Key = std::tuple<std::string, std::string, std::string>;

    std::optional<std::string> Read(const std::string& app, const std::string& section,
                                    const std::string& key) override {
        auto it = values_.find({app, section, key});
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void Write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override {
        if (failWrites) throw AppError(70, "Permission denied");
        values_[{app, section, key}] = value;
        writes.push_back({key, value});
    }

    std::vector<std::string> Names(const std::string& app, const std::string& section) override {
        std::vector<std::string> names;
        for (const auto& [key, value] : values_)
            if (std::get<0>(key) == app && std::get<1>(key) == section)
                names.push_back(std::get<2>(key));
        return names;
    }

    // The program's own keys, as tests mostly want them.
    void Set(const std::string& key, const std::string& value) {
        values_[{"Quillmere", "Ondrevan", key}] = value;
    }
    std::optional<std::string> Get(const std::string& key) {
        return Read("Quillmere", "Ondrevan", key);
    }
    std::size_t Size() const { return values_.size(); }

    std::vector<std::pair<std::string, std::string>> writes;
    bool failWrites = false;

  private:
    std::map<Key, std::string> values_;
};

}  // namespace ondrevan::testing
