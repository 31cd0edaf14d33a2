#include <gtest/gtest.h>

#include "FakeSystem.h"
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "platform/EventLog.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/Policies.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

using testing::LinesData;
using testing::NumberData;
using testing::TextData;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

TEST(Policies, EachIsReadInItsFormTheMachinesBeforeTheUsersAndNonsenseIsNoPolicy) {
    testing::FakeRegistry registry;
    EXPECT_EQ(ReadPolicies(registry), Policies{}) << "none set: nothing changes";

    registry.SetPolicy(kMachine, "Check1", NumberData(1));
    registry.SetPolicy(kMachine, "HotKey", TextData("Ctrl+Alt+F9"));
    registry.SetPolicy(kUser, "HotKey", TextData(""));
    registry.SetPolicy(kUser, "Windows Startup", NumberData(0));
    registry.SetPolicy(kUser, "MinimumAgeDays", NumberData(14));
    registry.SetPolicy(kUser, "KeepPatterns", TextData("*.keep; desktop.ini"));
    registry.SetPolicy(kMachine, "ProtectedFolders", LinesData({"C:\\Projects", "  ", " D:\\X "}));
    registry.SetPolicy(kUser, "ProtectedFolders", TextData("\\\\server\\share"));
    Policies read = ReadPolicies(registry);
    EXPECT_EQ(read.settings, (std::map<std::string, std::string>{
                                 {"Check1", "1"},
                                 {"HotKey", "Ctrl+Alt+F9"},  // the machine's wins
                                 {"Windows Startup", "Off"},
                                 {"Minimized", "Off"},  // no start-up entry, no start in the tray
                                 {"MinimumAgeDays", "14"},
                                 {"KeepPatterns", "*.keep; desktop.ini"}}));
    EXPECT_EQ(read.protectedFolders,
              (std::vector<std::string>{"C:\\Projects", "D:\\X", "\\\\server\\share"}))
        << "the folders of both count";

    // A value the policy cannot mean is left out, so the user's own setting holds; the
    // confirmation can only be made compulsory.
    testing::FakeRegistry odd;
    odd.SetPolicy(kMachine, "Check1", NumberData(0));
    odd.SetPolicy(kMachine, "Windows Startup", NumberData(2));
    odd.SetPolicy(kMachine, "HotKey", TextData("T"));
    odd.SetPolicy(kMachine, "KeepPatterns", NumberData(3));
    odd.SetPolicy(kUser, "HotKey", TextData(""));
    EXPECT_EQ(ReadPolicies(odd).settings, (std::map<std::string, std::string>{{"HotKey", ""}}))
        << "a user policy stands where the machine's says nothing";
    // Nor is a key that Windows keeps or nearly every program uses: the user's own holds.
    for (const char* taken : {"Ctrl+Alt+Delete", "Alt+F4", "Ctrl+C", "Win+L"}) {
        testing::FakeRegistry clash;
        clash.SetPolicy(kMachine, "HotKey", TextData(taken));
        EXPECT_FALSE(ReadPolicies(clash).Sets("HotKey")) << taken;
    }
    // An age that is no number reads as the stored setting would: it keeps every file.
    testing::FakeRegistry age;
    age.SetPolicy(kMachine, "MinimumAgeDays", TextData("a week"));
    EXPECT_EQ(ReadPolicies(age).settings.at("MinimumAgeDays"), "a week");
}

TEST(Policies, AnAgeThatDoesNotReadKeepsEveryFileAndEveryProtectedFolderCounts) {
    // The machine's age wins even where it does not read; the user's own would let all go.
    for (const RegistryData& age :
         {RegistryData{}, LinesData({"7"}), TextData("a week"), NumberData(kMaximumAgeDays + 1)}) {
        testing::FakeRegistry registry;
        registry.SetPolicy(kMachine, "MinimumAgeDays", age);
        registry.SetPolicy(kUser, "MinimumAgeDays", NumberData(1));
        const Policies policies = ReadPolicies(registry);
        testing::MemorySettingsStore store;
        store.Set(keys::kMinimumAgeDays, "0");
        EXPECT_EQ(ReadRunRules(AppSettings(store, &policies)).minimumAgeDays, kMaximumAgeDays)
            << (age.text     ? *age.text
                : age.number ? std::to_string(*age.number)
                             : "other type");
    }

    testing::FakeRegistry registry;
    registry.SetPolicy(kMachine, "ProtectedFolders", LinesData({"C:\\A", "", "D:\\B\r\nE:\\C "}));
    registry.SetPolicy(kUser, "ProtectedFolders", TextData("F:\\D\nG:\\E"));
    EXPECT_EQ(ReadPolicies(registry).protectedFolders,
              (std::vector<std::string>{"C:\\A", "D:\\B", "E:\\C", "F:\\D", "G:\\E"}));
}

struct PolicyFixture : ::testing::Test {
    testing::FakeSystem sys;
    std::unique_ptr<Form1> form;
    void SetUp() override {
        sys.environment.variables["TEMP"] = "C:\\Temp";
        sys.environment.variables["WINDIR"] = "C:\\Windows";
        sys.fileSystem.AddFolder("C:\\Temp");
        sys.fileSystem.AddFolder("C:\\Tools");
        sys.fileSystem.AddFile("C:\\Tools\\Tool.exe");
        sys.fileSystem.AddFolder("C:\\Projects\\Build");
        sys.fileSystem.AddFile("C:\\Projects\\Build\\out.obj", "o");
        // The user's own choices, as an earlier session stored them.
        sys.settings.Set(keys::kCheck1, "0");
        sys.settings.Set(keys::kWindowsStartup, "On");
        sys.settings.Set(keys::kMinimized, "On");
        sys.settings.Set(keys::kMinimumAgeDays, "3");
        sys.settings.Set(keys::kHotKey, "Ctrl+Alt+K");
        sys.registry.SetValue(kMachine, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\",
                              "Tool.exe", "C:\\Tools\\Tool.exe");
    }
    void Load() {
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
    std::map<std::string, std::optional<std::string>> Stored() {
        std::map<std::string, std::optional<std::string>> stored;
        for (const char* key : {keys::kCheck1, keys::kWindowsStartup, keys::kMinimized,
                                keys::kMinimumAgeDays, keys::kHotKey, keys::kProtectedFolders})
            stored[key] = sys.settings.Get(key);
        return stored;
    }
};

TEST_F(PolicyFixture, APolicySetsItsControlWhichSaysSoAndTheUsersValueOutlivesIt) {
    const auto stored = Stored();
    sys.registry.SetPolicy(kMachine, "Check1", NumberData(1));
    sys.registry.SetPolicy(kMachine, "Windows Startup", NumberData(0));
    sys.registry.SetPolicy(kUser, "MinimumAgeDays", NumberData(30));
    sys.registry.SetPolicy(kUser, "HotKey", TextData(""));
    sys.registry.SetPolicy(kUser, "RecycleFiles", NumberData(1));
    sys.registry.SetPolicy(kMachine, "ProtectedFolders", LinesData({"C:\\Projects"}));
    Load();
    EXPECT_TRUE(sys.dialogs.shown.empty());
    EXPECT_TRUE(form->Options().chkRecycleFiles.Checked());
    // Said in a line of each window, not only in tool tips, with the administrator's folders.
    EXPECT_EQ(form->Options().lblManaged.Caption(),
              "Some settings are managed by your organization. Your administrator also "
              "protects: C:\\Projects");
    EXPECT_EQ(form->Label4.Caption(),
              "Some settings are managed by your organization. Everything deleted can be "
              "recovered.");
    EXPECT_TRUE(form->Check1.Checked());
    EXPECT_FALSE(form->Check3.Checked());
    EXPECT_FALSE(form->Check8.Checked());
    for (Control* set : std::initializer_list<Control*>{
             &form->Check1, &form->Check3, &form->Check8, &form->Options().txtMinimumAge,
             &form->Options().hkHotKey, &form->Options().chkRecycleFiles}) {
        EXPECT_FALSE(set->Enabled()) << set->Name();
        EXPECT_EQ(set->ToolTip(), "Set by your administrator") << set->Name();
    }
    EXPECT_FALSE(form->Options().cmdNoHotKey.Enabled()) << "nor switched off";
    EXPECT_TRUE(form->Options().txtKeepPatterns.Enabled()) << "no policy: the user's to set";
    EXPECT_EQ(form->Options().txtKeepPatterns.ToolTip(), "");
    EXPECT_EQ(form->Options().txtMinimumAge.Text(), "30");
    EXPECT_TRUE(sys.keyboardHook.hotKey.Empty()) << "an empty hot-key policy switches it off";
    EXPECT_EQ(sys.registry.Get(kMachine, "Tool.exe"), std::nullopt)
        << "a forbidden start-up entry does not stay behind";
    EXPECT_EQ(Stored(), stored) << "nothing the user stored was touched";

    // The policies go, as Group Policy says with WM_SETTINGCHANGE "Policy": the user's own
    // values hold again, and the controls are the user's.
    sys.registry.ClearPolicies();
    form->PoliciesChanged();
    EXPECT_TRUE(sys.dialogs.shown.empty());
    EXPECT_FALSE(form->Check1.Checked());
    EXPECT_TRUE(form->Check3.Checked());
    EXPECT_TRUE(form->Check8.Checked());
    EXPECT_EQ(sys.registry.Get(kMachine, "Tool.exe"), "C:\\Tools\\Tool.exe");
    EXPECT_EQ(form->Options().txtMinimumAge.Text(), "3");
    EXPECT_EQ(sys.keyboardHook.hotKey, ParseHotKey("Ctrl+Alt+K"));
    EXPECT_EQ(form->Options().lblManaged.Caption(), "");
    EXPECT_EQ(form->Label4.Caption().rfind("Note: ", 0), 0u) << form->Label4.Caption();
    for (Control* mine : std::initializer_list<Control*>{
             &form->Check1, &form->Check3, &form->Check8, &form->Options().txtMinimumAge}) {
        EXPECT_TRUE(mine->Enabled()) << mine->Name();
        EXPECT_EQ(mine->ToolTip(), "") << mine->Name();
    }
    EXPECT_EQ(Stored(), stored);

    // And come back while the program runs.
    sys.registry.SetPolicy(kMachine, "Windows Startup", NumberData(0));
    form->PoliciesChanged();
    EXPECT_FALSE(form->Check3.Checked());
    EXPECT_FALSE(form->Check3.Enabled());
    EXPECT_EQ(sys.registry.Get(kMachine, "Tool.exe"), std::nullopt);
    EXPECT_EQ(Stored(), stored);
}

TEST_F(PolicyFixture, ForcedStartupWritesTheEntryAndAForcedQuestionIsAsked) {
    sys.settings.Set(keys::kWindowsStartup, "Off");
    sys.registry.DeleteValue(kMachine, "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\",
                             "Tool.exe");
    sys.registry.SetPolicy(kUser, "Windows Startup", NumberData(1));
    sys.registry.SetPolicy(kUser, "Check1", NumberData(1));
    Load();
    EXPECT_TRUE(form->Check3.Checked());
    EXPECT_EQ(sys.registry.Get(kMachine, "Tool.exe"), "C:\\Tools\\Tool.exe");
    EXPECT_EQ(sys.settings.Get(keys::kWindowsStartup), "Off");
    EXPECT_TRUE(form->Check8.Enabled()) << "forced on, starting in the tray is the user's";

    // Without a window nobody can confirm: the command line does not run at all.
    sys.settings.Set(keys::kFolders, JoinFolderList({"C:\\Projects\\Build"}));
    std::string output;
    EXPECT_EQ(RunFromCommandLine(CommandMode::Run, sys.services(), output), 3);
    EXPECT_NE(output.find("requires a confirmation"), std::string::npos) << output;
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Projects\\Build\\out.obj"));
    // The history and the Event Log say it too: a scheduled /run that never runs is seen.
    const std::string history = sys.fileSystem.Content("C:\\Temp\\Ondrevan.txt");
    EXPECT_NE(history.find(" Not run: your administrator requires a confirmation"),
              std::string::npos)
        << history;
    ASSERT_EQ(sys.eventLog.events.size(), 1u);
    EXPECT_EQ(sys.eventLog.events[0].id, events::kRunNotDone);
    EXPECT_EQ(sys.eventLog.events[0].type, EventType::Warning);
    output.clear();
    EXPECT_EQ(RunFromCommandLine(CommandMode::Preview, sys.services(), output), 0)
        << "a preview deletes nothing: no question needed";

    form->ListView1.Add("C:\\Projects\\Build");
    sys.dialogs.answers.push_back(MessageAnswer::No);
    form->PushButton3.Click.Raise();
    ASSERT_EQ(sys.dialogs.shown.size(), 1u) << "the question the policy makes compulsory";
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Projects\\Build\\out.obj"));
}

TEST_F(PolicyFixture, AnAdministratorsProtectedFolderIsRefusedInTheWindowAndOnTheCommandLine) {
    sys.settings.Set(keys::kProtectedFolders, JoinFolderList({"D:\\Mine"}));
    sys.registry.SetPolicy(kMachine, "ProtectedFolders", LinesData({"C:\\Projects"}));
    sys.fileSystem.AddFile("C:\\Projects\\plan.txt", "p");
    sys.settings.Set(keys::kFolders, JoinFolderList({"c:\\projects\\"}));
    sys.settings.Set(keys::kOption1, "False");
    sys.settings.Set(keys::kMinimumAgeDays, "0");
    std::string output;
    RunFromCommandLine(CommandMode::Run, sys.services(), output);
    EXPECT_TRUE(sys.fileSystem.Exists("C:\\Projects\\plan.txt")) << output;

    Load();
    EXPECT_FALSE(form->Protection().CanDelete("c:\\projects"));
    EXPECT_FALSE(form->Protection().CanDelete("D:\\Mine"));
    EXPECT_TRUE(form->Protection().CanDelete("C:\\Temp"));
    EXPECT_EQ(form->Options().txtProtectedFolders.Text(), "D:\\Mine")
        << "the user's field holds the user's own folders only";
    EXPECT_EQ(form->Options().txtProtectedFolders.ToolTip(),
              "Your administrator also protects: C:\\Projects");
    EXPECT_TRUE(form->Options().txtProtectedFolders.Enabled());
    form->Options().txtProtectedFolders.SetText("D:\\Mine\r\nE:\\Also");
    form->Options().txtProtectedFolders.LostFocus.Raise();  // stored once the user leaves it
    EXPECT_EQ(sys.settings.Get(keys::kProtectedFolders), JoinFolderList({"D:\\Mine", "E:\\Also"}));
    EXPECT_FALSE(form->Protection().CanDelete("C:\\Projects")) << "the policy's still count";
    EXPECT_FALSE(form->Protection().CanDelete("E:\\Also"));
}

}  // namespace
}  // namespace ondrevan
