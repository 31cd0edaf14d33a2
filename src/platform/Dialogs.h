#pragma once

#include <cstdint>
#include <string>

namespace ondrevan {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Warning, Information, Question, Error };
enum class MessageAnswer { Ok, Yes, No };

struct OpenFileRequest {
    std::string title;
    std::string filter;  // "description|pattern|description|pattern|"
    std::uint32_t flags = 0;
};

struct SaveFileRequest {
    std::string title;
    std::string filter;     // "description|pattern|description|pattern|"
    std::string extension;  // added to a name typed without one: "csv"
    std::string fileName;   // the name proposed
};

// Modal dialogs. Window messages keep running while one is up.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                      MessageButtons buttons, MessageIcon icon) = 0;
    // The shell's folder-browse dialog: the chosen file-system folder, or "" on cancel.
    virtual std::string BrowseForFolder(const std::string& title,
                                        const std::string& initialFolder) = 0;
    // The folder picker with an address field: one chosen file-system folder, or "" on
    // cancel.
    virtual std::string PickFolder(const std::string& title) = 0;
    // The open-file dialog's file-name text: one full path, or with several files the
    // folder and then each name, NUL-separated; "" on cancel.
    virtual std::string OpenFileNames(const OpenFileRequest& request) = 0;
    // The save-file dialog: the full path chosen (a file already there was agreed to be
    // replaced), or "" on cancel.
    virtual std::string SaveFileName(const SaveFileRequest& request) = 0;
};

}  // namespace ondrevan
