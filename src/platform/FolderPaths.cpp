#include "platform/FolderPaths.h"

#include <vector>

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

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

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
        if (foldCase)
            for (char& c : name) c = FoldCase(c);
        names.push_back(std::move(name));
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

}  // namespace ondrevan
