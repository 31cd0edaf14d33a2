#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "platform/ErrorReport.h"

namespace ondrevan {
namespace {

TEST(ErrorReport, SaysWhatFailedWhereAndWhomToTell) {
    EXPECT_EQ(ErrorReportText("Type mismatch", kLocationPrefix, "Form1.Form_Load", 114),
              "Type mismatch\r\nin Vestrilo2021/08/31.Form1.Form_Load at line 114\r\r"
              "Please email screenshot of this message to support@quillmere.example");
    EXPECT_EQ(ErrorReportText("Permission denied", kWalkLocationPrefix,
                              "AddFolder.GetSubDirectories2016", 100),
              "Permission denied\r\nin Tessaroun2021/08/31.AddFolder.GetSubDirectories2016 at "
              "line 100\r\rPlease email screenshot of this message to support@quillmere.example");
}

TEST(ErrorTrap, ReportsEachFailedLineWithItsNumberAndGoesOn) {
    testing::ScriptedDialogs dialogs;
    ErrorTrap trap(dialogs, "Form1.PushButton3_Click");
    std::vector<int> ran;
    trap.Line([&] { ran.push_back(100); });
    trap.Line([&] { throw AppError(53, "File not found"); });
    trap.Line([&] { ran.push_back(104); });
    trap.Line([&] { throw std::runtime_error("Overflow"); });
    trap.Line([&] { ran.push_back(108); });

    EXPECT_EQ(ran, (std::vector<int>{100, 104, 108}));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].title, "Application Error");
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(dialogs.shown[0].buttons, MessageButtons::Ok);
    EXPECT_NE(dialogs.shown[0].text.find("File not found\r\nin Vestrilo2021/08/31.Form1."
                                         "PushButton3_Click at line 102\r\r"),
              std::string::npos);
    EXPECT_NE(dialogs.shown[1].text.find("Overflow\r\n"), std::string::npos);
    EXPECT_NE(dialogs.shown[1].text.find("at line 106\r\r"), std::string::npos);
    EXPECT_TRUE(trap.AnyFailed());
}

}  // namespace
}  // namespace ondrevan
