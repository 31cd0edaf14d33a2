#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ondrevan {

// The system's ANSI code page, for the few places where it still decides: list files,
// the history file, and the test for folder names that would not survive it.
class AnsiCodePage {
  public:
    virtual ~AnsiCodePage() = default;
    // UTF-8 to ANSI bytes; a character the code page cannot write becomes "?".
    virtual std::string FromUtf8(std::string_view utf8) = 0;
    // ANSI bytes to UTF-8.
    virtual std::string ToUtf8(std::string_view ansi) = 0;
    // Each character's code in the code page as a signed 16-bit number: a single byte
    // is its value, a double-byte character is lead * 256 + trail.
    virtual std::vector<std::int16_t> CharacterCodes(std::string_view utf8) = 0;
};

}  // namespace ondrevan
