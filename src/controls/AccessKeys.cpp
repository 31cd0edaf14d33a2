#include "controls/AccessKeys.h"

#include <cctype>
#include <map>

namespace ondrevan {
namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

}  // namespace

char AccessKeyOf(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return Lower(caption[i + 1]);
    }
    return 0;
}

std::string CaptionWithAccessKey(std::string_view caption, char key) {
    if (key == 0) return std::string(caption);
    std::string doubled;
    for (char c : caption) {
        doubled += c;
        if (c == '&') doubled += '&';
    }
    const char lower = Lower(key);
    const auto find = [&](auto&& fits) -> std::size_t {
        for (std::size_t i = 0; i < doubled.size(); ++i)
            if (Lower(doubled[i]) == lower && fits(i)) return i;
        return std::string::npos;
    };
    std::size_t at = find(
        [&](std::size_t i) { return std::isupper(static_cast<unsigned char>(doubled[i])) != 0; });
    if (at == std::string::npos)
        at = find([&](std::size_t i) { return i == 0 || doubled[i - 1] == ' '; });
    if (at == std::string::npos) at = find([](std::size_t) { return true; });
    if (at == std::string::npos) return doubled;
    doubled.insert(at, 1, '&');
    return doubled;
}

std::string RepeatedAccessKeys(const std::vector<std::string>& captions) {
    std::map<char, int> uses;
    for (const std::string& caption : captions)
        if (const char key = AccessKeyOf(caption)) ++uses[key];
    std::string repeated;
    for (const auto& [key, count] : uses)
        if (count > 1) repeated += key;
    return repeated;
}

}  // namespace ondrevan
