#include <cstring>

#include "platform/win/Text_win.h"
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

void Win32Clipboard::SetText(const std::string& text) {
    const std::wstring wide = Widen(text);
    OpenClipboardScope clipboard(owner_);
    if (!clipboard.IsOpen()) throw AppError(521, "Can't open Clipboard");
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (!memory) throw AppError(7, "Out of memory");
    void* target = ::GlobalLock(memory);
    std::memcpy(target, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    // On success the clipboard owns the memory.
    if (!::SetClipboardData(CF_UNICODETEXT, memory)) {
        ::GlobalFree(memory);
        throw LastError();
    }
}

}  // namespace ondrevan::win
