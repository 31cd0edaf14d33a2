#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

class AnsiCodePage;
class AppMessages;
class Dialogs;
class EventPump;
class FileSystem;
class FolderList;
class ListView;

// True when a name holds a character that the ANSI code page cannot write, a control
// character, a character coded 127 to 159, or "?".
bool HasUnfitCharacters(std::string_view name, AnsiCodePage& codePage);
// "C:\", "C:" and "\\server\share\" are roots of their drive.
bool IsDriveRoot(std::string_view folderPath);

// "Add Folders/Subfolders To List": a chosen folder and every folder below it.
class AddFolder {
  public:
    // One folder of the walk's collection: its path (ending in "\") and, once it has
    // been looked at, its attributes.
    struct Member {
        std::string path;
        std::optional<std::uint32_t> attributes;
    };

    struct Uses {
        Dialogs& dialogs;
        FileSystem& fileSystem;
        EventPump& pump;
        AnsiCodePage& ansi;
        AppMessages& messages;
        FolderList& folders;
        ListView& ListView1;
    };
    explicit AddFolder(const Uses& uses) : uses_(uses) {}

    void PushButton10_Click();
    // "Add Folder...": the one folder chosen in the picker, without what is below it.
    void AddOneFolder();
    // Folders dropped on the list: each added alone. What is refused (a file, a drive root,
    // what is not there) is said in one message, the folders are added all the same.
    void AddDropped(const std::vector<std::string>& paths);
    // Why a folder the user chose cannot be added; "" when it can.
    static std::string Refusal(const std::string& chosen);
    // Appends the sub-folders of the members, level by level, to the same collection.
    void GetSubDirectories2016(std::vector<Member>& folders, bool recurse);

  private:
    // Appends the folders, each alone, ending in one backslash, and stores the list.
    void AddAlone(const std::vector<std::string>& folders, class ErrorTrap& trap);

    Uses uses_;
};

}  // namespace ondrevan
