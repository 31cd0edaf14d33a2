#include <windows.h>

#include <shlobj.h>

#include <memory>

#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};

// Opens the dialog on the initial folder; the folder text arrives as the callback's data.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) {
        const auto* initial = reinterpret_cast<const std::wstring*>(data);
        if (!initial->empty())
            ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                           reinterpret_cast<LPARAM>(initial->c_str()));
    }
    return 0;
}

}  // namespace

std::string Win32Dialogs::BrowseForFolder(const std::string& title,
                                          const std::string& initialFolder) {
    const std::wstring wideTitle = Widen(title);
    const std::wstring initial = Widen(initialFolder);
    BROWSEINFOW info{};
    info.hwndOwner = owner_;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&initial);
    std::unique_ptr<ITEMIDLIST, ItemListFree> chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return "";
    // Long paths do not fit MAX_PATH: ask with a larger buffer.
    std::wstring path(32768, L'\0');
    if (!::SHGetPathFromIDListEx(chosen.get(), path.data(), static_cast<DWORD>(path.size()),
                                 GPFIDL_DEFAULT))
        return "";
    path.resize(path.find(L'\0'));
    return Narrow(path);
}

}  // namespace ondrevan::win
