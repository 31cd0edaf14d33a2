#include "folders/FileToListview1.h"

#include <optional>

#include "controls/ListView.h"
#include "folders/FolderList.h"
#include "platform/AnsiCodePage.h"
#include "platform/AppMessages.h"
#include "platform/CommonRoutines.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/FileSystem.h"
#include "platform/FolderPaths.h"

namespace ondrevan {
namespace {

// OFN_READONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_LONGNAMES
inline constexpr std::uint32_t kOpenFlags = 0x280201;

bool IsValidUtf8(std::string_view text, bool& hasNonAscii) {
    hasNonAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        hasNonAscii = true;
        std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (length == 0 || c > 0xF4 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        const auto second = static_cast<unsigned char>(text[i + 1]);
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) ||
            (c == 0xF0 && second < 0x90) || (c == 0xF4 && second > 0x8F))
            return false;  // overlong forms, surrogates, beyond U+10FFFF
        i += length;
    }
    return true;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;  // an unpaired half
        AppendUtf8(out, c);
    }
    return out;
}

// UTF-16 without a mark (older Notepad's "Unicode", PowerShell's Out-File): a path is
// mostly ASCII, so every other byte is NUL, the odd ones in little-endian text and the
// even ones in big-endian. Plain and UTF-8 text hold no NUL at all.
std::optional<bool> UnmarkedUtf16IsBigEndian(std::string_view bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
    std::size_t evenNuls = 0, oddNuls = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++(i % 2 ? oddNuls : evenNuls);
    const std::size_t characters = bytes.size() / 2;
    if (oddNuls * 2 >= characters && evenNuls * 4 <= oddNuls) return false;
    if (evenNuls * 2 >= characters && oddNuls * 4 <= evenNuls) return true;
    return std::nullopt;
}

}  // namespace

std::string DecodeListFile(std::string_view bytes, AnsiCodePage& codePage) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16ToUtf8(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return Utf16ToUtf8(bytes.substr(2), true);
    if (auto bigEndian = UnmarkedUtf16IsBigEndian(bytes)) return Utf16ToUtf8(bytes, *bigEndian);
    bool hasNonAscii = false;
    if (IsValidUtf8(bytes, hasNonAscii)) return std::string(bytes);  // ASCII is both
    return codePage.ToUtf8(bytes);
}

std::vector<std::string> SplitListLines(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\r', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        for (std::size_t feed; (feed = line.find('\n')) != std::string_view::npos;) {
            entries.emplace_back(line.substr(0, feed));
            line.remove_prefix(feed + 1);
        }
        entries.emplace_back(line);
        start = end + 1;
        if (end < text.size() && start < text.size() && text[start] == '\n') ++start;
    }
    return entries;
}

std::vector<std::string> ParseOpenFileResult(std::string_view result) {
    std::vector<std::string> pieces;
    if (result.empty()) return pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t nul = result.find('\0', start);
        pieces.emplace_back(result.substr(start, nul - start));
        if (nul == std::string_view::npos) break;
        start = nul + 1;
    }
    if (pieces.size() == 1) return pieces;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < pieces.size(); ++i)
        paths.push_back(CollapseBackslashes(pieces[0] + "\\" + pieces[i]));
    return paths;
}

void FileToListview1::PushButton12_Click() {
    ErrorTrap trap(uses_.dialogs, "Form1.PushButton12_Click");
    std::string result;
    trap.Line(100, [&] {
        result = uses_.dialogs.OpenFileNames(
            {"Load List(s) - Hold Ctrl to select multiple list files",
             "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|", kOpenFlags});
    });
    trap.Line(102, [&] { uses_.folders.SetBusy(true); });
    std::vector<std::string> paths;
    trap.Line(104, [&] { paths = ParseOpenFileResult(result); });
    const int loadLine = 106;
    for (const std::string& path : paths) trap.At(loadLine, [&] { LoadListFile(path); });
    trap.Line(108, [&] { uses_.folders.SaveFolderList(); });
    trap.Line(110, [&] { uses_.folders.SetBusy(false); });
}

void FileToListview1::LoadListFile(const std::string& path) {
    FileSystem& fs = uses_.fileSystem;
    if (!FileExists(fs, path)) {
        uses_.messages.Warn("File not found");
        return;
    }
    // The file is read whole and closed at once; its lines are appended in one go.
    const std::string text = DecodeListFile(fs.ReadWholeFile(path), uses_.ansi);
    uses_.ListView1.AddRange(SplitListLines(text));
}

}  // namespace ondrevan
