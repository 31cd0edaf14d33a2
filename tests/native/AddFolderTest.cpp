#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "folders/AddFolder.h"
#include "folders/FolderList.h"

namespace ondrevan {
namespace {

using Entries = std::vector<std::string>;

struct AddFolderFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;

    void SetUp() override {
        auto& fs = sys.fileSystem;
        fs.AddFolder("C:\\Data");
        fs.AddFolder("C:\\Data\\Sub1");
        fs.AddFolder("C:\\Data\\Sub1\\Deep");
        fs.AddFolder("C:\\Data\\Sub2");
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
    Entries Add(const std::string& chosen) {
        sys.dialogs.browseAnswers.push_back(chosen);
        form->PushButton10.Click.Raise();
        return form->ListView1.Items();
    }
};

TEST_F(AddFolderFixture, AddsTheFolderAndEverySubFolderBreadthFirstAndStoresThem) {
    const Entries expected = {"C:\\Data\\", "C:\\Data\\Sub1\\", "C:\\Data\\Sub2\\",
                              "C:\\Data\\Sub1\\Deep\\"};
    EXPECT_EQ(Add("C:\\Data"), expected);
    EXPECT_EQ(sys.dialogs.browseTitles, Entries{"Please select folder:|"});
    EXPECT_EQ(SplitFolderList(*sys.settings.Get("Folders")), expected);
    EXPECT_EQ(form->Window.MousePointer(), pointers::kDefault) << "the busy state ends";
    EXPECT_TRUE(sys.dialogs.shown.empty());
}

TEST_F(AddFolderFixture, AddingTheSameFolderTwiceGivesTwoBlocks) {
    Add("C:\\Data\\Sub1");
    EXPECT_EQ(Add("C:\\Data\\Sub1"), (Entries{"C:\\Data\\Sub1\\", "C:\\Data\\Sub1\\Deep\\",
                                              "C:\\Data\\Sub1\\", "C:\\Data\\Sub1\\Deep\\"}));
}

TEST_F(AddFolderFixture, RefusesDriveRootsAndDoesNothingOnCancel) {
    EXPECT_EQ(Add(""), Entries{});
    EXPECT_EQ(sys.settings.Get("Folders"), std::nullopt) << "cancel stores nothing";
    EXPECT_EQ(Add("C:\\"), Entries{});
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(
        sys.dialogs.shown[0].text,
        "Error #7817: Please don't add drive root. You can delete critical files. If you have "
        "questions, please email a screenshot of this error message to "
        "support@quillmere.example");
    EXPECT_EQ(sys.dialogs.shown[0].title, "Ondrevan");
    EXPECT_EQ(sys.settings.Get("Folders"), "") << "the unchanged list is stored";
}

TEST_F(AddFolderFixture, HiddenSystemFoldersAreNeitherEnteredNorAddedButTheirNeighboursAre) {
    using namespace attributes;
    auto& fs = sys.fileSystem;
    fs.AddFolder("C:\\Data\\Hidden", kHidden | kSystem);  // 22
    fs.AddFolder("C:\\Data\\Hidden\\Inside");
    fs.AddFolder("C:\\Data\\Link", kHidden | kSystem | kReparsePoint);  // 1046
    fs.AddFolder("C:\\Data\\ReadOnly", kHidden | kSystem | kReadOnly);  // 23
    fs.AddFolder("C:\\Data\\ReadOnly\\Inside");
    fs.AddFolder("C:\\Data\\Indexed", kHidden | kSystem | 8192);  // 22 as a folder reports it
    const Entries entries = Add("C:\\Data");
    auto has = [&](const char* path) {
        return std::find(entries.begin(), entries.end(), path) != entries.end();
    };
    EXPECT_FALSE(has("C:\\Data\\Hidden\\"));
    EXPECT_FALSE(has("C:\\Data\\Hidden\\Inside\\"));
    EXPECT_FALSE(has("C:\\Data\\Link\\"));
    EXPECT_FALSE(has("C:\\Data\\Indexed\\"));
    EXPECT_TRUE(has("C:\\Data\\ReadOnly\\"));
    EXPECT_TRUE(has("C:\\Data\\ReadOnly\\Inside\\"));
}

TEST_F(AddFolderFixture, TheChosenFolderComesFirstEvenWhenHiddenAndSystem) {
    sys.fileSystem.AddFolder("C:\\Data", attributes::kHidden | attributes::kSystem);
    EXPECT_EQ(Add("C:\\Data"), Entries{"C:\\Data\\"}) << "its sub-folders are not walked";
}

TEST_F(AddFolderFixture, SkipsUnfitAndOverlongNamesWithEverythingBelowThem) {
    auto& fs = sys.fileSystem;
    fs.AddFolder("C:\\Data\\Why?");
    fs.AddFolder("C:\\Data\\Tab\tName");
    fs.AddFolder("C:\\Data\\\xE6\x97\xA5\xE6\x9C\xAC");  // Japanese: not in Windows-1252
    fs.AddFolder("C:\\Data\\\xE6\x97\xA5\xE6\x9C\xAC\\Inside");
    fs.AddFolder("C:\\Data\\Caf\xC3\xA9");  // é is in Windows-1252
    fs.AddFolder("C:\\Data\\" + std::string(260, 'n'));
    fs.AddFolder("C:\\Data\\" + std::string(259, 'm'));
    const Entries entries = Add("C:\\Data");
    EXPECT_EQ(entries.size(), 6u) << "Data, Sub1, Sub2, Café, the 259-character one, Deep";
    EXPECT_NE(std::find(entries.begin(), entries.end(), "C:\\Data\\Caf\xC3\xA9\\"), entries.end());
    for (const std::string& entry : entries) {
        EXPECT_EQ(entry.find('?'), std::string::npos) << entry;
        EXPECT_EQ(entry.find('\t'), std::string::npos) << entry;
        EXPECT_EQ(entry.find(std::string(260, 'n')), std::string::npos);
    }
}

TEST_F(AddFolderFixture, TheLengthLimitCountsCharactersAsWindowsDoesNotBytes) {
    auto& fs = sys.fileSystem;
    // "C:\Data\" and 204 accented letters: 213 characters, 413 bytes.
    std::string accented;
    for (int i = 0; i < 204; ++i) accented += "\xC3\xA9";
    fs.AddFolder("C:\\Data\\" + accented);
    fs.AddFolder("C:\\Data\\" + accented + "\\In");
    // A folder whose path is exactly 260 characters is kept but not entered; one of 258
    // (259 with its backslash) is entered.
    const std::string at260 = "C:\\Data\\" + std::string(252, 'x');
    const std::string at258 = "C:\\Data\\" + std::string(250, 'y');
    for (const std::string& folder : {at260, at258}) {
        fs.AddFolder(folder);
        fs.AddFolder(folder + "\\Below");
    }
    const Entries entries = Add("C:\\Data");
    auto has = [&](const std::string& entry) {
        return std::find(entries.begin(), entries.end(), entry) != entries.end();
    };
    EXPECT_TRUE(has("C:\\Data\\" + accented + "\\")) << "213 characters are within the limit";
    EXPECT_TRUE(has("C:\\Data\\" + accented + "\\In\\")) << "and it is entered";
    EXPECT_TRUE(has(at260 + "\\"));
    EXPECT_FALSE(has(at260 + "\\Below\\")) << "a 260-character folder is not entered";
    EXPECT_TRUE(has(at258 + "\\Below\\"));
}

TEST_F(AddFolderFixture, ASubFolderThatIsALinkIsNeitherEnteredNorAddedWhateverItsOtherBits) {
    auto& fs = sys.fileSystem;
    using namespace attributes;
    for (std::uint32_t bits : {kDirectory | kReparsePoint, kDirectory | kReparsePoint | kArchive,
                               kDirectory | kReparsePoint | kReadOnly})
        fs.AddFolder("C:\\Data\\Link" + std::to_string(bits), bits);
    fs.AddFolder("C:\\Data\\Link1040\\system32");  // what the link leads to
    EXPECT_EQ(Add("C:\\Data"), (Entries{"C:\\Data\\", "C:\\Data\\Sub1\\", "C:\\Data\\Sub2\\",
                                        "C:\\Data\\Sub1\\Deep\\"}));
}

TEST_F(AddFolderFixture, AFolderThatDeniesListingIsDroppedWhileItsSiblingsSurvive) {
    sys.fileSystem.AddFolder("C:\\Data\\Sub2\\Below");
    sys.fileSystem.DenyAccess("C:\\Data\\Sub1\\");
    EXPECT_EQ(Add("C:\\Data"),
              (Entries{"C:\\Data\\", "C:\\Data\\Sub2\\", "C:\\Data\\Sub2\\Below\\"}));
    EXPECT_TRUE(sys.dialogs.shown.empty()) << "nothing is shown for it";
}

TEST_F(AddFolderFixture, AFolderThatVanishesMidWalkIsSkippedAndNothingElseIsLost) {
    sys.fileSystem.AddFolder("C:\\Data\\Sub2\\Below");
    sys.fileSystem.beforeListing = [&](const std::string& path) {
        if (path == "C:\\Data\\Sub1\\") sys.fileSystem.Remove("C:\\Data\\Sub1");
    };
    EXPECT_EQ(Add("C:\\Data"),
              (Entries{"C:\\Data\\", "C:\\Data\\Sub2\\", "C:\\Data\\Sub2\\Below\\"}));
}

TEST_F(AddFolderFixture, AChosenFolderThatCannotBeListedIsNotAddedAtAll) {
    sys.fileSystem.DenyAccess("C:\\Data\\");
    EXPECT_EQ(Add("C:\\Data"), Entries{});
}

TEST_F(AddFolderFixture, WhileTheWalkRunsTheListHoldsOffDoubleClickAndClearList) {
    form->ListView1.Add("C:\\Old");
    form->ListView1.Select(0);
    bool ranInside = false;
    sys.pump.onPump = [&](int call) {
        if (call != 3) return;
        ranInside = true;
        EXPECT_EQ(form->Window.MousePointer(), pointers::kHourglass);
        form->ListView1.DblClick.Raise();
        form->PushButton13.Click.Raise();
        EXPECT_EQ(sys.settings.Get("Folders"), "") << "clear stores the empty text at once";
    };
    const Entries entries = Add("C:\\Data");
    EXPECT_TRUE(ranInside);
    EXPECT_EQ(entries.size(), 5u) << "the old entry and the four walked";
    EXPECT_EQ(SplitFolderList(*sys.settings.Get("Folders")), entries) << "stored whole at the end";
}

TEST(HasUnfitCharacters, RefusesWhatTheAnsiCodePageCannotCarry) {
    testing::FakeAnsiCodePage ansi;
    EXPECT_FALSE(HasUnfitCharacters("Plain folder (2)", ansi));
    EXPECT_FALSE(HasUnfitCharacters("Caf\xC3\xA9 \xC3\x9F", ansi)) << "é and ß are in 1252";
    EXPECT_TRUE(HasUnfitCharacters("\xE2\x82\xAC", ansi)) << "€ is 128 there, in the refused range";
    EXPECT_TRUE(HasUnfitCharacters("what?", ansi));
    EXPECT_TRUE(HasUnfitCharacters("bell\x07", ansi));
    EXPECT_TRUE(HasUnfitCharacters("del\x7F", ansi));
    EXPECT_TRUE(HasUnfitCharacters("\xC2\x81", ansi)) << "U+0081 has no place in 1252";
    EXPECT_TRUE(HasUnfitCharacters("\xC5\x81\xC3\xB3\x64\xC5\xBA", ansi)) << "Polish letters";
}

TEST(IsDriveRoot, KnowsDriveAndShareRoots) {
    for (const char* root : {"C:\\", "C:", "c:\\\\", "\\\\server\\share\\", "\\\\server\\share"})
        EXPECT_TRUE(IsDriveRoot(root)) << root;
    for (const char* other : {"C:\\a\\", "\\\\server\\", "\\\\server\\share\\x", "", "\\"})
        EXPECT_FALSE(IsDriveRoot(other)) << other;
}

}  // namespace
}  // namespace ondrevan
