#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

class AnsiCodePage;
class AppMessages;
class Dialogs;
class FileSystem;
class FolderList;
class ListView;

// A list file's text as UTF-8: a UTF-8 or UTF-16 byte-order mark decides and is dropped;
// without one, text that is valid UTF-8 and not plain ASCII is UTF-8; anything else is
// the ANSI code page.
std::string DecodeListFile(std::string_view bytes, AnsiCodePage& codePage);
// One entry per line. CR LF or CR ends a line, and a line feed alone splits a line
// too; so a final CR LF adds no entry while a final lone line feed adds an empty one.
std::vector<std::string> SplitListLines(std::string_view text);
// The paths named by the open-file dialog's result: one full path, or a folder followed
// by NUL-separated names.
std::vector<std::string> ParseOpenFileResult(std::string_view result);

// "Load Folder List From Text File".
class FileToListview1 {
  public:
    struct Uses {
        Dialogs& dialogs;
        FileSystem& fileSystem;
        AnsiCodePage& ansi;
        AppMessages& messages;
        FolderList& folders;
        ListView& ListView1;
    };
    explicit FileToListview1(const Uses& uses) : uses_(uses) {}

    void PushButton12_Click();
    void LoadListFile(const std::string& path);

  private:
    Uses uses_;
};

}  // namespace ondrevan
