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

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t bits) {
    entries_[Normal(path)] = {bits | attributes::kDirectory, ""};
}

void FakeFileSystem::AddFile(const std::string& path, std::string content, std::uint32_t bits) {
    entries_[Normal(path)] = {bits & ~attributes::kDirectory, std::move(content)};
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
