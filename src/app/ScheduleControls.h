#pragma once

#include "schedule/ScheduleView.h"

namespace ondrevan {

class ComboBox;
class DateTimePicker;
class Frame;
class FormWindow;
class OptionButton;
class ProgressBar;
class PushButton;
class TextBox;
class Timer;

// The main window's schedule controls as the scheduler reads and drives them.
class ScheduleControls : public ScheduleInputs, public ScheduleView {
  public:
    struct Controls {
        FormWindow& Window;
        PushButton& PushButton2;  // the switch
        Frame& Frame4;            // its caption is the status line
        ProgressBar& ProgressBar1;
        Timer& Timer1;
        OptionButton& Option3;  // every interval
        OptionButton& Option4;  // daily
        OptionButton& Option5;  // weekly
        TextBox& Text1;         // hours
        TextBox& Text2;         // minutes
        TextBox& Text3;         // seconds
        DateTimePicker& dtpWeekly;
        ComboBox& cboWeekly;
    };
    explicit ScheduleControls(const Controls& controls) : c_(controls) {}

    ScheduleKind Kind() const override;
    TimeOfDay SetTime() const override;
    std::string Weekday() const override;
    const std::string& IntervalText(IntervalField field) const override;
    void SetIntervalText(IntervalField field, const std::string& text) override;
    void EnableSetTime(bool time, bool weekday) override;
    bool FocusInInterval() const override;
    void FocusIntervalField(IntervalField field) override;
    void SelectIntervalText(IntervalField field) override;

    void ShowStatus(const std::string& text) override;
    void SetProgressMax(std::int32_t max) override;
    void SetProgressValue(std::int32_t value) override;
    void ClearProgress() override;
    // The bar says what the last run did, until the next run or the switch turned off.
    void ShowLastRun(const std::string& text);
    const std::string& SwitchCaption() const override;
    void SetSwitchCaption(const std::string& caption) override;
    void ShowDefaultPointer() override;
    void ArmTimer() override;
    void DisarmTimer() override;

  private:
    TextBox& Field(IntervalField field) const;

    Controls c_;
};

}  // namespace ondrevan
