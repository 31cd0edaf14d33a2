#pragma once

#include <windows.h>

#include "platform/Registry.h"

namespace ondrevan::win {

class Win32Registry : public Registry {
  public:
    bool SetValue(RegistryRoot root, const std::string& keyPath, const std::string& name,
                  const std::string& data) override;
    bool DeleteValue(RegistryRoot root, const std::string& keyPath,
                     const std::string& name) override;
    std::optional<RegistryData> ReadValue(RegistryRoot root, const std::string& keyPath,
                                          const std::string& name) override;
};

}  // namespace ondrevan::win
