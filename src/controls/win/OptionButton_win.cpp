#include <oleacc.h>

#include "controls/OptionButton.h"
#include "controls/win/ControlKind_win.h"

namespace ondrevan::win {
namespace {

// Tab reaches an option group once, at its selected option; the arrows do the rest.
void MirrorTabStops(const ControlWindows& windows, const OptionButton& option) {
    const OptionGroup* group = option.Group();
    if (!group) return;
    for (const OptionButton* member : group->Options()) {
        HWND window = windows.WindowOf(*member);
        if (!window) continue;
        const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
        const LONG_PTR wanted =
            member == group->TabStop() ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
        if (wanted != style) ::SetWindowLongPtrW(window, GWL_STYLE, wanted);
    }
}

bool IsArrow(WPARAM key) {
    return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
}

class OptionButtonKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {L"BUTTON", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_RADIOBUTTON, 0};
    }
    bool TakesColors() const override { return true; }

    void Created(ControlWindows& windows, Entry& entry) const override {
        windows.Mirror(*entry.control, Property::Value);
    }
    void Mirror(ControlWindows& windows, Entry& entry, Property property, bool) const override {
        if (property != Property::Value) return;
        auto& option = static_cast<OptionButton&>(*entry.control);
        ::SendMessageW(entry.window, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
        MirrorTabStops(windows, option);
    }

    void Command(ControlEvents&, Entry& entry, WORD code) const override {
        if (code == BN_CLICKED) static_cast<OptionButton&>(*entry.control).SetValue(true);
    }

    void Describe(const Control& control, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_RADIOBUTTON;
        facts.checkable = true;
        facts.checked = static_cast<const OptionButton&>(control).Value();
    }

    // The arrows move within the group, choosing the option they reach.
    bool WantsKey(const Control& control, WPARAM key) const override {
        return static_cast<const OptionButton&>(control).Group() && IsArrow(key);
    }
    void PressKey(ControlWindows& windows, Entry& entry, WPARAM key) const override {
        auto& option = static_cast<OptionButton&>(*entry.control);
        OptionButton& next = option.Group()->Step(option, key == VK_DOWN || key == VK_RIGHT);
        HWND target = windows.WindowOf(next);
        if (&next == &option || !target) return;
        ::SetFocus(target);
        // Chosen as it is reached, through the same notification as a click.
        ::SendMessageW(target, BM_CLICK, 0, 0);
    }
};

}  // namespace

const ControlKindWin& OptionButtonWin() {
    static const OptionButtonKind kind;
    return kind;
}

}  // namespace ondrevan::win
