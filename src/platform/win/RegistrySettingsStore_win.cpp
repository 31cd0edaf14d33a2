#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

std::wstring SectionKeyPath(const std::string& application, const std::string& section) {
    return L"Software\\VB and VBA Program Settings\\" + Widen(application) + L"\\" + Widen(section);
}

}  // namespace

std::optional<std::string> RegistrySettingsStore::Read(const std::string& application,
                                                       const std::string& section,
                                                       const std::string& key) {
    UniqueHkey hkey;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(application, section).c_str(), 0,
                        KEY_QUERY_VALUE, hkey.put()) != ERROR_SUCCESS)
        return std::nullopt;

    const std::wstring name = Widen(key);
    std::wstring data;
    DWORD type = 0;
    DWORD bytes = 0;
    LSTATUS status = ::RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &bytes);
    // The value may grow between the two calls; ask again until it fits.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.resize(bytes / sizeof(wchar_t) + 1);
        DWORD capacity = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        status = ::RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &capacity);
        if (status == ERROR_SUCCESS) {
            bytes = capacity;
            break;
        }
        if (status == ERROR_MORE_DATA) bytes = capacity;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();

    data.resize(bytes / sizeof(wchar_t));
    if (!data.empty() && data.back() == L'\0') data.pop_back();  // the terminator only
    return Narrow(data);
}

void RegistrySettingsStore::Write(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& value) {
    UniqueHkey hkey;
    LSTATUS status =
        ::RegCreateKeyExW(HKEY_CURRENT_USER, SectionKeyPath(application, section).c_str(), 0,
                          nullptr, 0, KEY_SET_VALUE, nullptr, hkey.put(), nullptr);
    if (status != ERROR_SUCCESS) throw ErrorFromWin32(static_cast<DWORD>(status));

    std::wstring data = Widen(value);
    data.push_back(L'\0');
    status = ::RegSetValueExW(hkey.get(), Widen(key).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) throw ErrorFromWin32(static_cast<DWORD>(status));
}

}  // namespace ondrevan::win
