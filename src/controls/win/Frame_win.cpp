#include <oleacc.h>

#include "controls/win/ControlKind_win.h"
#include "controls/win/CustomControls_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

class FrameKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {kFrameClass, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    }

    // Its caption is its name: a screen reader hears the new one.
    void Mirror(ControlWindows&, Entry& entry, Property property, bool) const override {
        if (property == Property::Caption) AnnounceNameChange(entry.window);
    }

    void Describe(const Control& control, AccessibleFacts& facts) const override {
        // Drawn by the program: the system would call it a bare client area.
        facts.role = ROLE_SYSTEM_GROUPING;
        facts.name = Widen(control.Caption());
        facts.hasName = true;
    }
};

}  // namespace

const ControlKindWin& FrameWin() {
    static const FrameKind kind;
    return kind;
}

}  // namespace ondrevan::win
