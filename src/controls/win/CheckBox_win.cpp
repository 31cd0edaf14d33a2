#include <oleacc.h>

#include "controls/CheckBox.h"
#include "controls/win/ControlKind_win.h"

namespace ondrevan::win {
namespace {

class CheckBoxKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {L"BUTTON", WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_CHECKBOX | BS_MULTILINE, 0};
    }
    bool TakesColors() const override { return true; }

    void Created(ControlWindows& windows, Entry& entry) const override {
        windows.Mirror(*entry.control, Property::Value);
    }
    void Mirror(ControlWindows&, Entry& entry, Property property, bool) const override {
        if (property != Property::Value) return;
        ::SendMessageW(entry.window, BM_SETCHECK,
                       static_cast<WPARAM>(static_cast<CheckBox&>(*entry.control).Value()), 0);
    }

    void Command(ControlEvents&, Entry& entry, WORD code) const override {
        if (code != BN_CLICKED) return;
        auto& check = static_cast<CheckBox&>(*entry.control);
        check.SetChecked(!check.Checked());
    }

    void Describe(const Control& control, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_CHECKBUTTON;
        facts.checkable = true;
        facts.checked = static_cast<const CheckBox&>(control).Checked();
    }
};

}  // namespace

const ControlKindWin& CheckBoxWin() {
    static const CheckBoxKind kind;
    return kind;
}

}  // namespace ondrevan::win
