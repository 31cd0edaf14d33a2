// The small Win32 pieces under the program: long paths, the tray icon's calls to the shell,
// and the locks that keep the program's copies apart.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/win/NotifyIcon_win.h"
#include "platform/win/SingleCopy_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

TEST(WidePathWin, PrefixesOnlyAbsolutePathsTooLongForTheOlderCalls) {
    const std::wstring drive247 = L"C:\\" + std::wstring(244, L'a');
    const std::wstring drive248 = L"C:\\" + std::wstring(245, L'a');
    const std::wstring unc = L"\\\\server\\share\\" + std::wstring(240, L'u');
    const std::wstring prefixed = L"\\\\?\\C:\\" + std::wstring(300, L'p');
    const std::wstring relative = std::wstring(300, L'r');
    struct Case {
        std::wstring path, expected;
    } cases[] = {
        {drive247, drive247},
        {drive248, L"\\\\?\\" + drive248},
        {unc, L"\\\\?\\UNC\\" + unc.substr(2)},
        {L"\\\\server\\share\\short", L"\\\\server\\share\\short"},
        {prefixed, prefixed},
        {relative, relative},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Narrow(WidePath(c.path)), Narrow(c.expected)) << c.path.size() << " characters";
    }
    // Counted in UTF-16 units, as the calls count: 247 of them in many more UTF-8 bytes.
    std::string utf8 = "C:\\";
    for (int i = 0; i < 244; ++i) utf8 += "\xC3\xA9";  // é
    EXPECT_EQ(WidePath(utf8), Widen(utf8));
    EXPECT_EQ(WidePath(utf8 + "\xC3\xA9"), L"\\\\?\\" + Widen(utf8 + "\xC3\xA9"));
}

struct NoListener : NotifyIconListener {
    void DispatchTrayMessage(std::uint32_t message, std::int32_t id) override {
        heard.push_back({message, id});
    }
    void OnTaskbarCreated() override {}
    std::vector<std::pair<std::uint32_t, std::int32_t>> heard;
};

struct ShellCall {
    DWORD message;
    HWND window;
    UINT id, version;
    DWORD size;
};

TEST(TrayIconWin, AsksForTheNewerMessagesOnlyAfterTheShellTookTheIcon) {
    struct Case {
        bool addTaken, versionTaken;
    } cases[] = {{true, true}, {true, false}, {false, true}};
    for (const Case& c : cases) {
        std::vector<ShellCall> calls;
        Win32NotifyIcon icon([&](DWORD message, NOTIFYICONDATAW* data) -> BOOL {
            calls.push_back({message, data->hWnd, data->uID, data->uVersion, data->cbSize});
            return message == NIM_SETVERSION ? c.versionTaken : c.addTaken;
        });
        NoListener listener;
        ASSERT_TRUE(icon.Create(::GetModuleHandleW(nullptr), listener));
        NotifyIconRequest add;
        add.flags = 1 | 2 | 4;
        add.callbackMessage = kTrayCallbackMessage;
        icon.Send(add);
        const std::string at = std::string("add ") + (c.addTaken ? "taken" : "refused") +
                               ", version " + (c.versionTaken ? "taken" : "refused");
        ASSERT_EQ(calls.size(), c.addTaken ? 2u : 1u) << at;
        EXPECT_EQ(calls[0].message, static_cast<DWORD>(NIM_ADD)) << at;
        if (c.addTaken) {
            EXPECT_EQ(calls[1].message, static_cast<DWORD>(NIM_SETVERSION)) << at;
            EXPECT_EQ(calls[1].version, static_cast<UINT>(NOTIFYICON_VERSION_4)) << at;
            EXPECT_EQ(calls[1].window, icon.Handle()) << at;
            EXPECT_EQ(calls[1].id, 0u) << at;
            EXPECT_EQ(calls[1].size, sizeof(NOTIFYICONDATAW)) << at;
        }
        EXPECT_EQ(icon.NewerMessages(), c.addTaken && c.versionTaken) << at;

        // A change of the tip asks for nothing more.
        NotifyIconRequest tip;
        tip.action = NotifyIconRequest::Action::Modify;
        tip.flags = 4;
        tip.tip = "Ondrevan";
        icon.Send(tip);
        EXPECT_EQ(calls.back().message, static_cast<DWORD>(NIM_MODIFY)) << at;

        // A press on the icon reaches the tray control in the form the shell agreed to.
        const LPARAM newer = MAKELPARAM(WM_LBUTTONDOWN, 0);
        if (icon.NewerMessages())
            ::SendMessageW(icon.Handle(), kTrayCallbackMessage, MAKEWPARAM(10, 20), newer);
        else
            ::SendMessageW(icon.Handle(), kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
        ASSERT_EQ(listener.heard.size(), 1u) << at;
        EXPECT_EQ(listener.heard[0].first, static_cast<std::uint32_t>(WM_LBUTTONDOWN)) << at;
        EXPECT_EQ(listener.heard[0].second, 0) << at;
    }
}

// The run lock between two copies: another thread holds it as another process would (a
// mutex is re-entrant only for the thread that holds it).
TEST(RunLockWin, IsBusyWhileAnotherCopyRunsAndFreeAfterItEndsOrCrashes) {
    Win32RunLock mine;
    ASSERT_EQ(mine.TryClaim(), RunLock::Claim::Claimed);
    EXPECT_EQ(mine.TryClaim(), RunLock::Claim::Busy) << "a run inside this one's message box";
    mine.Release();

    HANDLE claimed = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE finish = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (const bool crashes : {false, true}) {
        ::ResetEvent(claimed);
        ::ResetEvent(finish);
        std::thread other([&] {
            Win32RunLock theirs;
            if (theirs.TryClaim() != RunLock::Claim::Claimed) return;
            ::SetEvent(claimed);
            ::WaitForSingleObject(finish, INFINITE);
            if (!crashes) theirs.Release();
            // Crashing: the thread ends holding the mutex, as a process that died would.
        });
        ASSERT_EQ(::WaitForSingleObject(claimed, 10000), WAIT_OBJECT_0);
        EXPECT_EQ(mine.TryClaim(), RunLock::Claim::Busy) << "beside the other copy's run";
        ::SetEvent(finish);
        other.join();
        EXPECT_EQ(mine.TryClaim(), RunLock::Claim::Claimed)
            << (crashes ? "after the other copy crashed" : "after the other copy's run");
        mine.Release();
    }
    ::CloseHandle(claimed);
    ::CloseHandle(finish);
}

// Another program of the same user holds the single-copy lock's name, and no window of the
// program is open: a start says the lock is held rather than that a copy runs.
TEST(SingleCopyWin, TellsALockHeldWithoutAWindowFromACopyThatDoesNotAnswer) {
    const std::wstring name = SessionObjectName(L"Window");
    const UniqueHandleObject other(::CreateMutexW(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(other);
    // A class no window has: whoever holds the name, it is none of the program's windows.
    Win32SingleCopy copies(L"OndrevanTestNoWindow", WM_APP, 300);
    EXPECT_EQ(copies.ClaimWindowOrHandOver(), SingleCopy::Start::LockHeld);
}

TEST(RunLockWin, IsNamedForThisUserInThisSession) {
    const std::wstring name = SessionObjectName(L"Run");
    EXPECT_EQ(name.rfind(L"Local\\Ondrevan.Run.", 0), 0u) << Narrow(name);
    EXPECT_GT(name.size(), std::wstring(L"Local\\Ondrevan.Run.").size()) << "names the user";
    EXPECT_EQ(name.find(L'\\', 6), std::wstring::npos) << "one backslash, after the namespace";
}

}  // namespace
}  // namespace ondrevan::win
