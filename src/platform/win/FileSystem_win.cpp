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

}  // namespace ondrevan::win
