#pragma once

#include <string>
#include <vector>

#include "history/HistoryLog.h"

namespace ondrevan::testing {

// The lines a run writes, without time stamps.
class RecordingHistory : public HistoryLog {
  public:
    void AppendLine(const std::string& message, const std::string& path) override {
        lines.push_back(message + ' ' + path);
    }
    void AppendMessage(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

}  // namespace ondrevan::testing
