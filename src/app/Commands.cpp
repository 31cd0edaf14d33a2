#include "app/Commands.h"

namespace ondrevan {

const std::vector<MenuDefinition>& MenuBarDefinition() {
    static const std::vector<MenuDefinition> menus{
        {"&File",
         {{Command::LoadList, "&Load Folder List...", "Ctrl+O"},
          {Command::LoadSamples, "Load &Sample Folders", ""},
          {},
          {Command::Exit, "E&xit", ""}}},
        {"&List",
         {{Command::AddFolder, "&Add Folder...", ""},
          {Command::AddTree, "Add Folders/&Subfolders To List...", ""},
          {},
          {Command::RemoveFolder, "&Remove From List", "Del"},
          {Command::ClearList, "&Clear List", ""},
          {Command::Undo, "&Undo", "Ctrl+Z"},
          {},
          {Command::FolderRules, "Rules for This &Folder...", ""},
          {Command::OpenFolder, "&Open Folder", ""}}},
        {"&View",
         {{Command::ViewHistory, "&View History Log", ""},
          {Command::CopyHistory, "&Copy History Log", ""},
          {Command::ClearHistory, "C&lear History Log", ""}}},
        {"&Tools",
         {{Command::Preview, "&Preview Next Run...", ""},
          {Command::RunNow, "&Run Now", ""},
          {Command::Switch, "Turn Automatic &Deletion On", ""},
          {Command::RunHistory, "Run &History...", ""},
          {},
          {Command::Options, "&Options...", ""}}},
        {"&Help",
         {{Command::ReadMe, "&Read Me", ""},
          {Command::KeysHelp, "&Keyboard and Command Line", ""},
          {},
          {Command::About, "&About Ondrevan", ""}}},
    };
    return menus;
}

const std::vector<MenuItem>& TrayMenuDefinition() {
    static const std::vector<MenuItem> items{
        {Command::OpenWindow, "&Open Ondrevan", ""},
        {},
        {Command::RunNow, "&Run Now", ""},
        {Command::Preview, "&Preview...", ""},
        {Command::Switch, "Turn Automatic &Deletion On", ""},
        {Command::RunHistory, "Run &History...", ""},
        {},
        {Command::Exit, "E&xit", ""},
    };
    return items;
}

}  // namespace ondrevan
