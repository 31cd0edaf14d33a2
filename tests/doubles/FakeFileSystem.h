#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace ondrevan::testing {

// An in-memory file system with Windows semantics: names compare without regard to
// letter case, "/" stands for "\", and any path can be made to fail.
class FakeFileSystem : public FileSystem {
  public:
    void AddFolder(const std::string& path, std::uint32_t attributes = attributes::kDirectory);
    void AddFile(const std::string& path, std::string content = "",
                 std::uint32_t attributes = attributes::kArchive);
    // Every operation on the path fails as if access were denied.
    void DenyAccess(const std::string& path) { denied_.insert(Normal(path)); }
    // Removes a file or a folder with everything below it.
    void Remove(const std::string& path);
    bool Exists(const std::string& path) const { return entries_.count(Normal(path)) != 0; }

    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    bool HasModificationTime(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    std::vector<FolderEntry> ListSubfolders(const std::string& path) override;
    std::vector<FolderEntry> FindFiles(const std::string& pattern) override;
    using FileSystem::ListFiles;
    std::vector<FileEntry> ListFiles(const std::string& folder,
                                     const std::function<void()>& between) override;
    bool RemoveEmptyFolder(const std::string& path) override;
    void AppendToFile(const std::string& path, std::string_view bytes) override;
    // Appends as AppendToFile does, once per append; `openedToAppend` counts the openings.
    std::unique_ptr<AppendingFile> OpenToAppend(const std::string& path) override;
    int openedToAppend = 0;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    bool MoveReplacing(const std::string& from, const std::string& to) override;
    std::optional<std::string> FinalFolderPath(const std::string& path) override;
    FolderOpening OpenFolderToClear(const std::string& path) override;
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override;

    // What an opened folder does: the folder's id, 0 when the path is no folder (or a link),
    // and a deletion of one of its files while it is still the folder opened.
    std::uint64_t FolderId(const std::string& path) const;
    FileRemoval DeleteInOpenedFolder(const std::string& folder, std::uint64_t id,
                                     const std::string& name);

    // Another name for a folder: an 8.3 short name, a junction or a symbolic link.
    void AddAlias(const std::string& alias, const std::string& target) {
        aliases_[Normal(alias)] = target;
    }
    // A file held open without delete sharing: it cannot be deleted.
    void Lock(const std::string& path) { locked_.insert(Normal(path)); }
    std::string Content(const std::string& path) const;
    // The last write of a file, in seconds since 1970 (UTC).
    void SetModified(const std::string& path, std::int64_t seconds) {
        entries_.at(Normal(path)).modified = seconds;
    }
    // When a file was made and last opened, in the same seconds (or kNoFileTime).
    void SetTimes(const std::string& path, std::int64_t created, std::int64_t accessed) {
        Entry& entry = entries_.at(Normal(path));
        entry.created = created;
        entry.accessed = accessed;
    }
    // The bytes free on a drive ("C:", "\\server\share"); a drive not given cannot be read.
    void SetFreeSpace(const std::string& drive, std::uint64_t bytes) {
        freeSpace_[Normal(drive)] = bytes;
    }
    // Every path below a folder, the folder itself included.
    std::vector<std::string> Below(const std::string& folder) const;

    // Runs before each listing, so a test can change the tree in the middle of a walk.
    std::function<void(const std::string& path)> beforeListing;
    int listings = 0;
    // Runs before each file a run deletes, so a test can change the tree meanwhile.
    std::function<void(const std::string& path)> beforeDeleting;
    int deletions = 0;
    // Every path that FinalFolderPath was asked to open.
    std::vector<std::string> opened;

    static std::string Normal(const std::string& path);

  private:
    struct Entry {
        std::uint32_t attributes;
        std::string content;
        std::string name;  // as it was given, letter case kept
        std::int64_t modified = 0;
        std::uint64_t id = 0;  // a folder's identity, new for each folder made
        std::int64_t created = kNoFileTime;
        std::int64_t accessed = kNoFileTime;
    };
    const Entry* Find(const std::string& path) const;

    std::map<std::string, Entry> entries_;
    std::set<std::string> denied_;
    std::set<std::string> locked_;
    std::map<std::string, std::string> aliases_;
    std::map<std::string, std::uint64_t> freeSpace_;
    std::uint64_t lastId_ = 0;
};

}  // namespace ondrevan::testing
