#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "FakeFileSystem.h"
#include "FakeSingleCopy.h"
#include "MemorySettingsStore.h"
#include "RecordingEventLog.h"
#include "ScriptedDialogs.h"
#include "platform/AnsiCodePage.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/KeyboardHook.h"
#include "platform/Locale.h"
#include "platform/NotifyIcon.h"
#include "platform/Registry.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"
#include "product/Policies.h"

namespace ondrevan::testing {

class FakeClock : public Clock {
  public:
    // Unless a zone is given, the fake reads `now` in UTC. With one, it keeps UTC (`utc`) and
    // reads it through the zone, as a real clock moved by hand or by summer time would.
    LocalDateTime Now() override {
        if (offsetAt) now = FromTimeline(utc + offsetAt(utc));
        return now;
    }
    std::int64_t UtcSeconds() override { return offsetAt ? utc : TimelineSeconds(now); }
    int OffsetAt(std::int64_t utcSeconds) const override {
        return offsetAt ? offsetAt(utcSeconds) : 0;
    }
    void Set(int year, unsigned month, unsigned day, int h, int m, int s) {
        now.date = std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day};
        now.time = TimeOfDay::FromHms(h, m, s);
    }
    LocalDateTime now;
    std::int64_t utc = 0;
    std::function<int(std::int64_t)> offsetAt;
};

// Counts DoEvents calls and can run an action inside one, as pending messages would.
// A wait for events lets the fake clock's time pass.
class FakeEventPump : public EventPump {
  public:
    void DoEvents() override {
        ++calls;
        if (journal) journal->push_back("pump");
        if (onPump) onPump(calls);
    }
    void WaitForEvents(int milliseconds) override {
        ++waits;
        if (clock) {
            int seconds = clock->now.time.seconds + (clock->now.millisecond + milliseconds) / 1000;
            clock->now.millisecond = (clock->now.millisecond + milliseconds) % 1000;
            clock->now.time.seconds = seconds % kSecondsPerDay;
        }
        DoEvents();
    }
    int waits = 0;
    FakeClock* clock = nullptr;
    std::vector<std::string>* journal = nullptr;
    int calls = 0;
    std::function<void(int call)> onPump;
};

class FakeShell : public Shell {
  public:
    void RunCommandLine(const std::string& commandLine, ShowMode mode) override {
        commandLines.push_back({commandLine, mode});
    }
    // The Recycle Bin: the folder leaves the file system and is remembered here. An
    // action can run while the shell's progress window would be up.
    bool SendToRecycleBin(const std::string& path) override {
        if (refuseRecycling) return false;
        recycled.push_back(path);
        if (fileSystem) fileSystem->Remove(path);
        if (whileRecycling) whileRecycling();
        return true;
    }
    bool SendFilesToRecycleBin(const std::vector<std::string>& paths) override {
        ++fileBatches;
        for (const std::string& path : paths) {
            if (refuseRecycling || refusedFiles.count(path)) continue;
            recycledFiles.push_back(path);
            if (fileSystem) fileSystem->Remove(path);
        }
        return !refuseRecycling;
    }
    std::vector<std::string> recycledFiles;
    std::set<std::string> refusedFiles;  // files the bin will not take
    int fileBatches = 0;
    void OpenItem(const std::string& file, const std::string& directory) override {
        opened.push_back({file, directory});
    }
    std::optional<std::string> SpecialFolderPath(int csidl) override {
        auto it = specialFolders.find(csidl);
        if (it == specialFolders.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::pair<std::string, ShowMode>> commandLines;
    std::vector<std::pair<std::string, std::string>> opened;
    std::vector<std::string> recycled;
    FakeFileSystem* fileSystem = nullptr;
    std::function<void()> whileRecycling;
    bool refuseRecycling = false;  // a Recycle Bin that cannot take anything
    bool HasRecycleBin(const std::string&) override { return recycleBinThere; }
    bool recycleBinThere = true;
    std::map<int, std::string> specialFolders;
};

class FakeEnvironment : public SystemEnvironment {
  public:
    std::string Variable(const std::string& name) override {
        auto it = variables.find(name);
        return it == variables.end() ? "" : it->second;
    }
    std::string SystemDirectory() override { return systemDirectory; }
    std::string ProgramFolder() override { return programFolder; }

    std::map<std::string, std::string> variables;
    std::string systemDirectory = "C:\\Windows\\system32";
    std::string programFolder = "C:\\Tools";
};

// US English: "2:30:00 PM", "12/8/2026".
class FakeLocale : public Locale {
  public:
    std::string FormatLongTime(TimeOfDay time) override;
    std::string FormatShortDate(const LocalDateTime& when) override;
    std::optional<TimeOfDay> ParseTime(const std::string& text) override;
    std::string DecimalSeparator() override { return decimalSeparator; }
    std::string decimalSeparator = ".";
};

// Windows-1252, the ANSI code page of Western European Windows.
class FakeAnsiCodePage : public AnsiCodePage {
  public:
    std::string FromUtf8(std::string_view utf8) override;
    std::string ToUtf8(std::string_view ansi) override;
    std::vector<std::int16_t> CharacterCodes(std::string_view utf8) override;
};

class FakeClipboard : public Clipboard {
  public:
    void SetAnsiText(std::string_view ansi) override {
        ++ansiCopies;
        text = FakeAnsiCodePage().ToUtf8(ansi);
    }
    void SetText(std::string_view utf8) override { text = utf8; }
    std::string text;
    int ansiCopies = 0;
};

class FakeKeyboardHook : public KeyboardHook {
  public:
    void Install() override { ++installs; }
    void SetHotKey(const HotKeySpec& key, bool through) override {
        hotKey = key;
        passThrough = through;
    }
    HotKeySpec hotKey = kDefaultHotKey;
    bool passThrough = true;
    void Remove() override {
        ++removals;
        if (journal) journal->push_back("hook removed");
    }
    int installs = 0;
    int removals = 0;
    std::vector<std::string>* journal = nullptr;
};

class FakeNotifyIcon : public NotifyIcon {
  public:
    void Send(const NotifyIconRequest& request) override {
        sent.push_back(request);
        if (journal && request.action == NotifyIconRequest::Action::Delete)
            journal->push_back("icon removed");
        if (whileShown && request.flags == 16 && !request.info.empty()) whileShown();
    }
    std::vector<NotifyIconRequest> sent;
    std::function<void()> whileShown;  // runs when a balloon goes up
    std::vector<std::string>* journal = nullptr;
};

// Registry values of each type, as tests write them.
inline RegistryData NumberData(std::uint32_t number) {
    RegistryData data;
    data.number = number;
    return data;
}
inline RegistryData TextData(std::string text) {
    RegistryData data;
    data.text = std::move(text);
    return data;
}
inline RegistryData LinesData(std::vector<std::string> lines) {
    RegistryData data;
    data.lines = std::move(lines);
    return data;
}

// The Run keys: the machine-wide one can be made read-only, as for a normal user.
class FakeRegistry : public Registry {
  public:
    bool SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                  const std::string& data) override {
        if (!writable[root]) return false;
        values[{root, path + name}] = data;
        return true;
    }
    bool DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) override {
        if (!writable[root]) return false;
        return values.erase({root, path + name}) != 0;
    }
    std::optional<RegistryData> ReadValue(RegistryRoot root, const std::string& path,
                                          const std::string& name) override {
        if (auto it = data.find({root, path + "\\" + name}); it != data.end()) return it->second;
        if (auto it = values.find({root, path + name}); it != values.end())
            return TextData(it->second);
        return std::nullopt;
    }
    // A policy as Group Policy would write it.
    void SetPolicy(RegistryRoot root, const std::string& name, RegistryData value) {
        data[{root, std::string(kPolicyKey) + "\\" + name}] = std::move(value);
    }
    void ClearPolicies() { data.clear(); }
    std::optional<std::string> Get(RegistryRoot root, const std::string& name) const {
        auto it = values.find(
            {root, std::string("SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\") + name});
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    std::map<std::pair<RegistryRoot, std::string>, std::string> values;
    std::map<std::pair<RegistryRoot, std::string>, RegistryData> data;
    std::map<RegistryRoot, bool> writable{{RegistryRoot::LocalMachine, true},
                                          {RegistryRoot::CurrentUser, true}};
};

// Every double at once, and the Services that point at them.
struct FakeSystem {
    MemorySettingsStore settings;
    FakeFileSystem fileSystem;
    FakeShell shell;
    ScriptedDialogs dialogs;
    FakeClock clock;
    FakeEventPump pump;
    FakeLocale locale;
    FakeEnvironment environment;
    FakeAnsiCodePage ansi;
    FakeClipboard clipboard;
    FakeKeyboardHook keyboardHook;
    FakeNotifyIcon notifyIcon;
    FakeRegistry registry;
    FakeRunLock runLock;
    RecordingEventLog eventLog;
    FakeSingleCopy copies;

    FakeSystem() {
        shell.fileSystem = &fileSystem;
        pump.clock = &clock;
        environment.variables["TEMP"] = "C:\\Users\\ann\\AppData\\Local\\Temp";
    }
    Services services() {
        return {settings, fileSystem,  shell,     dialogs,   clock,        pump,
                locale,   environment, ansi,      clipboard, keyboardHook, notifyIcon,
                registry, runLock,     &eventLog, &copies};
    }
};

}  // namespace ondrevan::testing
