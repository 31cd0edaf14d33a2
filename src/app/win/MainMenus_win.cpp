#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "platform/win/UniqueHandle.h"

// The main window's menus: the menu bar, the system menu's own items and the folder list's
// menu, and what their commands do.
namespace ondrevan::win {
namespace {

// The system menu's own commands: below 0xF000, in steps of 16.
constexpr UINT kOptionsCommand = 0x0100;
constexpr UINT kPreviewCommand = 0x0110;
// The folder list's menu.
constexpr UINT kOpenFolderCommand = 1;
constexpr UINT kRemoveCommand = 2;
constexpr UINT kListPreviewCommand = 3;
constexpr UINT kFolderRulesCommand = 4;
// The menu bar's commands, apart from the controls' ids.
constexpr UINT kLoadListCommand = 40001;
constexpr UINT kExitCommand = 40002;
constexpr UINT kPreviewMenuCommand = 40011;
constexpr UINT kRunNowCommand = 40012;
constexpr UINT kOptionsMenuCommand = 40013;
constexpr UINT kRunHistoryCommand = 40014;
constexpr UINT kReadMeCommand = 40021;
constexpr UINT kKeysHelpCommand = 40022;
constexpr UINT kAboutCommand = 40023;

HMENU MakeMenuBar() {
    struct Item {
        UINT id;
        const wchar_t* text;  // nullptr: a separator
    };
    struct Popup {
        const wchar_t* title;
        std::initializer_list<Item> items;
    };
    HMENU bar = ::CreateMenu();
    if (!bar) return nullptr;
    for (const Popup& popup : {
             Popup{L"&File",
                   {{kLoadListCommand, L"&Load Folder List..."},
                    {0, nullptr},
                    {kExitCommand, L"E&xit"}}},
             Popup{L"&Tools",
                   {{kPreviewMenuCommand, L"&Preview Next Run..."},
                    {kRunNowCommand, L"&Run Now"},
                    {kRunHistoryCommand, L"Run &History..."},
                    {0, nullptr},
                    {kOptionsMenuCommand, L"&Options..."}}},
             Popup{L"&Help",
                   {{kReadMeCommand, L"&Read Me"},
                    {kKeysHelpCommand, L"&Keyboard and Command Line"},
                    {0, nullptr},
                    {kAboutCommand, L"&About Ondrevan"}}},
         }) {
        HMENU menu = ::CreatePopupMenu();
        for (const Item& item : popup.items)
            ::AppendMenuW(menu, item.text ? MF_STRING : MF_SEPARATOR, item.id, item.text);
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), popup.title);
    }
    return bar;
}

}  // namespace

void MainWindow::AddMenuBar() {
    if (HMENU bar = MakeMenuBar()) ::SetMenu(window_, bar);  // the window owns it from here
}

bool MainWindow::SystemMenuCommand(WPARAM wParam) {
    if ((wParam & 0xFFF0) == kOptionsCommand) {
        ShowOptions();
        return true;
    }
    if ((wParam & 0xFFF0) == kPreviewCommand) {
        ShowPreview();
        return true;
    }
    return false;
}

void MainWindow::AddMenuItems() {
    HMENU menu = ::GetSystemMenu(window_, FALSE);
    if (!menu) return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kOptionsCommand, L"&Options...");
    ::AppendMenuW(menu, MF_STRING, kPreviewCommand, L"&Preview Next Run...");
}

void MainWindow::ShowOptions() {
    Guarded([&] { form_.ShowOptions(); });
    if (!options_) {
        OptionsForm& options = form_.Options();
        options_ = std::make_unique<ToolWindow>(
            instance_, window_, options.Window, options.Controls(),
            [this](const std::function<void()>& handler) { Guarded(handler); });
    }
    options_->Show();
}

void MainWindow::ShowPreview() {
    PreviewForm& preview = form_.ShowPreview();
    if (!preview_)
        preview_ = std::make_unique<PreviewWindow>(
            instance_, window_, preview,
            [this](const std::function<void()>& handler) { Guarded(handler); });
    if (!preview_->Show()) return;
    // Worked out afresh each time it is asked for; the window shows while it counts.
    Guarded([&] { preview.cmdRefresh_Click(); });
    // A control disabled while it counted may have taken the keyboard with it.
    preview_->KeepFocusInside();
}

void MainWindow::ShowRunHistory() {
    RunHistoryForm* history = nullptr;
    Guarded([&] { history = &form_.ShowRunHistory(); });
    if (!history) return;
    if (!runHistory_)
        runHistory_ = std::make_unique<RunHistoryWindow>(
            instance_, window_, *history,
            [this](const std::function<void()>& handler) { Guarded(handler); });
    runHistory_->Show();
}

void MainWindow::ShowFolderRules() {
    FolderRulesForm* rules = nullptr;
    Guarded([&] { rules = form_.ShowFolderRules(); });
    if (!rules) return;
    if (!folderRules_)
        folderRules_ = std::make_unique<ToolWindow>(
            instance_, window_, rules->Window, rules->Controls(),
            [this](const std::function<void()>& handler) { Guarded(handler); });
    folderRules_->Show();
}

void MainWindow::ShowListMenu(bool fromKeyboard) {
    HWND list = controls_.WindowOf(form_.ListView1);
    const bool selected = form_.ListView1.Selected().has_value();
    const UniqueHmenu owned(::CreatePopupMenu());
    HMENU menu = owned.get();
    if (!menu) return;
    ::AppendMenuW(menu, MF_STRING, kListPreviewCommand, L"&Preview Next Run...");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | (selected ? 0 : MF_GRAYED), kOpenFolderCommand,
                  L"&Open Folder");
    ::AppendMenuW(menu, MF_STRING | (selected ? 0 : MF_GRAYED), kFolderRulesCommand,
                  L"Rules for This &Folder...");
    ::AppendMenuW(menu, MF_STRING | (selected ? 0 : MF_GRAYED), kRemoveCommand,
                  L"&Remove From List");
    POINT at;
    ::GetCursorPos(&at);
    if (fromKeyboard) {
        // Shift+F10 or the Menu key: the menu opens at the selected entry, or the list's corner.
        RECT item{};
        if (!selected || !ListView_GetItemRect(list, static_cast<int>(*form_.ListView1.Selected()),
                                               &item, LVIR_LABEL))
            ::GetClientRect(list, &item);
        at = {item.left + 8, item.bottom};
        ::ClientToScreen(list, &at);
    }
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, list, nullptr));
    switch (chosen) {
        case kListPreviewCommand:
            ShowPreview();
            break;
        case kOpenFolderCommand:
            Guarded([&] { form_.OpenSelectedFolder(); });
            break;
        case kRemoveCommand:
            Guarded([&] { form_.RemoveSelectedFolder(); });
            break;
        case kFolderRulesCommand:
            ShowFolderRules();
            break;
        default:
            break;
    }
}

void MainWindow::MenuCommand(UINT command) {
    const HWND focus = ::GetFocus();
    struct GiveBack {
        HWND window, focus;
        // A box the command showed is gone: the keyboard goes back to where it was.
        ~GiveBack() {
            if (::IsChild(window, focus) && ::IsWindow(focus) && ::GetActiveWindow() == window &&
                !::IsChild(window, ::GetFocus()))
                ::SetFocus(focus);
        }
    } giveBack{window_, focus};
    switch (command) {
        case kLoadListCommand:
            Guarded([&] { form_.LoadFolderListFile(); });
            break;
        case kExitCommand:
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
            break;
        case kPreviewMenuCommand:
            ShowPreview();
            break;
        case kRunNowCommand:
            Guarded([&] { form_.RunNow(); });
            break;
        case kOptionsMenuCommand:
            ShowOptions();
            break;
        case kRunHistoryCommand:
            ShowRunHistory();
            break;
        case kReadMeCommand:
            Guarded([&] { form_.OpenReadMe(); });
            break;
        case kKeysHelpCommand:
            Guarded([&] { form_.ShowKeysHelp(); });
            break;
        case kAboutCommand:
            Guarded([&] { form_.ShowAbout(); });
            break;
        default:
            break;
    }
}

}  // namespace ondrevan::win
