#include <cstring>

#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

// Closes the clipboard when the copy is done, however it ends.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND owner) {
        // Another program may hold the clipboard for a moment.
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            open_ = ::OpenClipboard(owner) != 0;
            if (!open_) ::Sleep(20);
        }
    }
    ~OpenClipboardScope() {
        if (open_) ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

  private:
    bool open_ = false;
};

}  // namespace

void Win32Clipboard::SetAnsiText(std::string_view ansi) {
    // Windows offers it as Unicode text too, converting only when a program asks for that.
    OpenClipboardScope clipboard(owner_);
    if (!clipboard.IsOpen()) throw AppError(errors::kCannotOpenClipboard, "Can't open Clipboard");
    ::EmptyClipboard();
    UniqueHglobal memory(::GlobalAlloc(GMEM_MOVEABLE, ansi.size() + 1));
    if (!memory) throw AppError(errors::kOutOfMemory, "Out of memory");
    auto* target = static_cast<char*>(::GlobalLock(memory.get()));
    if (!target) throw AppError(errors::kOutOfMemory, "Out of memory");
    std::memcpy(target, ansi.data(), ansi.size());
    target[ansi.size()] = '\0';
    ::GlobalUnlock(memory.get());
    if (!::SetClipboardData(CF_TEXT, memory.get())) throw LastError();
    memory.release();  // the clipboard owns it now
}

void Win32Clipboard::SetText(std::string_view utf8) {
    const std::wstring wide = Widen(utf8);
    OpenClipboardScope clipboard(owner_);
    if (!clipboard.IsOpen()) throw AppError(521, "Can't open Clipboard");
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (!memory) throw AppError(7, "Out of memory");
    auto* target = static_cast<wchar_t*>(::GlobalLock(memory));
    std::memcpy(target, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    if (!::SetClipboardData(CF_UNICODETEXT, memory)) {
        ::GlobalFree(memory);
        throw LastError();
    }
}

}  // namespace ondrevan::win
