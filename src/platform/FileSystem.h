#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

namespace attributes {
inline constexpr std::uint32_t kReadOnly = 1;
inline constexpr std::uint32_t kHidden = 2;
inline constexpr std::uint32_t kSystem = 4;
inline constexpr std::uint32_t kVolume = 8;  // the old volume-label bit
inline constexpr std::uint32_t kDirectory = 16;
inline constexpr std::uint32_t kArchive = 32;
inline constexpr std::uint32_t kReparsePoint = 1024;
inline constexpr std::uint32_t kCompressed = 2048;
}  // namespace attributes

struct FolderEntry {
    std::string name;
    std::uint32_t attributes = 0;
};

// A file time the file system does not keep (a zero time in the listing).
inline constexpr std::int64_t kNoFileTime = INT64_MIN;

// A file that lies directly in a folder, as the folder's listing shows it.
struct FileEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // the last write, in seconds since 1970-01-01 UTC
    // When it was made and last opened, in the same seconds, or kNoFileTime.
    std::int64_t created = kNoFileTime;
    std::int64_t accessed = kNoFileTime;
};

// What became of a file that was to be deleted.
struct FileRemoval {
    // FolderChanged: the folder's path no longer leads to the folder that was opened.
    enum class Outcome { Deleted, AlreadyGone, Failed, FolderChanged };
    Outcome outcome = Outcome::Failed;
    std::string reason;  // why it failed, in a few words ("in use", "access denied")
};

// A folder held open while its files go. Each file is reached through the folder that was
// opened and checked, never through whatever takes the folder's path meanwhile (a link
// put in its place), and a link in the folder is removed as the link or left alone.
class OpenedFolder {
  public:
    virtual ~OpenedFolder() = default;
    // Deletes one file lying directly in the folder, a read-only one too (`attributes` are
    // the listing's). A link whose removal would reach its target stays: Failed, "a link".
    virtual FileRemoval RemoveFileInside(const std::string& name, std::uint32_t attributes) = 0;
    // How many files RemoveFilesInside is best given at once.
    virtual std::size_t FilesAtOnce() const { return 1; }
    // Deletes several files as RemoveFileInside does, perhaps more than one at a time: the
    // answer holds what became of each, in the same order, and nothing for a file not tried
    // because the folder changed meanwhile.
    virtual std::vector<std::optional<FileRemoval>> RemoveFilesInside(
        std::span<const FileEntry> files) {
        std::vector<std::optional<FileRemoval>> removals(files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            removals[i] = RemoveFileInside(files[i].name, files[i].attributes);
            if (removals[i]->outcome == FileRemoval::Outcome::FolderChanged) break;
        }
        return removals;
    }
    // Whether a file may be handed on by its path (to the shell): Deleted when the name
    // leads to the file that lies here, Failed "a link" when the system would follow it
    // elsewhere, FolderChanged, AlreadyGone. Nothing is changed.
    virtual FileRemoval CheckInPlace(const std::string& name) = 0;
    // True while the folder's path still leads to the folder held open.
    virtual bool StillInPlace() = 0;
};

// Why a folder could not be opened to be cleared.
struct FolderOpening {
    std::unique_ptr<OpenedFolder> folder;
    std::string fault;  // kFolderNotThere, "not a folder", "a link", or the system's reason
};
inline constexpr const char* kFolderNotThere = "not there";

// The file system as the program sees it: Windows paths in UTF-8.
// A file held open for appending. Each append reaches the file before it returns, nothing
// is held back: a program ended meanwhile loses nothing it wrote.
class AppendingFile {
  public:
    virtual ~AppendingFile() = default;
    // Throws AppError when the bytes cannot be written.
    virtual void Append(std::string_view bytes) = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // The attribute bits of a file or folder, or nothing when it cannot be read.
    virtual std::optional<std::uint32_t> Attributes(const std::string& path) = 0;
    // True when the modification time of the path can be read.
    virtual bool HasModificationTime(const std::string& path) = 0;
    // Deletes one file; false when it could not.
    virtual bool RemoveFile(const std::string& path) = 0;
    // The whole content of a file; throws AppError when it cannot be read.
    virtual std::string ReadWholeFile(const std::string& path) = 0;
    // The direct sub-folders of a folder, in the order the file system gives them.
    // Throws AppError: 70 when listing is denied, 76 when the folder is not there.
    virtual std::vector<FolderEntry> ListSubfolders(const std::string& path) = 0;
    // The files and folders a wildcard pattern ("C:\\Tools\\*.exe") lists, in listing order.
    virtual std::vector<FolderEntry> FindFiles(const std::string& pattern) = 0;
    // The files that lie directly in the folder, whatever the length of their paths, in
    // listing order; none when the folder is not there or cannot be listed. `between`, when
    // given, runs every few hundred entries, so that a long listing lets the window answer.
    virtual std::vector<FileEntry> ListFiles(const std::string& folder,
                                             const std::function<void()>& between) = 0;
    std::vector<FileEntry> ListFiles(const std::string& folder) {
        return ListFiles(folder, nullptr);
    }
    // Removes a folder that holds nothing at all; false when it could not (not empty, in
    // use, denied, not there).
    virtual bool RemoveEmptyFolder(const std::string& path) = 0;
    // Appends bytes to a file, creating it when it is not there; the file is closed again
    // at once. Throws AppError when it cannot.
    virtual void AppendToFile(const std::string& path, std::string_view bytes) = 0;
    // The same file kept open for many appends; throws AppError when it cannot be opened.
    virtual std::unique_ptr<AppendingFile> OpenToAppend(const std::string& path) = 0;
    // The size of a file in bytes, or nothing when it is not there.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;
    // Renames a file, replacing what the new name held; false when it could not.
    virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
    // The folder's real path when it exists: long names, links and junctions resolved.
    virtual std::optional<std::string> FinalFolderPath(const std::string& path) = 0;
    // Opens a folder to clear it, not through a link: a path that is a link, a file or
    // nothing is not opened.
    virtual FolderOpening OpenFolderToClear(const std::string& path) = 0;
    // The bytes free to this user on the drive that holds the folder, or nothing when that
    // cannot be read.
    virtual std::optional<std::uint64_t> FreeSpace(const std::string& folder) = 0;
};

}  // namespace ondrevan
