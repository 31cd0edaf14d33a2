#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "platform/win/Text_win.h"
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
// The menus' commands: this plus the command's number, apart from the controls' ids.
constexpr UINT kMenuCommandBase = 40000;

UINT IdOf(Command command) {
    return kMenuCommandBase + static_cast<UINT>(command);
}

// Fills a menu from its definition, each item as the window offers it now.
void FillMenu(HMENU menu, const std::vector<MenuItem>& items, Form1& form) {
    while (::GetMenuItemCount(menu) > 0) ::DeleteMenu(menu, 0, MF_BYPOSITION);
    for (const MenuItem& item : items) {
        if (item.command == Command::None) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const CommandState state = form.StateOf(item.command, item.text);
        std::wstring text = Widen(state.text);
        if (!item.shortcut.empty()) text += L"\t" + Widen(item.shortcut);
        ::AppendMenuW(menu, MF_STRING | (state.enabled ? 0 : MF_GRAYED), IdOf(item.command),
                      text.c_str());
    }
}

}  // namespace

HMENU MainWindow::MakeMenuBar() {
    HMENU bar = ::CreateMenu();
    if (!bar) return nullptr;
    for (const MenuDefinition& definition : MenuBarDefinition()) {
        // Filled each time it opens (WM_INITMENUPOPUP), as things stand then.
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu),
                      Widen(definition.title).c_str());
    }
    return bar;
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
    if (command < kMenuCommandBase) return;
    RunCommand(static_cast<Command>(command - kMenuCommandBase));
}

void MainWindow::RunCommand(Command command) {
    // A command whose menu item would be greyed now (from a key or a stale menu) does nothing.
    if (!form_.StateOf(command, "").enabled) return;
    switch (command) {
        case Command::Exit:
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
            break;
        case Command::Preview:
            ShowPreview();
            break;
        case Command::Options:
            ShowOptions();
            break;
        case Command::RunHistory:
            ShowRunHistory();
            break;
        case Command::FolderRules:
            ShowFolderRules();
            break;
        default:
            Guarded([&] { form_.Execute(command); });
            break;
    }
}

void MainWindow::FillMenuBarPopup(HMENU popup) {
    HMENU bar = ::GetMenu(window_);
    const auto& menus = MenuBarDefinition();
    for (int i = 0; bar && i < static_cast<int>(menus.size()); ++i)
        if (::GetSubMenu(bar, i) == popup)
            FillMenu(popup, menus[static_cast<std::size_t>(i)].items, form_);
}

void MainWindow::ShowTrayMenu(POINT at) {
    const UniqueHmenu owned(::CreatePopupMenu());
    HMENU menu = owned.get();
    if (!menu) return;
    FillMenu(menu, TrayMenuDefinition(), form_);
    ::SetMenuDefaultItem(menu, 0, TRUE);
    // The menu closes when the user clicks elsewhere only if its owner is in front; the
    // message after it lets a second click on the icon open it again.
    ::SetForegroundWindow(window_);
    // Above the icon of a taskbar at the bottom, below that of one at the top.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const bool lowerHalf =
        !::GetMonitorInfoW(::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor) ||
        at.y > (monitor.rcMonitor.top + monitor.rcMonitor.bottom) / 2;
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | (lowerHalf ? TPM_BOTTOMALIGN : 0),
                         at.x, at.y, 0, window_, nullptr));
    ::PostMessageW(window_, WM_NULL, 0, 0);
    if (chosen >= kMenuCommandBase) RunCommand(static_cast<Command>(chosen - kMenuCommandBase));
}

bool MainWindow::TranslateShortcut(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    // F5 counts the preview again, as it refreshes a view in Explorer.
    if (preview_ && root == preview_->Handle() && message.wParam == VK_F5) {
        PreviewForm& preview = form_.Preview();
        if (preview.cmdRefresh.Enabled()) Guarded([&] { preview.cmdRefresh.Click.Raise(); });
        return true;
    }
    if (root != window_ || !(::GetKeyState(VK_CONTROL) & 0x8000) ||
        (::GetKeyState(VK_MENU) & 0x8000))
        return false;
    wchar_t focusClass[32] = L"";
    if (HWND focus = ::GetFocus()) ::GetClassNameW(focus, focusClass, 32);
    // In a field, Ctrl+Z takes back what was typed there.
    if (message.wParam == 'Z' && ::lstrcmpiW(focusClass, L"Edit") == 0) return false;
    for (const MenuDefinition& definition : MenuBarDefinition())
        for (const MenuItem& item : definition.items) {
            if (item.shortcut.size() != 6 || item.shortcut.rfind("Ctrl+", 0) != 0) continue;
            if (static_cast<WPARAM>(item.shortcut[5]) != message.wParam) continue;
            MenuCommand(IdOf(item.command));
            return true;
        }
    return false;
}

}  // namespace ondrevan::win
