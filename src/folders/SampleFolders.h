#pragma once

namespace ondrevan {

class AppMessages;
class Dialogs;
class ListView;
class Shell;
class SystemEnvironment;

// "Load Sample/Example Folders": two harmless folders that ship beside the program.
class SampleFolders {
  public:
    struct Uses {
        Dialogs& dialogs;
        SystemEnvironment& environment;
        Shell& shell;
        AppMessages& messages;
        ListView& ListView1;
    };
    explicit SampleFolders(const Uses& uses) : uses_(uses) {}
    void PushButton14_Click();

  private:
    Uses uses_;
};

}  // namespace ondrevan
