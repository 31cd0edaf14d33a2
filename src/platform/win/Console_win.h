#pragma once

#include <windows.h>

#include <string>

#include "platform/Dialogs.h"

namespace ondrevan::win {

// Where a run from the command line writes: the file or pipe its output was redirected to,
// or else the console of the program that started it.
void WriteToConsole(DWORD standardHandle, const std::string& text);

// Message boxes without a window: the text goes to the error output, and a question is
// answered No (nobody is there to say yes). Dialogs that choose files choose nothing.
class ConsoleDialogs : public Dialogs {
  public:
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons, MessageIcon icon) override;
    std::string BrowseForFolder(const std::string&, const std::string&) override { return ""; }
    std::string PickFolder(const std::string&) override { return ""; }
    std::string OpenFileNames(const OpenFileRequest&) override { return ""; }
    std::string SaveFileName(const SaveFileRequest&) override { return ""; }

    int Shown() const { return shown_; }

  private:
    int shown_ = 0;
};

}  // namespace ondrevan::win
