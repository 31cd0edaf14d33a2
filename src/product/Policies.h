#pragma once

#include <map>
#include <string>
#include <vector>

namespace ondrevan {

class Registry;

// Where an administrator's policies live, under HKLM (for the machine) and HKCU (for the
// user). Group Policy writes them; the program only reads them.
inline constexpr const char* kPolicyKey = "SOFTWARE\\Policies\\Quillmere\\Ondrevan";

// The policies the program reads, by their value names. They are named after the settings
// they govern.
inline constexpr const char* kPolicyNames[] = {
    "Check1",       "Windows Startup", "ProtectedFolders", "MinimumAgeDays",
    "KeepPatterns", "HotKey",          "RecycleFiles",
};

// What the administrator set. A policy replaces the user's setting while it is in force
// and leaves the stored value alone; the protected folders are added to the user's own.
struct Policies {
    // Setting key -> the value in the setting's own stored form.
    std::map<std::string, std::string> settings;
    std::vector<std::string> protectedFolders;

    bool Sets(const std::string& key) const { return settings.count(key) != 0; }
    friend bool operator==(const Policies&, const Policies&) = default;
};

// The policies in force: a machine policy wins over the same user policy; the protected
// folders of both count, every string and line of them. A value that does not read as its
// policy expects is left out (the user's own setting holds), except that an age that does
// not read, of whatever type, keeps every file.
Policies ReadPolicies(Registry& registry);

// The tool tip of a control that a policy sets.
inline constexpr const char* kSetByAdministrator = "Set by your administrator";
// The line of a window where a policy sets one of its settings.
inline constexpr const char* kManagedByOrganization =
    "Some settings are managed by your organization";

}  // namespace ondrevan
