// Starts the real program, checks its window against the layout, and closes it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <set>
#include <string>

#include "app/Layout.h"
#include "app/win/Dpi_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

constexpr const wchar_t* kSettingsKey =
    L"Software\\VB and VBA Program Settings\\Quillmere\\Ondrevan";

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"ONDREVAN_PROGRAM", path, MAX_PATH)) return path;
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring here(path);
    return here.substr(0, here.find_last_of(L'\\')) + L"\\..\\Ondrevan\\Ondrevan.exe";
}

std::set<std::wstring> StoredKeyNames() {
    std::set<std::wstring> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.insert(name);
    }
    ::RegCloseKey(key);
    return names;
}

struct ChildSearch {
    int id;
    HWND found;
};

HWND ChildById(HWND window, int id) {
    ChildSearch search{id, nullptr};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<ChildSearch*>(data);
            if (::GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// WM_GETTEXT, not GetWindowText: across processes only the message asks the control itself.
std::string TextOf(HWND window) {
    wchar_t text[512] = {};
    ::SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 15000) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (condition()) return true;
        ::Sleep(50);  // another process: nothing to wait on but its windows
    }
    return condition();
}

class RunningProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        std::wstring command = L"\"" + ProgramPath() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &process_))
            << "cannot start " << Narrow(ProgramPath());
        WaitFor(
            [&] {
                HWND candidate = ::FindWindowW(L"OndrevanForm1", nullptr);
                if (candidate && ::IsWindowVisible(candidate)) window_ = candidate;
                return window_ != nullptr;
            },
            20000);
        ASSERT_NE(window_, nullptr) << "the main window never showed";
    }
    void TearDown() override {
        if (process_.hProcess) {
            if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                ::TerminateProcess(process_.hProcess, 99);
                ::WaitForSingleObject(process_.hProcess, 5000);
            }
            ::CloseHandle(process_.hProcess);
            ::CloseHandle(process_.hThread);
        }
    }
    DWORD CloseAndWait() {
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
        EXPECT_EQ(::WaitForSingleObject(process_.hProcess, 15000), WAIT_OBJECT_0);
        DWORD code = 12345;
        ::GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

TEST_F(RunningProgram, ShowsEveryControlOfTheLayoutWithItsCaptionAndPlace) {
    EXPECT_EQ(TextOf(window_), "Ondrevan");
    const Dpi dpi = Dpi::ForWindow(window_);
    RECT client;
    ::GetClientRect(window_, &client);
    EXPECT_NEAR(client.right, dpi.Px(kClientWidthTwips), 1);
    EXPECT_NEAR(client.bottom, dpi.Px(kClientHeightTwips), 1);

    const std::set<std::string> textless = {"ListView1",    "Text1",       "Text2",
                                            "Text3",        "dtpWeekly",   "cboWeekly",
                                            "RichTextBox1", "ProgressBar1"};
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        const LayoutEntry& entry = kLayout[i];
        HWND child = ChildById(window_, 1000 + static_cast<int>(i));
        if (entry.kind == ControlKind::Timer) {
            EXPECT_EQ(child, nullptr) << "a timer has no window";
            continue;
        }
        ASSERT_NE(child, nullptr) << entry.name;
        if (!textless.count(entry.name)) {
            EXPECT_EQ(TextOf(child), entry.caption) << entry.name;
        }

        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        const TwipRect twips = ClientPosition(entry);
        EXPECT_NEAR(rect.left, dpi.Px(twips.left), 1) << entry.name;
        EXPECT_NEAR(rect.top, dpi.Px(twips.top), 1) << entry.name;
        if (std::string(entry.name) == "Label5") {  // sized to its caption
            EXPECT_GE(rect.right - rect.left, dpi.Px(twips.width)) << entry.name;
            EXPECT_LE(rect.right, dpi.Px(8040)) << "the hint must not reach into the right half";
            continue;
        }
        EXPECT_NEAR(rect.right - rect.left, dpi.Px(twips.width), 1) << entry.name;
        if (entry.kind != ControlKind::ComboBox) {  // a combo box is as high as its font
            EXPECT_NEAR(rect.bottom - rect.top, dpi.Px(twips.height), 1) << entry.name;
        }
        if (std::string(entry.name) == "Label4") {  // every word of the note can be read
            HDC dc = ::GetDC(child);
            HGDIOBJ old = ::SelectObject(
                dc, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
            const std::wstring text = Widen(entry.caption);
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            ::SelectObject(dc, old);
            ::ReleaseDC(child, dc);
            RECT client;
            ::GetClientRect(child, &client);
            EXPECT_LE(extent.cx, client.right) << entry.name << " is cut";
        }
        const bool shown = ::IsWindowVisible(child) != 0;
        EXPECT_EQ(shown, entry.kind != ControlKind::RichTextBox) << entry.name;
    }

    // The note says what happens: no promise that everything can be recovered.
    EXPECT_EQ(TextOf(ChildById(window_, 1005)),
              "Note: Files are deleted permanently; folder mode sends the folders to the Recycle "
              "Bin");
    HWND status = ChildById(window_, 1003);
    EXPECT_EQ(ClassOf(status), L"OndrevanFrame");
    EXPECT_EQ(TextOf(status), "Off.");
    HWND list = ChildById(window_, 1006);
    EXPECT_EQ(ClassOf(list), L"SysListView32");
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    HWND weekday = ChildById(window_, 1028);
    EXPECT_EQ(TextOf(weekday), "Monday");
    EXPECT_FALSE(::IsWindowEnabled(weekday)) << "\"Delete every:\" is the designed kind";
    EXPECT_EQ(TextOf(ChildById(window_, 1019)), "1");
    EXPECT_EQ(::SendMessageW(ChildById(window_, 1018), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(ChildById(window_, 1012), BM_GETCHECK, 0, 0), BST_CHECKED);

    EXPECT_EQ(CloseAndWait(), 0u);
}

TEST_F(RunningProgram, ClosesWithExitCodeZeroLeavingTheKeysAFirstStartWrites) {
    EXPECT_EQ(CloseAndWait(), 0u);
    // Start-up writes through the handlers of the controls whose restored value differs
    // from the design, and the switch stores "Off" again; nothing is saved at shutdown.
    EXPECT_EQ(StoredKeyNames(), (std::set<std::wstring>{L"Text1", L"Text2", L"Text3", L"Weekly",
                                                        L"Weekly Time", L"StartStopState"}));
}

std::optional<std::wstring> RunValue(const wchar_t* name) {
    wchar_t data[512] = {};
    DWORD bytes = sizeof data;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                       name, RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

TEST_F(RunningProgram, TheStartUpBoxWritesAndRemovesTheRunValueWithTheRealPath) {
    HWND startup = ChildById(window_, 1030);
    ASSERT_NE(startup, nullptr);
    ::SendMessageW(startup, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([] { return RunValue(L"Ondrevan.exe").has_value(); }));
    EXPECT_EQ(*RunValue(L"Ondrevan.exe"), Widen(Narrow(ProgramPath())));
    ::SendMessageW(startup, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([] { return !RunValue(L"Ondrevan.exe").has_value(); }));
    EXPECT_FALSE(::IsWindowVisible(ChildById(window_, 1031))) << "Start in system tray hides";
    EXPECT_EQ(CloseAndWait(), 0u);
}

TEST_F(RunningProgram, MinimizingHidesIntoTheTrayAndTheIconBringsItBack) {
    ::PostMessageW(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(window_); })) << "hidden, not minimized";
    HWND tray = ::FindWindowW(L"OndrevanTrayWindow", nullptr);
    ASSERT_NE(tray, nullptr);
    ::PostMessageW(tray, 1125, 0, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window_) != 0; }));
    EXPECT_FALSE(::IsIconic(window_)) << "back at its normal size";
    // The close box, as the system menu sends it.
    ::PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(::WaitForSingleObject(process_.hProcess, 15000), WAIT_OBJECT_0);
    DWORD code = 12345;
    ::GetExitCodeProcess(process_.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(::FindWindowW(L"OndrevanTrayWindow", nullptr), nullptr);
}

// A run held up by a message box must not go on once the window is closed: the program
// ends, and the folders after the one that was being cleared keep their files.
TEST(ClosingDuringARun, EndsTheProgramBeforeTheNextFolder) {
    const std::wstring root = L"C:\\ondrevan-close";
    const std::wstring one = root + L"\\One", two = root + L"\\Two", temp = root + L"\\Temp";
    for (const std::wstring& folder : {root, one, two, temp})
        ::CreateDirectoryW(folder.c_str(), nullptr);
    // A history that cannot be written: its name is taken by a folder. The run stops in the
    // error box after the first folder's files.
    ::CreateDirectoryW((temp + L"\\Ondrevan.txt").c_str(), nullptr);
    for (const std::wstring& folder : {one, two}) {
        HANDLE file = ::CreateFileW((folder + L"\\file.tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ::CloseHandle(file);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    auto set = [key](const wchar_t* name, const std::wstring& value) {
        ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    set(L"Folders", one + L"|234SSDEPERATATORZZ|" + two + L"|234SSDEPERATATORZZ|");
    set(L"Option1", L"False");
    set(L"Option2", L"True");
    ::RegCloseKey(key);

    wchar_t oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    std::wstring command = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(L"TEMP", oldTemp);
    ASSERT_TRUE(started);

    HWND window = nullptr;
    WaitFor(
        [&] {
            window = ::FindWindowW(L"OndrevanForm1", nullptr);
            return window && ::IsWindowVisible(window);
        },
        20000);
    ASSERT_NE(window, nullptr);
    ::PostMessageW(ChildById(window, 1001), BM_CLICK, 0, 0);  // the test button
    EXPECT_TRUE(WaitFor([] { return ::FindWindowW(L"#32770", L"Application Error") != nullptr; }))
        << "the run waits in its error box";
    EXPECT_EQ(::GetFileAttributesW((one + L"\\file.tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
    DWORD code = 12345;
    ::GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_NE(::GetFileAttributesW((two + L"\\file.tmp").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the run went on after the window was closed";

    if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        ::TerminateProcess(process.hProcess, 99);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    for (const std::wstring& file : {one + L"\\file.tmp", two + L"\\file.tmp"})
        ::DeleteFileW(file.c_str());
    for (const std::wstring& folder : {temp + L"\\Ondrevan.txt", temp, one, two, root})
        ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace ondrevan::win
