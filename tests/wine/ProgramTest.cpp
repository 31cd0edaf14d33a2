// Starts the real program, checks its window against the layout, and closes it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "RealSystem.h"
#include "app/ExclusiveRun.h"
#include "app/Layout.h"
#include "controls/win/Dpi_win.h"
#include "platform/ValueForms.h"
#include "platform/win/SingleCopy_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

using ondrevan::win::testing::kSettingsKey;
using ondrevan::win::testing::ProgramPath;

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

bool WaitFor(const std::function<bool()>& condition, int milliseconds = 60000) {
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
            120000);
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
        EXPECT_EQ(::WaitForSingleObject(process_.hProcess, 60000), WAIT_OBJECT_0);
        DWORD code = 12345;
        ::GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// Every control where the layout puts it at that scale, its font at that scale, and no
// caption cut: a button, box or frame shows its caption on one line, a label within its box.
void ExpectLayoutAt(HWND window, Dpi dpi) {
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_NEAR(client.right, dpi.Px(kClientWidthTwips), 1) << dpi.value;
    EXPECT_NEAR(client.bottom, dpi.Px(kClientHeightTwips), 1) << dpi.value;

    const std::set<std::string> textless = {"ListView1",    "Text1",       "Text2",
                                            "Text3",        "dtpWeekly",   "cboWeekly",
                                            "RichTextBox1", "ProgressBar1"};
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        const LayoutEntry& entry = kLayout[i];
        const std::string at = std::string(entry.name) + " at " + std::to_string(dpi.value);
        HWND child = ChildById(window, 1000 + static_cast<int>(i));
        if (entry.kind == ControlKind::Timer) {
            EXPECT_EQ(child, nullptr) << "a timer has no window";
            continue;
        }
        ASSERT_NE(child, nullptr) << entry.name;
        if (!textless.count(entry.name)) {
            // The words as designed; an "&" before the access key is only how it is shown.
            const std::string shown = TextOf(child);
            std::string words;
            for (std::size_t at = 0; at < shown.size(); ++at) {
                if (shown[at] == '&' && at + 1 < shown.size()) ++at;  // "&&" stands for "&"
                words += shown[at];
            }
            EXPECT_EQ(words, entry.caption) << entry.name;
        }

        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        const TwipRect twips = ClientPosition(entry);
        EXPECT_NEAR(rect.left, dpi.Px(twips.left), 1) << at;
        EXPECT_NEAR(rect.top, dpi.Px(twips.top), 1) << at;
        const bool sizedToCaption = std::string(entry.name) == "Label5";
        if (sizedToCaption) {
            EXPECT_GE(rect.right - rect.left, dpi.Px(twips.width)) << at;
            EXPECT_LE(rect.right, dpi.Px(8040)) << "the hint must not reach into the right half";
        } else if (entry.kind == ControlKind::Label) {
            // A label may grow a little to hold its caption at this scale, never into the
            // control beside it (the gaps in the design are 180 twips or more).
            EXPECT_GE(rect.right - rect.left, dpi.Px(twips.width) - 1) << at;
            EXPECT_LE(rect.right - rect.left, dpi.Px(twips.width + 150)) << at;
        } else {
            EXPECT_NEAR(rect.right - rect.left, dpi.Px(twips.width), 1) << at;
            if (entry.kind != ControlKind::ComboBox) {  // a combo box is as high as its font
                EXPECT_NEAR(rect.bottom - rect.top, dpi.Px(twips.height), 1) << at;
            }
        }
        const bool shown = ::IsWindowVisible(child) != 0;
        EXPECT_EQ(shown, entry.kind != ControlKind::RichTextBox) << entry.name;

        // A font is the program's own: another process cannot select it. Measure with the
        // font the layout gives at this scale; the hint sized to its caption shows that the
        // program draws with that font too.
        if (textless.count(entry.name) || entry.caption[0] == '\0') continue;
        LOGFONTW logFont{};
        logFont.lfHeight = dpi.FontHeight(entry.fontPoints);
        logFont.lfWeight = FW_BOLD;
        logFont.lfCharSet = DEFAULT_CHARSET;
        wcscpy_s(logFont.lfFaceName, L"Arial");
        const HFONT font = ::CreateFontIndirectW(&logFont);
        HDC dc = ::GetDC(child);
        HGDIOBJ old = ::SelectObject(dc, font);
        const std::wstring text = Widen(entry.caption);
        RECT inside;
        ::GetClientRect(child, &inside);
        int room = inside.right;
        if (entry.kind == ControlKind::CheckBox || entry.kind == ControlKind::OptionButton)
            room -= ::MulDiv(16, dpi.value, 96);  // the box or circle before the caption
        if (entry.kind == ControlKind::Frame) room -= ::MulDiv(16, dpi.value, 96);
        if (entry.kind == ControlKind::Label) {
            RECT needed{0, 0, inside.right, 0};
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                        DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            EXPECT_LE(needed.bottom, inside.bottom) << at << " is cut";
            EXPECT_LE(needed.right, inside.right) << at << " is cut";
        } else {
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            EXPECT_LE(extent.cx, room) << at << " is cut";
            if (entry.kind != ControlKind::Frame) {
                EXPECT_LE(extent.cy, inside.bottom) << at << " is cut";
            }
        }
        if (sizedToCaption) {
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            // Grown to its caption, or as designed where the caption fits.
            EXPECT_NEAR(inside.right, std::max<LONG>(extent.cx, dpi.Px(twips.width)), 2)
                << at << ": drawn in another font";
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(child, dc);
        ::DeleteObject(font);
    }
}

TEST_F(RunningProgram, ShowsEveryControlOfTheLayoutWithItsCaptionAndPlace) {
    EXPECT_EQ(TextOf(window_), "Ondrevan");
    ExpectLayoutAt(window_, Dpi::ForWindow(window_));

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

// The program started at the prefix's screen DPI, as a user sets it in the display settings.
class ProgramAtDpi : public RunningProgram, public ::testing::WithParamInterface<int> {
  protected:
    static void SetLogPixels(const DWORD* dpi) {
        HKEY desktop = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                                    KEY_SET_VALUE, nullptr, &desktop, nullptr),
                  ERROR_SUCCESS);
        if (dpi)
            ::RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(dpi), sizeof *dpi);
        else
            ::RegDeleteValueW(desktop, L"LogPixels");
        ::RegCloseKey(desktop);
    }
    void SetUp() override {
        const DWORD dpi = static_cast<DWORD>(GetParam());
        SetLogPixels(&dpi);
        RunningProgram::SetUp();
    }
    void TearDown() override {
        RunningProgram::TearDown();
        SetLogPixels(nullptr);
    }
};

TEST_P(ProgramAtDpi, LaysEveryControlOutAtThatScaleAndCutsNoCaption) {
    ExpectLayoutAt(window_, Dpi{GetParam()});
    EXPECT_EQ(CloseAndWait(), 0u);
}

// The options window at that scale, with a refusal under every field (the longest it has to
// say): each line holds its text, and no control lies over another or beyond the window.
TEST_P(ProgramAtDpi, LaysTheOptionsWindowOutWithRoomForEveryRefusal) {
    const Dpi dpi{GetParam()};
    ::PostMessageW(window_, WM_SYSCOMMAND, 0x0100 /* Options... */, 0);
    HWND options = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        options = ::FindWindowW(L"OndrevanTool", nullptr);
        return options && ::IsWindowVisible(options);
    }));
    std::vector<HWND> children;
    ::EnumChildWindows(
        options,
        [](HWND child, LPARAM list) -> BOOL {
            if (::IsWindowVisible(child))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    // Typed as a user would (a replaced selection, as a key does), and a letter pressed alone
    // in the hot-key field.
    const wchar_t* typed[] = {L"36501", L"C:\\data\\*.txt",
                              L"C:\\Keep\r\nsome\\relative\\folder\\that\\is\\long"};
    std::size_t next = 0;
    HWND none = nullptr;
    for (HWND child : children) {
        if (ClassOf(child) == L"Edit" && next < std::size(typed)) {
            ::SendMessageW(child, EM_SETSEL, 0, -1);
            ::SendMessageW(child, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed[next++]));
        } else if (ClassOf(child) == HOTKEY_CLASSW) {
            ::SendMessageW(child, WM_KEYDOWN, 'K', 0);
        } else if (TextOf(child) == "&None") {
            none = child;
        }
    }
    ASSERT_EQ(next, std::size(typed));
    ASSERT_NE(none, nullptr) << "the button that switches the hot key off";

    LOGFONTW logFont{};
    logFont.lfHeight = dpi.FontHeight(9.0);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(logFont.lfFaceName, L"Arial");
    const HFONT font = ::CreateFontIndirectW(&logFont);
    RECT client;
    ::GetClientRect(options, &client);
    int refusals = 0;
    std::vector<std::pair<RECT, std::string>> placed;
    for (HWND child : children) {
        const std::string text = TextOf(child);
        const std::string at = "\"" + text + "\" at " + std::to_string(dpi.value);
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, options, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                    rect.bottom <= client.bottom)
            << at << " lies beyond the window";
        for (const auto& [other, name] : placed) {
            RECT both;
            EXPECT_FALSE(::IntersectRect(&both, &rect, &other)) << at << " lies over " << name;
        }
        placed.emplace_back(rect, text);
        const std::wstring wide = Widen(text);
        if (wide.empty() || ClassOf(child) == L"Edit") continue;
        refusals += text.rfind("Not saved: ", 0) == 0;
        HDC dc = ::GetDC(child);
        HGDIOBJ old = ::SelectObject(dc, font);
        RECT inside;
        ::GetClientRect(child, &inside);
        // A button wraps its caption only when made to; a label always does.
        const bool button = ClassOf(child) == L"Button";
        const bool wraps = !button || (::GetWindowLongW(child, GWL_STYLE) & BS_MULTILINE);
        if (button && child != none)
            inside.right -= ::MulDiv(16, dpi.value, 96);  // the box before a check box's caption
        RECT needed{0, 0, inside.right, 0};
        ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &needed,
                    DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        EXPECT_LE(needed.bottom, inside.bottom) << at << " is cut";
        EXPECT_LE(needed.right, inside.right) << at << " is cut";
        ::SelectObject(dc, old);
        ::ReleaseDC(child, dc);
    }
    ::DeleteObject(font);
    EXPECT_EQ(refusals, 4) << "a refusal under each field";
    EXPECT_EQ(CloseAndWait(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Scales, ProgramAtDpi, ::testing::Values(96, 144, 192),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

// Moved to a monitor of another DPI, Windows sends the new DPI and the place it suggests.
TEST_F(RunningProgram, TakesThePlaceSuggestedForANewDpiAndLaysItselfOutAgain) {
    const Dpi now = Dpi::ForWindow(window_);
    const Dpi next{now.value * 3 / 2};
    RECT frame{0, 0, next.Px(kClientWidthTwips), next.Px(kClientHeightTwips)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)), TRUE,
                         static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)));
    const RECT suggested{10, 20, 10 + frame.right - frame.left, 20 + frame.bottom - frame.top};
    // The rectangle travels by pointer: it must lie in the program's own memory.
    void* remote = ::VirtualAllocEx(process_.hProcess, nullptr, sizeof suggested,
                                    MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(
        ::WriteProcessMemory(process_.hProcess, remote, &suggested, sizeof suggested, nullptr));
    ::SendMessageW(window_, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(next.value, next.value),
                   reinterpret_cast<LPARAM>(remote));
    RECT placed;
    ::GetWindowRect(window_, &placed);
    // Where it was put, with the frame and the menu bar of the new DPI around the design.
    EXPECT_EQ(placed.left, suggested.left);
    EXPECT_EQ(placed.top, suggested.top);
    ExpectLayoutAt(window_, next);
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
    EXPECT_EQ(::WaitForSingleObject(process_.hProcess, 60000), WAIT_OBJECT_0);
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
        120000);
    ASSERT_NE(window, nullptr);
    ::PostMessageW(ChildById(window, 1001), BM_CLICK, 0, 0);  // the test button
    EXPECT_TRUE(WaitFor([] { return ::FindWindowW(L"#32770", L"Application Error") != nullptr; }))
        << "the run waits in its error box";
    EXPECT_EQ(::GetFileAttributesW((one + L"\\file.tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
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

int FilesIn(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

// /exit (as an installer sends it) while the window's run clears a big folder: the run stops
// between two files, the history says what was done and that the run was stopped and why,
// and the program ends within /exit's patience.
TEST(ClosingDuringARun, ExitStopsTheRunBetweenTwoFilesAndTheHistorySaysWhatWasDone) {
    const std::wstring root = L"C:\\ondrevan-exit";
    const std::wstring data = root + L"\\Big", temp = root + L"\\Temp";
    for (const std::wstring& folder : {root, data, temp})
        ::CreateDirectoryW(folder.c_str(), nullptr);
    // Enough for the run to be under way when /exit comes, few enough to make quickly.
    constexpr int kFiles = 6000;
    for (int i = 0; i < kFiles; ++i)
        ::CloseHandle(::CreateFileW((data + L"\\f" + std::to_wstring(i) + L".tmp").c_str(),
                                    GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    ASSERT_EQ(FilesIn(data), kFiles);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] :
         {std::pair<const wchar_t*, std::wstring>{L"Folders", data + L"|234SSDEPERATATORZZ|"},
          {L"Option1", L"False"},
          {L"Option2", L"True"}})
        ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);

    wchar_t oldTemp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    auto start = [](std::wstring command, PROCESS_INFORMATION& process) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        return ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process) != FALSE;
    };
    PROCESS_INFORMATION program{}, exit{};
    const bool started = start(L"\"" + ProgramPath() + L"\"", program);
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
    ASSERT_TRUE(WaitFor([&] { return FilesIn(data) < kFiles; }, 30000)) << "the run never began";

    const ULONGLONG asked = ::GetTickCount64();
    ASSERT_TRUE(start(L"\"" + ProgramPath() + L"\" /exit", exit));
    EXPECT_EQ(::WaitForSingleObject(exit.hProcess, 35000), WAIT_OBJECT_0);
    DWORD exitCode = 12345;
    ::GetExitCodeProcess(exit.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "/exit did not see the program end";
    EXPECT_EQ(::WaitForSingleObject(program.hProcess, 1000), WAIT_OBJECT_0);
    const ULONGLONG tookMs = ::GetTickCount64() - asked;
    EXPECT_LT(tookMs, 30000u);
    std::printf("[ measured ] /exit during a run ended the program in %llu ms\n", tookMs);

    const int left = FilesIn(data);
    std::ifstream in(Narrow(temp + L"\\Ondrevan.txt"), std::ios::binary);
    const std::string history{std::istreambuf_iterator<char>(in), {}};
    in.close();
    ASSERT_GT(left, 0) << "the run ended before /exit came: nothing was cut short";
    const std::string folderLine =
        "Stopped clearing folder  " + Narrow(data) + " (the run was stopped after deleting " +
        GroupedNumber(static_cast<std::uint64_t>(kFiles - left)) + " files; the rest were left)";
    EXPECT_NE(history.find(folderLine), std::string::npos) << history;
    EXPECT_NE(
        history.find("Run stopped (Ondrevan was asked to close by /exit): " +
                     GroupedNumber(static_cast<std::uint64_t>(kFiles - left)) + " files deleted"),
        std::string::npos)
        << history;

    for (PROCESS_INFORMATION* process : {&program, &exit}) {
        if (!process->hProcess) continue;
        if (::WaitForSingleObject(process->hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process->hProcess, 99);
        ::CloseHandle(process->hProcess);
        ::CloseHandle(process->hThread);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    // File by file: the shell's delete of so many files takes minutes under Wine.
    for (int i = 0; i < kFiles; ++i)
        ::DeleteFileW((data + L"\\f" + std::to_wstring(i) + L".tmp").c_str());
    ::DeleteFileW((temp + L"\\Ondrevan.txt").c_str());
    for (const std::wstring& folder : {data, temp, root}) ::RemoveDirectoryW(folder.c_str());
}

// /run beside a run of the window's: the other run holds the run lock (here a thread of
// this test, as the window's thread would), so /run deletes nothing, says so on its output
// and in the history, and exits 1; once the other run is over, /run runs.
TEST(RunFromTheCommandLine, BesideARunUnderWayDeletesNothingSaysSoAndExitsOne) {
    const std::wstring root = L"C:\\ondrevan-beside";
    const std::wstring data = root + L"\\Data", temp = root + L"\\Temp";
    const std::wstring file = data + L"\\file.tmp", output = root + L"\\output.txt";
    for (const std::wstring& folder : {root, data, temp})
        ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CloseHandle(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] :
         {std::pair<const wchar_t*, std::wstring>{L"Folders", data + L"|234SSDEPERATATORZZ|"},
          {L"Option1", L"False"},
          {L"Option2", L"True"}})
        ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);

    auto run = [&](std::string& said) -> DWORD {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE out = ::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        wchar_t oldTemp[MAX_PATH] = {};
        ::GetEnvironmentVariableW(L"TEMP", oldTemp, MAX_PATH);
        ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
        std::wstring command = L"\"" + ProgramPath() + L"\" /run";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = out;
        PROCESS_INFORMATION process{};
        const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                              nullptr, nullptr, &startup, &process);
        ::SetEnvironmentVariableW(L"TEMP", oldTemp);
        ::CloseHandle(out);
        if (!started) return 12345;
        DWORD code = 12345;
        if (::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(process.hProcess, &code);
        else
            ::TerminateProcess(process.hProcess, 99);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
        std::ifstream in(Narrow(output), std::ios::binary);
        said.assign(std::istreambuf_iterator<char>(in), {});
        return code;
    };
    auto history = [&] {
        std::ifstream in(Narrow(temp + L"\\Ondrevan.txt"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };

    HANDLE claimed = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE finish = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread windowsRun([&] {
        Win32RunLock lock;
        if (lock.TryClaim() != RunLock::Claim::Claimed) return;
        ::SetEvent(claimed);
        ::WaitForSingleObject(finish, INFINITE);
        lock.Release();
    });
    ASSERT_EQ(::WaitForSingleObject(claimed, 10000), WAIT_OBJECT_0);
    std::string said;
    EXPECT_EQ(run(said), 1u);
    EXPECT_EQ(said, std::string(kRunUnderWay) + "\r\n");
    EXPECT_NE(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "deleted beside";
    EXPECT_NE(history().find(kRunUnderWay), std::string::npos) << history();
    ::SetEvent(finish);
    windowsRun.join();

    EXPECT_EQ(run(said), 0u) << said;
    EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);

    ::CloseHandle(claimed);
    ::CloseHandle(finish);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    for (const std::wstring& name : {file, output, temp + L"\\Ondrevan.txt"})
        ::DeleteFileW(name.c_str());
    for (const std::wstring& folder : {data, temp, root}) ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace ondrevan::win

namespace ondrevan::win {
namespace {

bool HighContrast(bool on) {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    contrast.dwFlags = on ? HCF_HIGHCONTRASTON : 0;
    ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, SPIF_SENDCHANGE);
    HIGHCONTRASTW now{};
    now.cbSize = sizeof now;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof now, &now, 0) &&
           ((now.dwFlags & HCF_HIGHCONTRASTON) != 0) == on;
}

// The designed white gives way to the system's window colour, text and all.
TEST_F(RunningProgram, WithHighContrastOnDrawsInTheSystemsColours) {
    if (!HighContrast(true)) {
        HighContrast(false);
        EXPECT_EQ(CloseAndWait(), 0u);
        GTEST_SKIP() << "this Windows cannot switch high contrast on (Wine cannot)";
    }
    // Drawn before RedrawWindow returns: the window is painted at once, not later.
    ::RedrawWindow(window_, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client;
    ::GetClientRect(window_, &client);
    POINT gap{client.right / 2, 2};  // between the top buttons and the frames: bare background
    ::ClientToScreen(window_, &gap);
    HDC screen = ::GetDC(nullptr);
    const COLORREF seen = ::GetPixel(screen, gap.x, gap.y);
    ::ReleaseDC(nullptr, screen);
    HighContrast(false);
    EXPECT_EQ(seen, ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(CloseAndWait(), 0u);
}

}  // namespace
}  // namespace ondrevan::win

#include <oleacc.h>

#include <iostream>

namespace ondrevan::win {
namespace {

struct Described {
    std::string name, value;
    long role = 0;
};

// What a screen reader hears of one window: a small client of the accessibility interface.
Described Describe(HWND window) {
    Described described;
    IAccessible* object = nullptr;
    const HRESULT found =
        ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                     __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (FAILED(found) || !object) {
        described.name = "(no accessible object: " + std::to_string(found) + ")";
        return described;
    }
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text)) && text) described.name = Narrow(text);
    ::SysFreeString(text);
    text = nullptr;
    if (SUCCEEDED(object->get_accValue(self, &text)) && text) described.value = Narrow(text);
    ::SysFreeString(text);
    VARIANT role;
    ::VariantInit(&role);
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) described.role = role.lVal;
    object->Release();
    return described;
}

long RoleOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case ControlKind::CheckBox:
            return ROLE_SYSTEM_CHECKBUTTON;
        case ControlKind::OptionButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case ControlKind::Label:
            return ROLE_SYSTEM_STATICTEXT;
        case ControlKind::Frame:
            return ROLE_SYSTEM_GROUPING;
        case ControlKind::ProgressBar:
            return ROLE_SYSTEM_PROGRESSBAR;
        case ControlKind::TextBox:
        case ControlKind::RichTextBox:
            return ROLE_SYSTEM_TEXT;
        case ControlKind::ComboBox:
            return ROLE_SYSTEM_COMBOBOX;
        case ControlKind::ListView:
            return ROLE_SYSTEM_LIST;
        case ControlKind::DateTimePicker:
            return ROLE_SYSTEM_SPINBUTTON;
        default:
            return 0;
    }
}

TEST_F(RunningProgram, EveryControlTellsAScreenReaderItsNameAndRole) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const std::map<std::string, std::string> named = {
        {"Text1", "Delete every: hours"},
        {"Text2", "minutes"},
        {"Text3", "seconds"},
        {"dtpWeekly", "Time of the daily or weekly run"},
        {"cboWeekly", "Day of the weekly run"},
        {"ListView1", "Folders to clear"},
        {"RichTextBox1", "History log"},
        {"ProgressBar1", "Off."},  // the status its frame shows
    };
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        const LayoutEntry& entry = kLayout[i];
        if (entry.kind == ControlKind::Timer) continue;
        HWND child = ChildById(window_, 1000 + static_cast<int>(i));
        ASSERT_NE(child, nullptr) << entry.name;
        const Described heard = Describe(child);
        wchar_t roleText[64] = L"";
        ::GetRoleTextW(static_cast<DWORD>(heard.role), roleText, 64);
        std::cout << entry.name << ": \"" << heard.name << "\", " << Narrow(roleText)
                  << (heard.value.empty() ? "" : ", value \"" + heard.value + "\"") << "\n";
        const auto given = named.find(entry.name);
        EXPECT_EQ(heard.name, given != named.end() ? given->second : std::string(entry.caption))
            << entry.name;
        EXPECT_EQ(heard.role, RoleOf(entry.kind)) << entry.name;
        if (entry.kind == ControlKind::ProgressBar) {
            EXPECT_EQ(heard.value, "Progress Bar (0%)");
        }
    }

    // The options window: every field that takes input is named, by its label or its own name.
    ::PostMessageW(window_, WM_SYSCOMMAND, 0x0100 /* Options... */, 0);
    HWND options = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (options = ::FindWindowW(L"OndrevanTool", nullptr)); }));
    std::vector<Described> fields;
    // The window is found as soon as it exists; its controls follow.
    WaitFor([&] {
        fields.clear();
        ::EnumChildWindows(
            options,
            [](HWND child, LPARAM list) -> BOOL {
                if (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP)
                    reinterpret_cast<std::vector<Described>*>(list)->push_back(Describe(child));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&fields));
        return fields.size() >= 9u;
    });
    EXPECT_GE(fields.size(), 9u);
    for (const Described& field : fields) {
        std::cout << "Options: \"" << field.name << "\", role " << field.role << "\n";
        EXPECT_FALSE(field.name.empty());
        EXPECT_NE(field.role, ROLE_SYSTEM_CLIENT) << field.name;
    }
    ::CoUninitialize();
    EXPECT_EQ(CloseAndWait(), 0u);
}

int IdOf(const char* name) {
    for (std::size_t i = 0; i < kLayout.size(); ++i)
        if (std::string(kLayout[i].name) == name) return 1000 + static_cast<int>(i);
    return 0;
}

// The rest of what a screen reader asks: whether a box is checked, and a field's value,
// which is the field's own and no part of it has.
TEST_F(RunningProgram, BoxesTellWhetherTheyAreCheckedAndOnlyAFieldItselfHasItsValue) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    auto objectOf = [&](const char* name) {
        IAccessible* object = nullptr;
        ::AccessibleObjectFromWindow(ChildById(window_, IdOf(name)),
                                     static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&object));
        return object;
    };
    auto checked = [&](const char* name) {
        IAccessible* object = objectOf(name);
        if (!object) return false;
        VARIANT self, state;
        ::VariantInit(&self);
        ::VariantInit(&state);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        const bool on = SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4 &&
                        (state.lVal & STATE_SYSTEM_CHECKED) != 0;
        object->Release();
        return on;
    };
    ::SendMessageW(ChildById(window_, IdOf("Check1")), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return checked("Check1"); }, 30000)) << "Check1, clicked";
    const std::pair<const char*, bool> boxes[] = {{"Check1", true},  {"Check8", false},
                                                  {"Option1", true}, {"Option2", false},
                                                  {"Option3", true}, {"Option4", false}};
    for (const auto& [name, on] : boxes) {
        EXPECT_EQ(checked(name), on) << name;
    }

    for (const char* field : {"Text1", "Text3", "ProgressBar1"}) {
        IAccessible* object = objectOf(field);
        ASSERT_NE(object, nullptr) << field;
        VARIANT child;
        ::VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = 1;
        BSTR value = nullptr;
        EXPECT_EQ(object->get_accValue(child, &value), E_INVALIDARG) << field;
        if (value) {
            ADD_FAILURE() << field << "'s first child says \"" << Narrow(value) << "\"";
            ::SysFreeString(value);
        }
        object->Release();
    }
    ::CoUninitialize();
    EXPECT_EQ(CloseAndWait(), 0u);
}

}  // namespace
}  // namespace ondrevan::win
