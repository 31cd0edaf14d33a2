#pragma once

#include <string>
#include <string_view>

namespace ondrevan {

// A text with its control characters made visible: NUL, tab, line feeds and the rest show
// as their pictures (U+2400 to U+241F), so that what a folder entry holds can be seen and
// no NUL cuts it short when Windows shows it.
inline std::string VisibleText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x20) {
            shown += c;
            continue;
        }
        // U+2400 + code in UTF-8: E2 90 80+code.
        shown += '\xE2';
        shown += '\x90';
        shown += static_cast<char>(0x80 + code);
    }
    return shown;
}

}  // namespace ondrevan
