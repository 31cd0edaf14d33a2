#include "platform/win/Registry_win.h"

#include <cstring>

#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"

namespace ondrevan::win {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

constexpr REGSAM kRunKeyAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
                                 KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK;

}  // namespace

bool Win32Registry::SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                             const std::string& data) {
    UniqueHkey key;
    if (::RegOpenKeyExW(RootKey(root), Widen(keyPath).c_str(), 0, kRunKeyAccess, key.put()) !=
        ERROR_SUCCESS)
        return false;
    std::wstring text = Widen(data);
    text.push_back(L'\0');
    return ::RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegistryRoot root, const std::string& keyPath,
                                const std::string& name) {
    UniqueHkey key;
    if (::RegOpenKeyExW(RootKey(root), Widen(keyPath).c_str(), 0, kRunKeyAccess, key.put()) !=
        ERROR_SUCCESS)
        return false;
    return ::RegDeleteValueW(key.get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

std::optional<RegistryData> Win32Registry::ReadValue(RegistryRoot root, const std::string& keyPath,
                                                     const std::string& name) {
    UniqueHkey key;
    if (::RegOpenKeyExW(RootKey(root), Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const std::wstring valueName = Widen(name);
    // The whole value, however large: a policy's last entries protect as much as its first.
    // It may grow between the calls; ask again until it fits.
    DWORD type = 0, size = 0;
    std::vector<BYTE> bytes;
    LSTATUS status =
        ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        bytes.assign(size + sizeof(wchar_t), 0);  // never empty, so never null
        size = static_cast<DWORD>(bytes.size());
        status =
            ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_SUCCESS) break;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    // Present: a value of a type no policy has reads as present with nothing in it.
    RegistryData data;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, bytes.data(), sizeof number);
        data.number = number;
    } else if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        // Every NUL-separated string to the end of the data, the empty ones dropped; the
        // text of a single string is what comes before its first NUL.
        const auto* chars = reinterpret_cast<const wchar_t*>(bytes.data());
        const std::wstring_view all(chars, size / sizeof(wchar_t));
        std::vector<std::string> strings;
        for (std::size_t start = 0; start < all.size();) {
            std::size_t end = all.find(L'\0', start);
            if (end == std::wstring_view::npos) end = all.size();
            if (end > start) strings.push_back(Narrow(all.substr(start, end - start)));
            start = end + 1;
        }
        if (type != REG_MULTI_SZ)
            data.text = Narrow(all.substr(0, std::min(all.find(L'\0'), all.size())));
        data.lines = std::move(strings);
    }
    return data;
}

}  // namespace ondrevan::win
