#include "history/EventWatch.h"

#include <utility>

#include "platform/ValueForms.h"

namespace ondrevan {

namespace {

bool StartsWith(const std::string& text, const char* start) {
    return text.rfind(start, 0) == 0;
}

}  // namespace

std::vector<EventRecord> EventWatch::Line(const std::string& text, bool failure) {
    std::vector<EventRecord> found;
    if (failure) failures_.push_back(text);
    if (StartsWith(text, "Refused ")) {
        found.push_back({events::kEntryRefused, EventType::Warning, {text}});
    } else if (StartsWith(text, "Not run: ")) {
        found.push_back({events::kRunNotDone, EventType::Warning, {text}});
    } else if (StartsWith(text, "Missed run of ") && text.find(", not run") != std::string::npos) {
        found.push_back({events::kRunNotDone, EventType::Warning, {text}});
    } else if (StartsWith(text, "Missed run of ")) {
        found.push_back({events::kMissedRunCaughtUp, EventType::Information, {text}});
    } else if (StartsWith(text, "Run finished:") || StartsWith(text, "Run stopped (")) {
        std::string first;
        for (std::size_t i = 0; i < failures_.size() && i < kFailuresNamed; ++i)
            first += (i ? "\r\n" : "") + failures_[i];
        if (failures_.size() > kFailuresNamed)
            first += "\r\n(and " + GroupedNumber(failures_.size() - kFailuresNamed) + " more)";
        if (StartsWith(text, "Run stopped ("))
            found.push_back({events::kRunStopped,
                             EventType::Warning,
                             {text, first.empty() ? "(none)" : first}});
        else if (failures_.empty())
            found.push_back({events::kRunFinished, EventType::Information, {text}});
        else
            found.push_back({events::kRunFinishedWithFailures, EventType::Warning, {text, first}});
        lastRunFailures_ = std::move(failures_);
        failures_.clear();
    }
    return found;
}

std::optional<EventRecord> EventWatch::WriteFailed(const std::string& why) {
    if (failing_) return std::nullopt;
    failing_ = true;
    return EventRecord{events::kHistoryNotWritten, EventType::Error, {why}};
}

template <typename Write>
void WatchedHistory::Watch(const std::string& text, bool failure, Write write) {
    for (const EventRecord& event : watch_.Line(text, failure)) events_.Report(event);
    try {
        write();
    } catch (const std::exception& error) {
        if (auto event = watch_.WriteFailed(error.what())) events_.Report(*event);
        throw;
    }
    watch_.WriteSucceeded();
}

void WatchedHistory::AppendLine(const std::string& message, const std::string& path) {
    Watch(message + ' ' + path, false, [&] { history_.AppendLine(message, path); });
}

void WatchedHistory::AppendFailure(const std::string& message, const std::string& path) {
    Watch(message + ' ' + path, true, [&] { history_.AppendFailure(message, path); });
}

void WatchedHistory::AppendMessage(const std::string& text) {
    Watch(text, false, [&] { history_.AppendMessage(text); });
}

}  // namespace ondrevan
