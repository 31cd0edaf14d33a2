#include <oleacc.h>

#include <string>

#include "controls/ComboBox.h"
#include "controls/win/ControlEvents_win.h"
#include "controls/win/ControlKind_win.h"
#include "platform/win/Text_win.h"

namespace ondrevan::win {
namespace {

class ComboBoxKind final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override {
        return {WC_COMBOBOXW,
                WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    }
    int HeightFactor() const override { return 8; }  // room for the drop-down list

    void Created(ControlWindows& windows, Entry& entry) const override {
        windows.Mirror(*entry.control, Property::Items);
        windows.Mirror(*entry.control, Property::Selection);
    }
    void Mirror(ControlWindows&, Entry& entry, Property property, bool echo) const override {
        if (property != Property::Items && property != Property::Selection) return;
        auto& combo = static_cast<ComboBox&>(*entry.control);
        if (property == Property::Items) {
            ::SendMessageW(entry.window, CB_RESETCONTENT, 0, 0);
            for (const std::string& item : combo.Items())
                ::SendMessageW(entry.window, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        if (!echo)
            ::SendMessageW(entry.window, CB_SETCURSEL, static_cast<WPARAM>(combo.ListIndex()), 0);
    }

    void Command(ControlEvents& events, Entry& entry, WORD code) const override {
        if (code != CBN_SELCHANGE) return;
        ControlWindows::Echo echo(events.Windows(), *entry.control);
        static_cast<ComboBox&>(*entry.control)
            .SetListIndex(static_cast<int>(::SendMessageW(entry.window, CB_GETCURSEL, 0, 0)));
    }

    void Describe(const Control& control, AccessibleFacts& facts) const override {
        facts.role = ROLE_SYSTEM_COMBOBOX;
        facts.value = Widen(static_cast<const ComboBox&>(control).Text());
        facts.hasValue = true;
    }
};

}  // namespace

const ControlKindWin& ComboBoxWin() {
    static const ComboBoxKind kind;
    return kind;
}

}  // namespace ondrevan::win
