#pragma once

namespace ondrevan {

class ListView;

// A deletion run over the folder list, as the scheduler starts one.
class DeleteRun {
  public:
    // Asks the user first when the window says so; false when the run must not go ahead.
    virtual bool AllowDeleteFolders(const ListView& list) = 0;
    virtual void DeleteFoldersFiles(const ListView& list) = 0;

  protected:
    ~DeleteRun() = default;
};

}  // namespace ondrevan
