#include "platform/win/SingleCopy_win.h"

#include <sddl.h>

#include <vector>

namespace ondrevan::win {
namespace {

// The SID of the token's user as text, or "" when it cannot be read.
std::wstring UserSid(HANDLE token) {
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return {};
    const UniqueHlocal owned(text);
    return text;
}

std::wstring OwnUserSid() {
    UniqueHandleObject token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    return UserSid(token.get());
}

// The user's name where the SID cannot be read; "" when neither can.
std::wstring OwnUser() {
    std::wstring sid = OwnUserSid();
    if (!sid.empty()) return sid;
    wchar_t name[257] = L"";
    DWORD length = 257;
    return ::GetUserNameW(name, &length) ? name : L"";
}

bool RunsAsUser(DWORD processId, const std::wstring& sid) {
    const UniqueHandleObject process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    UniqueHandleObject token;
    if (!::OpenProcessToken(process.get(), TOKEN_QUERY, token.put())) return false;
    return !sid.empty() && UserSid(token.get()) == sid;
}

// Only the user (elevated or not) and the system may open the program's objects; another
// user of the session cannot hold them, nor a program at a lower integrity level.
class OwnObjectSecurity {
  public:
    OwnObjectSecurity() {
        const std::wstring sid = OwnUserSid();
        if (sid.empty()) return;
        const std::wstring sddl = L"D:P(A;;GA;;;" + sid + L")(A;;GA;;;SY)S:(ML;;NW;;;ME)";
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                    &descriptor, nullptr))
            return;  // the system's default security, which is the user's too
        descriptor_.reset(descriptor);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor;
        attributes_.bInheritHandle = FALSE;
    }
    SECURITY_ATTRIBUTES* Get() { return descriptor_ ? &attributes_ : nullptr; }

  private:
    UniqueHlocal descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace

std::wstring SessionObjectName(const wchar_t* what) {
    std::wstring name = L"Local\\Ondrevan.";
    name += what;
    const std::wstring user = OwnUser();
    if (!user.empty()) name += L"." + user;
    return name;
}

// ---- the run ----

Win32RunLock::Win32RunLock() {
    OwnObjectSecurity security;
    mutex_.reset(::CreateMutexW(security.Get(), FALSE, SessionObjectName(L"Run").c_str()));
}

RunLock::Claim Win32RunLock::TryClaim() {
    if (held_) return Claim::Busy;
    // Not there: another user's object under our name, or none could be made.
    if (!mutex_) return Claim::Unknown;
    switch (::WaitForSingleObject(mutex_.get(), 0)) {
        case WAIT_OBJECT_0:
        // Its last holder ended without letting go (a crash): that run is over.
        case WAIT_ABANDONED:
            held_ = true;
            return Claim::Claimed;
        case WAIT_TIMEOUT:
            return Claim::Busy;
        default:
            return Claim::Unknown;
    }
}

void Win32RunLock::Release() {
    if (!held_) return;
    held_ = false;
    // Should it fail, the system lets go when this process ends; until then the other copies
    // are told a run is under way, which is the safe side.
    ::ReleaseMutex(mutex_.get());
}

// ---- the window ----

Win32SingleCopy::Win32SingleCopy(const wchar_t* windowClass, UINT showMessage, DWORD patienceMs)
    : windowClass_(windowClass), showMessage_(showMessage), patienceMs_(patienceMs) {}

bool Win32SingleCopy::TryClaim() {
    OwnObjectSecurity security;
    mutex_.reset(::CreateMutexW(security.Get(), FALSE, SessionObjectName(L"Window").c_str()));
    const DWORD error = ::GetLastError();
    if (!mutex_) {
        // Denied: it exists, made by a copy at a higher level or by someone else. Any other
        // failure says nothing of another copy, and the program starts as it always did.
        return error != ERROR_ACCESS_DENIED;
    }
    if (error != ERROR_ALREADY_EXISTS) return true;
    mutex_.reset();  // not ours to keep: the name goes when the first copy ends
    return false;
}

std::optional<bool> Win32SingleCopy::CopyRunning() {
    if (mutex_) return true;  // this copy holds it
    UniqueHandleObject other(
        ::OpenMutexW(SYNCHRONIZE, FALSE, SessionObjectName(L"Window").c_str()));
    if (other) return true;
    switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
            return false;
        case ERROR_ACCESS_DENIED:  // it exists: a copy at a higher level holds it
            return true;
        default:
            return std::nullopt;
    }
}

HWND Win32SingleCopy::FindOtherWindow() const {
    struct Search {
        const Win32SingleCopy* self;
        std::wstring sid;
        HWND found;
    } search{this, OwnUserSid(), nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = L"";
            if (!::GetClassNameW(window, name, 64) || s->self->windowClass_ != name) return TRUE;
            DWORD processId = 0;
            if (!::GetWindowThreadProcessId(window, &processId) ||
                processId == ::GetCurrentProcessId() || !RunsAsUser(processId, s->sid))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

SingleCopy::Start Win32SingleCopy::ClaimWindowOrHandOver() {
    // The first copy may not have made its window yet (two starts at once), or may be
    // ending (its window gone, its name not yet): ask again for a while.
    const ULONGLONG until = ::GetTickCount64() + patienceMs_;
    bool windowSeen = false;
    for (;;) {
        if (TryClaim()) return Start::First;
        if (HWND other = FindOtherWindow()) {
            windowSeen = true;
            DWORD processId = 0;
            ::GetWindowThreadProcessId(other, &processId);
            // Started by the user, this copy may hand the foreground on; if it may not, the
            // other window flashes in the taskbar instead.
            ::AllowSetForegroundWindow(processId);
            if (::PostMessageW(other, showMessage_, 0, 0)) return Start::HandedOver;
        }
        if (::GetTickCount64() >= until) return windowSeen ? Start::NoAnswer : Start::LockHeld;
        ::Sleep(100);
    }
}

// ---- closing the running copies ----

CloseResult CloseRunningCopies(const wchar_t* windowClass, DWORD patienceMs) {
    struct Copy {
        HWND window;
        UniqueHandleObject process;
    };
    struct Search {
        const wchar_t* windowClass;
        std::vector<Copy> copies;
    } search{windowClass, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = L"";
            if (!::GetClassNameW(window, name, 64) || ::lstrcmpW(name, s->windowClass) != 0)
                return TRUE;
            DWORD processId = 0;
            if (!::GetWindowThreadProcessId(window, &processId) ||
                processId == ::GetCurrentProcessId())
                return TRUE;
            s->copies.push_back(
                {window, UniqueHandleObject(::OpenProcess(SYNCHRONIZE, FALSE, processId))});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));

    CloseResult result;
    result.asked = static_cast<int>(search.copies.size());
    std::vector<const Copy*> asked;
    for (const Copy& copy : search.copies) {
        if (!::IsWindowVisible(copy.window)) ++result.hidden;
        // Refused (a copy at a higher integrity level): it will not end, however long we wait.
        if (::PostMessageW(copy.window, WM_CLOSE, kCloseAskedByCommand, 0))
            asked.push_back(&copy);
        else
            ++result.stillRunning;
    }
    const ULONGLONG until = ::GetTickCount64() + patienceMs;
    for (const Copy* copy : asked) {
        // Ended is what counts: the .exe stays open until the process is gone, not the window.
        for (;;) {
            const ULONGLONG now = ::GetTickCount64();
            const DWORD left = now < until ? static_cast<DWORD>(until - now) : 0;
            if (copy->process ? ::WaitForSingleObject(copy->process.get(), left) == WAIT_OBJECT_0
                              : !::IsWindow(copy->window))
                break;
            if (copy->process || left == 0) {
                ++result.stillRunning;
                break;
            }
            ::Sleep(100);
        }
    }
    return result;
}

}  // namespace ondrevan::win
