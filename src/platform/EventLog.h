#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ondrevan {

// The Windows Event Log's Application log, under the source "Ondrevan". Each event ID has
// its text in the executable's message table; the strings fill its inserts.
enum class EventType { Information, Warning, Error };

struct EventRecord {
    std::uint32_t id = 0;
    EventType type = EventType::Information;
    std::vector<std::string> strings;
    friend bool operator==(const EventRecord&, const EventRecord&) = default;
};

// The event IDs, fixed: scripts and queries of an administrator name them.
namespace events {
inline constexpr std::uint32_t kRunFinished = 1000;              // information
inline constexpr std::uint32_t kRunFinishedWithFailures = 1001;  // warning
inline constexpr std::uint32_t kEntryRefused = 1002;             // warning
inline constexpr std::uint32_t kMissedRunCaughtUp = 1003;        // information
inline constexpr std::uint32_t kHistoryNotWritten = 1004;        // error
inline constexpr std::uint32_t kRunStopped = 1005;               // warning
inline constexpr std::uint32_t kRunNotDone = 1006;               // warning
}  // namespace events

inline constexpr const char* kEventSource = "Ondrevan";

class EventLog {
  public:
    virtual ~EventLog() = default;
    // Never throws: a log that cannot be reached loses the event, never the run.
    virtual void Report(const EventRecord& event) = 0;
};

// The log given, or one that reports nothing.
inline EventLog& EventLogOrNone(EventLog* log) {
    struct None : EventLog {
        void Report(const EventRecord&) override {}
    };
    static None none;
    return log ? *log : none;
}

}  // namespace ondrevan
