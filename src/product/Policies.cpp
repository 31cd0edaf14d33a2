#include "product/Policies.h"

#include <optional>

#include "platform/Blanks.h"
#include "platform/FolderPaths.h"
#include "platform/HotKey.h"
#include "platform/Registry.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {

namespace {

// The one setting a policy gives, in the setting's stored form, or nothing.
std::optional<std::string> SettingOf(const std::string& policy, const RegistryData& data) {
    if (policy == keys::kCheck1) {
        // The confirmation can be made compulsory, never taken away.
        if (data.number == 1u) return "1";
    } else if (policy == keys::kWindowsStartup) {
        if (data.number == 1u) return "On";
        if (data.number == 0u) return "Off";
    } else if (policy == keys::kMinimumAgeDays) {
        if (data.number) return std::to_string(*data.number);
        // Read as the stored setting is: text that is no age keeps every file, and so does
        // a value of another type (""): the administrator meant some age.
        return data.text.value_or(std::string());
    } else if (policy == keys::kKeepPatterns) {
        // Patterns the options window would refuse are no policy: the user's own hold.
        if (data.text && !KeepPatternsFault(*data.text)) return data.text;
    } else if (policy == keys::kRecycleFiles) {
        // Everything deleted can be made recoverable, never the other way round.
        if (data.number == 1u) return "On";
    } else if (policy == keys::kHotKey) {
        // "" switches the hot key off; a text that is no hot key is no policy.
        if (data.text && ParseHotKey(*data.text)) return data.text;
    }
    return std::nullopt;
}

void AddFolders(const RegistryData& data, std::vector<std::string>& folders) {
    // Every string of the value and every line of each; empty ones protect nothing.
    const std::vector<std::string> strings =
        data.lines
            ? *data.lines
            : (data.text ? std::vector<std::string>{*data.text} : std::vector<std::string>{});
    for (const std::string& text : strings)
        for (std::string& folder : ProtectedFolderLines(text)) folders.push_back(std::move(folder));
}

}  // namespace

Policies ReadPolicies(Registry& registry) {
    Policies policies;
    // The machine's first: a setting already given is not given again.
    for (const RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        for (const char* name : kPolicyNames) {
            const auto data = registry.ReadValue(root, kPolicyKey, name);
            if (!data) continue;
            if (std::string(name) == keys::kProtectedFolders) {
                AddFolders(*data, policies.protectedFolders);
            } else if (!policies.Sets(name)) {
                if (auto setting = SettingOf(name, *data))
                    policies.settings.emplace(name, std::move(*setting));
            }
        }
    }
    // No start-up entry, so no start in the tray with Windows either.
    if (auto startup = policies.settings.find(keys::kWindowsStartup);
        startup != policies.settings.end() && startup->second == "Off")
        policies.settings.emplace(keys::kMinimized, "Off");
    return policies;
}

}  // namespace ondrevan
