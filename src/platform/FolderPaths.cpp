#include "platform/FolderPaths.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "platform/Blanks.h"
#include "platform/FileSystem.h"

namespace ondrevan {
namespace {

std::string_view WithoutLongPrefix(std::string_view path, bool& unc) {
    unc = false;
    if (path.substr(0, 8) == "\\\\?\\UNC\\" || path.substr(0, 8) == "\\\\?\\unc\\") {
        unc = true;
        return path.substr(8);
    }
    if (path.substr(0, 4) == "\\\\?\\" || path.substr(0, 4) == "\\\\.\\") return path.substr(4);
    return path;
}

// Windows' upper-case table over the Basic Multilingual Plane, beyond ASCII: each run maps
// first, first + step, ... last to the character `delta` away. It leaves alone what full
// Unicode case mapping would change into something longer or into ASCII (ß, ı, ſ, µ).
struct CaseRun {
    std::uint16_t first, last;
    std::int32_t delta;
    std::uint16_t step;
};

constexpr CaseRun kUpperCaseRuns[] = {
    {0x00E0, 0x00F6, -32, 1},    {0x00F8, 0x00FE, -32, 1},   {0x00FF, 0x00FF, 121, 1},
    {0x0101, 0x012F, -1, 2},     {0x0133, 0x0137, -1, 2},    {0x013A, 0x0148, -1, 2},
    {0x014B, 0x0177, -1, 2},     {0x017A, 0x017E, -1, 2},    {0x0180, 0x0180, 195, 1},
    {0x0183, 0x0185, -1, 2},     {0x0188, 0x0188, -1, 1},    {0x018C, 0x018C, -1, 1},
    {0x0192, 0x0192, -1, 1},     {0x0195, 0x0195, 97, 1},    {0x0199, 0x0199, -1, 1},
    {0x019A, 0x019A, 163, 1},    {0x019E, 0x019E, 130, 1},   {0x01A1, 0x01A5, -1, 2},
    {0x01A8, 0x01A8, -1, 1},     {0x01AD, 0x01AD, -1, 1},    {0x01B0, 0x01B0, -1, 1},
    {0x01B4, 0x01B6, -1, 2},     {0x01B9, 0x01B9, -1, 1},    {0x01BD, 0x01BD, -1, 1},
    {0x01BF, 0x01BF, 56, 1},     {0x01C6, 0x01C6, -2, 1},    {0x01C9, 0x01C9, -2, 1},
    {0x01CC, 0x01CC, -2, 1},     {0x01CE, 0x01DC, -1, 2},    {0x01DD, 0x01DD, -79, 1},
    {0x01DF, 0x01EF, -1, 2},     {0x01F3, 0x01F3, -2, 1},    {0x01F5, 0x01F5, -1, 1},
    {0x01F9, 0x021F, -1, 2},     {0x0223, 0x0233, -1, 2},    {0x023C, 0x023C, -1, 1},
    {0x023F, 0x0240, 10815, 1},  {0x0242, 0x0242, -1, 1},    {0x0247, 0x024F, -1, 2},
    {0x0250, 0x0250, 10783, 1},  {0x0251, 0x0251, 10780, 1}, {0x0252, 0x0252, 10782, 1},
    {0x0253, 0x0253, -210, 1},   {0x0254, 0x0254, -206, 1},  {0x0256, 0x0257, -205, 1},
    {0x0259, 0x0259, -202, 1},   {0x025B, 0x025B, -203, 1},  {0x025C, 0x025C, 42319, 1},
    {0x0260, 0x0260, -205, 1},   {0x0261, 0x0261, 42315, 1}, {0x0263, 0x0263, -207, 1},
    {0x0265, 0x0265, 42280, 1},  {0x0266, 0x0266, 42308, 1}, {0x0268, 0x0268, -209, 1},
    {0x0269, 0x0269, -211, 1},   {0x026A, 0x026A, 42308, 1}, {0x026B, 0x026B, 10743, 1},
    {0x026C, 0x026C, 42305, 1},  {0x026F, 0x026F, -211, 1},  {0x0271, 0x0271, 10749, 1},
    {0x0272, 0x0272, -213, 1},   {0x0275, 0x0275, -214, 1},  {0x027D, 0x027D, 10727, 1},
    {0x0280, 0x0280, -218, 1},   {0x0282, 0x0282, 42307, 1}, {0x0283, 0x0283, -218, 1},
    {0x0287, 0x0287, 42282, 1},  {0x0288, 0x0288, -218, 1},  {0x0289, 0x0289, -69, 1},
    {0x028A, 0x028B, -217, 1},   {0x028C, 0x028C, -71, 1},   {0x0292, 0x0292, -219, 1},
    {0x029D, 0x029D, 42261, 1},  {0x029E, 0x029E, 42258, 1}, {0x0371, 0x0373, -1, 2},
    {0x0377, 0x0377, -1, 1},     {0x037B, 0x037D, 130, 1},   {0x03AC, 0x03AC, -38, 1},
    {0x03AD, 0x03AF, -37, 1},    {0x03B1, 0x03C1, -32, 1},   {0x03C3, 0x03CB, -32, 1},
    {0x03CC, 0x03CC, -64, 1},    {0x03CD, 0x03CE, -63, 1},   {0x03D7, 0x03D7, -8, 1},
    {0x03D9, 0x03EF, -1, 2},     {0x03F2, 0x03F2, 7, 1},     {0x03F3, 0x03F3, -116, 1},
    {0x03F8, 0x03F8, -1, 1},     {0x03FB, 0x03FB, -1, 1},    {0x0430, 0x044F, -32, 1},
    {0x0450, 0x045F, -80, 1},    {0x0461, 0x0481, -1, 2},    {0x048B, 0x04BF, -1, 2},
    {0x04C2, 0x04CE, -1, 2},     {0x04CF, 0x04CF, -15, 1},   {0x04D1, 0x052F, -1, 2},
    {0x0561, 0x0586, -48, 1},    {0x10D0, 0x10FA, 3008, 1},  {0x10FD, 0x10FF, 3008, 1},
    {0x13F8, 0x13FD, -8, 1},     {0x1D79, 0x1D79, 35332, 1}, {0x1D7D, 0x1D7D, 3814, 1},
    {0x1D8E, 0x1D8E, 35384, 1},  {0x1E01, 0x1E95, -1, 2},    {0x1EA1, 0x1EFF, -1, 2},
    {0x1F00, 0x1F07, 8, 1},      {0x1F10, 0x1F15, 8, 1},     {0x1F20, 0x1F27, 8, 1},
    {0x1F30, 0x1F37, 8, 1},      {0x1F40, 0x1F45, 8, 1},     {0x1F51, 0x1F57, 8, 2},
    {0x1F60, 0x1F67, 8, 1},      {0x1F70, 0x1F71, 74, 1},    {0x1F72, 0x1F75, 86, 1},
    {0x1F76, 0x1F77, 100, 1},    {0x1F78, 0x1F79, 128, 1},   {0x1F7A, 0x1F7B, 112, 1},
    {0x1F7C, 0x1F7D, 126, 1},    {0x1F80, 0x1F87, 8, 1},     {0x1F90, 0x1F97, 8, 1},
    {0x1FA0, 0x1FA7, 8, 1},      {0x1FB0, 0x1FB1, 8, 1},     {0x1FB3, 0x1FB3, 9, 1},
    {0x1FC3, 0x1FC3, 9, 1},      {0x1FD0, 0x1FD1, 8, 1},     {0x1FE0, 0x1FE1, 8, 1},
    {0x1FE5, 0x1FE5, 7, 1},      {0x1FF3, 0x1FF3, 9, 1},     {0x214E, 0x214E, -28, 1},
    {0x2170, 0x217F, -16, 1},    {0x2184, 0x2184, -1, 1},    {0x24D0, 0x24E9, -26, 1},
    {0x2C30, 0x2C5F, -48, 1},    {0x2C61, 0x2C61, -1, 1},    {0x2C65, 0x2C65, -10795, 1},
    {0x2C66, 0x2C66, -10792, 1}, {0x2C68, 0x2C6C, -1, 2},    {0x2C73, 0x2C73, -1, 1},
    {0x2C76, 0x2C76, -1, 1},     {0x2C81, 0x2CE3, -1, 2},    {0x2CEC, 0x2CEE, -1, 2},
    {0x2CF3, 0x2CF3, -1, 1},     {0x2D00, 0x2D25, -7264, 1}, {0x2D27, 0x2D27, -7264, 1},
    {0x2D2D, 0x2D2D, -7264, 1},  {0xA641, 0xA66D, -1, 2},    {0xA681, 0xA69B, -1, 2},
    {0xA723, 0xA72F, -1, 2},     {0xA733, 0xA76F, -1, 2},    {0xA77A, 0xA77C, -1, 2},
    {0xA77F, 0xA787, -1, 2},     {0xA78C, 0xA78C, -1, 1},    {0xA791, 0xA793, -1, 2},
    {0xA794, 0xA794, 48, 1},     {0xA797, 0xA7A9, -1, 2},    {0xA7B5, 0xA7C3, -1, 2},
    {0xA7C8, 0xA7CA, -1, 2},     {0xA7D1, 0xA7D1, -1, 1},    {0xA7D7, 0xA7D9, -1, 2},
    {0xA7F6, 0xA7F6, -1, 1},     {0xAB53, 0xAB53, -928, 1},  {0xAB70, 0xABBF, -38864, 1},
    {0xFF41, 0xFF5A, -32, 1},
};

}  // namespace

char32_t NextCharacter(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead < 0x80             ? 1
                               : (lead & 0xE0) == 0xC0 ? 2
                               : (lead & 0xF0) == 0xE0 ? 3
                               : (lead & 0xF8) == 0xF0 ? 4
                                                       : 0;
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    bool whole = length != 0 && at + length <= text.size();
    for (std::size_t i = 1; whole && i < length; ++i) {
        whole = (byte(at + i) & 0xC0) == 0x80;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (!whole || c < kLeast[length] || c > 0x10FFFF) {
        ++at;
        return 0xDC00 + lead;
    }
    at += length;
    return c;
}

char32_t FoldedCharacter(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
    if (c > 0xFFFF) return c;  // Windows folds no character beyond the plane
    const auto run = std::lower_bound(std::begin(kUpperCaseRuns), std::end(kUpperCaseRuns), c,
                                      [](const CaseRun& r, char32_t v) { return r.last < v; });
    if (run != std::end(kUpperCaseRuns) && run->first <= c && (c - run->first) % run->step == 0)
        return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->delta);
    return c;
}

std::string FoldedName(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t start = at;
        const char32_t c = NextCharacter(name, at);
        const char32_t fold = FoldedCharacter(c);
        if (fold == c)
            folded.append(name.substr(start, at - start));
        else
            AppendUtf8(folded, fold);
    }
    return folded;
}

bool HasForbiddenPathCharacters(std::string_view path) {
    if (path.substr(0, 4) == "\\\\?\\") path.remove_prefix(4);
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20) return true;
        if (std::string_view("*?<>|\"").find(c) != std::string_view::npos) return true;
    }
    return false;
}

bool IsFullyQualified(std::string_view path) {
    std::string slashed(path);
    for (char& c : slashed)
        if (c == '/') c = '\\';
    if (slashed.substr(0, 4) == "\\\\?\\" || slashed.substr(0, 4) == "\\\\.\\")
        return slashed.size() > 4;
    const bool drive =
        slashed.size() >= 3 && slashed[1] == ':' && slashed[2] == '\\' &&
        ((slashed[0] >= 'A' && slashed[0] <= 'Z') || (slashed[0] >= 'a' && slashed[0] <= 'z'));
    // \\server\share: a server name, a backslash and a share name at the least.
    bool share = false;
    if (slashed.size() > 2 && slashed[0] == '\\' && slashed[1] == '\\' && slashed[2] != '\\') {
        const std::size_t slash = slashed.find('\\', 2);
        share =
            slash != std::string::npos && slash + 1 < slashed.size() && slashed[slash + 1] != '\\';
    }
    return drive || share;
}

namespace {

std::string ResolvedFolderPath(std::string_view written, bool foldCase) {
    std::string slashed(written);
    for (char& c : slashed)
        if (c == '/') c = '\\';
    bool unc = false;
    std::string_view path = WithoutLongPrefix(slashed, unc);
    if (!unc && path.substr(0, 2) == "\\\\") {
        unc = true;
        path.remove_prefix(2);
    }

    // Split into names, resolving "." and ".." and dropping empty names (runs of "\").
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        std::string name(path.substr(start, end - start));
        start = end + 1;
        if (name != "." && name != "..")
            while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            // The root (a drive, or server and share) is never climbed out of.
            if (names.size() > (unc ? 2u : 1u)) names.pop_back();
            continue;
        }
        names.push_back(foldCase ? FoldedName(name) : std::move(name));
    }

    std::string key = unc ? "\\\\" : (!path.empty() && path[0] == '\\' ? "\\" : "");
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) key += '\\';
        key += names[i];
    }
    return key;
}

}  // namespace

std::string LexicalFolderKey(std::string_view written) {
    return ResolvedFolderPath(written, true);
}

bool SameFolder(std::string_view a, std::string_view b) {
    return a == b || LexicalFolderKey(a) == LexicalFolderKey(b);
}

std::string CanonicalFolderPath(std::string_view written) {
    return ResolvedFolderPath(written, false);
}

std::string FolderKey(FileSystem& fs, std::string_view path) {
    std::string lexical = LexicalFolderKey(path);
    if (!IsFullyQualified(path)) return lexical;
    try {
        if (auto final = fs.FinalFolderPath(std::string(path))) return LexicalFolderKey(*final);
    } catch (...) {
        // A folder that cannot be resolved is compared by its written form.
    }
    return lexical;
}

bool KeyContains(std::string_view outer, std::string_view inner) {
    if (outer.empty() || inner.size() < outer.size()) return false;
    if (inner.substr(0, outer.size()) != outer) return false;
    return inner.size() == outer.size() || inner[outer.size()] == '\\' || outer.back() == ':';
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::vector<std::string> ProtectedFolderLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = TrimBlanksAndTabs(text.substr(0, end));
        if (!line.empty()) lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace ondrevan
