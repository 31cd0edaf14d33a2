#pragma once

#include <string>

namespace ondrevan {

enum class RegistryRoot { LocalMachine, CurrentUser };

// Text values in existing registry keys; no key is ever created.
class Registry {
  public:
    virtual ~Registry() = default;
    // False when the key cannot be opened for writing or the value not written.
    virtual bool SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                          const std::string& data) = 0;
    virtual bool DeleteValue(RegistryRoot root, const std::string& keyPath,
                             const std::string& name) = 0;
};

}  // namespace ondrevan
