#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {

std::string Win32AnsiCodePage::FromUtf8(std::string_view utf8) {
    // No best fit: a character the code page lacks becomes "?", never a look-alike.
    std::wstring wide = Widen(utf8);
    if (wide.empty()) return {};
    int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                       static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          ansi.data(), length, "?", nullptr);
    return ansi;
}

std::string Win32AnsiCodePage::ToUtf8(std::string_view ansi) {
    return Narrow(WidenFrom(CP_ACP, ansi));
}

std::vector<std::int16_t> Win32AnsiCodePage::CharacterCodes(std::string_view utf8) {
    std::wstring wide = Widen(utf8);
    std::vector<std::int16_t> codes;
    codes.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        // A surrogate pair is one character.
        const int units = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
        char bytes[8] = {};
        BOOL usedDefault = FALSE;
        int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide[i], units, bytes,
                                           sizeof bytes, "?", &usedDefault);
        i += static_cast<std::size_t>(units - 1);
        if (length <= 0 || usedDefault) {
            codes.push_back('?');
        } else if (length == 1) {
            codes.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[0])));
        } else {
            const int code =
                static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
            codes.push_back(static_cast<std::int16_t>(code > 0x7FFF ? code - 0x10000 : code));
        }
    }
    return codes;
}

}  // namespace ondrevan::win
