#include "delete/DeletePlan.h"

#include <algorithm>

#include "platform/Blanks.h"
#include "platform/FolderPaths.h"
#include "platform/Shell.h"

namespace ondrevan {

std::string RunFolderPath(const std::string& entry) {
    std::string text = entry;
    const std::string trimmed(TrimBlanks(text));
    if (!trimmed.empty() && trimmed.back() == '\\') text = trimmed.substr(0, trimmed.size() - 1);
    if (IsFullyQualified(text)) text = CanonicalFolderPath(text);
    return text;
}

DeletedFiles DeletePlannedFiles(FileSystem& fileSystem, const std::string& folder,
                                const std::vector<FileEntry>& files,
                                const std::function<void()>& between) {
    DeletedFiles deleted;
    std::string path = folder + "\\";
    const std::size_t base = path.size();
    for (const FileEntry& file : files) {
        if (between) between();
        path.resize(base);
        path += file.name;
        const FileRemoval removal = fileSystem.DeleteListedFile(path, file.attributes);
        if (removal.outcome == FileRemoval::Outcome::Deleted) {
            ++deleted.count;
            deleted.bytes += file.size;
        } else if (removal.outcome == FileRemoval::Outcome::Failed) {
            deleted.failures.push_back({path, removal.reason});
        }
    }
    return deleted;
}

DeletedFiles RecyclePlannedFiles(FileSystem& fileSystem, Shell& shell, const std::string& folder,
                                 const std::vector<FileEntry>& files,
                                 const std::function<void()>& between) {
    // One shell operation per batch: one per file would take the shell's time for each.
    constexpr std::size_t kBatch = 1000;
    DeletedFiles recycled;
    for (std::size_t start = 0; start < files.size(); start += kBatch) {
        if (between) between();
        const std::size_t end = std::min(files.size(), start + kBatch);
        std::vector<std::string> paths;
        paths.reserve(end - start);
        for (std::size_t i = start; i < end; ++i) paths.push_back(folder + "\\" + files[i].name);
        shell.SendFilesToRecycleBin(paths);
        // Gone only when it is no longer there: the shell's answer covers the whole batch.
        for (std::size_t i = start; i < end; ++i) {
            if (fileSystem.Attributes(paths[i - start])) {
                recycled.failures.push_back({paths[i - start], "the Recycle Bin did not take it"});
            } else {
                ++recycled.count;
                recycled.bytes += files[i].size;
            }
        }
    }
    return recycled;
}

}  // namespace ondrevan
