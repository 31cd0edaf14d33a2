#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "folders/FileToListview1.h"
#include "folders/FolderList.h"

namespace ondrevan {
namespace {

using Entries = std::vector<std::string>;

TEST(SplitListLines, EndsLinesAtCrLfAtCrAndAtLoneLineFeeds) {
    struct Case {
        std::string text;
        Entries entries;
    } cases[] = {
        {"C:\\A\r\n\r\nC:\\B\r\n", {"C:\\A", "", "C:\\B"}},
        {"C:\\A\n\nC:\\B", {"C:\\A", "", "C:\\B"}},
        {"C:\\A\n\nC:\\B\n", {"C:\\A", "", "C:\\B", ""}},
        {"C:\\A\r\rC:\\B\r", {"C:\\A", "", "C:\\B"}},
        {"  padded  \r\n", {"  padded  "}},
        {"", {}},
        {"\r\n", {""}},
        {"mixed\r\nunix\nmac\rend", {"mixed", "unix", "mac", "end"}},
        {"A\r\r\nB", {"A", "", "B"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitListLines(c.text), c.entries) << c.text;
}

TEST(DecodeListFile, HonoursByteOrderMarksAndUtf8AndFallsBackToAnsi) {
    testing::FakeAnsiCodePage ansi;
    const std::string cafe = "C:\\Caf\xC3\xA9";
    EXPECT_EQ(DecodeListFile("C:\\Plain", ansi), "C:\\Plain");
    EXPECT_EQ(DecodeListFile("\xEF\xBB\xBF" + cafe, ansi), cafe);
    EXPECT_EQ(DecodeListFile(cafe, ansi), cafe) << "valid UTF-8 without a mark";
    EXPECT_EQ(DecodeListFile("C:\\Caf\xE9", ansi), cafe) << "ANSI";
    EXPECT_EQ(DecodeListFile(std::string("\xFF\xFE"
                                         "C\0:\0\xE9\0\r\0\n\0",
                                         12),
                             ansi),
              "C:\xC3\xA9\r\n");
    EXPECT_EQ(DecodeListFile(std::string("\xFE\xFF\0C\xD8\x3D\xDE\x00", 8), ansi),
              "C\xF0\x9F\x98\x80")
        << "big-endian with a surrogate pair";
    EXPECT_EQ(DecodeListFile("\xC0\xAF", ansi), "\xC3\x80\xC2\xAF") << "overlong is not UTF-8";
}

TEST(DecodeListFile, RecognisesUtf16WithoutAMarkAndNeverYieldsANul) {
    testing::FakeAnsiCodePage ansi;
    auto utf16 = [](const std::u16string& text, bool bigEndian) {
        std::string bytes;
        for (char16_t c : text) {
            const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
            bytes += bigEndian ? high : low;
            bytes += bigEndian ? low : high;
        }
        return bytes;
    };
    const std::u16string lines = u"C:\\A\r\nC:\\Caf\u00E9\r\n";
    for (bool bigEndian : {false, true}) {
        const std::string text = DecodeListFile(utf16(lines, bigEndian), ansi);
        EXPECT_EQ(text, "C:\\A\r\nC:\\Caf\xC3\xA9\r\n") << bigEndian;
        EXPECT_EQ(text.find('\0'), std::string::npos);
    }
    EXPECT_EQ(DecodeListFile("C:\\Even\r\n", ansi), "C:\\Even\r\n") << "plain text stays";
}

TEST(ParseOpenFileResult, ReadsOneOrManyFilesWithoutDoublingARootsBackslash) {
    EXPECT_EQ(ParseOpenFileResult(""), Entries{});
    EXPECT_EQ(ParseOpenFileResult("C:\\Lists\\a.txt"), Entries{"C:\\Lists\\a.txt"});
    EXPECT_EQ(ParseOpenFileResult(std::string("C:\\Lists\0a.txt\0b.txt", 20)),
              (Entries{"C:\\Lists\\a.txt", "C:\\Lists\\b.txt"}));
    EXPECT_EQ(ParseOpenFileResult(std::string("C:\\\0a.txt\0b.txt", 15)),
              (Entries{"C:\\a.txt", "C:\\b.txt"}));
}

struct ListFileFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    void SetUp() override {
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
    void Choose(const std::string& result) {
        sys.dialogs.openAnswers.push_back(result);
        form->PushButton12.Click.Raise();
    }
};

TEST_F(ListFileFixture, AsksWithTheDesignedTitleFilterAndFlags) {
    Choose("");
    ASSERT_EQ(sys.dialogs.openRequests.size(), 1u);
    EXPECT_EQ(sys.dialogs.openRequests[0].title,
              "Load List(s) - Hold Ctrl to select multiple list files");
    EXPECT_EQ(sys.dialogs.openRequests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
    EXPECT_EQ(sys.dialogs.openRequests[0].flags, 0x280201u);
    EXPECT_EQ(sys.settings.Get("Folders"), "") << "cancel stores the unchanged list";
    EXPECT_EQ(form->Window.MousePointer(), pointers::kDefault);
}

TEST_F(ListFileFixture, AppendsEveryLineOfEachFileInOrderAndStoresTheList) {
    sys.fileSystem.AddFile("C:\\a.txt", "C:\\A\r\n\r\nC:\\B\r\n");
    sys.fileSystem.AddFile("C:\\b.txt", "D:\\X\nD:\\Y");
    form->ListView1.Add("C:\\Before");
    Choose(std::string("C:\\\0a.txt\0b.txt", 15));
    const Entries expected = {"C:\\Before", "C:\\A", "", "C:\\B", "D:\\X", "D:\\Y"};
    EXPECT_EQ(form->ListView1.Items(), expected);
    EXPECT_EQ(SplitFolderList(*sys.settings.Get("Folders")), expected);
}

TEST_F(ListFileFixture, AMissingFileIsNamedOnceAndTheOthersAreStillRead) {
    sys.fileSystem.AddFile("C:\\L\\b.txt", "C:\\B");
    sys.fileSystem.AddFolder("C:\\L\\folder.txt");
    sys.fileSystem.AddFile("C:\\L\\c.txt", "C:\\C");
    const char result[] = "C:\\L\0gone.txt\0b.txt\0folder.txt\0c.txt";
    Choose(std::string(result, sizeof result - 1));
    EXPECT_EQ(form->ListView1.Items(), (Entries{"C:\\B", "C:\\C"}));
    ASSERT_EQ(sys.dialogs.shown.size(), 2u);
    EXPECT_EQ(sys.dialogs.shown[0].text, "File not found");
    EXPECT_EQ(sys.dialogs.shown[0].title, "Ondrevan");
    EXPECT_EQ(sys.dialogs.shown[1].title, "Application Error") << "a folder cannot be read";
    EXPECT_NE(sys.dialogs.shown[1].text.find("Form1.PushButton12_Click"), std::string::npos);
}

TEST_F(ListFileFixture, AHugeFileWithLongBinaryLinesKeepsEveryLine) {
    std::string bytes;
    for (int line = 0; line < 100; ++line) {
        for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(0x80 + (i + line) % 0x7F);
        bytes += "\r\n";
    }
    sys.fileSystem.AddFile("C:\\big.txt", bytes);
    Choose("C:\\big.txt");
    EXPECT_EQ(form->ListView1.Count(), 100u);
}

TEST_F(ListFileFixture, SampleFoldersAreAppendedButNotStoredAndYesOpensTheirFolder) {
    form->ListView1.Add("C:\\Mine");
    sys.dialogs.answers = {MessageAnswer::No, MessageAnswer::Yes};
    form->PushButton14.Click.Raise();
    EXPECT_EQ(form->ListView1.Items(), (Entries{"C:\\Mine", "C:\\Tools\\Samples\\TestFolder1",
                                                "C:\\Tools\\Samples\\TestFolder2"}));
    EXPECT_TRUE(sys.shell.opened.empty());
    EXPECT_EQ(sys.settings.Get("Folders"), std::nullopt);
    form->PushButton14.Click.Raise();
    EXPECT_EQ(form->ListView1.Count(), 5u);
    ASSERT_EQ(sys.shell.opened.size(), 1u);
    EXPECT_EQ(sys.shell.opened[0].first, "\"C:\\Tools\\Samples\\\"");
    EXPECT_EQ(sys.shell.opened[0].second, "C:\\");
    EXPECT_EQ(sys.dialogs.shown[0].buttons, MessageButtons::YesNo);

    sys.environment.programFolder = "D:\\";
    form->PushButton14.Click.Raise();
    EXPECT_EQ(form->ListView1.Item(5), "D:\\\\Samples\\TestFolder1") << "nothing collapses it";
}

}  // namespace
}  // namespace ondrevan
