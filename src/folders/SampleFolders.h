#pragma once

namespace ondrevan {

class Form1;

// "Load Sample/Example Folders": two harmless folders that ship beside the program.
class SampleFolders {
  public:
    explicit SampleFolders(Form1& form) : form_(form) {}
    void PushButton14_Click();

  private:
    Form1& form_;
};

}  // namespace ondrevan
