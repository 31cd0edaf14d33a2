#include <gtest/gtest.h>

#include <vector>

#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/ListView.h"
#include "controls/OptionButton.h"
#include "controls/ProgressBar.h"
#include "controls/TextBox.h"

namespace ondrevan {
namespace {

struct RecordingSink : ControlSink {
    void OnChanged(Control& control, Property property) override {
        changes.push_back({control.Name(), property});
    }
    std::vector<std::pair<std::string, Property>> changes;
};

struct Group3 {
    OptionButton a{"a"}, b{"b"}, c{"c"};
    OptionGroup group;
    std::vector<std::string> clicks;
    Group3() {
        for (OptionButton* o : {&a, &b, &c}) {
            group.Add(*o);
            o->Click.Handle([this, o] { clicks.push_back(o->Name()); });
        }
    }
};

TEST(OptionGroup, OnlyTheOptionThatBecomesSelectedRaisesClick) {
    Group3 g;
    g.a.SetValue(true);
    g.b.SetValue(true);
    g.b.SetValue(true);  // already selected: no event
    EXPECT_EQ(g.clicks, (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(g.a.Value());
    EXPECT_TRUE(g.b.Value());
    EXPECT_FALSE(g.c.Value());
}

TEST(OptionGroup, ClearingAnOptionRaisesNothingAndCanLeaveNoneSelected) {
    Group3 g;
    g.c.SetValue(true);
    g.clicks.clear();
    g.c.SetValue(false);
    EXPECT_TRUE(g.clicks.empty());
    EXPECT_FALSE(g.a.Value() || g.b.Value() || g.c.Value());
}

TEST(OptionGroup, TellsTheShellOfEveryOptionWhoseValueChanged) {
    Group3 g;
    RecordingSink sink;
    for (OptionButton* o : {&g.a, &g.b, &g.c}) o->SetSink(&sink);
    g.a.SetValue(true);
    sink.changes.clear();
    g.c.SetValue(true);
    ASSERT_EQ(sink.changes.size(), 2u);
    EXPECT_EQ(sink.changes[0].first, "a");
    EXPECT_EQ(sink.changes[1].first, "c");
}

TEST(CheckBoxAndTextBox, RaiseTheirHandlerExactlyWhenTheValueChanges) {
    CheckBox check{"Check1"};
    int clicks = 0;
    check.Click.Handle([&] { ++clicks; });
    check.SetValue(0);
    check.SetChecked(true);
    check.SetChecked(true);
    check.SetValue(2);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(check.Checked()) << "only 1 is checked";

    TextBox text{"Text1"};
    std::vector<std::string> seen;
    text.Change.Handle([&] { seen.push_back(text.Text()); });
    text.SetText("1");
    text.SetText("1");
    text.SetText("12");
    text.SetText("");
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "12", ""}));
}

TEST(ComboBox, TakesOnlyTheTextOfAnItem) {
    ComboBox combo{"cboWeekly"};
    combo.SetItems({"Sunday", "Monday"});
    int clicks = 0;
    combo.Click.Handle([&] { ++clicks; });
    EXPECT_EQ(combo.Text(), "");
    combo.SetText("Monday");
    combo.SetText("Monday");
    EXPECT_EQ(combo.ListIndex(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(combo.SetText("monday"), AppError);
    EXPECT_THROW(combo.SetText("Someday"), AppError);
    EXPECT_EQ(combo.Text(), "Monday") << "a refused text leaves the choice as it was";
}

TEST(ListView, KeepsTheSelectionOnTheSameEntryWhenOthersGo) {
    ListView list{"ListView1"};
    list.AddRange({"a", "b", "c", "d"});
    list.Select(2);
    list.RemoveAt(0);
    EXPECT_EQ(list.Selected(), 1u);
    EXPECT_EQ(list.Item(1), "c");
    list.RemoveAt(1);
    EXPECT_EQ(list.Selected(), std::nullopt)
        << "the selected entry went, and its selection with it";
    list.Select(7);
    EXPECT_EQ(list.Selected(), std::nullopt);
}

TEST(ProgressBar, ShowsAnyValueClampedToItsRange) {
    ProgressBar bar{"ProgressBar1"};
    bar.SetMax(10);
    bar.SetValue(5);
    EXPECT_DOUBLE_EQ(bar.FilledFraction(), 0.5);
    bar.SetValue(-3);
    EXPECT_DOUBLE_EQ(bar.FilledFraction(), 0.0);
    bar.SetValue(40);
    EXPECT_DOUBLE_EQ(bar.FilledFraction(), 1.0);
    bar.SetMax(0);
    EXPECT_DOUBLE_EQ(bar.FilledFraction(), 0.0);
    bar.SetMax(-7);
    EXPECT_DOUBLE_EQ(bar.FilledFraction(), 0.0);
}

}  // namespace
}  // namespace ondrevan

namespace ondrevan {
namespace {

TEST(ShownColor, HighContrastLeavesNoDesignedOrSkinnedColourOnTheScreen) {
    const Color designed[] = {colors::kWhite, colors::kBlack, colors::kProgressGreen, 0x123456,
                              colors::kSystemButtonFace};
    for (const Color color : designed) {
        for (const ColorRole role : {ColorRole::Background, ColorRole::Text, ColorRole::Progress}) {
            EXPECT_EQ(ShownColor(color, role, false), color) << "high contrast off: as designed";
            EXPECT_TRUE(colors::IsSystemColor(ShownColor(color, role, true))) << color;
        }
    }
    // Text stays readable on its background: the system pairs them.
    EXPECT_EQ(ShownColor(colors::kWhite, ColorRole::Background, true), colors::kSystemWindow);
    EXPECT_EQ(ShownColor(colors::kBlack, ColorRole::Text, true), colors::kSystemWindowText);
}

}  // namespace
}  // namespace ondrevan

namespace ondrevan {
namespace {

TEST(OptionGroup, TheArrowsGoRoundTheOptionsThatCanBeChosenAndTabStopsAtTheSelectedOne) {
    OptionButton every("Option3"), daily("Option4"), weekly("Option5");
    OptionGroup group;
    EXPECT_EQ(group.TabStop(), nullptr);
    for (OptionButton* option : {&every, &daily, &weekly}) group.Add(*option);
    EXPECT_EQ(group.TabStop(), &every) << "none selected: the first";
    weekly.SetValue(true);
    EXPECT_EQ(group.TabStop(), &weekly);
    EXPECT_EQ(&group.Step(every, true), &daily);
    EXPECT_EQ(&group.Step(weekly, true), &every) << "round from the last to the first";
    EXPECT_EQ(&group.Step(every, false), &weekly);
    daily.SetEnabled(false);
    EXPECT_EQ(&group.Step(every, true), &weekly) << "a disabled option is passed over";
    weekly.SetVisible(false);
    EXPECT_EQ(&group.Step(every, true), &every) << "nothing else to go to";
    EXPECT_TRUE(weekly.Value()) << "stepping chooses nothing by itself";
}

}  // namespace
}  // namespace ondrevan
