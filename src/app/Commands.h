#pragma once

#include <string>
#include <vector>

namespace ondrevan {

// Every command the window offers outside its buttons: the menu bar's, the tray icon's
// menu's, and the keys that stand for them.
enum class Command {
    None,  // a separator
    // File
    LoadList,
    LoadSamples,
    Exit,
    // List
    AddFolder,
    AddTree,
    RemoveFolder,
    ClearList,
    Undo,
    FolderRules,
    OpenFolder,
    // View
    ViewHistory,
    CopyHistory,
    ClearHistory,
    // Tools
    Preview,
    RunNow,
    Switch,
    RunHistory,
    Options,
    // Help
    ReadMe,
    KeysHelp,
    About,
    // The tray icon's menu
    OpenWindow,
};

struct MenuItem {
    Command command = Command::None;
    std::string text;      // with "&" before its access key
    std::string shortcut;  // as the menu shows it beside the text: "Ctrl+O", "Del"; "" none
};

struct MenuDefinition {
    std::string title;  // with "&" before its access key
    std::vector<MenuItem> items;
};

// The menu bar, menu by menu, in order; one more command is one more line here.
const std::vector<MenuDefinition>& MenuBarDefinition();
// The tray icon's menu; its first item is the default one (the left click's).
const std::vector<MenuItem>& TrayMenuDefinition();

}  // namespace ondrevan
