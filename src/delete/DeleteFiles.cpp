#include "delete/DeleteFiles.h"

#include <algorithm>
#include <optional>
#include <span>

#include "platform/Shell.h"

namespace ondrevan {

void DeletePlannedFiles(OpenedFolder& opened, const std::string& folder,
                        const std::vector<FileEntry>& files, const std::function<void()>& between,
                        DeletedFiles& deleted) {
    // The folder says how many files it takes at once; the window answers between them.
    const std::size_t atOnce = std::max<std::size_t>(1, opened.FilesAtOnce());
    for (std::size_t start = 0; start < files.size(); start += atOnce) {
        if (between) between();
        const std::span<const FileEntry> batch =
            std::span(files).subspan(start, std::min(atOnce, files.size() - start));
        const std::vector<std::optional<FileRemoval>> removals = opened.RemoveFilesInside(batch);
        // Each file that was tried is said, whatever its place beside the one that found
        // the folder changed: one deleted is counted, one that failed is reported.
        for (std::size_t i = 0; i < batch.size() && i < removals.size(); ++i) {
            if (!removals[i]) continue;
            const FileEntry& file = batch[i];
            switch (removals[i]->outcome) {
                case FileRemoval::Outcome::Deleted:
                    ++deleted.count;
                    deleted.bytes += file.size;
                    break;
                case FileRemoval::Outcome::AlreadyGone:
                    break;
                case FileRemoval::Outcome::Failed:
                    deleted.failures.push_back({folder + "\\" + file.name, removals[i]->reason});
                    break;
                case FileRemoval::Outcome::FolderChanged:
                    deleted.folderChanged = true;
                    break;
            }
        }
        if (deleted.folderChanged) return;
    }
}

void RecyclePlannedFiles(FileSystem& fileSystem, Shell& shell, OpenedFolder& opened,
                         const std::string& folder, const std::vector<FileEntry>& files,
                         const std::function<void()>& between, DeletedFiles& recycled) {
    // One shell operation per batch: one per file would take the shell's time for each.
    constexpr std::size_t kBatch = 1000;
    for (std::size_t start = 0; start < files.size(); start += kBatch) {
        if (between) between();
        // The shell goes by path: it is handed the paths only while they lead where the
        // plan looked.
        if (!opened.StillInPlace()) {
            recycled.folderChanged = true;
            return;
        }
        const std::size_t end = std::min(files.size(), start + kBatch);
        std::vector<std::string> paths;
        std::vector<const FileEntry*> handed;
        paths.reserve(end - start);
        for (std::size_t i = start; i < end; ++i) {
            // The shell would move what a link leads to where the system follows it: only a
            // name that leads to the file lying here is handed on.
            const std::string path = folder + "\\" + files[i].name;
            const FileRemoval check = opened.CheckInPlace(files[i].name);
            if (check.outcome == FileRemoval::Outcome::FolderChanged) {
                recycled.folderChanged = true;
                return;
            }
            if (check.outcome == FileRemoval::Outcome::Failed)
                recycled.failures.push_back({path, check.reason});
            if (check.outcome != FileRemoval::Outcome::Deleted) continue;
            paths.push_back(path);
            handed.push_back(&files[i]);
        }
        if (paths.empty()) continue;
        shell.SendFilesToRecycleBin(paths);
        // Gone only when it is no longer there: the shell's answer covers the whole batch.
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (fileSystem.Attributes(paths[i])) {
                recycled.failures.push_back({paths[i], "the Recycle Bin did not take it"});
            } else {
                ++recycled.count;
                recycled.bytes += handed[i]->size;
            }
        }
    }
}

}  // namespace ondrevan
