#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ondrevan {

class Shell;

// A file that could not be deleted, and why in a few words ("in use", "access denied").
struct FileFailure {
    std::string path;
    std::string reason;
};

// What deleting the planned files of a folder did.
struct DeletedFiles {
    std::uint64_t count = 0;
    std::uint64_t bytes = 0;
    std::vector<FileFailure> failures;
    bool folderChanged = false;  // the folder's path was taken over: the rest was left
};

// Deletes the planned files of a folder through the folder held open, read-only ones too. A
// file that cannot go (in use, denied, a link that would lead elsewhere) is passed over and
// reported; one that went by itself meanwhile is neither. Once the folder's path leads
// elsewhere, nothing more is deleted. `between` runs before each file, so that a long
// deletion lets the window answer. What was done is counted in `deleted` as it happens, so
// that a run cut short in `between` can still say what it did.
void DeletePlannedFiles(OpenedFolder& opened, const std::string& folder,
                        const std::vector<FileEntry>& files, const std::function<void()>& between,
                        DeletedFiles& deleted);
inline DeletedFiles DeletePlannedFiles(OpenedFolder& opened, const std::string& folder,
                                       const std::vector<FileEntry>& files,
                                       const std::function<void()>& between) {
    DeletedFiles deleted;
    DeletePlannedFiles(opened, folder, files, between, deleted);
    return deleted;
}

// Sends the planned files of a folder to the Recycle Bin, many at a time, each batch only
// while the folder's path still leads to the folder held open; a file that is still there
// afterwards is reported. `count` is what went to the bin, counted in `recycled` batch by
// batch.
void RecyclePlannedFiles(FileSystem& fileSystem, Shell& shell, OpenedFolder& opened,
                         const std::string& folder, const std::vector<FileEntry>& files,
                         const std::function<void()>& between, DeletedFiles& recycled);

}  // namespace ondrevan
