#include <windows.h>

#include <shlobj.h>

#include <shobjidl.h>
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

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
struct CoTaskFree {
    void operator()(void* memory) const { ::CoTaskMemFree(memory); }
};

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

std::string Win32Dialogs::PickFolder(const std::string& title) {
    // The file dialog in its folder mode: it has an address field, where the tree has none.
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&dialog))))
        return BrowseForFolder(title, "");
    const std::unique_ptr<IFileOpenDialog, ComRelease> owned(dialog);
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->GetOptions(&options))) return "";
    if (FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM |
                                  FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR)))
        return "";
    const std::wstring wideTitle = Widen(title);
    if (FAILED(dialog->SetTitle(wideTitle.c_str()))) return "";
    if (FAILED(dialog->Show(owner_))) return "";  // cancelled, or it could not show
    IShellItem* item = nullptr;
    if (FAILED(dialog->GetResult(&item)) || !item) return "";
    const std::unique_ptr<IShellItem, ComRelease> ownedItem(item);
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return "";
    const std::unique_ptr<wchar_t, CoTaskFree> ownedPath(path);
    return Narrow(path);
}

}  // namespace ondrevan::win
