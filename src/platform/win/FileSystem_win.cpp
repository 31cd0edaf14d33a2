#include <algorithm>

#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
    DWORD bits = ::GetFileAttributesW(WidePath(path).c_str());
    if (bits == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return bits;
}

bool Win32FileSystem::HasModificationTime(const std::string& path) {
    if (path.find_first_of("*?") != std::string::npos) return false;  // no wildcard matches
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return ::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
    return ::DeleteFileW(WidePath(path).c_str()) != 0;
}

std::string Win32FileSystem::ReadWholeFile(const std::string& path) {
    UniqueFile file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw LastError();
    std::string content;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) throw LastError();
        if (read == 0) break;
        content.append(buffer, read);
    }
    return content;
}

std::vector<FolderEntry> Win32FileSystem::ListSubfolders(const std::string& path) {
    std::string pattern = path;
    if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &data,
                                       FindExSearchLimitToDirectories, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    std::vector<FolderEntry> folders;
    if (!find) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return folders;  // an empty folder
        throw ErrorFromWin32(error);
    }
    do {
        // The directory filter is a hint only: files can still come back.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        folders.push_back({Narrow(data.cFileName), data.dwFileAttributes});
    } while (::FindNextFileW(find.get(), &data));
    if (::GetLastError() != ERROR_NO_MORE_FILES) throw LastError();
    return folders;
}

std::vector<FolderEntry> Win32FileSystem::FindFiles(const std::string& pattern) {
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, 0));
    std::vector<FolderEntry> found;
    if (!find) return found;
    do found.push_back({Narrow(data.cFileName), data.dwFileAttributes});
    while (::FindNextFileW(find.get(), &data));
    return found;
}

namespace {

// Seconds from 1601-01-01, where a FILETIME counts from, to 1970-01-01.
constexpr std::int64_t kUnixEpochInFileTime = 11'644'473'600;

std::string FailureReason(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return "in use";
        case ERROR_ACCESS_DENIED:
            return "access denied";
        default:
            return ErrorFromWin32(error).what();
    }
}

}  // namespace

std::vector<FileEntry> Win32FileSystem::ListFiles(const std::string& folder) {
    std::vector<FileEntry> files;
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileExW(WidePath(Widen(folder + "\\*")).c_str(), FindExInfoBasic,
                                       &data, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return files;  // no folder, or nothing in it
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::uint64_t written =
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
            data.ftLastWriteTime.dwLowDateTime;
        files.push_back({Narrow(data.cFileName), data.dwFileAttributes,
                         (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                         static_cast<std::int64_t>(written / 10'000'000) - kUnixEpochInFileTime});
    } while (::FindNextFileW(find.get(), &data));
    return files;
}

FileRemoval Win32FileSystem::DeleteListedFile(const std::string& path, std::uint32_t attributes) {
    // A file whose full path passes MAX_PATH is reached too, though its folder's is short.
    const std::wstring file = WidePath(path);
    bool gone = ::DeleteFileW(file.c_str()) != 0;
    DWORD error = gone ? ERROR_SUCCESS : ::GetLastError();
    // Read-only files go too: take the attribute off and try once more.
    if (!gone && (attributes & FILE_ATTRIBUTE_READONLY) &&
        ::SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        gone = ::DeleteFileW(file.c_str()) != 0;
        if (!gone) error = ::GetLastError();
    }
    if (gone) return {FileRemoval::Outcome::Deleted, {}};
    if (error == ERROR_FILE_NOT_FOUND) return {FileRemoval::Outcome::AlreadyGone, {}};
    return {FileRemoval::Outcome::Failed, FailureReason(error)};
}

bool Win32FileSystem::RemoveEmptyFolder(const std::string& path) {
    // Windows removes a folder only when it is empty.
    return ::RemoveDirectoryW(WidePath(path).c_str()) != 0;
}

void Win32FileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    UniqueFile file(::CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw LastError();
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0)
            throw LastError();
        bytes.remove_prefix(written);
    }
}

std::optional<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    return ::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING) !=
           0;
}

std::optional<std::string> Win32FileSystem::FinalFolderPath(const std::string& path) {
    // Opening the folder itself (not following it to a file) lets Windows name it as it is.
    UniqueFile folder(::CreateFileW(WidePath(path).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) return std::nullopt;
    std::wstring final(32768, L'\0');
    DWORD length =
        ::GetFinalPathNameByHandleW(folder.get(), final.data(), static_cast<DWORD>(final.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= final.size()) return std::nullopt;
    final.resize(length);
    return Narrow(final);
}

}  // namespace ondrevan::win
