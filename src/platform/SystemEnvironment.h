#pragma once

#include <string>

namespace ondrevan {

// What the process knows of its surroundings.
class SystemEnvironment {
  public:
    virtual ~SystemEnvironment() = default;
    // The value of an environment variable; "" when it is not set.
    virtual std::string Variable(const std::string& name) = 0;
    // The Windows system directory; "" when the call fails.
    virtual std::string SystemDirectory() = 0;
    // The folder of the executable, without a trailing backslash unless it is a drive root.
    virtual std::string ProgramFolder() = 0;
};

}  // namespace ondrevan
