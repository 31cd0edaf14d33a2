#include <oleacc.h>

#include "controls/Simple.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlKind_win.h"

namespace ondrevan::win {
namespace {

class PushButtonKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {L"BUTTON", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE,
                0};
    }
    bool TakesColors() const override { return true; }

    void Command(ControlEvents& events, Entry& entry, WORD code) const override {
        if (code != BN_CLICKED) return;
        HWND button = entry.window;
        const bool focused = ::GetFocus() == button;
        static_cast<PushButton&>(*entry.control).Click.Raise();
        // A message box the handler showed hands the keyboard to the window itself; as in a
        // dialog box, it goes back to the button that was pressed.
        HWND now = ::GetFocus();
        if (focused && ::IsWindow(button) && ::IsWindowEnabled(button) &&
            ::IsWindowVisible(button) && (!now || now == events.Windows().MainWindow()))
            ::SetFocus(button);
    }

    void Describe(const Control&, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_PUSHBUTTON;
    }

    // Enter presses the button that has the keyboard.
    bool WantsKey(const Control&, WPARAM key) const override { return key == VK_RETURN; }
    void PressKey(ControlWindows&, Entry& entry, WPARAM) const override {
        ::SendMessageW(entry.window, BM_CLICK, 0, 0);
    }
};

}  // namespace

const ControlKindWin& PushButtonWin() {
    static const PushButtonKind kind;
    return kind;
}

}  // namespace ondrevan::win
