#include "folders/AddFolder.h"

#include <algorithm>

#include "controls/ListView.h"
#include "folders/FolderList.h"
#include "platform/AnsiCodePage.h"
#include "platform/AppMessages.h"
#include "platform/CommonRoutines.h"
#include "platform/ErrorReport.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/Utf16Length.h"

namespace ondrevan {
namespace {

inline constexpr std::size_t kLengthLimit = 260;
// Hidden system folders and hidden system reparse points are neither entered nor added.
inline constexpr std::uint32_t kHiddenSystemFolder =
    attributes::kHidden | attributes::kSystem | attributes::kDirectory;
inline constexpr std::uint32_t kHiddenSystemReparsePoint =
    kHiddenSystemFolder | attributes::kReparsePoint;
// The attribute bits a folder object reports; newer bits (not indexed, pinned, ...) do
// not make a hidden system folder an ordinary one.
inline constexpr std::uint32_t kReportedBits = attributes::kReadOnly | attributes::kHidden |
                                               attributes::kSystem | attributes::kVolume |
                                               attributes::kDirectory | attributes::kArchive |
                                               attributes::kReparsePoint | attributes::kCompressed;

bool MayEnter(const std::string& path, std::uint32_t bits) {
    const std::uint32_t reported = bits & kReportedBits;
    return IsDriveRoot(path) ||
           (reported != kHiddenSystemFolder && reported != kHiddenSystemReparsePoint);
}

}  // namespace

bool HasUnfitCharacters(std::string_view name, AnsiCodePage& codePage) {
    for (std::int16_t code : codePage.CharacterCodes(name)) {
        if (code < 32 || (code >= 127 && code <= 159) || code == 63) return true;
    }
    return false;
}

bool IsDriveRoot(std::string_view path) {
    while (path.size() > 1 && path.back() == '\\') path.remove_suffix(1);
    if (path.size() == 2 && path[1] == ':') return true;
    // \\server\share: two leading backslashes, then exactly one more inside.
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        std::string_view rest = path.substr(2);
        std::size_t slash = rest.find('\\');
        return slash != std::string_view::npos && slash > 0 && slash + 1 < rest.size() &&
               rest.find('\\', slash + 1) == std::string_view::npos;
    }
    return false;
}

std::string AddFolder::Refusal(const std::string& chosen) {
    if (Utf16Length(chosen) > 3) return "";
    return std::string(
               "Error #7817: Please don't add drive root. You can delete critical "
               "files. If you have questions, please email a screenshot of this "
               "error message to ") +
           kSupportEmail;
}

void AddFolder::AddAlone(const std::vector<std::string>& folders, ErrorTrap& trap) {
    if (folders.empty()) return;
    trap.Line(104, [&] {
        std::vector<std::string> entries;
        for (const std::string& folder : folders)
            entries.push_back(CollapseBackslashes(folder + "\\"));
        uses_.ListView1.AddRange(std::move(entries));
    });
    trap.Line(106, [&] { uses_.folders.SaveFolderList(); });
}

void AddFolder::AddOneFolder() {
    if (uses_.folders.IsBusy()) return;
    ErrorTrap trap(uses_.dialogs, "Form1.AddOneFolder");
    std::string chosen;
    trap.Line(100, [&] { chosen = uses_.dialogs.PickFolder("Add Folder"); });
    if (chosen.empty()) return;
    if (const std::string refusal = Refusal(chosen); !refusal.empty()) {
        trap.Line(102, [&] { uses_.messages.Warn(refusal); });
        return;
    }
    AddAlone({chosen}, trap);
}

void AddFolder::AddDropped(const std::vector<std::string>& paths) {
    if (uses_.folders.IsBusy()) return;
    ErrorTrap trap(uses_.dialogs, "Form1.AddDropped");
    std::vector<std::string> folders;
    std::string refused;
    for (const std::string& path : paths) {
        std::string why;
        const auto bits = uses_.fileSystem.Attributes(path);
        if (!bits)
            why = "it is not there.";
        else if (!(*bits & attributes::kDirectory))
            why = "it is a file; only folders are listed.";
        else if (!Refusal(path).empty())
            why = "it is a drive root, which could hold critical files.";
        if (why.empty())
            folders.push_back(path);
        else
            refused += "\r\n" + path + ": " + why;
    }
    AddAlone(folders, trap);
    if (refused.empty()) return;
    trap.Line(108, [&] {
        uses_.messages.Warn((folders.empty() ? std::string("Nothing was added to the list:")
                                             : std::string("Not added to the list:")) +
                            refused);
    });
}

void AddFolder::PushButton10_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton10_Click");
    std::string chosen;
    trap.Line(100, [&] { chosen = uses_.dialogs.BrowseForFolder("Please select folder:", ""); });
    if (chosen.empty()) return;
    if (const std::string refusal = Refusal(chosen); !refusal.empty()) {
        trap.Line(102, [&] { uses_.messages.Warn(refusal); });
    } else {
        trap.Line(104, [&] { uses_.folders.SetBusy(true); });
        std::vector<Member> folders{{chosen + "\\", std::nullopt}};
        trap.Line(106, [&] { GetSubDirectories2016(folders, true); });
        trap.Line(108, [&] {
            std::vector<std::string> entries;
            entries.reserve(folders.size());
            for (const Member& member : folders)
                entries.push_back(CollapseBackslashes(member.path));
            uses_.ListView1.AddRange(std::move(entries));
        });
        trap.Line(110, [&] { uses_.folders.SetBusy(false); });
    }
    trap.Line(112, [&] { uses_.folders.SaveFolderList(); });
}

void AddFolder::GetSubDirectories2016(std::vector<Member>& folders, bool recurse) {
    ErrorTrap trap(uses_.dialogs, "AddFolder.GetSubDirectories2016", kWalkLocationPrefix);
    std::vector<Member> found;

    // Members are looked at in order; one that vanishes or denies listing is dropped.
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string path = folders[i].path;
        try {
            // The attributes come from the listing that found the folder, or are read now.
            std::optional<std::uint32_t> bits = folders[i].attributes;
            if (!bits) bits = uses_.fileSystem.Attributes(path);
            if (!bits || !(*bits & attributes::kDirectory)) continue;
            folders[i].attributes = bits;
            if (Utf16Length(path) >= kLengthLimit) continue;
            uses_.pump.DoEvents();
            if (!MayEnter(path, *bits)) continue;

            for (FolderEntry& sub : uses_.fileSystem.ListSubfolders(path)) {
                uses_.pump.DoEvents();
                if (Utf16Length(sub.name) >= kLengthLimit || sub.name == "." || sub.name == "..")
                    continue;
                if (HasUnfitCharacters(sub.name, uses_.ansi)) continue;
                // A junction, a symbolic link or a mount point may lead anywhere (the
                // Windows folder, another drive): never entered, never added.
                if (sub.attributes & attributes::kReparsePoint) continue;
                found.push_back({path + sub.name + "\\", sub.attributes | attributes::kDirectory});
            }
        } catch (const AppError& error) {
            if (error.Number() != errors::kPermissionDenied &&
                error.Number() != errors::kPathNotFound)
                continue;
            auto first = std::find_if(folders.begin(), folders.end(),
                                      [&](const Member& m) { return m.path == path; });
            if (first != folders.end()) {
                if (static_cast<std::size_t>(first - folders.begin()) <= i) --i;
                folders.erase(first);
            }
        } catch (const std::exception&) {
            continue;  // nothing is shown for a folder that cannot be looked at
        }
    }

    if (recurse && !found.empty()) trap.Line(100, [&] { GetSubDirectories2016(found, true); });

    trap.Line(102, [&] {
        for (Member& member : found) {
            // The deeper call has looked at every member of found and dropped the ones
            // that went; what it could not read is no folder.
            if (!member.attributes || !(*member.attributes & attributes::kDirectory)) continue;
            uses_.pump.DoEvents();
            if (MayEnter(member.path, *member.attributes)) folders.push_back(std::move(member));
        }
    });
}

}  // namespace ondrevan
