// The hot key through a real low-level hook, and the scheduler on a real window timer.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <functional>
#include <thread>

#include "RealSystem.h"
#include "app/Form1.h"
#include "app/win/MainWindow_win.h"

namespace ondrevan::win {
namespace {

using testing::kSettingsKey;
using testing::RealSystem;
using testing::RemoveTree;

const std::string kFolder = "C:\\ondrevan-schedule";

// Lets the window's messages run until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (!condition()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                    QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

void Type(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (auto [key, up] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Counts the T key-downs that reach a window.
int TKeyDowns = 0;
LRESULT CALLBACK CountTKeyDowns(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    if (message == WM_KEYDOWN && wParam == 'T') ++TKeyDowns;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

struct RealSchedule : ::testing::Test {
    RealSystem sys;
    std::unique_ptr<Form1> form;
    std::unique_ptr<MainWindow> window;

    void Start(bool withTrayIcon = false) {
        form = std::make_unique<Form1>(sys.services());
        if (withTrayIcon) {
            ASSERT_TRUE(sys.real.notifyIcon.Create(::GetModuleHandleW(nullptr), form->cSysTray1));
        }
        window = std::make_unique<MainWindow>(::GetModuleHandleW(nullptr), *form, sys.dialogs);
        ASSERT_TRUE(window->Create());
        sys.real.SetOwner(window->Handle());
        form->Form_Load();
        window->ShowAfterLoad();
    }
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        RemoveTree(kFolder);
        ::CreateDirectoryW(Widen(kFolder).c_str(), nullptr);
    }
    void TearDown() override {
        sys.real.keyboardHook.Remove();
        if (window) ::DestroyWindow(window->Handle());
        RemoveTree(kFolder);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }
};

TEST_F(RealSchedule, CtrlShiftTTogglesOnceAndTheKeyStillReachesTheFocusedWindow) {
    Start();
    form->ListView1.Add(kFolder);
    HWND editor = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 50, 50, 200,
                                    30, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowSubclass(editor, CountTKeyDowns, 1, 0);
    ::SetForegroundWindow(editor);
    ::SetFocus(editor);
    PumpUntil([&] { return ::GetFocus() == editor; }, 2000);

    auto press = [&](std::initializer_list<std::pair<WORD, bool>> keys) {
        std::thread typist([keys] { Type(keys); });
        PumpUntil([] { return false; }, 400);  // the hook runs on this thread's messages
        typist.join();
        PumpUntil([] { return false; }, 200);
    };
    auto pressHotKey = [&] {
        press({{VK_CONTROL, false},
               {VK_SHIFT, false},
               {'T', false},
               {'T', true},
               {VK_SHIFT, true},
               {VK_CONTROL, true}});
    };
    press({{VK_CONTROL, false}, {'T', false}, {'T', true}, {VK_CONTROL, true}});
    press({{VK_SHIFT, false}, {'T', false}, {'T', true}, {VK_SHIFT, true}});
    EXPECT_EQ(form->PushButton2.Caption(), "Turn On Automatic Delete")
        << "Ctrl+T and Shift+T do nothing";

    TKeyDowns = 0;
    pressHotKey();
    EXPECT_EQ(form->PushButton2.Caption(), "Turn Off Automatic Delete") << "one press, one toggle";
    EXPECT_EQ(TKeyDowns, 1) << "the T of Ctrl+Shift+T itself still reaches the focused window";
    pressHotKey();
    EXPECT_EQ(form->PushButton2.Caption(), "Turn On Automatic Delete");

    wchar_t text[32] = {};
    ::GetWindowTextW(editor, text, 32);
    EXPECT_EQ(std::wstring(text).find(L'T') != std::wstring::npos, true)
        << "the T was not swallowed";
    ::DestroyWindow(editor);
}

TEST_F(RealSchedule, ASwitchLeftOnStartsArmedAndRunsARealThreeSecondInterval) {
    SaveSetting(sys.real.settings, "Quillmere", "Ondrevan", "StartStopState", "On");
    SaveSetting(sys.real.settings, "Quillmere", "Ondrevan", "Text1", "0");
    SaveSetting(sys.real.settings, "Quillmere", "Ondrevan", "Text2", "0");
    SaveSetting(sys.real.settings, "Quillmere", "Ondrevan", "Text3", "3");
    SaveSetting(sys.real.settings, "Quillmere", "Ondrevan", "Option2", "True");
    SaveSetting(sys.real.settings, "Quillmere", "Ondrevan", "Folders",
                kFolder + "|234SSDEPERATATORZZ|");
    Start();
    ::DeleteFileW(Widen(form->HistoryFilePath()).c_str());
    std::ofstream(kFolder + "\\one.tmp") << "x";
    EXPECT_TRUE(form->Timer1.Running());
    EXPECT_EQ(form->Frame4.Caption(), "Off.") << "until the first tick";
    ASSERT_TRUE(PumpUntil([&] { return form->Frame4.Caption() != "Off."; }, 3000));
    EXPECT_EQ(form->Frame4.Caption(), "On. Next deleting will occur in: 00:00:02");
    const auto history = [&] {
        std::ifstream in(form->HistoryFilePath().c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    ASSERT_TRUE(PumpUntil([&] { return !history().empty(); }, 30000));
    EXPECT_NE(history().find("Deleted content of folder  " + kFolder + "\r\n"), std::string::npos);
    EXPECT_EQ(::GetFileAttributesW(Widen(kFolder + "\\one.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(form->Timer1.Running()) << "re-armed after the run";
}

TEST_F(RealSchedule, ClosingTheRealWindowTakesAwayTheTrayIconAndTheHook) {
    Start(true);
    ASSERT_TRUE(sys.real.keyboardHook.Installed());
    const HWND tray = sys.real.notifyIcon.Handle();
    auto iconThere = [tray] {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = tray;
        data.uFlags = NIF_TIP;
        return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    };
    ASSERT_TRUE(iconThere());
    const HWND main = window->Handle();
    ::PostMessageW(main, WM_CLOSE, 0, 0);  // as the close box sends it
    ASSERT_TRUE(PumpUntil([main] { return !::IsWindow(main); }, 30000));
    EXPECT_FALSE(iconThere()) << "the icon has left the notification area";
    EXPECT_FALSE(sys.real.keyboardHook.Installed()) << "the hot key is gone";
}

TEST(RealTrayIcon, IsAddedAtStartAndRemovedAtShutdown) {
    RealSystem sys;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    Form1 form(sys.services());
    ASSERT_TRUE(sys.real.notifyIcon.Create(::GetModuleHandleW(nullptr), form.cSysTray1));
    form.Form_Load();
    EXPECT_TRUE(sys.real.notifyIcon.LastResult()) << "the shell took the icon";
    form.cSysTray1.SetTrayTip("changed");
    EXPECT_TRUE(sys.real.notifyIcon.LastResult()) << "a change to an icon that is there";
    form.Form_QueryUnload();
    EXPECT_TRUE(sys.real.notifyIcon.LastResult()) << "the icon was there to remove";
    form.cSysTray1.SetInTray(true);
    form.cSysTray1.SetInTray(false);
    EXPECT_TRUE(sys.real.notifyIcon.LastResult());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
}  // namespace ondrevan::win
