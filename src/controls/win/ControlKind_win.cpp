#include "controls/win/ControlKind_win.h"

namespace ondrevan::win {
namespace {

// The form and a timer: no window of their own among the controls.
class WindowlessWin final : public ControlKindWin {
  public:
    WindowClass ClassFor(const Control&) const override { return {}; }
};

}  // namespace

const ControlKindWin& KindWin(ControlKind kind) {
    static const WindowlessWin windowless;
    switch (kind) {
        case ControlKind::PushButton:
            return PushButtonWin();
        case ControlKind::OptionButton:
            return OptionButtonWin();
        case ControlKind::CheckBox:
            return CheckBoxWin();
        case ControlKind::Label:
            return LabelWin();
        case ControlKind::Frame:
            return FrameWin();
        case ControlKind::ProgressBar:
            return ProgressBarWin();
        case ControlKind::TextBox:
            return TextBoxWin();
        case ControlKind::RichTextBox:
            return RichTextBoxWin();
        case ControlKind::ComboBox:
            return ComboBoxWin();
        case ControlKind::DateTimePicker:
            return DateTimePickerWin();
        case ControlKind::ListView:
            return ListViewWin();
        case ControlKind::HotKeyBox:
            return HotKeyBoxWin();
        case ControlKind::Form:
        case ControlKind::Timer:
            break;
    }
    return windowless;
}

}  // namespace ondrevan::win
