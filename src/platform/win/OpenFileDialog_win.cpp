#include <windows.h>

#include <commdlg.h>

#include <algorithm>

#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

constexpr DWORD kInitialBufferChars = 64 * 1024;

// The file-name buffer grows while the user picks: a long multi-file selection never
// meets a buffer that is too small.
struct GrowingBuffer {
    std::wstring text;
};

UINT_PTR CALLBACK OpenFileHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notify->hdr.code != CDN_SELCHANGE) return 0;
    OPENFILENAMEW* request = notify->lpOFN;
    auto* buffer = reinterpret_cast<GrowingBuffer*>(request->lCustData);
    HWND explorer = ::GetParent(dialog);
    const LRESULT folder = ::SendMessageW(explorer, CDM_GETFOLDERPATH, 0, 0);
    const LRESULT names = ::SendMessageW(explorer, CDM_GETSPEC, 0, 0);
    const std::size_t needed = static_cast<std::size_t>(folder + names + 16);
    if (folder > 0 && names > 0 && needed > request->nMaxFile) {
        buffer->text.assign(needed * 2, L'\0');
        request->lpstrFile = buffer->text.data();
        request->nMaxFile = static_cast<DWORD>(buffer->text.size());
    }
    return 0;
}

}  // namespace

std::string Win32Dialogs::OpenFileNames(const OpenFileRequest& request) {
    std::wstring filter = Widen(request.filter);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    const std::wstring title = Widen(request.title);

    GrowingBuffer buffer{std::wstring(kInitialBufferChars, L'\0')};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.text.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.text.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = request.flags | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    dialog.lpfnHook = OpenFileHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(&buffer);
    if (!::GetOpenFileNameW(&dialog)) return "";

    // The result ends at the first double NUL: "path" or "folder\0name\0name".
    const wchar_t* text = dialog.lpstrFile;
    std::size_t length = 0;
    while (text[length] != L'\0' || text[length + 1] != L'\0') ++length;
    return Narrow(std::wstring_view(text, length));
}

std::string Win32Dialogs::SaveFileName(const SaveFileRequest& request) {
    std::wstring filter = Widen(request.filter);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    filter.push_back(L'\0');
    const std::wstring title = Widen(request.title), extension = Widen(request.extension);
    std::wstring name = Widen(request.fileName);
    name.resize(std::max<std::size_t>(name.size() + 1, 32 * 1024), L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    // The window the user was in (a tool window) waits for the answer, not only the main one.
    HWND active = ::GetActiveWindow();
    dialog.hwndOwner = active ? active : owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                   OFN_EXPLORER | OFN_ENABLESIZING;
    if (!::GetSaveFileNameW(&dialog)) return "";
    return Narrow(std::wstring_view(dialog.lpstrFile));
}

}  // namespace ondrevan::win
