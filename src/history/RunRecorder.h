#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/RunRecord.h"

namespace ondrevan {

class FileSystem;

// Past this size the oldest runs of the record are folded into one row a day.
inline constexpr std::uint64_t kRunRecordLimitBytes = 1024 * 1024;
// So many of the newest runs stay whole when the record is folded.
inline constexpr std::size_t kRunsKeptWhole = 2000;
// Runs with nothing to do are counted in memory and written as one day row, at the latest
// after this many.
inline constexpr std::uint64_t kIdleRunsPerRow = 3600;

// "...\Ondrevan.txt" has its record of runs beside it as "...\Ondrevan.runs.csv".
std::string RunRecordPath(const std::string& historyPath);

// The record of runs as a file: appends a run's rows, folds the file when it grows past its
// limit, reads it back for the totals and the Run History window.
class RunRecorder {
  public:
    explicit RunRecorder(FileSystem& fileSystem) : fileSystem_(fileSystem) {}
    // The runs with nothing to do counted so far are written as the program ends.
    ~RunRecorder();
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    const std::string& FilePath() const { return path_; }
    void SetFilePath(std::string path);

    // A run ended: its row and a row for each folder it freed. A run that did nothing, refused
    // nothing and failed at nothing only adds to its day's count. Throws AppError when the
    // file cannot be written.
    void Record(const RecordRow& run, const std::vector<RecordRow>& folders);
    // Writes the runs with nothing to do counted so far.
    void Flush();
    // Forgets every run: the file goes. False when it is still there.
    bool Clear();
    // Every row of the file; the runs with nothing to do counted since the last Flush are not
    // among them (asked after every run, it must not write them each time). A file that
    // cannot be read reads as empty.
    const std::vector<RecordRow>& Rows();

  private:
    void Append(const std::string& rows);
    void Fold();

    FileSystem& fileSystem_;
    std::string path_;
    std::optional<RecordRow> idle_;  // a day row of the runs with nothing to do
    // What is known of the file as this program last wrote or read it.
    std::optional<std::uint64_t> knownSize_;
    bool endsWithBreak_ = true;
    std::vector<RecordRow> rows_;
    std::optional<std::uint64_t> rowsSize_;  // the file's size when `rows_` was read
    std::uint64_t foldAbove_ = kRunRecordLimitBytes;
};

}  // namespace ondrevan
