#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/HomePage.h"
#include "app/Skin.h"
#include "controls/CheckBox.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"

namespace ondrevan {
namespace {

struct SkinFixture : ::testing::Test {
    testing::FakeSystem sys;
    Frame window{"Form1"};
    Label label{"Label1"};
    CheckBox check{"Check1"};
    TextBox text{"Text1"};
    PushButton button{"PushButton1"};
    std::vector<Control*> controls{&label, &check, &text, &button};
    void Apply() { ApplySkin(sys.fileSystem, "C:\\Tools", window, controls); }
};

TEST_F(SkinFixture, WithoutTheSkinFileTheDesignColoursStay) {
    Apply();
    for (Control* c : std::vector<Control*>{&window, &label, &check, &text, &button})
        EXPECT_EQ(c->BackColor(), colors::kWhite) << c->Name();
}

TEST_F(SkinFixture, AnEmptySkinTurnsWindowAndCaptionedControlsToButtonFace) {
    sys.fileSystem.AddFile("C:\\Tools\\x\\o.cjs", "; nothing but a comment\r\n");
    Apply();
    EXPECT_EQ(window.BackColor(), colors::kSystemButtonFace);
    EXPECT_EQ(label.BackColor(), colors::kSystemButtonFace);
    EXPECT_EQ(check.BackColor(), colors::kSystemButtonFace);
    EXPECT_EQ(text.BackColor(), colors::kWhite) << "text boxes keep their own colour";
    EXPECT_EQ(button.BackColor(), colors::kWhite);
}

TEST_F(SkinFixture, TheSkinsColoursAreApplied) {
    sys.fileSystem.AddFile("C:\\Tools\\x\\o.cjs",
                           "window = #102030\ncontrols=#A0B0C0 ; pale\ntext = #FF0000\n");
    Apply();
    EXPECT_EQ(window.BackColor(), 0x302010u);
    EXPECT_EQ(label.BackColor(), 0xC0B0A0u);
    EXPECT_EQ(check.ForeColor(), 0x0000FFu);
}

TEST_F(SkinFixture, AFileThatCannotBeReadOrParsedRaises) {
    sys.fileSystem.AddFile("C:\\Tools\\x\\o.cjs", "window = #102030\nbogus\n");
    try {
        Apply();
        FAIL();
    } catch (const AppError& e) {
        EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos);
    }
    EXPECT_THROW(ParseSkin("window = blue"), AppError);
    EXPECT_THROW(ParseSkin("colour = #000000"), AppError);
    sys.fileSystem.DenyAccess("C:\\Tools\\x\\o.cjs");
    EXPECT_NO_THROW(Apply()) << "a skin that cannot even be seen counts as absent";
}

TEST(HomePage, IsVisitedOnAboutOneStartInAHundred) {
    int sevens = 0;
    for (int second = 0; second < 86400; ++second) {
        int draw = HomePageDraw(second);
        ASSERT_GE(draw, 1);
        ASSERT_LE(draw, 100);
        sevens += draw == 7;
    }
    EXPECT_NEAR(sevens, 864, 120);
}

TEST(HomePage, OpensTheHomePageThroughExplorerMinimized) {
    testing::FakeSystem sys;
    int lucky = 0;
    while (HomePageDraw(lucky) != 7) ++lucky;
    sys.clock.now.time = {lucky};
    VisitHomePageAtRandom(sys.clock, sys.shell);
    ASSERT_EQ(sys.shell.commandLines.size(), 1u);
    EXPECT_EQ(sys.shell.commandLines[0].first, "explorer \"https://www.quillmere.example/\"");
    EXPECT_EQ(sys.shell.commandLines[0].second, ShowMode::MinimizedWithFocus);

    sys.clock.now.time = {lucky == 0 ? 1 : 0};
    while (HomePageDraw(sys.clock.now.time.seconds) == 7) ++sys.clock.now.time.seconds;
    VisitHomePageAtRandom(sys.clock, sys.shell);
    EXPECT_EQ(sys.shell.commandLines.size(), 1u);
}

}  // namespace
}  // namespace ondrevan
