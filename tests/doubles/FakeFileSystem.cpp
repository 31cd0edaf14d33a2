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
    entries_[Normal(path)] = {bits | attributes::kDirectory, "", LastName(path)};
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
    entries_.erase(Normal(path));
    return true;
}

std::string FakeFileSystem::ReadWholeFile(const std::string& path) {
    const Entry* entry = Find(path);
    if (!entry || (entry->attributes & attributes::kDirectory))
        throw AppError(errors::kFileNotFound, "File not found");
    return entry->content;
}

}  // namespace ondrevan::testing
