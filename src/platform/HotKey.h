#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ondrevan {

class KeyStates;

inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkLeftWin = 0x5B;
inline constexpr int kVkRightWin = 0x5C;
inline constexpr int kVkT = 0x54;

// A hot key: its modifiers and its key (a virtual-key code; 0: no hot key at all).
struct HotKeySpec {
    bool ctrl = false, alt = false, shift = false, win = false;
    int key = 0;

    bool Empty() const { return key == 0; }
    friend bool operator==(const HotKeySpec&, const HotKeySpec&) = default;
};

inline constexpr HotKeySpec kDefaultHotKey{true, false, true, false, kVkT};
inline constexpr const char* kDefaultHotKeyText = "Ctrl+Shift+T";

// The stored form a person can read and type: the modifiers "Ctrl", "Alt", "Shift", "Win"
// in that order, then the key, joined by "+" ("Ctrl+Alt+K", "Shift+F9"). "" is no hot key.
std::string HotKeyText(const HotKeySpec& hotKey);
// Its reading, any letter case, blanks around the parts allowed; nothing when it is not
// one (an unknown key, a modifier twice or out of order) or is refused (below).
std::optional<HotKeySpec> ParseHotKey(std::string_view text);
// Why a key cannot be the hot key, in a sentence that names it, or nothing: one that would
// fire as the user types, one that has no name, or one that Windows or nearly every program
// already uses (Alt+F4, Ctrl+C...). No hot key at all is never refused; a key that is only
// modifiers is not one yet and is refused by the caller, who knows whether it is finished.
std::optional<std::string> HotKeyRefusal(const HotKeySpec& hotKey);
// The main window's hint: "(Press Ctrl+Shift+T to toggle ON/OFF)".
std::string HotKeyHint(const HotKeySpec& hotKey);

// The hot key among the keyboard's events: its modifiers down (Shift also when pressed
// since it was last asked about), and its key pressed. A key's "pressed since" bit stays
// set from the key-down to the next question and would fire the key-up too, so the press
// itself is taken from the key events: the first key-down fires, its auto-repeats and its
// key-up do not. One press toggles once, whatever the key.
class HotKeyDetector {
  public:
    void SetHotKey(const HotKeySpec& hotKey) {
        hotKey_ = hotKey;
        keyIsDown_ = firedIsDown_ = false;
    }
    // One keyboard event as the hook sees it; true when the hot key fires.
    bool OnKey(KeyStates& keys, int virtualKey, bool keyDown);
    // The event just seen belongs to a press that fired (its repeats or its key-up): a
    // hook that swallows the press swallows these too.
    bool PartOfFiredPress() const { return partOfFired_; }

  private:
    HotKeySpec hotKey_ = kDefaultHotKey;
    bool keyIsDown_ = false;
    bool firedIsDown_ = false;
    bool partOfFired_ = false;
};

}  // namespace ondrevan
