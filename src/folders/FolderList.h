#pragma once

#include <string>
#include <vector>

#include "platform/ValueForms.h"

namespace ondrevan {

class AppMessages;
class AppSettings;
class Dialogs;
class FileSystem;
class FormWindow;
class Shell;
class ListView;

// The folder list: restored at start-up, stored after each change, shortened by
// double-click and "Clear List".
class FolderList {
  public:
    struct Uses {
        Dialogs& dialogs;
        AppMessages& messages;
        FileSystem& fileSystem;
        Shell& shell;
        const AppSettings& settings;
        FormWindow& Window;  // its pointer shows that the list is being filled
        ListView& ListView1;
    };
    explicit FolderList(const Uses& uses) : uses_(uses) {}

    void LoadFolderList();
    void SaveFolderList();
    void ListView1_DblClick();
    void PushButton13_Click();
    // Opens the selected entry in Explorer, when it names a folder that is there (never
    // a program, whatever an entry says); otherwise says why not.
    void OpenSelectedFolder();

    // The list is being filled: the window shows the hourglass.
    bool IsBusy() const;
    void SetBusy(bool busy);

  private:
    Uses uses_;
};

}  // namespace ondrevan
