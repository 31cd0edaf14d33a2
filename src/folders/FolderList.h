#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

class AppSettings;
class Dialogs;
class FormWindow;
class ListView;

// Each entry of the stored list is followed by this; "|" cannot occur in a path.
inline constexpr std::string_view kFolderSeparator = "|234SSDEPERATATORZZ|";

// The stored form of the list: every entry followed by the separator.
std::string JoinFolderList(const std::vector<std::string>& entries);
// Splits at every separator and drops the last piece (the text after the final
// separator), so a value that does not end with the separator loses its tail.
std::vector<std::string> SplitFolderList(std::string_view value);

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
