#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

std::wstring SectionKeyPath(const std::string& application, const std::string& section) {
    return L"Software\\VB and VBA Program Settings\\" + Widen(application) + L"\\" + Widen(section);
}

// A value written by hand in a type of its own reads as the text it stands for, never as
// an empty one: a number as its digits, a multi-string one string a line, anything else as
// its bytes in the form an exported .reg file gives them ("hex:07,00"), which no setting
// reads.
std::string TextOfOtherType(DWORD type, const BYTE* bytes, std::size_t size) {
    if (type == REG_DWORD && size == 4) {
        DWORD number = 0;
        std::memcpy(&number, bytes, size);
        return std::to_string(number);
    }
    if (type == REG_QWORD && size == 8) {
        std::uint64_t number = 0;
        std::memcpy(&number, bytes, size);
        return std::to_string(number);
    }
    if (type == REG_MULTI_SZ) {
        const std::wstring_view all(reinterpret_cast<const wchar_t*>(bytes),
                                    size / sizeof(wchar_t));
        std::string lines;
        for (std::size_t start = 0; start < all.size();) {
            std::size_t end = all.find(L'\0', start);
            if (end == std::wstring_view::npos) end = all.size();
            if (end > start)
                lines += (lines.empty() ? "" : "\r\n") + Narrow(all.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }
    if (size == 0) return std::string();
    std::string hex = "hex:";
    for (std::size_t i = 0; i < size; ++i) {
        if (i) hex += ',';
        hex += "0123456789abcdef"[bytes[i] >> 4];
        hex += "0123456789abcdef"[bytes[i] & 15];
    }
    return hex;
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
    // Most values fit the first buffer and are read in one call; a longer one is asked for
    // again at its size, and again while it grows between the calls.
    std::wstring data(127, L'\0');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    LSTATUS status = ::RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type,
                                        reinterpret_cast<BYTE*>(data.data()), &bytes);
    while (status == ERROR_MORE_DATA) {
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
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return TextOfOtherType(type, reinterpret_cast<const BYTE*>(data.data()), bytes);

    data.resize(bytes / sizeof(wchar_t));
    if (!data.empty() && data.back() == L'\0') data.pop_back();  // the terminator only
    return Narrow(data);
}

std::vector<std::string> RegistrySettingsStore::Names(const std::string& application,
                                                      const std::string& section) {
    std::vector<std::string> names;
    UniqueHkey hkey;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionKeyPath(application, section).c_str(), 0,
                        KEY_QUERY_VALUE, hkey.put()) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];  // the longest value name there can be, and its NUL
        DWORD length = 16384;
        if (::RegEnumValueW(hkey.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.push_back(Narrow(std::wstring_view(name, length)));
    }
    return names;
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
