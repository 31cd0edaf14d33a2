#pragma once

#include <string>

namespace ondrevan {

struct Services;

// /status: the health of the schedule, for scripts; returns the exit code of HealthStatus.
int ShowStatus(const Services& services, std::string& output);

// /export FILE: every stored setting the administrator does not set, to a UTF-8 text file.
int ExportSettings(const Services& services, const std::string& file, std::string& output);

// /import FILE: the settings of such a file, all of them or, when one line is wrong, none
// (exit code 1). What a policy sets stays as it is.
int ImportSettings(const Services& services, const std::string& file, std::string& output);

}  // namespace ondrevan
