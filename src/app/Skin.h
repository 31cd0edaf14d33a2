#pragma once

#include <optional>
#include <string>
#include <vector>

#include "controls/Color.h"

namespace ondrevan {

class Control;
class FileSystem;

// A skin: a small text file of colours, one "name = #RRGGBB" per line, ';' starts a
// comment. Names: "window" (the window's background), "controls" (the background of
// frames, options, check boxes and labels) and "text" (their caption colour).
struct Skin {
    std::optional<Color> window;
    std::optional<Color> controls;
    std::optional<Color> text;
};

// Throws AppError naming the line that is not a colour setting.
Skin ParseSkin(const std::string& content);

// Skins the window when "x\o.cjs" lies in the program folder; without it nothing changes.
// A file that cannot be read or parsed raises to the caller.
void ApplySkin(FileSystem& fs, const std::string& programFolder, Control& window,
               const std::vector<Control*>& controls);

}  // namespace ondrevan
