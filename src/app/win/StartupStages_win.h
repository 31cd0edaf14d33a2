#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ondrevan::win {

// Where start-up spends its time, for the start-up bench only. The bench sets
// ONDREVAN_STARTUP_STAGES to "COUNT;FILE": the performance counter's value just before it
// started the program, and a file for the figures. Without the variable nothing is kept and
// nothing is written.
class StartupStages {
  public:
    // Reads the variable once.
    StartupStages();
    StartupStages(const StartupStages&) = delete;
    StartupStages& operator=(const StartupStages&) = delete;

    bool On() const { return on_; }
    // The milliseconds from the program's start to now, under a stage's name.
    void Mark(const char* stage);
    // Writes the marks, one "name<TAB>milliseconds" line each, and forgets them.
    void Write();

  private:
    bool on_ = false;
    LONGLONG start_ = 0;
    double ticksPerMs_ = 1;
    std::wstring file_;
    std::vector<std::pair<std::string, double>> marks_;
};

}  // namespace ondrevan::win
