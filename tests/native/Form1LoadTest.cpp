#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "app/Layout.h"

namespace ondrevan {
namespace {

struct Form1Fixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;

    void Load() {
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
};

TEST_F(Form1Fixture, HasEveryControlOfTheLayoutInItsDesignedPlace) {
    form = std::make_unique<Form1>(sys.services());
    ASSERT_EQ(form->Controls().size(), kLayout.size());
    for (std::size_t i = 0; i < kLayout.size(); ++i)
        EXPECT_EQ(form->Controls()[i]->Name(), kLayout[i].name) << "window ids follow the layout";
    for (const LayoutEntry& entry : kLayout) {
        Control* control = form->FindControl(entry.name);
        ASSERT_NE(control, nullptr) << entry.name;
        EXPECT_EQ(control->Kind(), entry.kind) << entry.name;
        EXPECT_EQ(control->Caption(), entry.caption) << entry.name;
        EXPECT_EQ(control->Position(), entry.position) << entry.name;
        EXPECT_EQ(control->Container() ? control->Container()->Name() : "",
                  entry.container ? entry.container : "")
            << entry.name;
    }
    EXPECT_EQ(form->Frame4.Caption(), "Off.");
    EXPECT_EQ(form->ProgressBar1.Text(), "Progress Bar");
    EXPECT_FALSE(form->Timer1.Running());
    EXPECT_GT(form->RichTextBox1.Position().top, kClientHeightTwips) << "kept out of sight";
}

TEST(Layout, AWindowThatDoesNotFitItsWorkAreaIsLaidOutAtTheLargestDpiThatFits) {
    // monitor DPI, frame, work area -> the DPI the main window is laid out at
    const struct {
        int dpi, frameWidth, frameHeight, workWidth, workHeight, fitting;
    } table[] = {
        {96, 16, 59, 1280, 800, 96},      // 1080 x 442: fits
        {144, 24, 80, 1280, 800, 113},    // 1596 wide would not: 1252 + 24 does
        {192, 32, 100, 1280, 800, 112},   // a wider frame leaves less room
        {192, 32, 100, 1920, 1080, 170},  // 1884 + 32; at 171, 1895 + 32 is too wide
        {144, 24, 80, 2560, 1600, 144},
        {96, 16, 59, 200, 100, 48},  // below half the design it stays at half
    };
    for (const auto& row : table)
        EXPECT_EQ(FittingDpi(row.dpi, kClientWidthTwips, kClientHeightTwips, row.frameWidth,
                             row.frameHeight, row.workWidth, row.workHeight),
                  row.fitting)
            << row.dpi << " on " << row.workWidth;
}

TEST_F(Form1Fixture, FirstStartWithAnEmptyStoreShowsTheDesignedDefaults) {
    sys.clock.Set(2026, 12, 8, 14, 30, 5);
    Load();

    EXPECT_TRUE(sys.dialogs.shown.empty()) << sys.dialogs.shown[0].text;
    EXPECT_EQ(form->Window.Caption(), "Ondrevan");
    EXPECT_TRUE(form->Window.HasProgramIcon());
    EXPECT_EQ(form->AppTitle(), "Ondrevan");
    EXPECT_TRUE(form->Option3.Value());
    EXPECT_FALSE(form->Option4.Value() || form->Option5.Value());
    EXPECT_TRUE(form->Option1.Value());
    EXPECT_FALSE(form->Option2.Value());
    EXPECT_FALSE(form->Check1.Checked());
    EXPECT_EQ(form->Text1.Text(), "1");
    EXPECT_EQ(form->Text2.Text(), "0");
    EXPECT_EQ(form->Text3.Text(), "0");
    EXPECT_EQ(form->cboWeekly.Text(), "Monday");
    EXPECT_EQ(form->dtpWeekly.Value(), TimeOfDay::FromHms(14, 30, 5));
    EXPECT_FALSE(form->dtpWeekly.Enabled());
    EXPECT_FALSE(form->cboWeekly.Enabled());
    EXPECT_EQ(form->PushButton2.Caption(), "Turn On Automatic Delete");
    EXPECT_EQ(form->Frame4.Caption(), "Off.");
    EXPECT_EQ(form->ListView1.Count(), 0u);
    ASSERT_EQ(form->ListView1.Columns().size(), 1u);
    EXPECT_EQ(form->ListView1.Columns()[0].heading, " Folder(s)");
    EXPECT_EQ(form->ListView1.Columns()[0].widthTwips, 7000);
    EXPECT_EQ(form->Label4.BackColor(), colors::kWhite);
    EXPECT_FALSE(form->IsLoading());
    EXPECT_EQ(form->HistoryFilePath(), "C:\\Users\\ann\\AppData\\Local\\Temp\\Ondrevan.txt");
    EXPECT_EQ(form->Window.MouseIconFile(), "") << "no hand cursor file ships in the fake";
}

TEST_F(Form1Fixture, UsesTheHandCursorThatShipsNextToTheProgram) {
    sys.fileSystem.AddFile("C:\\Tools\\HAND-M.CUR");
    Load();
    EXPECT_EQ(form->Window.MouseIconFile(), "C:\\Tools\\HAND-M.CUR");
}

TEST_F(Form1Fixture, RestoresStoredValuesIntoTheirControls) {
    sys.settings.Set("Option5", "True");
    sys.settings.Set("Option4", "False");
    sys.settings.Set("Option3", "False");
    sys.settings.Set("Option1", "0");
    sys.settings.Set("Option2", "-1");
    sys.settings.Set("Check1", "1");
    sys.settings.Set("Weekly Time", "7:05:09 PM");
    sys.settings.Set("Weekly", "Friday");
    sys.settings.Set("Text1", "0");
    sys.settings.Set("Text2", "abc");
    sys.settings.Set("Text3", "12.5");
    Load();

    EXPECT_TRUE(sys.dialogs.shown.empty());
    EXPECT_TRUE(form->Option5.Value());
    EXPECT_FALSE(form->Option3.Value());
    EXPECT_TRUE(form->Option2.Value());
    EXPECT_FALSE(form->Option1.Value());
    EXPECT_TRUE(form->Check1.Checked());
    EXPECT_EQ(form->dtpWeekly.Value(), TimeOfDay::FromHms(19, 5, 9));
    EXPECT_EQ(form->cboWeekly.Text(), "Friday");
    EXPECT_EQ(form->Text2.Text(), "abc") << "plain text is restored unchanged";
    EXPECT_EQ(form->Text3.Text(), "12.5");
}

TEST_F(Form1Fixture, AValueThatCannotConvertFailsOnlyItsOwnStep) {
    sys.settings.Set("Check1", "abc");
    sys.settings.Set("Option3", "maybe");
    sys.settings.Set("Weekly", "Someday");
    sys.settings.Set("Weekly Time", "teatime");
    sys.settings.Set("Text1", "7");
    Load();

    const std::vector<std::string> texts = sys.dialogs.Texts();
    ASSERT_EQ(texts.size(), 4u);
    for (const auto& shown : sys.dialogs.shown) EXPECT_EQ(shown.title, "Application Error");
    EXPECT_EQ(texts[0].substr(0, texts[0].find('\r')), "Type mismatch");
    EXPECT_NE(texts[0].find("in Vestrilo2021/08/31.Form1.Form_Load at line "), std::string::npos);
    EXPECT_NE(texts[2].find("Type mismatch"), std::string::npos) << "the time";
    EXPECT_NE(texts[3].find("'Text' property is read-only"), std::string::npos) << "the weekday";

    // Each failed control keeps its designed state; the steps after it still ran.
    EXPECT_TRUE(form->Option3.Value());
    EXPECT_FALSE(form->Check1.Checked());
    EXPECT_EQ(form->cboWeekly.Text(), "");
    EXPECT_EQ(form->Text1.Text(), "7");
    EXPECT_FALSE(form->IsLoading());
    EXPECT_FALSE(form->HistoryFilePath().empty());
}

TEST_F(Form1Fixture, EachFailedLineHasItsOwnNumber) {
    sys.settings.Set("Option5", "x");
    sys.settings.Set("Option4", "x");
    Load();
    ASSERT_EQ(sys.dialogs.shown.size(), 2u);
    auto line = [](const std::string& text) {
        return std::stoi(text.substr(text.find("at line ") + 8));
    };
    EXPECT_EQ(line(sys.dialogs.shown[1].text), line(sys.dialogs.shown[0].text) + 2);
}

TEST_F(Form1Fixture, CheckStateTwoRestoresUnchecked) {
    sys.settings.Set("Check1", "2");
    Load();
    EXPECT_TRUE(sys.dialogs.shown.empty());
    EXPECT_EQ(form->Check1.Value(), 0);
}

TEST_F(Form1Fixture, ABrokenSkinIsReportedAndStartUpGoesOn) {
    sys.fileSystem.AddFile("C:\\Tools\\x\\o.cjs", "not a skin");
    Load();
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_NE(sys.dialogs.shown[0].text.find("at line 100\r\r"), std::string::npos);
    EXPECT_EQ(form->Window.Caption(), "Ondrevan");
    EXPECT_EQ(form->Label4.BackColor(), colors::kWhite);
}

TEST_F(Form1Fixture, HelpShowsItsTwoMessagesWithTheApplicationTitle) {
    Load();
    form->PushButton11.Click.Raise();
    ASSERT_EQ(sys.dialogs.shown.size(), 2u);
    EXPECT_EQ(sys.dialogs.shown[0].text,
              "Questions? Please contact Team Quillmere at https://www.quillmere.example/contact");
    EXPECT_EQ(
        sys.dialogs.shown[1].text,
        "Files that lie in a listed folder are deleted permanently. In folder mode the folder "
        "itself, with its sub-folders, then goes to the Recycle Bin; in contents mode it stays.");
    for (const auto& shown : sys.dialogs.shown) {
        EXPECT_EQ(shown.title, "Ondrevan");
        EXPECT_EQ(shown.icon, MessageIcon::Information);
        EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    }
}

}  // namespace
}  // namespace ondrevan
