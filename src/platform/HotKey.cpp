#include "platform/HotKey.h"

#include <array>
#include <cstdio>

#include "platform/Blanks.h"
#include "platform/KeyboardHook.h"

namespace ondrevan {
namespace {

struct NamedKey {
    const char* name;
    int key;
};

constexpr std::array<NamedKey, 17> kNamedKeys = {{{"Space", 0x20},
                                                  {"PageUp", 0x21},
                                                  {"PageDown", 0x22},
                                                  {"End", 0x23},
                                                  {"Home", 0x24},
                                                  {"Left", 0x25},
                                                  {"Up", 0x26},
                                                  {"Right", 0x27},
                                                  {"Down", 0x28},
                                                  {"Insert", 0x2D},
                                                  {"Delete", 0x2E},
                                                  {"Pause", 0x13},
                                                  {"ScrollLock", 0x91},
                                                  {"Backspace", 0x08},
                                                  {"Tab", 0x09},
                                                  {"Esc", 0x1B},
                                                  {"PrintScreen", 0x2C}}};

inline constexpr int kVkF1 = 0x70;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkPrintScreen = 0x2C;
inline constexpr int kVkDelete = 0x2E;

// Keys that Windows keeps for itself or that nearly every program gives a meaning: taken
// as a hot key, they would do two things at once wherever the user pressed them.
struct TakenKey {
    HotKeySpec key;
    const char* use;
};
constexpr HotKeySpec Ctrl(int key) {
    return {true, false, false, false, key};
}
constexpr HotKeySpec Alt(int key) {
    return {false, true, false, false, key};
}
constexpr std::array<TakenKey, 17> kTakenKeys = {{
    {Alt(kVkF1 + 3), "closes the window in front in every program"},
    {Alt(kVkTab), "switches to another window"},
    {{false, true, true, false, kVkTab}, "switches to another window"},
    {{true, true, false, false, kVkTab}, "switches to another window"},
    {Alt(kVkEscape), "switches to another window"},
    {Ctrl(kVkEscape), "opens the Start menu"},
    {{true, false, true, false, kVkEscape}, "opens the Task Manager"},
    {{true, true, false, false, kVkDelete}, "is Windows' own security key"},
    {{false, false, false, true, 'L'}, "locks the computer"},
    {Ctrl('C'), "copies in nearly every program"},
    {Ctrl('V'), "pastes in nearly every program"},
    {Ctrl('X'), "cuts in nearly every program"},
    {Ctrl('Z'), "undoes in nearly every program"},
    {Ctrl('A'), "selects everything in nearly every program"},
    {Ctrl('S'), "saves in nearly every program"},
    {{false, false, false, false, kVkF1}, "opens the help in nearly every program"},
    {{false, false, false, false, kVkF1 + 11},
     "saves as, or opens the developer tools, in many programs"},
}};

bool IsFunctionKey(int key) {
    return key >= 0x70 && key <= 0x87;
}

std::string KeyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (IsFunctionKey(key)) {
        char text[16];
        std::snprintf(text, sizeof text, "F%d", key - 0x70 + 1);
        return text;
    }
    for (const NamedKey& named : kNamedKeys)
        if (named.key == key) return named.name;
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", key);
    return text;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::optional<int> KeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0] >= 'a' && name[0] <= 'z' ? static_cast<char>(name[0] - 32) : name[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return std::nullopt;
    }
    if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 24) return 0x70 + number - 1;
        return std::nullopt;
    }
    for (const NamedKey& named : kNamedKeys)
        if (SameWord(name, named.name)) return named.key;
    return std::nullopt;
}

}  // namespace

std::string HotKeyText(const HotKeySpec& hotKey) {
    if (hotKey.Empty()) return "";
    std::string text;
    if (hotKey.ctrl) text += "Ctrl+";
    if (hotKey.alt) text += "Alt+";
    if (hotKey.shift) text += "Shift+";
    if (hotKey.win) text += "Win+";
    text.append(KeyName(hotKey.key));
    return text;
}

std::optional<HotKeySpec> ParseHotKey(std::string_view text) {
    text = TrimBlanks(text);
    HotKeySpec hotKey;
    if (text.empty()) return hotKey;
    int order = 0;  // the modifiers come in their fixed order, each once
    while (true) {
        const std::size_t plus = text.find('+');
        const std::string_view part = TrimBlanks(text.substr(0, plus));
        if (plus == std::string_view::npos) {
            const auto key = KeyFromName(part);
            if (!key) return std::nullopt;
            hotKey.key = *key;
            break;
        }
        const char* modifiers[] = {"Ctrl", "Alt", "Shift", "Win"};
        bool* flags[] = {&hotKey.ctrl, &hotKey.alt, &hotKey.shift, &hotKey.win};
        int which = -1;
        for (int i = 0; i < 4; ++i)
            if (SameWord(part, modifiers[i])) which = i;
        if (which < order) return std::nullopt;
        *flags[which] = true;
        order = which + 1;
        text.remove_prefix(plus + 1);
    }
    if (HotKeyRefusal(hotKey)) return std::nullopt;
    return hotKey;
}

std::optional<std::string> HotKeyRefusal(const HotKeySpec& hotKey) {
    if (hotKey.Empty()) return std::nullopt;
    const std::string text = HotKeyText(hotKey);
    if (!KeyFromName(KeyName(hotKey.key)))
        return "That key cannot be a hot key: choose a letter, a digit, a function key or a key "
               "such as Home or Insert.";
    for (const TakenKey& taken : kTakenKeys)
        if (taken.key == hotKey) return text + " " + taken.use + ": choose another key.";
    // With any modifier it still takes a picture of the screen or of a window.
    if (hotKey.key == kVkPrintScreen)
        return text + " takes a picture of the screen: choose another key.";
    // A key without Ctrl or Alt would fire as the user types. (Win is not offered: the
    // field cannot take it.)
    if (!hotKey.ctrl && !hotKey.alt && !hotKey.win && !IsFunctionKey(hotKey.key))
        return text + " is pressed as you type: add Ctrl or Alt, or choose a function key.";
    return std::nullopt;
}

std::string HotKeyHint(const HotKeySpec& hotKey) {
    if (hotKey.Empty()) return "(No hot key: the button toggles ON/OFF)";
    // Written as the field, the menus and the stored value write it.
    return "(Press " + HotKeyText(hotKey) + " to toggle ON/OFF)";
}

bool HotKeyDetector::OnKey(KeyStates& keys, int virtualKey, bool keyDown) {
    partOfFired_ = false;
    if (hotKey_.Empty() || virtualKey != hotKey_.key) return false;
    const bool newPress = keyDown && !keyIsDown_;
    keyIsDown_ = keyDown;
    if (!newPress) {
        // The repeats and the key-up of a press that fired.
        partOfFired_ = firedIsDown_;
        if (!keyDown) firedIsDown_ = false;
        return false;
    }
    auto down = [&](int key) { return (keys.AsyncKeyState(key) & 0x8000) != 0; };
    const bool fires = (!hotKey_.ctrl || down(kVkControl)) && (!hotKey_.alt || down(kVkMenu)) &&
                       (!hotKey_.shift || keys.AsyncKeyState(kVkShift) != 0) &&
                       (!hotKey_.win || down(kVkLeftWin) || down(kVkRightWin));
    firedIsDown_ = partOfFired_ = fires;
    return fires;
}

}  // namespace ondrevan
