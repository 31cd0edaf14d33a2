#include "app/ScheduleControls.h"

#include "controls/ComboBox.h"
#include "controls/DateTimePicker.h"
#include "controls/FormWindow.h"
#include "controls/OptionButton.h"
#include "controls/ProgressBar.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"

namespace ondrevan {
namespace {

inline constexpr int kArmedInterval = 1000;

}  // namespace

TextBox& ScheduleControls::Field(IntervalField field) const {
    return field == IntervalField::Hours     ? c_.Text1
           : field == IntervalField::Minutes ? c_.Text2
                                             : c_.Text3;
}

ScheduleKind ScheduleControls::Kind() const {
    if (c_.Option5.Value()) return ScheduleKind::Weekly;
    if (c_.Option4.Value()) return ScheduleKind::Daily;
    if (c_.Option3.Value()) return ScheduleKind::Every;
    return ScheduleKind::None;
}

TimeOfDay ScheduleControls::SetTime() const {
    return c_.dtpWeekly.Value();
}

std::string ScheduleControls::Weekday() const {
    return c_.cboWeekly.Text();
}

const std::string& ScheduleControls::IntervalText(IntervalField field) const {
    return Field(field).Text();
}

void ScheduleControls::SetIntervalText(IntervalField field, const std::string& text) {
    Field(field).SetText(text);
}

void ScheduleControls::EnableSetTime(bool time, bool weekday) {
    c_.dtpWeekly.SetEnabled(time);
    c_.cboWeekly.SetEnabled(weekday);
}

bool ScheduleControls::FocusInInterval() const {
    const Control* active = c_.Window.ActiveControl();
    return active == &c_.Text1 || active == &c_.Text2 || active == &c_.Text3;
}

void ScheduleControls::FocusIntervalField(IntervalField field) {
    Field(field).SetFocus();
}

void ScheduleControls::SelectIntervalText(IntervalField field) {
    TextBox& box = Field(field);
    box.Select(0, static_cast<int>(box.Text().size()));
}

void ScheduleControls::ShowStatus(const std::string& text) {
    c_.Frame4.SetCaption(text);
}

void ScheduleControls::SetProgressMax(std::int32_t max) {
    c_.ProgressBar1.SetMax(max);
}

void ScheduleControls::SetProgressValue(std::int32_t value) {
    c_.ProgressBar1.SetValue(value);
}

void ScheduleControls::ClearProgress() {
    c_.ProgressBar1.SetValue(0);
    c_.ProgressBar1.SetText("Progress Bar");
}

void ScheduleControls::ShowLastRun(const std::string& text) {
    c_.ProgressBar1.SetText(text);
}

const std::string& ScheduleControls::SwitchCaption() const {
    return c_.PushButton2.Caption();
}

void ScheduleControls::SetSwitchCaption(const std::string& caption) {
    c_.PushButton2.SetCaption(caption);
}

void ScheduleControls::ShowDefaultPointer() {
    c_.Window.SetMousePointer(pointers::kDefault);
}

void ScheduleControls::ArmTimer() {
    c_.Timer1.SetTimerEnabled(true);
    c_.Timer1.SetInterval(kArmedInterval);
}

void ScheduleControls::DisarmTimer() {
    c_.Timer1.SetTimerEnabled(false);
    c_.Timer1.SetInterval(0);
}

}  // namespace ondrevan
