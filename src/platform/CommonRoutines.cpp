#include "platform/CommonRoutines.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Blanks.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"

namespace ondrevan {
namespace {

std::string SingleBackslashes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
    }
    return out;
}

}  // namespace

bool FileExists(FileSystem& fs, const std::string& path) {
    if (path.empty()) return false;
    try {
        return fs.HasModificationTime(path);
    } catch (...) {
        return false;
    }
}

std::optional<bool> IsFolder(FileSystem& fs, const std::string& path) {
    try {
        auto bits = fs.Attributes(path);
        if (!bits) return std::nullopt;
        return (*bits & attributes::kDirectory) != 0;
    } catch (...) {
        return std::nullopt;
    }
}

void DeleteFileQuietly(FileSystem& fs, EventPump& pump, const std::string& path) {
    pump.DoEvents();
    try {
        fs.RemoveFile(path);
    } catch (...) {
        // A missing or locked file is no concern of the caller's.
    }
}

std::string GetSpecialFolderPath(Shell& shell, std::int32_t csidl) {
    std::string path = shell.SpecialFolderPath(csidl).value_or("");
    return path.substr(0, path.find('\0'));
}

std::string GetSystemFolder(SystemEnvironment& environment) {
    return environment.SystemDirectory();
}

std::string CollapseBackslashes(std::string_view path) {
    if (path.empty() || path.front() != '\\') return SingleBackslashes(path);
    std::size_t k = 1;
    while (k < path.size() && path[k] == '\\') ++k;
    return "\\\\" + SingleBackslashes(path.substr(k));
}

std::string CleanFileName(std::string_view text) {
    static constexpr std::string_view kRemoved = "$/\\*:?<>|#' .,\"()-+=%;{}\t";
    std::string out;
    for (char c : text)
        if (kRemoved.find(c) == std::string_view::npos) out += c;
    return out;
}

std::string StripLastWord(std::string_view text, std::string_view word) {
    std::size_t lastBlank = text.rfind(' ');
    if (lastBlank == std::string_view::npos) return std::string(text);
    std::string_view tail = TrimBlanks(text.substr(lastBlank));
    if (word.empty() || word == tail) return std::string(TrimBlanks(text.substr(0, lastBlank + 1)));
    return std::string(text);
}

std::string FormatCountdown(std::int32_t seconds) {
    // A negative span is written as its distance from midnight, the way a negative
    // date value shows its time part.
    long long within = std::llabs(static_cast<long long>(seconds)) % 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", within / 3600, within / 60 % 60,
                  within % 60);
    return text;
}

std::string AppTitleFor(std::string_view productName) {
    std::string title(productName);
    do {
        std::size_t lastBlank = title.rfind(' ');
        if (lastBlank == std::string::npos) break;
        title.erase(lastBlank);
    } while (title.size() > 40);
    return title;
}

}  // namespace ondrevan
