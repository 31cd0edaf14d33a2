#include <oleacc.h>

#include <string>

#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "controls/win/ControlKind_win.h"
#include "controls/win/CustomControls_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

class ProgressBarKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {kProgressClass, WS_CHILD | WS_CLIPSIBLINGS, 0};
    }

    void Created(ControlWindows& windows, Entry& entry) const override {
        windows.Mirror(*entry.control, Property::Text);
    }
    void Mirror(ControlWindows&, Entry& entry, Property property, bool) const override {
        if (property == Property::Text) {
            // Drawn over the bar, and kept as the window's text for screen readers.
            ::SetWindowTextW(entry.window,
                             Widen(static_cast<ProgressBar&>(*entry.control).Text()).c_str());
            ::InvalidateRect(entry.window, nullptr, TRUE);
            AnnounceValueChange(entry.window);
        } else if (property == Property::Value) {
            ::InvalidateRect(entry.window, nullptr, FALSE);
            AnnounceValueChange(entry.window);
        }
    }

    void Describe(const Control& control, AccessibleFacts& facts) const override {
        // Named by the status its frame shows; its value is what it shows, and how full.
        const auto& bar = static_cast<const ProgressBar&>(control);
        facts.role = ROLE_SYSTEM_PROGRESSBAR;
        if (!facts.hasName && control.Container()) {
            facts.name = Widen(control.Container()->Caption());
            facts.hasName = true;
        }
        const int percent = static_cast<int>(bar.FilledFraction() * 100.0 + 0.5);
        facts.value = Widen(bar.Text()) + L" (" + std::to_wstring(percent) + L"%)";
        facts.hasValue = true;
    }
};

}  // namespace

const ControlKindWin& ProgressBarWin() {
    static const ProgressBarKind kind;
    return kind;
}

}  // namespace ondrevan::win
