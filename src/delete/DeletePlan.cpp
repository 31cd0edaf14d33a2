#include "delete/DeletePlan.h"

#include "delete/FolderPaths.h"
#include "platform/Blanks.h"

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

}  // namespace ondrevan
