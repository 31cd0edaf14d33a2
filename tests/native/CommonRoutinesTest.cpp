#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "platform/CommonRoutines.h"

namespace ondrevan {
namespace {

TEST(CollapseBackslashes, MakesDoubledBackslashesSingleInOnePass) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"C:\\\\Temp", "C:\\Temp"},
        {"C:\\Temp\\\\", "C:\\Temp\\"},
        {"C:\\a\\\\\\b", "C:\\a\\\\b"},  // three become two: one pass only
        {"C:\\a\\\\\\\\b", "C:\\a\\\\b"},
        {"D:\\a\\b", "D:\\a\\b"},
    };
    for (const Case& c : cases) EXPECT_EQ(CollapseBackslashes(c.in), c.out) << c.in;
}

TEST(CollapseBackslashes, KeepsExactlyTwoLeadingBackslashesOfANetworkPath) {
    EXPECT_EQ(CollapseBackslashes("\\\\"), "\\\\");
    EXPECT_EQ(CollapseBackslashes("\\"), "\\\\");
    EXPECT_EQ(CollapseBackslashes("\\\\server\\share\\"), "\\\\server\\share\\");
    EXPECT_EQ(CollapseBackslashes("\\\\\\server\\\\share"), "\\\\server\\share");
    EXPECT_EQ(CollapseBackslashes("\\a"), "\\\\a");
    EXPECT_EQ(CollapseBackslashes("\\\\\\\\"), "\\\\");
}

TEST(CleanFileName, RemovesEveryListedCharacterAndSubstitutesNothing) {
    EXPECT_EQ(CleanFileName("My File (v1.2).txt"), "MyFilev12txt");
    EXPECT_EQ(CleanFileName("$/\\*:?<>|#' .,\"()-+=%;{}\t"), "");
    EXPECT_EQ(CleanFileName("Ondrevan"), "Ondrevan");
    EXPECT_EQ(CleanFileName("a_b~c@d"), "a_b~c@d");
}

TEST(StripLastWord, CutsTheLastWordOnlyWhenItMatchesOrNoWordIsGiven) {
    EXPECT_EQ(StripLastWord("Quill Ondrevan Software", "Software"), "Quill Ondrevan");
    EXPECT_EQ(StripLastWord("Quill Ondrevan Software", "software"), "Quill Ondrevan Software");
    EXPECT_EQ(StripLastWord("Quill Ondrevan Software", "Other"), "Quill Ondrevan Software");
    EXPECT_EQ(StripLastWord("Quill Ondrevan Software", ""), "Quill Ondrevan");
    EXPECT_EQ(StripLastWord("Ondrevan", "Ondrevan"), "Ondrevan");
    EXPECT_EQ(StripLastWord("Ondrevan", ""), "Ondrevan");
    EXPECT_EQ(StripLastWord(" Ondrevan Software ", "Software"), " Ondrevan Software ")
        << "a trailing blank leaves an empty last word";
    EXPECT_EQ(StripLastWord("Ondrevan Software ", ""), "Ondrevan Software");
}

TEST(FormatCountdown, WritesTheSpanAsATimeOfDayDroppingWholeDays) {
    EXPECT_EQ(FormatCountdown(0), "00:00:00");
    EXPECT_EQ(FormatCountdown(3661), "01:01:01");
    EXPECT_EQ(FormatCountdown(86399), "23:59:59");
    EXPECT_EQ(FormatCountdown(86400), "00:00:00");
    EXPECT_EQ(FormatCountdown(90000), "01:00:00");
    EXPECT_EQ(FormatCountdown(-5), "00:00:05");
    EXPECT_EQ(FormatCountdown(INT32_MIN), "03:14:08");
    EXPECT_EQ(FormatCountdown(INT32_MAX), "03:14:07");
}

TEST(AppTitleFor, KeepsANameWithoutBlanksAndCutsLongNamesWordByWord) {
    EXPECT_EQ(AppTitleFor("Ondrevan"), "Ondrevan");
    EXPECT_EQ(AppTitleFor("Quill Ondrevan"), "Quill");  // the cut always runs once
    EXPECT_EQ(AppTitleFor("alpha beta gamma delta epsilon zeta eta theta iota"),
              "alpha beta gamma delta epsilon zeta eta");
    EXPECT_EQ(AppTitleFor("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"),
              "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz");
}

TEST(FileRoutines, AnswerFromTheFileSystemAndNeverRaise) {
    testing::FakeSystem sys;
    sys.fileSystem.AddFolder("C:\\Data");
    sys.fileSystem.AddFile("C:\\Data\\a.txt");
    sys.fileSystem.AddFile("C:\\Locked\\b.txt");
    sys.fileSystem.DenyAccess("C:\\Locked\\b.txt");

    EXPECT_FALSE(FileExists(sys.fileSystem, ""));
    EXPECT_TRUE(FileExists(sys.fileSystem, "c:\\data\\A.TXT"));
    EXPECT_TRUE(FileExists(sys.fileSystem, "C:\\Data"));
    EXPECT_FALSE(FileExists(sys.fileSystem, "C:\\Data\\missing.txt"));
    EXPECT_FALSE(FileExists(sys.fileSystem, "C:\\Locked\\b.txt"));

    EXPECT_EQ(IsFolder(sys.fileSystem, "C:\\Data"), true);
    EXPECT_EQ(IsFolder(sys.fileSystem, "C:\\Data\\a.txt"), false);
    EXPECT_EQ(IsFolder(sys.fileSystem, "C:\\Nothing"), std::nullopt);
    EXPECT_EQ(IsFolder(sys.fileSystem, "C:\\Locked\\b.txt"), std::nullopt);

    DeleteFileQuietly(sys.fileSystem, sys.pump, "C:\\Data\\a.txt");
    DeleteFileQuietly(sys.fileSystem, sys.pump, "C:\\Data\\a.txt");
    DeleteFileQuietly(sys.fileSystem, sys.pump, "C:\\Locked\\b.txt");
    EXPECT_FALSE(sys.fileSystem.Exists("C:\\Data\\a.txt"));
    EXPECT_EQ(sys.pump.calls, 3) << "each delete lets pending messages run first";
}

TEST(SystemFolders, CutTheShellPathAtItsNulAndGiveEmptyTextOnFailure) {
    testing::FakeSystem sys;
    EXPECT_EQ(GetSpecialFolderPath(sys.shell, 35), "");
    sys.shell.specialFolders[35] = std::string("C:\\ProgramData\0junk", 19);
    EXPECT_EQ(GetSpecialFolderPath(sys.shell, 35), "C:\\ProgramData");
    EXPECT_EQ(GetSystemFolder(sys.environment), "C:\\Windows\\system32");
}

}  // namespace
}  // namespace ondrevan
