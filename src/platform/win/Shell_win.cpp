#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};

}  // namespace

void Win32Shell::RunCommandLine(const std::string& commandLine, ShowMode mode) {
    std::wstring command = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow =
        static_cast<WORD>(mode == ShowMode::Normal ? SW_SHOWNORMAL : SW_SHOWMINIMIZED);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        throw AppError(errors::kFileNotFound, "File not found");
    UniqueHandleObject processHandle(process.hProcess);
    UniqueHandleObject threadHandle(process.hThread);
}

void Win32Shell::OpenItem(const std::string& file, const std::string& directory) {
    ::ShellExecuteW(owner_, nullptr, Widen(file).c_str(), nullptr, Widen(directory).c_str(),
                    SW_SHOW);
}

WORD Win32Shell::RecycleFlags() const {
    // Where the bin cannot take an item (too large for it, say), the shell would delete it
    // for good without a word: the warning makes that a question, and "No" keeps it.
    WORD flags = FOF_ALLOWUNDO | FOF_FILESONLY | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    if (quiet_) flags |= FOF_SILENT | FOF_NOERRORUI;
    return flags;
}

bool Win32Shell::SendToRecycleBin(const std::string& path) {
    return SendFilesToRecycleBin({path});
}

bool Win32Shell::SendFilesToRecycleBin(const std::vector<std::string>& paths) {
    if (paths.empty()) return true;
    // The operation takes a list of paths, each ended by a NUL, and the list by one more.
    std::wstring from;
    for (const std::string& path : paths) {
        const std::wstring wide = Widen(path);
        // A NUL inside a path would add a second path.
        if (wide.find(L'\0') != std::wstring::npos)
            throw AppError(errors::kBadFileName, "Bad file name or number");
        from += wide;
        from.push_back(L'\0');
    }
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = RecycleFlags();
    // The shell shows its own errors; the caller learns whether it went.
    return ::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

bool Win32Shell::HasRecycleBin(const std::string& path) {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    return SUCCEEDED(::SHQueryRecycleBinW(Widen(path).c_str(), &info));
}

std::optional<std::string> Win32Shell::SpecialFolderPath(int csidl) {
    ITEMIDLIST* raw = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &raw)) || !raw) return std::nullopt;
    std::unique_ptr<ITEMIDLIST, ItemListFree> list(raw);
    wchar_t path[512] = {};
    if (!::SHGetPathFromIDListEx(list.get(), path, 512, GPFIDL_DEFAULT)) return std::nullopt;
    return Narrow(path);
}

}  // namespace ondrevan::win
