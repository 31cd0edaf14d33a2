#pragma once

#include <windows.h>

#include <string>

#include "platform/SingleCopy.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {

// A name for one of the program's objects, for the user running it: "Local\" keeps it to
// this session (another user logged on elsewhere is not held up), the user's SID keeps two
// users of one session (Run as) apart.
std::wstring SessionObjectName(const wchar_t* what);

// A named mutex, held for the length of a run. Mutexes are re-entrant for their thread, so
// a run that a message box lets start inside another of this process is refused here too.
class Win32RunLock : public RunLock {
  public:
    Win32RunLock();
    Claim TryClaim() override;
    void Release() override;

  private:
    UniqueHandleObject mutex_;
    bool held_ = false;
};

// A named mutex that exists while the first copy runs; a later copy finds the first one's
// main window by its class and its user, and posts it `showMessage`.
class Win32SingleCopy : public SingleCopy {
  public:
    Win32SingleCopy(const wchar_t* windowClass, UINT showMessage, DWORD patienceMs = 10000);
    Start ClaimWindowOrHandOver() override;
    std::optional<bool> CopyRunning() override;

  private:
    bool TryClaim();
    HWND FindOtherWindow() const;

    std::wstring windowClass_;
    UINT showMessage_;
    DWORD patienceMs_;
    UniqueHandleObject mutex_;
};

// What asking the running copies to close came to.
struct CloseResult {
    int asked = 0;         // copies with a main window on this desktop, whoever runs them
    int stillRunning = 0;  // of those, the ones that had not ended when patience ran out
    int hidden = 0;        // of those asked, the ones whose window was hidden (in the tray)
};

// The WM_CLOSE that CloseRunningCopies posts carries this, so that the copy can say who
// closed it.
inline constexpr WPARAM kCloseAskedByCommand = 0x0E;

// Asks every other copy with a main window of `windowClass` on this desktop (the user's
// session) to close, as its close box does, and waits up to `patienceMs` for each to end.
// Installers use it: a copy that runs holds its .exe open.
CloseResult CloseRunningCopies(const wchar_t* windowClass, DWORD patienceMs);

}  // namespace ondrevan::win
