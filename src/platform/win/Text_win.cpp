#include "platform/win/Text_win.h"

#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {

std::wstring WidenFrom(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int length =
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::wstring Widen(std::string_view utf8) {
    return WidenFrom(CP_UTF8, utf8);
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    int length = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

std::wstring WidePath(std::string_view utf8Path) {
    return WidePath(Widen(utf8Path));
}

std::wstring WidePath(std::wstring path) {
    const bool driveAbsolute = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool unc = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (driveAbsolute) return L"\\\\?\\" + path;
    if (unc) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

AppError ErrorFromWin32(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return AppError(errors::kFileNotFound, "File not found");
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return AppError(errors::kPathNotFound, "Path not found");
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return AppError(errors::kPermissionDenied, "Permission denied");
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return AppError(errors::kDiskFull, "Disk full");
        default:
            break;
    }
    wchar_t* message = nullptr;
    ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    const UniqueHlocal owned(message);
    std::string text = message ? Narrow(message) : "System error " + std::to_string(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return AppError(errors::kPathFileAccess, text);
}

AppError LastError() {
    return ErrorFromWin32(::GetLastError());
}

}  // namespace ondrevan::win
