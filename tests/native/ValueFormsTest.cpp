#include <gtest/gtest.h>

#include "platform/AppError.h"
#include "platform/Numeric.h"
#include "platform/ValueForms.h"

namespace ondrevan {
namespace {

TEST(ParseNumber, AcceptsWhatANumericEntryMayHoldAndNothingElse) {
    EXPECT_EQ(ParseNumber("12", "."), 12.0);
    EXPECT_EQ(ParseNumber(" -1.5 ", "."), -1.5);
    EXPECT_EQ(ParseNumber("+.5", "."), 0.5);
    EXPECT_EQ(ParseNumber("5.", "."), 5.0);
    EXPECT_EQ(ParseNumber("1e3", "."), 1000.0);
    EXPECT_EQ(ParseNumber("2,5", ","), 2.5);
    for (const char* bad : {"", " ", "abc", "1.2.3", "1e", "--1", "1 2", ".", "12a", "0x10"})
        EXPECT_EQ(ParseNumber(bad, "."), std::nullopt) << '"' << bad << '"';
    EXPECT_EQ(ParseNumber("2.5", ","), std::nullopt) << "only the locale's separator counts";
}

TEST(BooleanText, WritesTrueFalseAndReadsWordsOrNumbers) {
    EXPECT_EQ(BooleanText(true), "True");
    EXPECT_EQ(BooleanText(false), "False");
    EXPECT_TRUE(ParseBooleanText("True", "."));
    EXPECT_TRUE(ParseBooleanText("true", "."));
    EXPECT_FALSE(ParseBooleanText("False", "."));
    EXPECT_TRUE(ParseBooleanText("1", "."));
    EXPECT_TRUE(ParseBooleanText("-1", "."));
    EXPECT_TRUE(ParseBooleanText("0.5", "."));
    EXPECT_FALSE(ParseBooleanText("0", "."));
    for (const char* bad : {"maybe", "", "Truee", "yes"})
        EXPECT_THROW(ParseBooleanText(bad, "."), AppError) << bad;
}

TEST(CheckState, IsCheckedOnlyForTheNumberOne) {
    EXPECT_EQ(CheckStateText(true), "1");
    EXPECT_EQ(CheckStateText(false), "0");
    EXPECT_TRUE(ParseCheckState("1", "."));
    EXPECT_TRUE(ParseCheckState("1.0", "."));
    EXPECT_FALSE(ParseCheckState("2", "."));
    EXPECT_FALSE(ParseCheckState("0", "."));
    EXPECT_FALSE(ParseCheckState("-1", "."));
    try {
        ParseCheckState("abc", ".");
        FAIL() << "a text that is no number must not convert";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), errors::kTypeMismatch);
        EXPECT_STREQ(e.what(), "Type mismatch");
    }
}

TEST(SwitchText, ComparesExactly) {
    EXPECT_EQ(SwitchText(true), "On");
    EXPECT_EQ(SwitchText(false), "Off");
    EXPECT_TRUE(IsSwitchOn("On"));
    EXPECT_FALSE(IsSwitchOn("on"));
    EXPECT_FALSE(IsSwitchOn("On "));
}

}  // namespace
}  // namespace ondrevan
