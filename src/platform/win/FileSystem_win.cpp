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

std::vector<FileEntry> Win32FileSystem::ListFiles(const std::string& folder,
                                                  const std::function<void()>& between) {
    // Entries listed between two calls of `between`: a few milliseconds' work.
    constexpr std::size_t kEntriesBetween = 256;
    std::vector<FileEntry> files;
    std::size_t listed = 0;
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileExW(WidePath(Widen(folder + "\\*")).c_str(), FindExInfoBasic,
                                       &data, FindExSearchNameMatch, nullptr,
                                       FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return files;  // no folder, or nothing in it
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

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t kLongestPath = 32768;  // UTF-16 units, the terminating NUL included

// Where Windows says an open handle leads, or nothing.
std::optional<std::wstring> FinalPath(HANDLE handle) {
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            handle, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
        // Wine answers a buffer too short with "more data" and no length: the longest path.
        if (length == 0 && ::GetLastError() == ERROR_MORE_DATA && final.size() < kLongestPath) {
            final.resize(kLongestPath);
            continue;
        }
        if (length == 0) return std::nullopt;
        if (length < final.size()) {
            final.resize(length);
            return final;
        }
        final.resize(length);  // the length needed, the terminating NUL included
    }
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Opens a path itself: a link is opened as the link, not followed.
UniqueFile OpenItself(const std::string& path, DWORD access) {
    return UniqueFile(
        ::CreateFileW(WidePath(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

class Win32OpenedFolder : public OpenedFolder {
  public:
    Win32OpenedFolder(std::string path, UniqueFile folder, const BY_HANDLE_FILE_INFORMATION& id,
                      std::wstring finalPath)
        : path_(std::move(path)),
          folder_(std::move(folder)),
          id_(id),
          finalPrefix_(std::move(finalPath) + L"\\") {}

    FileRemoval DeleteFile(const std::string& name, std::uint32_t) override {
        UniqueFile file =
            OpenInside(name, {DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                              DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE});
        if (!file) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND) return {FileRemoval::Outcome::AlreadyGone, {}};
            return {FileRemoval::Outcome::Failed, FailureReason(error)};
        }
        // The handle must lead to this name in this folder. Opened as itself, a link does
        // (its removal takes the link away); where the system followed a link to its
        // target, or the folder's path was taken over meanwhile, it leads elsewhere.
        if (auto elsewhere = LeadsElsewhere(file.get(), name)) return *elsewhere;
        if (MarkForDeletion(file.get())) return {FileRemoval::Outcome::Deleted, {}};
        DWORD error = ::GetLastError();
        // Read-only files go too: take the attribute off and try once more.
        FILE_BASIC_INFO basic{};
        if (error == ERROR_ACCESS_DENIED &&
            ::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) &&
            (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
            basic = FILE_BASIC_INFO{};  // zero times are left as they are
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
            if (::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic) &&
                MarkForDeletion(file.get()))
                return {FileRemoval::Outcome::Deleted, {}};
            error = ::GetLastError();
        }
        return {FileRemoval::Outcome::Failed, FailureReason(error)};
    }

    FileRemoval CheckInPlace(const std::string& name) override {
        // Asked with the access a move needs: a file held open without delete sharing is in
        // use here, before the shell would ask what to do with it.
        UniqueFile file = OpenInside(name, {DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE});
        if (!file) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND) return {FileRemoval::Outcome::AlreadyGone, {}};
            return {FileRemoval::Outcome::Failed, FailureReason(error)};
        }
        if (auto elsewhere = LeadsElsewhere(file.get(), name)) return *elsewhere;
        return {FileRemoval::Outcome::Deleted, {}};
    }

    bool StillInPlace() override {
        const DWORD bits = ::GetFileAttributesW(WidePath(path_).c_str());
        if (bits == INVALID_FILE_ATTRIBUTES || (bits & FILE_ATTRIBUTE_REPARSE_POINT) ||
            !(bits & FILE_ATTRIBUTE_DIRECTORY))
            return false;
        UniqueFile now = OpenItself(path_, FILE_READ_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION info{};
        return now && ::GetFileInformationByHandle(now.get(), &info) &&
               !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && SameFile(info, id_);
    }

  private:
    // Why a file opened by name in this folder is not to be touched by that name: the handle
    // leads elsewhere. Opened as itself, a link does not (its removal takes the link away);
    // where the system followed a link to its target, or the folder's path was taken over
    // meanwhile, it does.
    std::optional<FileRemoval> LeadsElsewhere(HANDLE file, const std::string& name) {
        const std::optional<std::wstring> final = FinalPath(file);
        if (!final)
            return FileRemoval{FileRemoval::Outcome::Failed, FailureReason(::GetLastError())};
        if (SameIgnoringCase(*final, finalPrefix_ + Widen(name))) return std::nullopt;
        if (!StillInPlace()) return FileRemoval{FileRemoval::Outcome::FolderChanged, {}};
        return FileRemoval{FileRemoval::Outcome::Failed, "a link"};
    }

    // The file named, looked up in the folder held open, as itself and not through a link.
    UniqueFile OpenInside(const std::string& name, std::initializer_list<ACCESS_MASK> accesses) {
        std::wstring wide = Widen(name);
        UNICODE_STRING unicodeName{};
        unicodeName.Buffer = wide.data();
        unicodeName.Length = static_cast<USHORT>(wide.size() * sizeof(wchar_t));
        unicodeName.MaximumLength = unicodeName.Length;
        OBJECT_ATTRIBUTES attributes{};
        InitializeObjectAttributes(&attributes, &unicodeName, OBJ_CASE_INSENSITIVE, folder_.get(),
                                   nullptr);
        for (const ACCESS_MASK access : accesses) {
            HANDLE raw = INVALID_HANDLE_VALUE;
            IO_STATUS_BLOCK io{};
            const NTSTATUS status = ::NtCreateFile(
                &raw, access, &attributes, &io, nullptr, 0, kShareAll, FILE_OPEN,
                FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT,
                nullptr, 0);
            if (NT_SUCCESS(status)) return UniqueFile(raw);
            const ULONG error = ::RtlNtStatusToDosError(status);
            ::SetLastError(error);
            if (error != ERROR_ACCESS_DENIED) break;
        }
        return UniqueFile();
    }

    static bool MarkForDeletion(HANDLE file) {
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                            sizeof disposition) != 0;
    }

    std::string path_;
    UniqueFile folder_;
    BY_HANDLE_FILE_INFORMATION id_;
    std::wstring finalPrefix_;
};

}  // namespace

std::optional<std::string> Win32FileSystem::FinalFolderPath(const std::string& path) {
    // Opening the folder itself (not following it to a file) lets Windows name it as it is.
    UniqueFile folder(::CreateFileW(WidePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) return std::nullopt;
    std::wstring final(32768, L'\0');
    DWORD length =
        ::GetFinalPathNameByHandleW(folder.get(), final.data(), static_cast<DWORD>(final.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= final.size()) return std::nullopt;
    final.resize(length);
    return Narrow(final);
}

std::optional<std::uint64_t> Win32FileSystem::FreeSpace(const std::string& folder) {
    // Any folder on the drive will do; what this user may fill, quotas counted, as Explorer
    // shows it.
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(WidePath(path).c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    return available.QuadPart;
}

FolderOpening Win32FileSystem::OpenFolderToClear(const std::string& path) {
    FolderOpening opening;
    // The path's own attributes show a link that opening would not (a link to a folder
    // under Wine opens as the folder it leads to).
    const DWORD bits = ::GetFileAttributesW(WidePath(path).c_str());
    if (bits == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        opening.fault = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                            ? kFolderNotThere
                            : FailureReason(error);
        return opening;
    }
    UniqueFile folder =
        OpenItself(path, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE);
    BY_HANDLE_FILE_INFORMATION info{};
    std::optional<std::wstring> final;
    if (!folder || !::GetFileInformationByHandle(folder.get(), &info) ||
        !(final = FinalPath(folder.get()))) {
        opening.fault = FailureReason(::GetLastError());
        return opening;
    }
    if ((bits | info.dwFileAttributes) & FILE_ATTRIBUTE_REPARSE_POINT)
        opening.fault = "a link";
    else if (!(bits & info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        opening.fault = "not a folder";
    else
        opening.folder =
            std::make_unique<Win32OpenedFolder>(path, std::move(folder), info, std::move(*final));
    return opening;
}

}  // namespace ondrevan::win
