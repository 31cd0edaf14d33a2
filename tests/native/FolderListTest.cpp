#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/Form1.h"
#include "folders/FolderList.h"

namespace ondrevan {
namespace {

using Entries = std::vector<std::string>;
const std::string kSep(kFolderSeparator);

TEST(JoinedFolderList, FollowsEveryEntryWithTheSeparatorAndKeepsAWrittenLastPieceOnSplit) {
    EXPECT_EQ(JoinFolderList({"C:\\A\\", "D:\\B"}), "C:\\A\\" + kSep + "D:\\B" + kSep);
    EXPECT_EQ(JoinFolderList({}), "");
    // A value written by hand ("reg add", Group Policy Preferences) often lacks the final
    // separator: a last piece that is not empty is an entry.
    const struct {
        std::string value;
        Entries entries;
    } cases[] = {
        {"C:\\A" + kSep + "C:\\B", {"C:\\A", "C:\\B"}},
        {"C:\\Only", {"C:\\Only"}},
        {"C:\\Only" + kSep, {"C:\\Only"}},
        {kSep + "C:\\B" + kSep, {"", "C:\\B"}},
        {kSep + kSep + kSep, {"", "", ""}},
        {"", {}},
        {"|234SSDEPERATATORZZ", {"|234SSDEPERATATORZZ"}},      // a cut separator is no separator
        {"a|234ssdeperatatorzz|", {"a|234ssdeperatatorzz|"}},  // matched case-sensitively
    };
    for (const auto& c : cases) EXPECT_EQ(SplitFolderList(c.value), c.entries) << c.value;
}

TEST(JoinedFolderList, RoundTripsEmptyDuplicateAndOddEntries) {
    const Entries entries = {"C:\\A\\", "", "C:\\A\\", " blank ", std::string("bin\0\xff", 5), "|"};
    EXPECT_EQ(SplitFolderList(JoinFolderList(entries)), entries);
    Entries many(100000, "C:\\Some\\Folder\\");
    EXPECT_EQ(SplitFolderList(JoinFolderList(many)).size(), 100000u);
}

struct FolderListFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;

    void Load(const std::optional<std::string>& folders = std::nullopt) {
        if (folders) sys.settings.Set("Folders", *folders);
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
        sys.settings.writes.clear();
    }
    bool FoldersWritten() const {
        for (const auto& write : sys.settings.writes)
            if (write.first == "Folders") return true;
        return false;
    }
    std::string Stored() { return sys.settings.Get("Folders").value_or("<absent>"); }
};

TEST_F(FolderListFixture, StartUpRestoresTheStoredListAndWritesNothingBack) {
    Load("C:\\A\\" + kSep + "D:\\B" + kSep);
    EXPECT_EQ(form->ListView1.Items(), (Entries{"C:\\A\\", "D:\\B"}));
    EXPECT_FALSE(FoldersWritten());
}

TEST_F(FolderListFixture, WithNoStoredListTheListStartsEmpty) {
    Load();
    EXPECT_EQ(form->ListView1.Count(), 0u);
    EXPECT_EQ(sys.settings.Get("Folders"), std::nullopt) << "an absent list stays absent";
}

TEST_F(FolderListFixture, ABinaryMegabyteValueRestoresByTheSameRule) {
    std::string junk;
    for (unsigned i = 0; i < (1u << 20); ++i) junk += static_cast<char>(i * 7919u % 256);
    Load(junk + kSep + junk);
    EXPECT_EQ(form->ListView1.Count(), 2u) << "the piece after the last separator is one too";
    EXPECT_EQ(form->ListView1.Item(0), junk);
    EXPECT_EQ(form->ListView1.Item(1), junk);
}

TEST_F(FolderListFixture, DoubleClickRemovesTheSelectedEntryAndStoresTheRest) {
    Load("a" + kSep + "b" + kSep + "c" + kSep);
    form->ListView1.Select(1);
    form->ListView1.DblClick.Raise();
    EXPECT_EQ(form->ListView1.Items(), (Entries{"a", "c"}));
    EXPECT_EQ(Stored(), "a" + kSep + "c" + kSep);
}

TEST_F(FolderListFixture, DoubleClickOnNothingChangesAndWritesNothing) {
    Load("a" + kSep);
    form->ListView1.Select(std::nullopt);
    form->ListView1.DblClick.Raise();
    EXPECT_EQ(form->ListView1.Count(), 1u);
    EXPECT_FALSE(FoldersWritten());
}

TEST_F(FolderListFixture, ClearListEmptiesTheListAndStoresTheEmptyText) {
    Load("a" + kSep + "b" + kSep);
    form->PushButton13.Click.Raise();
    EXPECT_EQ(form->ListView1.Count(), 0u);
    EXPECT_EQ(Stored(), "");
}

TEST_F(FolderListFixture, AFolderLeavingTheListTakesItsOwnRulesWithIt) {
    sys.settings.Set("FolderRules", "a\tage=3\r\nb\tmaxfiles=2\r\nc\tkeep=*.x");
    Load("a" + kSep + "b" + kSep + "b" + kSep + "c" + kSep);
    for (int i : {0, 1}) {  // "a", then one of the two "b": the other still has its rules
        form->ListView1.Select(i);
        form->ListView1.DblClick.Raise();
    }
    EXPECT_EQ(sys.settings.Get("FolderRules"), "b\tmaxfiles=2\r\nc\tkeep=*.x");
    form->PushButton13.Click.Raise();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "");
    EXPECT_EQ(Stored(), "") << "the list files and the list stay plain paths";
}

TEST_F(FolderListFixture, AFoldersOwnRulesAreStoredWhenDoneAndShownInASecondColumn) {
    Load("C:\\A" + kSep + "C:\\B" + kSep);
    EXPECT_EQ(form->ListView1.Columns().size(), 1u) << "as designed while no folder has rules";
    form->ListView1.Select(1);
    FolderRulesForm& rules = *form->ShowFolderRules();
    EXPECT_EQ(rules.cboAgeBy.ListIndex(), 0) << "every field starts at as in Options";
    rules.txtAge.SetText("abc");
    rules.txtAge.LostFocus.Raise();
    EXPECT_NE(rules.lblAgeFault.Caption().find("Not saved"), std::string::npos);
    EXPECT_EQ(sys.settings.Get("FolderRules"), std::nullopt) << "a refused value is not stored";
    rules.txtAge.SetText("30");
    rules.cboAgeBy.SetListIndex(1);
    rules.txtMaxMb.SetText("10240");
    EXPECT_EQ(sys.settings.Get("FolderRules"), "C:\\B\tage=30;ageby=created");
    rules.Window.Closing.Raise();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "C:\\B\tage=30;ageby=created;maxmb=10240");
    ASSERT_EQ(form->ListView1.Columns().size(), 2u);
    EXPECT_EQ(form->ListView1.Detail(1), "older than 30 days by creation; under 10 GB");
    EXPECT_EQ(form->ListView1.Detail(0), "");

    // Every field back at "as in Options": the line goes, and the column with it.
    rules.txtAge.SetText("");
    rules.cboAgeBy.SetListIndex(0);
    rules.txtMaxMb.SetText(" ");
    rules.Window.Accept.Raise();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "");
    EXPECT_EQ(form->ListView1.Columns().size(), 1u);
}

TEST_F(FolderListFixture, TheOwnRulesColumnAppearsWhenAFolderWithRulesComesBackByAnyDoor) {
    // Rules outlive their folder's entry when another list replaces it; the folder coming back
    // by the folder dialog or a list file shows them again at once.
    sys.settings.Set("FolderRules", "C:\\B\\\tage=3\r\nC:\\L\tkeep=*.x");
    sys.fileSystem.AddFolder("C:\\B");
    sys.fileSystem.AddFile("C:\\list.txt", "C:\\L");
    Load("C:\\A" + kSep);
    ASSERT_EQ(form->ListView1.Columns().size(), 1u);
    sys.dialogs.browseAnswers.push_back("C:\\B");
    form->PushButton10.Click.Raise();
    ASSERT_EQ(form->ListView1.Items(), (Entries{"C:\\A", "C:\\B\\"}));
    ASSERT_EQ(form->ListView1.Columns().size(), 2u) << "added by the folder dialog";
    EXPECT_EQ(form->ListView1.Detail(1), "older than 3 days");
    sys.dialogs.openAnswers.push_back("C:\\list.txt");
    form->PushButton12.Click.Raise();
    ASSERT_EQ(form->ListView1.Count(), 3u);
    EXPECT_EQ(form->ListView1.Detail(2), "keep *.x") << "added from a list file";
}

TEST_F(FolderListFixture, TheRulesWindowStoresOnlyWhatTheUserChangedOverRulesChangedElsewhere) {
    sys.settings.Set("FolderRules", "C:\\A\tage=30");
    Load("C:\\A" + kSep + "C:\\B" + kSep);
    form->ListView1.Select(0);
    FolderRulesForm& rules = *form->ShowFolderRules();
    // Changed elsewhere while the window shows the folder (an import, a second copy, a hand).
    sys.settings.Set("FolderRules", "C:\\A\tage=60;keep=*.iso");
    rules.Window.Closing.Raise();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "C:\\A\tage=60;keep=*.iso") << "nothing typed";
    form->ShowFolderRules();
    sys.settings.Set("FolderRules", "C:\\A\tage=60;keep=*.iso;maxfiles=2");
    rules.txtMaxMb.SetText("10");
    rules.Window.Closing.Raise();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "C:\\A\tage=60;keep=*.iso;maxmb=10;maxfiles=2");
    // Shown again for another folder, the first is not written once more.
    sys.settings.Set("FolderRules", "C:\\A\tage=5");
    form->ListView1.Select(1);
    form->ShowFolderRules();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "C:\\A\tage=5");
    // Typed, then another window taken without leaving the field: the value is in force.
    rules.txtMaxFiles.SetText("3");
    rules.Window.Deactivated.Raise();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "C:\\A\tage=5\r\nC:\\B\tmaxfiles=3");
}

// The folder shown in the rules window leaves the list, by any door: the window closes and
// nothing typed into it is stored for a folder no longer listed.
TEST_F(FolderListFixture, TheRulesWindowClosesWhenItsFolderLeavesTheListAndStoresNothing) {
    const struct {
        const char* door;
        std::function<void()> remove;
    } doors[] = {
        {"Remove From List and Delete", [&] { form->RemoveSelectedFolder(); }},
        {"a double click", [&] { form->ListView1.DblClick.Raise(); }},
        {"Clear List", [&] { form->PushButton13.Click.Raise(); }},
    };
    for (const auto& door : doors) {
        sys.settings.Set("FolderRules", "");
        Load("C:\\A" + kSep + "C:\\B" + kSep);
        form->ListView1.Select(1);
        FolderRulesForm& rules = *form->ShowFolderRules();
        EXPECT_TRUE(rules.Window.Visible()) << door.door;
        rules.txtMaxMb.SetText("10");
        door.remove();
        EXPECT_FALSE(rules.Window.Visible()) << door.door << ": the window stays open";
        rules.Window.Closing.Raise();  // as the window closing does
        EXPECT_EQ(sys.settings.Get("FolderRules").value_or(""), "")
            << door.door << ": a rule stored for a folder no longer listed";
    }
    // Another folder leaving the list leaves the window as it is.
    Load("C:\\A" + kSep + "C:\\B" + kSep);
    form->ListView1.Select(1);
    FolderRulesForm& rules = *form->ShowFolderRules();
    EXPECT_TRUE(rules.Window.Visible());
    form->ListView1.Select(0);
    form->RemoveSelectedFolder();
    EXPECT_TRUE(rules.Window.Visible());
    rules.txtMaxMb.SetText("10");
    rules.Window.Closing.Raise();
    EXPECT_EQ(sys.settings.Get("FolderRules"), "C:\\B\tmaxmb=10");
}

TEST_F(FolderListFixture, WhileBusyTheListStaysButClearListStillStoresTheEmptyText) {
    Load("a" + kSep + "b" + kSep);
    form->Window.SetMousePointer(pointers::kHourglass);
    form->ListView1.Select(0);
    form->ListView1.DblClick.Raise();
    form->PushButton13.Click.Raise();
    EXPECT_EQ(form->ListView1.Count(), 2u);
    EXPECT_EQ(Stored(), "");
}

}  // namespace
}  // namespace ondrevan
