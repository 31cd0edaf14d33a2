#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ondrevan {

class Form1;
class ListView;

// The deletion engine: the protected-folder check, the confirmation and the run.
class DelFolders {
  public:
    explicit DelFolders(Form1& form) : form_(form) {}

    // False for drive roots, for the ten protected folders in any written form, and for
    // paths that are not fully qualified.
    bool CanDelete(const std::string& path);
    // True when a protected folder lies inside the folder: sending it to the Recycle Bin
    // would take the protected folder with it.
    bool ContainsProtectedFolder(const std::string& path);
    // The first folder link (junction, symbolic link, mount point) anywhere inside the
    // folder, not looking through links; nothing when it holds none.
    std::optional<std::string> FindFolderLink(const std::string& path);
    bool AllowDeleteFolders(const ListView& list);
    void DeleteFoldersFiles(const ListView& list);
    bool RunInProgress() const { return running_; }

    void PushButton3_Click();
    void Option1_Click();
    void Option2_Click();
    void Check1_Click();
    void PushButton6_Click();

  private:
    std::vector<std::string> ProtectedFolderKeys();
    enum class Recycled { NothingThere, Gone, Stayed, NoRecycleBin };
    Recycled SendToRecycleBin(std::string path);

    Form1& form_;
    bool running_ = false;
};

}  // namespace ondrevan
