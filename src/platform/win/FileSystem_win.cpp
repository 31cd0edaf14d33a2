#include <algorithm>
#include <initializer_list>

#include <winternl.h>

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

std::int64_t SecondsSince1970(const FILETIME& time) {
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10'000'000) - kUnixEpochInFileTime;
}

// A file system that does not keep a time (FAT keeps no last opening) lists it as zero.
std::int64_t KnownTime(const FILETIME& time) {
    if (time.dwHighDateTime == 0 && time.dwLowDateTime == 0) return kNoFileTime;
    return SecondsSince1970(time);
}

// The first entry of a folder and the search that goes on from it.
struct FirstFind {
    std::wstring pattern;
    WIN32_FIND_DATAW data{};
    HANDLE find = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;

    void Run() {
        find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                  nullptr, FIND_FIRST_EX_LARGE_FETCH);
        error = ::GetLastError();
    }
    static DWORD WINAPI RunOn(void* self) {
        static_cast<FirstFind*>(self)->Run();
        return 0;
    }
};

// The system reads a whole folder at its first entry, a long wait for a large one: with
// `between`, it reads on a second thread while `between` is called every few milliseconds.
void FindFirstEntry(FirstFind& first, const std::function<void()>& between) {
    UniqueHandleObject thread(
        between ? ::CreateThread(nullptr, 0, &FirstFind::RunOn, &first, 0, nullptr) : nullptr);
    if (!thread) return first.Run();
    try {
        while (::WaitForSingleObject(thread.get(), 10) == WAIT_TIMEOUT) between();
    } catch (...) {
        // The thread writes into `first`: it must be done before that goes.
        ::WaitForSingleObject(thread.get(), INFINITE);
        if (first.find != INVALID_HANDLE_VALUE) ::FindClose(first.find);
        throw;
    }
}

}  // namespace

std::vector<FileEntry> Win32FileSystem::ListFiles(const std::string& folder,
                                                  const std::function<void()>& between) {
    // Entries listed between two calls of `between`: a few milliseconds' work.
    constexpr std::size_t kEntriesBetween = 256;
    std::vector<FileEntry> files;
    std::size_t listed = 0;
    FirstFind first{WidePath(Widen(folder + "\\*"))};
    FindFirstEntry(first, between);
    ::SetLastError(first.error);
    UniqueFind find(first.find);
    if (!find) return files;  // no folder, or nothing in it
    WIN32_FIND_DATAW& data = first.data;
    do {
        if (between && ++listed % kEntriesBetween == 0) between();
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // A link counts as itself, never as the size of what it leads to.
        const std::uint64_t size =
            data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT
                ? 0
                : (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        files.push_back({Narrow(data.cFileName), data.dwFileAttributes, size,
                         SecondsSince1970(data.ftLastWriteTime), KnownTime(data.ftCreationTime),
                         KnownTime(data.ftLastAccessTime)});
    } while (::FindNextFileW(find.get(), &data));
    return files;
}

bool Win32FileSystem::RemoveEmptyFolder(const std::string& path) {
    // Windows removes a folder only when it is empty.
    return ::RemoveDirectoryW(WidePath(path).c_str()) != 0;
}

namespace {

class Win32AppendingFile : public AppendingFile {
  public:
    explicit Win32AppendingFile(UniqueFile file) : file_(std::move(file)) {}
    void Append(std::string_view bytes) override {
        // Straight to the system: no buffer of ours holds anything back.
        while (!bytes.empty()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
            if (!::WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr) || written == 0)
                throw LastError();
            bytes.remove_prefix(written);
        }
    }

  private:
    UniqueFile file_;
};

}  // namespace

std::unique_ptr<AppendingFile> Win32FileSystem::OpenToAppend(const std::string& path) {
    // Appending only: each write lands at the end, also beside another copy's writes.
    UniqueFile file(::CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw LastError();
    return std::make_unique<Win32AppendingFile>(std::move(file));
}

void Win32FileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
    OpenToAppend(path)->Append(bytes);
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

}  // namespace ondrevan::win
