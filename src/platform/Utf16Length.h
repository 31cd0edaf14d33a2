#pragma once

#include <cstddef>
#include <string_view>

namespace ondrevan {

// How many characters Windows counts in a UTF-8 text: its UTF-16 code units. The path
// limits (260 and the like) are in these units, not in bytes.
inline std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (unsigned char byte : utf8) {
        if ((byte & 0xC0) == 0x80) continue;  // inside a character
        units += byte >= 0xF0 ? 2 : 1;        // four bytes make a surrogate pair
    }
    return units;
}

}  // namespace ondrevan
