#include "app/Skin.h"

#include <cctype>

#include "controls/Control.h"
#include "platform/AppError.h"
#include "platform/CommonRoutines.h"
#include "platform/FileSystem.h"

namespace ondrevan {
namespace {

inline constexpr int kBadSkin = 31037;  // the number a skin engine reports for a bad file

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<Color> ParseColor(const std::string& text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    for (std::size_t i = 1; i < 7; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    unsigned long rgb = std::stoul(text.substr(1), nullptr, 16);
    // #RRGGBB on paper, 0x00BBGGRR in the colour value.
    return static_cast<Color>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

bool AppliesToControl(ControlKind kind) {
    return kind == ControlKind::OptionButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::Frame || kind == ControlKind::Label;
}

}  // namespace

Skin ParseSkin(const std::string& content) {
    Skin skin;
    std::size_t start = 0;
    for (int lineNumber = 1; start <= content.size(); ++lineNumber) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        line = Trim(line.substr(0, line.find(';')));
        if (line.empty()) continue;

        std::size_t equals = line.find('=');
        std::optional<Color> color;
        std::string name;
        if (equals != std::string::npos) {
            name = Trim(line.substr(0, equals));
            color = ParseColor(Trim(line.substr(equals + 1)));
        }
        std::optional<Color>* slot = name == "window"     ? &skin.window
                                     : name == "controls" ? &skin.controls
                                     : name == "text"     ? &skin.text
                                                          : nullptr;
        if (!slot || !color)
            throw AppError(kBadSkin,
                           "The skin file is not valid (line " + std::to_string(lineNumber) + ")");
        *slot = color;
    }
    return skin;
}

void ApplySkin(FileSystem& fs, const std::string& programFolder, Control& window,
               const std::vector<Control*>& controls) {
    const std::string path = programFolder + "\\x\\o.cjs";
    if (!FileExists(fs, path)) return;

    // A skinned window starts from the system's button face, as skinned windows do.
    window.SetBackColor(colors::kSystemButtonFace);
    for (Control* control : controls)
        if (AppliesToControl(control->Kind())) control->SetBackColor(colors::kSystemButtonFace);

    const Skin skin = ParseSkin(fs.ReadWholeFile(path));
    if (skin.window) window.SetBackColor(*skin.window);
    for (Control* control : controls) {
        if (!AppliesToControl(control->Kind())) continue;
        if (skin.controls) control->SetBackColor(*skin.controls);
        if (skin.text) control->SetForeColor(*skin.text);
    }
}

}  // namespace ondrevan
