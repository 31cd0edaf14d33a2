#include "FakeSystem.h"

namespace ondrevan::testing {
namespace {

// The characters Windows-1252 puts at 0x80 .. 0x9F (0 where it has none).
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::vector<char32_t> CodePoints(std::string_view utf8) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            point = point << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        points.push_back(point);
        i += static_cast<std::size_t>(length);
    }
    return points;
}

int ToByte(char32_t point) {
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) return static_cast<int>(point);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == point && point != 0) return 0x80 + i;
    return '?';
}

}  // namespace

std::string FakeAnsiCodePage::FromUtf8(std::string_view utf8) {
    std::string out;
    for (char32_t point : CodePoints(utf8)) out += static_cast<char>(ToByte(point));
    return out;
}

std::string FakeAnsiCodePage::ToUtf8(std::string_view ansi) {
    std::string out;
    for (char c : ansi) {
        const auto byte = static_cast<unsigned char>(c);
        char32_t point = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
        if (point == 0 && byte != 0) point = 0xFFFD;
        if (point < 0x80) {
            out += static_cast<char>(point);
        } else if (point < 0x800) {
            out += static_cast<char>(0xC0 | (point >> 6));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (point >> 12));
            out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return out;
}

std::vector<std::int16_t> FakeAnsiCodePage::CharacterCodes(std::string_view utf8) {
    std::vector<std::int16_t> codes;
    for (char32_t point : CodePoints(utf8))
        codes.push_back(static_cast<std::int16_t>(ToByte(point)));
    return codes;
}

}  // namespace ondrevan::testing
