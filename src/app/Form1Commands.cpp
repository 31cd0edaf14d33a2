#include "app/Form1.h"

// The commands of the menu bar and the tray icon's menu. A command that a button gives
// presses that button, so both doors do the same and are enabled together.
namespace ondrevan {

PushButton* Form1::ButtonFor(Command command) {
    switch (command) {
        case Command::LoadList:
            return &PushButton12;
        case Command::LoadSamples:
            return &PushButton14;
        case Command::AddTree:
            return &PushButton10;
        case Command::ClearList:
            return &PushButton13;
        case Command::ViewHistory:
            return &PushButton1;
        case Command::CopyHistory:
            return &PushButton4;
        case Command::ClearHistory:
            return &PushButton5;
        case Command::RunNow:
            return &PushButton3;
        case Command::Switch:
            return &PushButton2;
        default:
            return nullptr;
    }
}

CommandState Form1::StateOf(Command command, const std::string& text) {
    CommandState state{true, text};
    if (PushButton* button = ButtonFor(command)) state.enabled = button->Enabled();
    switch (command) {
        case Command::RemoveFolder:
        case Command::FolderRules:
        case Command::OpenFolder:
            state.enabled = ListView1.Selected().has_value();
            break;
        case Command::Undo:
            state.enabled = folderList_.CanUndo() && !folderList_.IsBusy();
            break;
        case Command::Switch:
            // The state it is in shows in what it offers.
            state.text =
                schedule_.IsOn() ? "Turn Automatic &Deletion Off" : "Turn Automatic &Deletion On";
            break;
        default:
            break;
    }
    return state;
}

void Form1::Execute(Command command) {
    if (PushButton* button = ButtonFor(command)) {
        if (button->Enabled()) button->Click.Raise();
        return;
    }
    switch (command) {
        case Command::AddFolder:
            addFolder_.AddOneFolder();
            ShowFolderRulesColumn();
            break;
        case Command::RemoveFolder:
            RemoveSelectedFolder();
            break;
        case Command::Undo:
            folderList_.Undo();
            ShowFolderRulesColumn();
            break;
        case Command::OpenFolder:
            OpenSelectedFolder();
            break;
        case Command::ReadMe:
            OpenReadMe();
            break;
        case Command::KeysHelp:
            ShowKeysHelp();
            break;
        case Command::About:
            ShowAbout();
            break;
        case Command::OpenWindow:
            StartedAgain();
            break;
        default:
            break;  // the windows of their own, and Exit, are the shell's
    }
}

void Form1::FoldersDropped(const std::vector<std::string>& paths) {
    addFolder_.AddDropped(paths);
    ShowFolderRulesColumn();
}

}  // namespace ondrevan
