#include "platform/win/Console_win.h"

#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

HANDLE OutputHandle(DWORD standardHandle) {
    HANDLE handle = ::GetStdHandle(standardHandle);
    if (handle && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN)
        return handle;  // redirected to a file or a pipe, or a console already there
    // A window program gets no console of its own: it borrows its starter's.
    static HANDLE console = [] {
        if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return INVALID_HANDLE_VALUE;
        return ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

}  // namespace

void WriteToConsole(DWORD standardHandle, const std::string& text) {
    HANDLE handle = OutputHandle(standardHandle);
    if (handle == INVALID_HANDLE_VALUE || text.empty()) return;
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(handle, &mode)) {
        // A console shows any character when it is given UTF-16.
        const std::wstring wide = Widen(text);
        ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    // A file or a pipe gets UTF-8.
    for (std::size_t at = 0; at < text.size(); at += written) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - at, 1 << 20));
        if (!::WriteFile(handle, text.data() + at, chunk, &written, nullptr) || written == 0)
            return;
    }
}

MessageAnswer ConsoleDialogs::ShowMessage(const std::string& text, const std::string& title,
                                          MessageButtons buttons, MessageIcon) {
    ++shown_;
    WriteToConsole(STD_ERROR_HANDLE, (title.empty() ? "" : title + ": ") + text + "\r\n");
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

}  // namespace ondrevan::win
