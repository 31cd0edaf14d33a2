#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

std::string Win32Environment::Variable(const std::string& name) {
    std::wstring wideName = Widen(name);
    DWORD needed = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) return "";
    std::wstring value(needed, L'\0');
    DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    value.resize(length < needed ? length : 0);
    return Narrow(value);
}

std::string Win32Environment::SystemDirectory() {
    wchar_t path[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    return Narrow(std::wstring_view(path, length));
}

std::string Win32Environment::ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return "";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.erase(path.find_last_of(L'\\'));
    if (path.size() == 2 && path[1] == L':') path += L'\\';  // a drive root keeps its backslash
    return Narrow(path);
}

}  // namespace ondrevan::win
