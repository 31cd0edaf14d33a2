#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "history/HistoryLog.h"
#include "platform/EventLog.h"

namespace ondrevan {

// How many failures the warning of a run names; the rest are counted.
inline constexpr std::size_t kFailuresNamed = 3;

// Which history lines an administrator hears of, and with which strings. Each event's first
// string is the history line itself (without its time stamp); a run with failures adds
// the first of them, one a line, and how many more there were.
class EventWatch {
  public:
    // The events of one line, in the order they are reported (usually none or one);
    // `failure`: the run counted it as something it could not do.
    std::vector<EventRecord> Line(const std::string& text, bool failure);
    // The history file could not be written: one error until a line is written again.
    std::optional<EventRecord> WriteFailed(const std::string& why);
    void WriteSucceeded() { failing_ = false; }
    const std::vector<std::string>& LastRunFailures() const { return lastRunFailures_; }

  private:
    std::vector<std::string> failures_;
    std::vector<std::string> lastRunFailures_;
    bool failing_ = false;
};

// The history as the run writes it, with the events it calls for sent to the Event Log.
// The file is written as before; an event is reported even when the file is not.
class WatchedHistory : public HistoryLog {
  public:
    WatchedHistory(HistoryLog& history, EventLog& events) : history_(history), events_(events) {}
    void AppendLine(const std::string& message, const std::string& path) override;
    void AppendFailure(const std::string& message, const std::string& path) override;
    void AppendMessage(const std::string& text) override;
    void BeginRun() override { history_.BeginRun(); }
    void EndRun() override { history_.EndRun(); }
    std::vector<std::string> LastRunFailures() const override { return watch_.LastRunFailures(); }

  private:
    template <typename Write>
    void Watch(const std::string& text, bool failure, Write write);
    HistoryLog& history_;
    EventLog& events_;
    EventWatch watch_;
};

}  // namespace ondrevan
