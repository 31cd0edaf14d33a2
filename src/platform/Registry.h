#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondrevan {

enum class RegistryRoot { LocalMachine, CurrentUser };

// One value as read. A value of another type (REG_BINARY, REG_QWORD, ...) reads with
// nothing set: present, but saying nothing.
struct RegistryData {
    std::optional<std::uint32_t> number;  // REG_DWORD
    std::optional<std::string> text;      // REG_SZ, REG_EXPAND_SZ unexpanded: to its first NUL
    // The non-empty strings of a REG_MULTI_SZ, to the end of its data past any empty one;
    // of a REG_SZ or REG_EXPAND_SZ too, where one was written with NULs inside.
    std::optional<std::vector<std::string>> lines;
};

// Values in existing registry keys; no key is ever created.
class Registry {
  public:
    virtual ~Registry() = default;
    // False when the key cannot be opened for writing or the value not written.
    virtual bool SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                          const std::string& data) = 0;
    virtual bool DeleteValue(RegistryRoot root, const std::string& keyPath,
                             const std::string& name) = 0;
    // Nothing when the key or the value is missing.
    virtual std::optional<RegistryData> ReadValue(RegistryRoot root, const std::string& keyPath,
                                                  const std::string& name) = 0;
};

}  // namespace ondrevan
