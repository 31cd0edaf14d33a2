#pragma once

#include <string>

#include "controls/Color.h"
#include "controls/Event.h"

namespace ondrevan {

class Control;
class Frame;

enum class ControlKind {
    Form,
    PushButton,
    OptionButton,
    CheckBox,
    TextBox,
    ComboBox,
    DateTimePicker,
    ListView,
    ProgressBar,
    Frame,
    Label,
    RichTextBox,
    Timer,
    HotKeyBox,
};

enum class Property {
    Caption,
    Text,
    Value,
    Enabled,
    Visible,
    BackColor,
    ForeColor,
    Items,
    Selection,
    TextSelection,
    Focus,
    Maximum,
    Columns,
    Timer,
    MousePointer,
    MouseIcon,
    WindowState,
    Icon,
    ToolTip,
};

// Whoever shows the controls (the Win32 shell) hears of every property change here.
class ControlSink {
  public:
    virtual ~ControlSink() = default;
    virtual void OnChanged(Control& control, Property property) = 0;
};

// A position in twips, relative to the container.
struct TwipRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

struct FontSpec {
    std::string face = "Arial";
    double points = 9.0;
    bool bold = true;
};

// What every control has: a name, a place, a caption, colours and the mouse-move event.
class Control {
  public:
    Control(ControlKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }

    Frame* Container() const { return container_; }
    void SetContainer(Frame* frame) { container_ = frame; }
    const TwipRect& Position() const { return position_; }
    void SetPosition(TwipRect rect) { position_ = rect; }
    const FontSpec& Font() const { return font_; }
    void SetFont(FontSpec font) { font_ = std::move(font); }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { Assign(caption_, caption, Property::Caption); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { Assign(enabled_, enabled, Property::Enabled); }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { Assign(visible_, visible, Property::Visible); }
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color color) { Assign(backColor_, color, Property::BackColor); }
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color color) { Assign(foreColor_, color, Property::ForeColor); }
    // What a screen reader calls a control whose caption does not say it (a text box, a
    // list); "" when the caption does.
    const std::string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(std::string name) { accessibleName_ = std::move(name); }
    // The letter Alt reaches the control by, underlined in its caption; 0 for none. The
    // caption's words stay as they are.
    char AccessKey() const { return accessKey_; }
    void SetAccessKey(char key) { accessKey_ = key; }
    // Shown when the pointer rests on the control, enabled or not; "" for none.
    const std::string& ToolTip() const { return toolTip_; }
    void SetToolTip(const std::string& text) { Assign(toolTip_, text, Property::ToolTip); }

    // Asks the shell to move the keyboard focus here.
    void SetFocus() { Notify(Property::Focus); }

    void SetSink(ControlSink* sink) { sink_ = sink; }

    Event<> MouseMove;

  protected:
    void Notify(Property property) {
        if (sink_) sink_->OnChanged(*this, property);
    }
    // Stores a value and tells the sink; returns whether it changed.
    template <class T>
    bool Assign(T& field, const T& value, Property property) {
        if (field == value) return false;
        field = value;
        Notify(property);
        return true;
    }

  private:
    ControlKind kind_;
    std::string name_;
    Frame* container_ = nullptr;
    TwipRect position_;
    FontSpec font_;
    std::string caption_;
    std::string toolTip_;
    std::string accessibleName_;
    char accessKey_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    Color backColor_ = colors::kWhite;
    Color foreColor_ = colors::kSystemWindowText;
    ControlSink* sink_ = nullptr;
};

}  // namespace ondrevan
