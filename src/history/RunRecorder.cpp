#include "history/RunRecorder.h"

#include <algorithm>

#include "platform/AppError.h"
#include "platform/FileSystem.h"

namespace ondrevan {
namespace {

bool DidNothing(const RecordRow& run) {
    return run.Files() == 0 && run.foldersToBin == 0 && run.refused == 0 && run.failures == 0;
}

}  // namespace

std::string RunRecordPath(const std::string& historyPath) {
    const std::size_t dot = historyPath.find_last_of('.');
    const std::size_t slash = historyPath.find_last_of('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return historyPath + ".runs.csv";
    return historyPath.substr(0, dot) + ".runs.csv";
}

RunRecorder::~RunRecorder() {
    try {
        if (!path_.empty()) Flush();
    } catch (const AppError&) {
        // nothing left to report it to
    }
}

void RunRecorder::SetFilePath(std::string path) {
    path_ = std::move(path);
    knownSize_.reset();
    rowsSize_.reset();
    rows_.clear();
}

void RunRecorder::Record(const RecordRow& run, const std::vector<RecordRow>& folders) {
    if (DidNothing(run)) {
        if (idle_ && idle_->start != DayOf(run.start)) Flush();
        if (!idle_) {
            idle_.emplace();
            idle_->kind = RecordRow::Kind::Day;
            idle_->start = DayOf(run.start);
        }
        ++idle_->idleRuns;
        idle_->filesKept += run.filesKept;
        if (idle_->idleRuns >= kIdleRunsPerRow) Flush();
        return;
    }
    Flush();
    std::string rows = RecordLine(run);
    for (const RecordRow& folder : folders) rows += RecordLine(folder);
    Append(rows);
}

void RunRecorder::Flush() {
    if (!idle_) return;
    const RecordRow day = *idle_;
    idle_.reset();
    Append(RecordLine(day));
}

void RunRecorder::Append(const std::string& rows) {
    std::string text = rows;
    const std::optional<std::uint64_t> size = fileSystem_.FileSize(path_);
    if (!size || *size == 0) {
        text = RecordHeader() + text;
    } else if (size != knownSize_) {
        // Written meanwhile by another copy, or left by a crash: its last line may be torn.
        const std::string content = fileSystem_.ReadWholeFile(path_);
        endsWithBreak_ = content.empty() || content.back() == '\n';
    }
    // A torn last line is closed, so that it stays a line of its own that does not read.
    if (size && *size > 0 && !endsWithBreak_) text = "\r\n" + text;
    fileSystem_.AppendToFile(path_, text);
    const bool rowsCurrent = rowsSize_ && size && *rowsSize_ == *size;
    knownSize_ = size.value_or(0) + text.size();
    endsWithBreak_ = true;
    if (rowsCurrent) {
        // The rows read before stay; the new ones are added rather than the file read again.
        for (RecordRow& row : ParseRecord(RecordHeader() + rows)) rows_.push_back(std::move(row));
        rowsSize_ = knownSize_;
    }
    if (*knownSize_ > foldAbove_) Fold();
}

void RunRecorder::Fold() {
    const std::string text =
        RecordText(FoldOldRuns(ParseRecord(fileSystem_.ReadWholeFile(path_)), kRunsKeptWhole));
    const std::string folded = path_ + ".new";
    fileSystem_.RemoveFile(folded);
    fileSystem_.AppendToFile(folded, text);
    if (!fileSystem_.MoveReplacing(folded, path_)) {
        fileSystem_.RemoveFile(folded);
        return;
    }
    knownSize_ = text.size();
    rowsSize_.reset();
    // Days alone may keep the file large: it is folded again only once it has doubled.
    foldAbove_ = std::max<std::uint64_t>(kRunRecordLimitBytes, 2 * text.size());
}

bool RunRecorder::Clear() {
    idle_.reset();
    knownSize_.reset();
    rowsSize_.reset();
    rows_.clear();
    fileSystem_.RemoveFile(path_);
    return !fileSystem_.FileSize(path_);
}

const std::vector<RecordRow>& RunRecorder::Rows() {
    const std::optional<std::uint64_t> size = fileSystem_.FileSize(path_);
    if (size != rowsSize_) {
        rows_.clear();
        rowsSize_ = size;
        if (size) {
            try {
                rows_ = ParseRecord(fileSystem_.ReadWholeFile(path_));
            } catch (const AppError&) {
                rowsSize_.reset();
            }
        }
    }
    return rows_;
}

}  // namespace ondrevan
