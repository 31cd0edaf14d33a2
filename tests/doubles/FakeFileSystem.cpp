#include "FakeFileSystem.h"

#include <cctype>

#include "platform/AppError.h"

namespace ondrevan::testing {

std::string FakeFileSystem::Normal(const std::string& path) {
    std::string out;
    for (char c : path) {
        char n = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (n == '\\' && !out.empty() && out.back() == '\\' && out.size() > 1) continue;
        out += n;
    }
    while (out.size() > 3 && out.back() == '\\') out.pop_back();
    return out;
}

namespace {
std::string LastName(const std::string& path) {
    std::string trimmed = path;
    while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/'))
        trimmed.pop_back();
    return trimmed.substr(trimmed.find_last_of("\\/") + 1);
}
}  // namespace

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t bits) {
    entries_[Normal(path)] = {bits | attributes::kDirectory, "", LastName(path), 0, ++lastId_};
}

void FakeFileSystem::AddFile(const std::string& path, std::string content, std::uint32_t bits) {
    entries_[Normal(path)] = {bits & ~attributes::kDirectory, std::move(content), LastName(path)};
}

void FakeFileSystem::Remove(const std::string& path) {
    const std::string key = Normal(path);
    for (auto it = entries_.begin(); it != entries_.end();) {
        const bool below = it->first.size() > key.size() &&
                           it->first.compare(0, key.size(), key) == 0 &&
                           it->first[key.size()] == '\\';
        it = (it->first == key || below) ? entries_.erase(it) : std::next(it);
    }
}

std::vector<FolderEntry> FakeFileSystem::ListSubfolders(const std::string& path) {
    ++listings;
    if (beforeListing) beforeListing(path);
    const Entry* folder = Find(path);
    if (!folder || !(folder->attributes & attributes::kDirectory))
        throw AppError(errors::kPathNotFound, "Path not found");
    std::string prefix = Normal(path);
    if (prefix.back() != '\\') prefix += '\\';
    std::vector<FolderEntry> subfolders;
    for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        if (it->first.find('\\', prefix.size()) != std::string::npos) continue;
        if (it->second.attributes & attributes::kDirectory)
            subfolders.push_back({it->second.name, it->second.attributes});
    }
    return subfolders;
}

const FakeFileSystem::Entry* FakeFileSystem::Find(const std::string& path) const {
    std::string key = Normal(path);
    if (denied_.count(key)) throw AppError(errors::kPermissionDenied, "Permission denied");
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

std::optional<std::uint32_t> FakeFileSystem::Attributes(const std::string& path) {
    const Entry* entry = Find(path);
    if (!entry) return std::nullopt;
    return entry->attributes;
}

bool FakeFileSystem::HasModificationTime(const std::string& path) {
    return Find(path) != nullptr;
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
    const Entry* entry = Find(path);
    if (!entry || (entry->attributes & attributes::kDirectory)) return false;
    if (locked_.count(Normal(path)) || denied_.count(Normal(path))) return false;
    entries_.erase(Normal(path));
    return true;
}

std::optional<std::uint64_t> FakeFileSystem::FileSize(const std::string& path) {
    const Entry* entry = Find(path);
    if (!entry || (entry->attributes & attributes::kDirectory)) return std::nullopt;
    return entry->content.size();
}

bool FakeFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    const Entry* entry = Find(from);
    if (!entry || locked_.count(Normal(from)) || denied_.count(Normal(to))) return false;
    Entry moved = *entry;
    moved.name = to.substr(to.find_last_of('\\') + 1);
    entries_.erase(Normal(from));
    entries_[Normal(to)] = std::move(moved);
    return true;
}

std::string FakeFileSystem::ReadWholeFile(const std::string& path) {
    const Entry* entry = Find(path);
    if (!entry || (entry->attributes & attributes::kDirectory))
        throw AppError(errors::kFileNotFound, "File not found");
    return entry->content;
}

// Only "folder\\*.ext" patterns, which is all the program asks.
std::vector<FolderEntry> FakeFileSystem::FindFiles(const std::string& pattern) {
    const std::string key = Normal(pattern);
    const std::size_t star = key.rfind("\\*");
    const std::string prefix = key.substr(0, star + 1);
    const std::string suffix = key.substr(star + 2);
    std::vector<FolderEntry> found;
    for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        const std::string rest = it->first.substr(prefix.size());
        if (rest.find('\\') != std::string::npos || rest.size() < suffix.size()) continue;
        if (rest.compare(rest.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back({it->second.name, it->second.attributes});
    }
    return found;
}

std::vector<FileEntry> FakeFileSystem::ListFiles(const std::string& folder,
                                                 const std::function<void()>& between) {
    if (between) between();
    std::vector<FileEntry> files;
    const Entry* entry = nullptr;
    try {
        entry = Find(folder);
    } catch (const AppError&) {
        return files;
    }
    if (!entry || !(entry->attributes & attributes::kDirectory)) return files;
    std::string prefix = Normal(folder);
    if (prefix.back() != '\\') prefix += '\\';
    for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        const bool direct = it->first.find('\\', prefix.size()) == std::string::npos;
        if (direct && !(it->second.attributes & attributes::kDirectory))
            files.push_back({it->second.name, it->second.attributes, it->second.content.size(),
                             it->second.modified, it->second.created, it->second.accessed});
    }
    return files;
}

namespace {

// The folder as it was when opened: a folder put in its place later has another id.
class FakeOpenedFolder : public OpenedFolder {
  public:
    FakeOpenedFolder(FakeFileSystem& fileSystem, std::string folder, std::uint64_t id)
        : fileSystem_(fileSystem), folder_(std::move(folder)), id_(id) {}
    FileRemoval RemoveFileInside(const std::string& name, std::uint32_t) override {
        return fileSystem_.DeleteInOpenedFolder(folder_, id_, name);
    }
    FileRemoval CheckInPlace(const std::string& name) override {
        if (!StillInPlace()) return {FileRemoval::Outcome::FolderChanged, {}};
        if (!fileSystem_.Exists(folder_ + "\\" + name))
            return {FileRemoval::Outcome::AlreadyGone, {}};
        return {FileRemoval::Outcome::Deleted, {}};
    }
    bool StillInPlace() override { return fileSystem_.FolderId(folder_) == id_; }

  private:
    FakeFileSystem& fileSystem_;
    std::string folder_;
    std::uint64_t id_;
};

}  // namespace

std::uint64_t FakeFileSystem::FolderId(const std::string& path) const {
    const auto it = entries_.find(Normal(path));
    if (it == entries_.end() || !(it->second.attributes & attributes::kDirectory) ||
        (it->second.attributes & attributes::kReparsePoint))
        return 0;
    return it->second.id;
}

FolderOpening FakeFileSystem::OpenFolderToClear(const std::string& path) {
    FolderOpening opening;
    const auto it = entries_.find(Normal(path));
    if (it == entries_.end())
        opening.fault = kFolderNotThere;
    else if (denied_.count(it->first))
        opening.fault = "access denied";
    else if (it->second.attributes & attributes::kReparsePoint)
        opening.fault = "a link";
    else if (!(it->second.attributes & attributes::kDirectory))
        opening.fault = "not a folder";
    else
        opening.folder = std::make_unique<FakeOpenedFolder>(*this, path, it->second.id);
    return opening;
}

FileRemoval FakeFileSystem::DeleteInOpenedFolder(const std::string& folder, std::uint64_t id,
                                                 const std::string& name) {
    const std::string path = folder + "\\" + name;
    ++deletions;
    if (beforeDeleting) beforeDeleting(path);
    // A folder put in the opened one's place is never reached through it.
    if (FolderId(folder) != id) return {FileRemoval::Outcome::FolderChanged, {}};
    const std::string key = Normal(path);
    auto it = entries_.find(key);
    if (it == entries_.end()) return {FileRemoval::Outcome::AlreadyGone, {}};
    if (it->second.attributes & attributes::kDirectory)
        return {FileRemoval::Outcome::Failed, "access denied"};
    if (locked_.count(key)) return {FileRemoval::Outcome::Failed, "in use"};
    if (denied_.count(key)) return {FileRemoval::Outcome::Failed, "access denied"};
    // A link stands for itself here: removing it leaves what it leads to.
    entries_.erase(it);
    return {FileRemoval::Outcome::Deleted, {}};
}

bool FakeFileSystem::RemoveEmptyFolder(const std::string& path) {
    const std::string key = Normal(path);
    auto it = entries_.find(key);
    if (it == entries_.end() || !(it->second.attributes & attributes::kDirectory)) return false;
    if (denied_.count(key) || locked_.count(key)) return false;
    const std::string inside = key + "\\";
    auto next = entries_.lower_bound(inside);
    if (next != entries_.end() && next->first.compare(0, inside.size(), inside) == 0)
        return false;  // something lies inside
    entries_.erase(it);
    return true;
}

std::unique_ptr<AppendingFile> FakeFileSystem::OpenToAppend(const std::string& path) {
    struct Held : AppendingFile {
        FakeFileSystem& fs;
        std::string path;
        Held(FakeFileSystem& fs, std::string path) : fs(fs), path(std::move(path)) {}
        void Append(std::string_view bytes) override { fs.AppendToFile(path, bytes); }
    };
    AppendToFile(path, "");  // fails as opening would
    ++openedToAppend;
    return std::make_unique<Held>(*this, path);
}

void FakeFileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    const std::string key = Normal(path);
    if (denied_.count(key) || locked_.count(key))
        throw AppError(errors::kPermissionDenied, "Permission denied");
    const std::string parent = key.substr(0, key.find_last_of('\\'));
    auto folder = entries_.find(parent.size() == 2 ? parent + "\\" : parent);
    if (folder == entries_.end() && parent.size() > 2)
        throw AppError(errors::kPathNotFound, "Path not found");
    if (auto it = entries_.find(key);
        it != entries_.end() && (it->second.attributes & attributes::kDirectory))
        throw AppError(errors::kPermissionDenied, "Permission denied");
    Entry& entry = entries_[key];
    entry.content.append(bytes);
    if (entry.name.empty()) entry = {attributes::kArchive, entry.content, LastName(path)};
}

std::optional<std::string> FakeFileSystem::FinalFolderPath(const std::string& path) {
    opened.push_back(path);
    const std::string key = Normal(path);
    // An alias anywhere along the path leads to its target.
    for (const auto& [alias, target] : aliases_) {
        if (key == alias || (key.size() > alias.size() &&
                             key.compare(0, alias.size(), alias) == 0 && key[alias.size()] == '\\'))
            return FinalFolderPath(target + key.substr(alias.size()));
    }
    auto it = entries_.find(key);
    if (it == entries_.end() || !(it->second.attributes & attributes::kDirectory))
        return std::nullopt;
    return key;
}

std::optional<std::uint64_t> FakeFileSystem::FreeSpace(const std::string& folder) {
    // The drive is the first two names of a network path, else the letter and its colon.
    const std::string key = Normal(folder);
    std::size_t end = 2;
    if (key.rfind("\\\\", 0) == 0) {
        end = key.find('\\', 2);
        end = end == std::string::npos ? key.size() : key.find('\\', end + 1);
    }
    const auto it = freeSpace_.find(key.substr(0, end));
    if (it == freeSpace_.end()) return std::nullopt;
    return it->second;
}

std::string FakeFileSystem::Content(const std::string& path) const {
    auto it = entries_.find(Normal(path));
    return it == entries_.end() ? "" : it->second.content;
}

std::vector<std::string> FakeFileSystem::Below(const std::string& folder) const {
    const std::string key = Normal(folder);
    std::vector<std::string> paths;
    for (const auto& [path, entry] : entries_)
        if (path == key || (path.compare(0, key.size(), key) == 0 && path.size() > key.size() &&
                            path[key.size()] == '\\'))
            paths.push_back(path);
    return paths;
}

}  // namespace ondrevan::testing
