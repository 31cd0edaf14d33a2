#include "app/win/StartupStages_win.h"

#include <cstdio>
#include <cwchar>

namespace ondrevan::win {

StartupStages::StartupStages() {
    wchar_t value[1024];
    const DWORD length = ::GetEnvironmentVariableW(L"ONDREVAN_STARTUP_STAGES", value, 1024);
    if (length == 0 || length >= 1024) return;
    wchar_t* rest = nullptr;
    start_ = std::wcstoll(value, &rest, 10);
    if (!rest || *rest != L';' || rest[1] == L'\0') return;
    file_ = rest + 1;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    ticksPerMs_ = static_cast<double>(frequency.QuadPart) / 1000.0;
    on_ = true;
    marks_.reserve(32);
}

void StartupStages::Mark(const char* stage) {
    if (!on_) return;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    marks_.emplace_back(stage, static_cast<double>(now.QuadPart - start_) / ticksPerMs_);
}

void StartupStages::Write() {
    if (!on_ || marks_.empty()) return;
    FILE* file = _wfopen(file_.c_str(), L"w");
    if (!file) return;
    for (const auto& [stage, ms] : marks_) std::fprintf(file, "%s\t%.2f\n", stage.c_str(), ms);
    std::fclose(file);
    marks_.clear();
}

}  // namespace ondrevan::win
