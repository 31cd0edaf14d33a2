#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondrevan {

enum class RegistryRoot { LocalMachine, CurrentUser };

// One value as read: a number (REG_DWORD), a text (REG_SZ, REG_EXPAND_SZ unexpanded) or
// lines (REG_MULTI_SZ). A value of any other type reads as nothing.
struct RegistryData {
    std::optional<std::uint32_t> number;
    std::optional<std::string> text;
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
    // Nothing when the key or the value is missing or of another type.
    virtual std::optional<RegistryData> ReadValue(RegistryRoot root, const std::string& keyPath,
                                                  const std::string& name) = 0;
};

}  // namespace ondrevan
