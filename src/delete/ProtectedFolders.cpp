#include "delete/ProtectedFolders.h"

#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/FileSystem.h"
#include "platform/FolderPaths.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"
#include "platform/Utf16Length.h"
#include "product/AppSettings.h"
#include "product/RunRules.h"

namespace ondrevan {
std::vector<std::string> ProtectedFolders::ReadKeys() {
    SystemEnvironment& env = uses_.environment;
    const std::string sources[] = {
        env.Variable("WINDIR"),
        env.Variable("ProgramFiles"),
        env.Variable("USERPROFILE"),
        env.Variable("SystemRoot"),
        env.Variable("HOMEPATH"),
        env.Variable("CommonProgramFiles"),
        env.Variable("ALLUSERSPROFILE"),
        env.Variable("APPDATA"),
        GetSystemFolder(env),
        GetSpecialFolderPath(uses_.shell, special_folders::kCommonAppData),
    };
    std::vector<std::string> all(std::begin(sources), std::end(sources));
    // The user's own protected folders count as the ten do.
    for (std::string& folder : ReadRunRules(uses_.settings).protectedFolders)
        all.push_back(std::move(folder));
    // And so do the administrator's.
    for (std::string& folder : uses_.settings.PolicyProtectedFolders())
        all.push_back(std::move(folder));
    std::vector<std::string> keys;
    for (const std::string& source : all) {
        const std::string entry = CollapseBackslashes(source + "\\");
        // An unset entry protects nothing; its key could never equal a candidate's.
        if (entry.size() <= 3) continue;
        // A value that names no drive ("HOMEPATH" is "\Users\name") would become a network
        // path after the collapse: it is compared as written and never opened.
        keys.push_back(IsFullyQualified(source) ? FolderKey(uses_.fileSystem, entry)
                                                : LexicalFolderKey(entry));
    }
    return keys;
}

bool ProtectedFolders::CanDelete(const std::string& path) {
    return !Refusal(path);
}

std::optional<std::string> ProtectedFolders::Refusal(const std::string& path) {
    Keys keys;
    return Refusal(path, keys);
}

std::optional<std::string> ProtectedFolders::Refusal(const std::string& path, Keys& keys) {
    ErrorTrap trap(uses_.dialogs, "DelFolders.CanDelete");
    // Protected, unless every test below passes.
    std::optional<std::string> refusal = "it could not be checked";
    trap.Line(100, [&] {
        const std::string candidate = CollapseBackslashes(path + "\\");
        // Drive roots: C: and C:\ both collapse to three characters.
        if (Utf16Length(candidate) <= 3) {
            refusal = "a drive root";
            return;
        }
        // A relative path would be resolved against whatever the current folder is. (The
        // written path is asked: the collapse turns a rooted "\x" into "\\x".)
        if (!IsFullyQualified(path)) {
            refusal = "not a full path";
            return;
        }
        if (HasForbiddenPathCharacters(path)) {
            refusal = "it holds a character no path can hold";
            return;
        }
        const std::string key = FolderKey(uses_.fileSystem, candidate);
        if (key.size() <= 2 || key.back() == ':') {  // "C:\." and the like are roots too
            refusal = "a drive root";
            return;
        }
        if (!keys) keys = ReadKeys();
        bool matched = false;
        for (const std::string& entry : *keys) matched |= entry == key;
        refusal = matched ? std::optional<std::string>("a protected folder") : std::nullopt;
    });
    return refusal;
}

bool ProtectedFolders::ContainsProtectedFolder(const std::string& path) {
    Keys keys;
    return ContainsProtectedFolder(path, keys);
}

bool ProtectedFolders::ContainsProtectedFolder(const std::string& path, Keys& keys) {
    const std::string key = FolderKey(uses_.fileSystem, CollapseBackslashes(path + "\\"));
    if (!keys) keys = ReadKeys();
    for (const std::string& entry : *keys)
        if (IsFullyQualified(entry) && KeyContains(key, entry)) return true;
    return false;
}

}  // namespace ondrevan
