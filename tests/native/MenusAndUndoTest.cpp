#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "FakeSystem.h"
#include "app/Commands.h"
#include "app/Form1.h"
#include "controls/AccessKeys.h"
#include "folders/FolderList.h"

namespace ondrevan {
namespace {

using Entries = std::vector<std::string>;
const std::string kSep = "|234SSDEPERATATORZZ|";

TEST(AccessKeys, TheLetterGoesBeforeTheCapitalThenAWordsStartThenAnywhere) {
    const struct {
        const char* caption;
        char key;
        const char* shown;
    } table[] = {
        {"Turn On Automatic Delete", 'a', "Turn On &Automatic Delete"},
        {"Delete every:", 'e', "Delete &every:"},
        {"View History Log", 'w', "Vie&w History Log"},
        {"Start in system tray", 'n', "Start i&n system tray"},
        {"Salt & pepper", 'p', "Salt && &pepper"},
        {"?", '?', "&?"},
        {"Also &protect", 0, "Also &protect"},  // a caption with its own key stays
        {"Help", 'z', "Help"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(CaptionWithAccessKey(row.caption, row.key), row.shown) << row.caption;
        if (row.key && std::string(row.shown) != row.caption) {
            EXPECT_EQ(AccessKeyOf(row.shown), row.key) << row.shown;
        }
    }
    EXPECT_EQ(AccessKeyOf("Salt && pepper"), 0);
    EXPECT_EQ(RepeatedAccessKeys({"&Add", "&add", "&Back", "B&ack", "&Copy"}), "a");
}

struct CommandsFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;

    void Load(const std::string& folders = "", const std::string& rules = "") {
        if (!folders.empty()) sys.settings.Set("Folders", folders);
        if (!rules.empty()) sys.settings.Set("FolderRules", rules);
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
    std::string Stored() { return sys.settings.Get("Folders").value_or("<absent>"); }
    std::string Rules() { return sys.settings.Get("FolderRules").value_or(""); }
    // The captions as the window shows them, with the menu bar's titles: Alt+letter must
    // lead to one place only.
    std::vector<std::string> ShownCaptions() {
        std::vector<std::string> shown;
        for (Control* control : form->Controls())
            shown.push_back(CaptionWithAccessKey(control->Caption(), control->AccessKey()));
        for (const MenuDefinition& menu : MenuBarDefinition()) shown.push_back(menu.title);
        return shown;
    }
};

TEST_F(CommandsFixture, EveryButtonBoxAndOptionOfTheWindowAnswersItsOwnAltLetter) {
    Load();
    for (bool on : {false, true}) {  // the switch says "On" or "Off", its key stays
        form->PushButton2.SetCaption(on ? "Turn Off Automatic Delete" : "Turn On Automatic Delete");
        EXPECT_EQ(RepeatedAccessKeys(ShownCaptions()), "");
    }
    for (Control* control : form->Controls()) {
        const ControlKind kind = control->Kind();
        if (kind != ControlKind::PushButton && kind != ControlKind::CheckBox &&
            kind != ControlKind::OptionButton)
            continue;
        const std::string shown = CaptionWithAccessKey(control->Caption(), control->AccessKey());
        EXPECT_NE(AccessKeyOf(shown), 0) << control->Name() << " has no key";
        // The words stay as they are: only the "&" is added.
        std::string words = shown;
        words.erase(words.find('&'), 1);
        EXPECT_EQ(words, control->Caption());
    }
}

TEST_F(CommandsFixture, EachMenuAndTheTrayMenuUseEachLetterOnceAndOfferEveryCommandOnce) {
    std::set<Command> offered;
    for (const MenuDefinition& menu : MenuBarDefinition()) {
        std::vector<std::string> captions;
        for (const MenuItem& item : menu.items) {
            if (item.command == Command::None) continue;
            captions.push_back(item.text);
            EXPECT_TRUE(offered.insert(item.command).second) << item.text << " twice";
        }
        EXPECT_EQ(RepeatedAccessKeys(captions), "") << menu.title;
    }
    std::vector<std::string> tray;
    for (const MenuItem& item : TrayMenuDefinition())
        if (item.command != Command::None) tray.push_back(item.text);
    EXPECT_EQ(RepeatedAccessKeys(tray), "");
    // Every command but the tray's own "Open" is on the menu bar.
    for (int c = static_cast<int>(Command::LoadList); c < static_cast<int>(Command::OpenWindow);
         ++c)
        EXPECT_TRUE(offered.count(static_cast<Command>(c))) << "command " << c;
    EXPECT_EQ(TrayMenuDefinition().front().command, Command::OpenWindow) << "the default item";
}

TEST_F(CommandsFixture, TheSwitchSaysWhatItWillDoAndTheListCommandsWaitForASelection) {
    Load("C:\\a\\" + kSep);
    const std::string text = "Turn Automatic &Deletion On";
    EXPECT_EQ(form->StateOf(Command::Switch, text).text, "Turn Automatic &Deletion On");
    form->Execute(Command::Switch);
    EXPECT_EQ(form->PushButton2.Caption(), "Turn Off Automatic Delete");
    EXPECT_EQ(form->StateOf(Command::Switch, text).text, "Turn Automatic &Deletion Off");
    form->ListView1.Select(std::nullopt);
    for (Command command : {Command::RemoveFolder, Command::FolderRules, Command::OpenFolder})
        EXPECT_FALSE(form->StateOf(command, "").enabled);
    form->ListView1.Select(0);
    for (Command command : {Command::RemoveFolder, Command::FolderRules, Command::OpenFolder})
        EXPECT_TRUE(form->StateOf(command, "").enabled);
    EXPECT_FALSE(form->StateOf(Command::Undo, "").enabled) << "nothing removed yet";
    // A button an administrator's policy disabled takes its menu item with it.
    form->PushButton3.SetEnabled(false);
    EXPECT_FALSE(form->StateOf(Command::RunNow, "").enabled);
    form->Execute(Command::RunNow);
    EXPECT_TRUE(sys.dialogs.shown.empty()) << "a disabled button's command does nothing";
}

// Each way of removing, then Undo: the list, its stored form and the folders' own rules
// are as they were, and a second Undo brings back the removal before.
TEST_F(CommandsFixture, UndoBringsBackTheLastRemovalWithItsPlacesAndItsRules) {
    const std::string rules = "C:\\b\\\tage=3\r\nC:\\c\\\tmaxfiles=2";
    const struct {
        const char* name;
        std::function<void(Form1&)> remove;
        Entries after;
        std::string rulesAfter;
    } table[] = {
        {"double-click on the second",
         [](Form1& f) {
             f.ListView1.Select(1);
             f.ListView1.DblClick.Raise();
         },
         {"C:\\a\\", "C:\\c\\"},
         "C:\\c\\\tmaxfiles=2"},
        {"Remove From List on the last",
         [](Form1& f) {
             f.ListView1.Select(2);
             f.Execute(Command::RemoveFolder);
         },
         {"C:\\a\\", "C:\\b\\"},
         "C:\\b\\\tage=3"},
        {"Clear List", [](Form1& f) { f.Execute(Command::ClearList); }, {}, ""},
    };
    for (const auto& row : table) {
        Load("C:\\a\\" + kSep + "C:\\b\\" + kSep + "C:\\c\\" + kSep, rules);
        row.remove(*form);
        EXPECT_EQ(form->ListView1.Items(), row.after) << row.name;
        EXPECT_EQ(Rules(), row.rulesAfter) << row.name;
        ASSERT_TRUE(form->StateOf(Command::Undo, "").enabled) << row.name;
        form->Execute(Command::Undo);
        EXPECT_EQ(form->ListView1.Items(), (Entries{"C:\\a\\", "C:\\b\\", "C:\\c\\"})) << row.name;
        EXPECT_EQ(Stored(), "C:\\a\\" + kSep + "C:\\b\\" + kSep + "C:\\c\\" + kSep) << row.name;
        const FolderRulesList back = ParseFolderRules(Rules());
        EXPECT_EQ(back, ParseFolderRules(rules)) << row.name << ": " << Rules();
        EXPECT_FALSE(form->StateOf(Command::Undo, "").enabled) << row.name;
        EXPECT_EQ(form->ListView1.Columns().size(), 2u) << row.name << ": the rules show again";
    }
}

TEST_F(CommandsFixture, UndoTakesBackRemovalsLastFirstAndNothingWhileTheListIsFilled) {
    Load("a" + kSep + "b" + kSep + "c" + kSep);
    form->ListView1.Select(0);
    form->ListView1.DblClick.Raise();  // a
    form->ListView1.Select(1);
    form->ListView1.DblClick.Raise();  // c
    form->Folders().SetBusy(true);
    form->Execute(Command::Undo);
    EXPECT_EQ(form->ListView1.Items(), (Entries{"b"})) << "held off while busy";
    form->Folders().SetBusy(false);
    form->Execute(Command::Undo);
    EXPECT_EQ(form->ListView1.Items(), (Entries{"b", "c"}));
    form->Execute(Command::Undo);
    EXPECT_EQ(form->ListView1.Items(), (Entries{"a", "b", "c"}));
    EXPECT_EQ(form->ListView1.Selected(), 0u) << "what came back is selected";
    form->Execute(Command::Undo);
    EXPECT_EQ(form->ListView1.Items(), (Entries{"a", "b", "c"}));
}

TEST(RemovalStack, KeepsTheLastRemovalsAndForgetsTheOldestAndEmptyOnes) {
    RemovalStack stack;
    stack.Push({});
    EXPECT_TRUE(stack.Empty()) << "a removal of nothing is nothing to undo";
    for (std::size_t i = 0; i < RemovalStack::kDepth + 5; ++i)
        stack.Push({{{0, std::to_string(i)}}, {}, {}});
    std::size_t popped = 0;
    std::string last;
    while (auto removal = stack.Pop()) {
        if (popped == 0) {
            EXPECT_EQ(removal->entries[0].second, std::to_string(RemovalStack::kDepth + 4));
        }
        last = removal->entries[0].second;
        ++popped;
    }
    EXPECT_EQ(popped, RemovalStack::kDepth);
    EXPECT_EQ(last, "5");
}

TEST(PutBack, EntriesReturnToTheirPlacesOrLastWhenTheListGotShorter) {
    const struct {
        Entries now;
        std::vector<std::pair<std::size_t, std::string>> removed;
        Entries back;
    } table[] = {
        {{"b"}, {{0, "a"}, {2, "c"}}, {"a", "b", "c"}},
        {{}, {{0, "a"}, {1, "b"}}, {"a", "b"}},
        {{"x"}, {{5, "a"}}, {"x", "a"}},
        {{"a", "a"}, {{1, "a"}}, {"a", "a", "a"}},
    };
    for (const auto& row : table) {
        Entries entries = row.now;
        PutBack(entries, {row.removed, {}, {}});
        EXPECT_EQ(entries, row.back);
    }
}

TEST_F(CommandsFixture, AddFolderAddsTheOneFolderAloneAndRefusesADriveRoot) {
    sys.fileSystem.AddFolder("C:\\Data");
    sys.fileSystem.AddFolder("C:\\Data\\Sub");
    Load();
    sys.dialogs.pickAnswers = {"C:\\", "C:\\Data", ""};
    form->Execute(Command::AddFolder);
    EXPECT_EQ(form->ListView1.Count(), 0u);
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].text.rfind("Error #7817: Please don't add drive root.", 0), 0u);
    EXPECT_EQ(sys.dialogs.shown[0].icon, MessageIcon::Warning);
    form->Execute(Command::AddFolder);
    EXPECT_EQ(form->ListView1.Items(), (Entries{"C:\\Data\\"})) << "its sub-folder stays out";
    EXPECT_EQ(Stored(), "C:\\Data\\" + kSep);
    form->Execute(Command::AddFolder);  // cancelled
    EXPECT_EQ(form->ListView1.Count(), 1u);
    EXPECT_EQ(sys.dialogs.pickTitles.size(), 3u);
}

TEST_F(CommandsFixture, DroppedFoldersAreAddedAloneAndFilesRootsAndAbsenteesSaidInOneMessage) {
    sys.fileSystem.AddFolder("C:\\One");
    sys.fileSystem.AddFolder("C:\\One\\Sub");
    sys.fileSystem.AddFolder("C:\\Two");
    sys.fileSystem.AddFolder("C:\\");
    sys.fileSystem.AddFile("C:\\One\\notes.txt");
    Load();
    form->FoldersDropped({"C:\\One", "C:\\One\\notes.txt", "C:\\Two", "C:\\", "C:\\Gone"});
    EXPECT_EQ(form->ListView1.Items(), (Entries{"C:\\One\\", "C:\\Two\\"}));
    EXPECT_EQ(Stored(), "C:\\One\\" + kSep + "C:\\Two\\" + kSep);
    ASSERT_EQ(sys.dialogs.shown.size(), 1u);
    EXPECT_EQ(sys.dialogs.shown[0].text,
              "Not added to the list:\r\n"
              "C:\\One\\notes.txt: it is a file; only folders are listed.\r\n"
              "C:\\: it is a drive root, which could hold critical files.\r\n"
              "C:\\Gone: it is not there.");
    EXPECT_EQ(sys.dialogs.shown[0].icon, MessageIcon::Warning);
    form->FoldersDropped({"C:\\One\\notes.txt"});
    EXPECT_EQ(sys.dialogs.shown.back().text.rfind("Nothing was added to the list:", 0), 0u);
    form->FoldersDropped({"C:\\One\\Sub"});
    EXPECT_TRUE(sys.dialogs.shown.size() == 2u) << "all added, nothing to say";
}

TEST_F(CommandsFixture, TheRulesWindowsRowsStandAtOnePitchWithTheirNamesOnTheFieldsLine) {
    Load();
    FolderRulesForm& rules = form->FolderRulesWindow();
    const std::pair<Label*, Control*> rows[] = {
        {&rules.lblMode, &rules.cboMode},         {&rules.lblAge, &rules.txtAge},
        {&rules.lblKeep, &rules.txtKeep},         {&rules.lblRecycle, &rules.cboRecycle},
        {&rules.lblEmpty, &rules.cboEmpty},       {&rules.lblMaxMb, &rules.txtMaxMb},
        {&rules.lblMaxFiles, &rules.txtMaxFiles}, {&rules.lblFreeBelow, &rules.txtFreeBelow},
    };
    std::set<int> pitches;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [name, field] = rows[i];
        EXPECT_EQ(name->Position().top, field->Position().top) << name->Name();
        EXPECT_EQ(name->Position().height, field->Position().height) << name->Name();
        EXPECT_TRUE(name->CentredInHeight()) << name->Name();
        if (i > 0) pitches.insert(field->Position().top - rows[i - 1].second->Position().top);
    }
    EXPECT_EQ(pitches.size(), 1u) << "evenly spaced";
    // A refusal's line lies under its own field, above the next row.
    for (Label* fault : {&rules.lblAgeFault, &rules.lblKeepFault, &rules.lblMaxMbFault,
                         &rules.lblMaxFilesFault, &rules.lblFreeBelowFault})
        EXPECT_EQ((fault->Position().top - rules.cboMode.Position().top) % *pitches.begin(),
                  rules.txtAge.Position().height)
            << fault->Name();
    // Everything lies inside the window, Close last and lowest, closing it as Escape does.
    const TwipRect window = rules.Window.Position();
    for (Control* control : rules.Controls()) {
        EXPECT_LE(control->Position().top + control->Position().height, window.height)
            << control->Name();
        EXPECT_LE(control->Position().top, rules.cmdClose.Position().top) << control->Name();
    }
    EXPECT_EQ(rules.Controls().back(), &rules.cmdClose);
    EXPECT_EQ(rules.Window.CloseButton(), &rules.cmdClose);
    EXPECT_EQ(form->Options().Window.CloseButton(), &form->Options().cmdClose);
    // An empty field says what empty means in the field itself.
    for (TextBox* field :
         {&rules.txtAge, &rules.txtKeep, &rules.txtMaxMb, &rules.txtMaxFiles, &rules.txtFreeBelow})
        EXPECT_FALSE(field->CueBanner().empty()) << field->Name();
    EXPECT_NE(rules.txtKeep.CueBanner().find("*.iso; *.tmp"), std::string::npos)
        << "the patterns' separator as it is typed";
}

TEST_F(CommandsFixture, TheIntervalUnitsStandOnTheLineOfTheirFieldsText) {
    Load();
    const std::pair<Label*, TextBox*> units[] = {{&form->Label1, &form->Text1},
                                                 {&form->Label2, &form->Text2},
                                                 {&form->Label3, &form->Text3}};
    for (const auto& [unit, field] : units) {
        EXPECT_EQ(unit->Position().top, field->Position().top) << unit->Caption();
        EXPECT_EQ(unit->Position().height, field->Position().height) << unit->Caption();
        EXPECT_TRUE(unit->CentredInHeight()) << unit->Caption();
    }
}

TEST_F(CommandsFixture, MessageBoxesCarryTheIconOfTheirKind) {
    Load();
    const struct {
        const char* door;
        std::function<void(Form1&)> act;
        MessageIcon icon;
    } table[] = {
        {"Help", [](Form1& f) { f.PushButton11.Click.Raise(); }, MessageIcon::Information},
        {"switching on with an empty list", [](Form1& f) { f.PushButton2.Click.Raise(); },
         MessageIcon::Warning},
        {"clearing the history", [](Form1& f) { f.PushButton5.Click.Raise(); },
         MessageIcon::Question},
    };
    for (const auto& row : table) {
        sys.dialogs.shown.clear();
        sys.dialogs.answers = {MessageAnswer::No};
        row.act(*form);
        ASSERT_FALSE(sys.dialogs.shown.empty()) << row.door;
        EXPECT_EQ(sys.dialogs.shown[0].icon, row.icon)
            << row.door << ": " << sys.dialogs.shown[0].text;
    }
}

}  // namespace
}  // namespace ondrevan
