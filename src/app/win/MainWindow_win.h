#pragma once

#include <windows.h>

#include "app/win/PreviewWindow_win.h"
#include "app/win/RunHistoryWindow_win.h"
#include "app/win/ToolWindow_win.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlWindows_win.h"

#include <functional>
#include <memory>
#include "app/Commands.h"
#include "controls/Control.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan {
class Form1;
class Dialogs;
}  // namespace ondrevan

namespace ondrevan::win {

inline constexpr const wchar_t* kMainWindowClass = L"OndrevanForm1";
// Posted by a second start of the program to the first one's main window.
inline constexpr UINT kStartedAgainMessage = WM_APP + 3;
// Posted to itself once the window has been drawn: the rest of start-up.
inline constexpr UINT kAfterFirstPaintMessage = WM_APP + 4;

class StartupStages;

// The real main window: creates the Win32 window and its children for Form1, routes
// messages into the controls model and mirrors the model back. No program logic here.
class MainWindow : public ControlSink {
  public:
    MainWindow(HINSTANCE instance, Form1& form, Dialogs& dialogs);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window hidden, with every child control.
    bool Create();
    // Shows the window in the state start-up left and draws it at once; `rest`, the rest of
    // start-up, if any, follows as the next message.
    void ShowAfterLoad(std::function<void()> rest = nullptr);
    // Where start-up's stages are noted, for the start-up bench; none: nowhere.
    void SetStages(StartupStages* stages) { stages_ = stages; }
    HWND Handle() const { return window_; }
    // The menus' keys (Ctrl+O, Ctrl+Z; F5 in the preview): true when the key was one of them.
    bool TranslateShortcut(const MSG& message);
    // The tray icon's menu, at a place on the screen.
    void ShowTrayMenu(POINT at);

    void OnChanged(Control& control, Property property) override;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs an event handler; an error that escapes it gets the default run-time error box.
    void Guarded(const std::function<void()>& handler);
    // The window closes, whatever asked, and the program ends; `why` is what a run cut short
    // writes in the history.
    void Close(const char* why);
    void MirrorForm(Property property);
    bool SetCursorForPointer();
    void LoadProgramIcons();
    void AddMenuItems();
    static HMENU MakeMenuBar();
    // A command of the system menu's own items; false for the system's.
    bool SystemMenuCommand(WPARAM wParam);
    void ShowOptions();
    void ShowPreview();
    void ShowFolderRules();
    void ShowRunHistory();
    void ShowListMenu(bool fromKeyboard);
    void MenuCommand(UINT command);
    void RunCommand(Command command);
    // A menu of the menu bar is about to open: it is filled as things stand.
    void FillMenuBarPopup(HMENU popup);

    HINSTANCE instance_;
    Form1& form_;
    Dialogs& dialogs_;
    HWND window_ = nullptr;
    bool shown_ = false;
    StartupStages* stages_ = nullptr;
    std::function<void()> restOfStartUp_;
    void Mark(const char* stage);
    int handlerDepth_ = 0;  // event handlers under way on this thread
    HWND focusBeforeDeactivation_ = nullptr;
    ControlWindows controls_;
    ControlEvents events_{controls_};
    UniqueHicon bigIcon_;
    UniqueHicon smallIcon_;
    UniqueHcursor customCursor_;
    bool customCursorLoaded_ = false;
    std::unique_ptr<ToolWindow> options_;
    std::unique_ptr<PreviewWindow> preview_;
    std::unique_ptr<ToolWindow> folderRules_;
    std::unique_ptr<RunHistoryWindow> runHistory_;
};

}  // namespace ondrevan::win
