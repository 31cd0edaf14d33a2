#include <winternl.h>

#include <atomic>
#include <cctype>
#include <exception>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

// A folder cleared through a handle held open, and the final paths that say where a name
// really leads.
namespace ondrevan::win {

namespace {

// The reason a file could not go, in the words the history uses.
std::string FailureReason(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return "in use";
        case ERROR_ACCESS_DENIED:
            return "access denied";
        default:
            // Windows' own text alone ("More data available.") would not say what failed.
            return std::string("Windows could not do it: ") + ErrorFromWin32(error).what();
    }
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t kLongestPath = 32768;  // UTF-16 units, the terminating NUL included
// The attributes a file's own basic information may set.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Files handed to the two threads at a time: few enough that the window answers between
// them on a busy machine (32 took over 100 ms with two busy programs beside it on 2 cores).
constexpr std::size_t kFilesAtOnce = 8;

// The handle's name on its volume ("\T\dir\file"), read from the handle itself, after the
// volume's own path ("\\?\C:"): the form GetFinalPathNameByHandleW gives. Under Wine that
// call cannot name a path past MAX_PATH; this can.
std::optional<std::wstring> NameOnVolume(HANDLE handle, const std::wstring& volume) {
    if (volume.empty()) return std::nullopt;
    std::vector<unsigned char> buffer(sizeof(FILE_NAME_INFO) + kLongestPath * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (!::GetFileInformationByHandleEx(handle, FileNameInfo, info,
                                        static_cast<DWORD>(buffer.size())))
        return std::nullopt;
    return volume + std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

// The drive a path lies on, as final paths begin: "\\?\C:", or "" when it names no drive.
// Only from the text: a path on a volume mounted in a folder is then named wrongly, and
// its files are left as leading elsewhere, never deleted by a wrong name.
std::wstring VolumeOf(const std::string& path) {
    std::string_view rest = path;
    if (rest.rfind("\\\\?\\", 0) == 0) rest.remove_prefix(4);
    if (rest.size() < 2 || rest[1] != ':' || !std::isalpha(static_cast<unsigned char>(rest[0])))
        return L"";
    return L"\\\\?\\" + std::wstring(1, static_cast<wchar_t>(rest[0])) + L":";
}

// Where Windows says an open handle leads, or nothing. `volume` (VolumeOf) names the handle
// where Windows cannot.
std::optional<std::wstring> FinalPath(HANDLE handle, const std::wstring& volume) {
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(
            handle, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
        // Wine answers a buffer too short with "more data" and no length: the longest path.
        if (length == 0 && ::GetLastError() == ERROR_MORE_DATA && final.size() < kLongestPath) {
            final.resize(kLongestPath);
            continue;
        }
        if (length == 0) {
            const DWORD error = ::GetLastError();
            if (auto named = NameOnVolume(handle, volume)) return named;
            ::SetLastError(error);
            return std::nullopt;
        }
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

// A second thread that works beside the caller's on the same job. Each file's removal waits
// on the system several times; with two under way, one is worked on while the other waits.
class SecondThread {
  public:
    SecondThread() = default;
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;
    ~SecondThread() {
        if (!thread_) return;
        job_ = nullptr;
        ::SetEvent(start_.get());
        ::WaitForSingleObject(thread_.get(), INFINITE);
    }

    // Runs `job` on the caller's thread and on the second one at once, and returns once
    // both are done; what either threw is thrown here. Without a second thread (it could
    // not be started), the caller's thread does it alone.
    void RunOnBoth(const std::function<void()>& job) {
        if (!Started()) return job();
        thrown_ = nullptr;
        job_ = &job;
        ::SetEvent(start_.get());
        std::exception_ptr mine;
        try {
            job();
        } catch (...) {
            mine = std::current_exception();
        }
        ::WaitForSingleObject(done_.get(), INFINITE);
        if (mine) std::rethrow_exception(mine);
        if (thrown_) std::rethrow_exception(thrown_);
    }

  private:
    bool Started() {
        if (thread_) return true;
        if (failed_) return false;
        start_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        done_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (start_ && done_)
            thread_.reset(::CreateThread(nullptr, 0, &SecondThread::Loop, this, 0, nullptr));
        failed_ = !thread_;
        return !failed_;
    }
    static DWORD WINAPI Loop(void* self) {
        auto& second = *static_cast<SecondThread*>(self);
        for (;;) {
            ::WaitForSingleObject(second.start_.get(), INFINITE);
            const std::function<void()>* job = second.job_;
            if (!job) return 0;
            try {
                (*job)();
            } catch (...) {
                second.thrown_ = std::current_exception();
            }
            ::SetEvent(second.done_.get());
        }
    }

    UniqueHandleObject start_, done_, thread_;
    const std::function<void()>* job_ = nullptr;
    std::exception_ptr thrown_;
    bool failed_ = false;
};

class Win32OpenedFolder : public OpenedFolder {
  public:
    Win32OpenedFolder(std::string path, UniqueFile folder, const BY_HANDLE_FILE_INFORMATION& id,
                      std::wstring finalPath, std::wstring volume)
        : path_(std::move(path)),
          folder_(std::move(folder)),
          id_(id),
          finalPrefix_(std::move(finalPath) + L"\\"),
          volume_(std::move(volume)) {}

    FileRemoval RemoveFileInside(const std::string& name, std::uint32_t attributes) override {
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
        // A read-only file goes too: the listing has said it is one, so the attribute is
        // taken off (the others kept) and the removal tried once more.
        if (error == ERROR_ACCESS_DENIED && (attributes & FILE_ATTRIBUTE_READONLY)) {
            FILE_BASIC_INFO basic{};  // zero times are left as they are
            basic.FileAttributes = attributes & kSettableAttributes;
            if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
            if (::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic) &&
                MarkForDeletion(file.get()))
                return {FileRemoval::Outcome::Deleted, {}};
            error = ::GetLastError();
        }
        return {FileRemoval::Outcome::Failed, FailureReason(error)};
    }

    std::size_t FilesAtOnce() const override { return kFilesAtOnce; }

    // Two threads take the files in turn, each checked and removed as RemoveFileInside
    // does. Once one finds the folder changed, neither begins another.
    std::vector<std::optional<FileRemoval>> RemoveFilesInside(
        std::span<const FileEntry> files) override {
        std::vector<std::optional<FileRemoval>> removals(files.size());
        std::atomic<std::size_t> next{0};
        std::atomic<bool> changed{false};
        const std::function<void()> take = [&] {
            while (!changed) {
                const std::size_t i = next++;
                if (i >= files.size()) return;
                removals[i] = RemoveFileInside(files[i].name, files[i].attributes);
                if (removals[i]->outcome == FileRemoval::Outcome::FolderChanged) changed = true;
            }
        };
        if (files.size() < 2)
            take();
        else
            second_.RunOnBoth(take);
        return removals;
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
        const std::optional<std::wstring> final = FinalPath(file, volume_);
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
    std::wstring volume_;
    SecondThread second_;
};

}  // namespace

std::optional<std::string> Win32FileSystem::FinalFolderPath(const std::string& path) {
    // Opening the folder itself (not following it to a file) lets Windows name it as it is.
    UniqueFile folder(::CreateFileW(WidePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) return std::nullopt;
    const auto final = FinalPath(folder.get(), VolumeOf(path));
    if (!final) return std::nullopt;
    return Narrow(*final);
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
    std::wstring volume = VolumeOf(path);
    if (!folder || !::GetFileInformationByHandle(folder.get(), &info) ||
        !(final = FinalPath(folder.get(), volume))) {
        opening.fault = FailureReason(::GetLastError());
        return opening;
    }
    if ((bits | info.dwFileAttributes) & FILE_ATTRIBUTE_REPARSE_POINT)
        opening.fault = "a link";
    else if (!(bits & info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        opening.fault = "not a folder";
    else
        opening.folder = std::make_unique<Win32OpenedFolder>(path, std::move(folder), info,
                                                             std::move(*final), std::move(volume));
    return opening;
}

}  // namespace ondrevan::win
