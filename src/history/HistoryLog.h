#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ondrevan {

// The last line of a run: "Run finished: 1,204 files deleted (86.2 MB), 1 file could not be
// deleted, 2 folders sent to the Recycle Bin". The same in every locale, for scripts.
std::string RunSummary(std::uint64_t filesDeleted, std::uint64_t bytesDeleted,
                       std::uint64_t filesFailed, std::uint64_t foldersRecycled);

// The last line of a run cut short: the summary's "Run finished" becomes "Run stopped (why)".
std::string StoppedRunSummary(const std::string& summary, const std::string& why);

// Where a run writes its lines: one line per step, stamped with the time.
class HistoryLog {
  public:
    // Writes "<time stamp> <message> <path>"; throws when the log cannot be written.
    virtual void AppendLine(const std::string& message, const std::string& path) = 0;
    // Writes a line as AppendLine does, for a step the run could not do: the run has
    // counted it as a failure, and whoever watches the history hears of it as one.
    virtual void AppendFailure(const std::string& message, const std::string& path) {
        AppendLine(message, path);
    }
    // Writes "<time stamp> <text>", for a line that names no path.
    virtual void AppendMessage(const std::string& text) = 0;
    // From BeginRun to EndRun the lines of one run go to the log held open, rather than
    // each opening it anew; each still reaches the file as it is written.
    virtual void BeginRun() {}
    virtual void EndRun() {}
    // The lines of the last finished run that say something was not done, where the log
    // watches for them (none where it does not).
    virtual std::vector<std::string> LastRunFailures() const { return {}; }

  protected:
    ~HistoryLog() = default;
};

}  // namespace ondrevan
