#pragma once

#include <string>
#include <vector>

#include "platform/ValueForms.h"

namespace ondrevan {

class AppSettings;
class Dialogs;
class FormWindow;
class ListView;

// The folder list: restored at start-up, stored after each change, shortened by
// double-click and "Clear List".
class FolderList {
  public:
    struct Uses {
        Dialogs& dialogs;
        const AppSettings& settings;
        FormWindow& Window;  // its pointer shows that the list is being filled
        ListView& ListView1;
    };
    explicit FolderList(const Uses& uses) : uses_(uses) {}

    void LoadFolderList();
    void SaveFolderList();
    void ListView1_DblClick();
    void PushButton13_Click();

    // The list is being filled: the window shows the hourglass.
    bool IsBusy() const;
    void SetBusy(bool busy);

  private:
    Uses uses_;
};

}  // namespace ondrevan
