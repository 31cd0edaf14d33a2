#pragma once

// The seams as Windows provides them.
#include <windows.h>

#include "platform/AnsiCodePage.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"

namespace ondrevan::win {

// Text values under HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>.
class RegistrySettingsStore : public SettingsStore {
  public:
    std::optional<std::string> Read(const std::string& application, const std::string& section,
                                    const std::string& key) override;
    void Write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;
    std::vector<std::string> Names(const std::string& application,
                                   const std::string& section) override;
};

class Win32FileSystem : public FileSystem {
  public:
    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    bool HasModificationTime(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    std::vector<FolderEntry> ListSubfolders(const std::string& path) override;
    std::vector<FolderEntry> FindFiles(const std::string& pattern) override;
    using FileSystem::ListFiles;
    std::vector<FileEntry> ListFiles(const std::string& folder,
                                     const std::function<void()>& between) override;
    bool RemoveEmptyFolder(const std::string& path) override;
    void AppendToFile(const std::string& path, std::string_view bytes) override;
    std::unique_ptr<AppendingFile> OpenToAppend(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    bool MoveReplacing(const std::string& from, const std::string& to) override;
    std::optional<std::string> FinalFolderPath(const std::string& path) override;
    FolderOpening OpenFolderToClear(const std::string& path) override;
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override;
};

class Win32Shell : public Shell {
  public:
    void SetOwner(HWND owner) { owner_ = owner; }
    // Without a window (a run from the command line) the shell's operations show no
    // progress and no error boxes of their own; the history says what stayed.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    void RunCommandLine(const std::string& commandLine, ShowMode mode) override;
    void OpenItem(const std::string& file, const std::string& directory) override;
    bool SendToRecycleBin(const std::string& path) override;
    bool SendFilesToRecycleBin(const std::vector<std::string>& paths) override;
    bool HasRecycleBin(const std::string& path) override;
    std::optional<std::string> SpecialFolderPath(int csidl) override;

  private:
    WORD RecycleFlags() const;

    HWND owner_ = nullptr;
    bool quiet_ = false;
};

// Message boxes owned by the main window once it exists.
class Win32Dialogs : public Dialogs {
  public:
    void SetOwner(HWND owner) { owner_ = owner; }
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons, MessageIcon icon) override;
    std::string BrowseForFolder(const std::string& title,
                                const std::string& initialFolder) override;
    std::string PickFolder(const std::string& title) override;
    std::string OpenFileNames(const OpenFileRequest& request) override;
    std::string SaveFileName(const SaveFileRequest& request) override;

  private:
    HWND owner_ = nullptr;
};

class Win32Clock : public Clock {
  public:
    LocalDateTime Now() override;
    std::int64_t UtcSeconds() override;
    int OffsetAt(std::int64_t utcSeconds) const override;
};

// Runs every pending message, with dialog keyboard handling for the main window and the
// tool windows it owns.
// Asked again within a few milliseconds it returns at once: a walk asks at every
// folder, and each look at the queue is a round trip to the window server.
class Win32EventPump : public EventPump {
  public:
    void SetDialogWindow(HWND window) { dialogWindow_ = window; }
    void DoEvents() override;
    void WaitForEvents(int milliseconds) override;

  private:
    HWND KeyboardWindow(HWND target) const;
    HWND dialogWindow_ = nullptr;
    LONGLONG lastRun_ = 0;
};

class Win32Locale : public Locale {
  public:
    std::string FormatLongTime(TimeOfDay time) override;
    std::string FormatShortDate(const LocalDateTime& when) override;
    std::optional<TimeOfDay> ParseTime(const std::string& text) override;
    std::string DecimalSeparator() override;
};

class Win32AnsiCodePage : public AnsiCodePage {
  public:
    std::string FromUtf8(std::string_view utf8) override;
    std::string ToUtf8(std::string_view ansi) override;
    std::vector<std::int16_t> CharacterCodes(std::string_view utf8) override;
};

class Win32Clipboard : public Clipboard {
  public:
    void SetOwner(HWND owner) { owner_ = owner; }
    void SetAnsiText(std::string_view ansi) override;
    void SetText(std::string_view utf8) override;

  private:
    HWND owner_ = nullptr;
};

class Win32Environment : public SystemEnvironment {
  public:
    std::string Variable(const std::string& name) override;
    std::string SystemDirectory() override;
    std::string ProgramFolder() override;
};

}  // namespace ondrevan::win
