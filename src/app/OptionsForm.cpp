#include "app/OptionsForm.h"

#include "app/FieldPlaces.h"

#include "platform/Blanks.h"
#include "platform/FolderPaths.h"
#include "platform/ValueForms.h"
#include "product/AppSettings.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

inline constexpr int kWidth = 7200;
inline constexpr double kPoints = 9.0;
// A fault line is red, like the errors next to fields elsewhere in Windows.
inline constexpr Color kFaultColor = 0x0000C0;

}  // namespace

OptionsForm::OptionsForm(const Uses& uses) : uses_(uses) {
    controls_ = {&lblMinimumAge,
                 &txtMinimumAge,
                 &lblDays,
                 &lblMinimumAgeFault,
                 &lblKeepPatterns,
                 &txtKeepPatterns,
                 &lblKeepPatternsFault,
                 &lblProtectedFolders,
                 &txtProtectedFolders,
                 &lblProtectedFoldersFault,
                 &chkRecycleFiles,
                 &chkRemoveEmptySubfolders,
                 &lblHotKey,
                 &hkHotKey,
                 &cmdNoHotKey,
                 &lblHotKeyFault,
                 &chkHotKeyPassThrough,
                 &chkCatchUpMissedRuns,
                 &chkNotifyAfterRun,
                 &lblManaged,
                 &cmdClose};
    txtMinimumAge.SetAccessibleName("Only delete files older than, in days");
    txtKeepPatterns.SetAccessibleName("Never delete files matching");
    txtProtectedFolders.SetAccessibleName("Also protect these folders");
    hkHotKey.SetAccessibleName("Hot key to switch automatic deletion on and off");
    cmdNoHotKey.SetAccessibleName("No hot key");
    cmdNoHotKey.SetToolTip("Switch the hot key off");
    Window.SetPosition({0, 0, kWidth, 8400});
    Window.SetCloseButton(&cmdClose);
    Window.SetCaption(kOptionsTitle);
    // A line under a field has room for two lines of text: the reason and the value in force.
    constexpr int kFaultHeight = 450;
    PlaceFields(
        {
            FieldPlace{lblMinimumAge, {120, 180, 3300, 255}, "Only delete files &older than"},
            FieldPlace{txtMinimumAge, {3480, 120, 900, 345}, ""},
            FieldPlace{lblDays, {4440, 180, 900, 255}, "days"},
            FieldPlace{lblMinimumAgeFault, {120, 500, 6960, kFaultHeight}, ""},
            FieldPlace{lblKeepPatterns, {120, 1000, 6960, 255}, "Never delete files &matching:"},
            FieldPlace{txtKeepPatterns, {120, 1270, 6960, 345}, ""},
            FieldPlace{lblKeepPatternsFault, {120, 1650, 6960, kFaultHeight}, ""},
            FieldPlace{lblProtectedFolders, {120, 2150, 6960, 255}, "Also &protect these folders:"},
            FieldPlace{txtProtectedFolders, {120, 2420, 6960, 1200}, ""},
            FieldPlace{lblProtectedFoldersFault, {120, 3660, 6960, kFaultHeight}, ""},
            FieldPlace{
                chkRecycleFiles, {120, 4170, 6960, 300}, "Send the files to the &Recycle Bin too"},
            FieldPlace{chkRemoveEmptySubfolders,
                       {120, 4530, 6960, 300},
                       "In contents mode, also remove &sub-folders left empty"},

            FieldPlace{lblHotKey,
                       {120, 4950, 6960, 255},
                       "Hot &key to switch automatic deletion on and off:"},
            FieldPlace{hkHotKey, {120, 5220, 3300, 345}, ""},
            FieldPlace{cmdNoHotKey, {3540, 5220, 1200, 345}, "&None"},
            FieldPlace{lblHotKeyFault, {120, 5600, 6960, kFaultHeight}, ""},
            FieldPlace{chkHotKeyPassThrough,
                       {120, 6100, 6960, 300},
                       "&Let the key reach the program in front"},
            FieldPlace{
                chkCatchUpMissedRuns,
                {120, 6460, 6960, 480},
                "&When a daily or weekly run was missed, run it as soon as Ondrevan is running "
                "again"},
            FieldPlace{chkNotifyAfterRun,
                       {120, 7020, 6960, 300},
                       "Show a no&tification after each scheduled run"},
            FieldPlace{lblManaged, {120, 7380, 6960, 450}, ""},
            FieldPlace{cmdClose, {kWidth - 1320, 7900, 1200, 375}, "Close"},
        },
        kPoints);
    for (Label* name : {&lblMinimumAge, &lblKeepPatterns, &lblProtectedFolders, &lblHotKey})
        name->SetNamesField(true);
    for (Label* fault :
         {&lblMinimumAgeFault, &lblKeepPatternsFault, &lblProtectedFoldersFault, &lblHotKeyFault})
        fault->SetForeColor(kFaultColor);
    fields_.reserve(3);  // the handlers below keep references into it
    fields_.push_back({txtMinimumAge, lblMinimumAgeFault, keys::kMinimumAgeDays, MinimumAgeFault,
                       [](const std::string& text) { return std::string(TrimBlanks(text)); },
                       &OptionsForm::AgeInForce, ""});
    fields_.push_back({txtKeepPatterns, lblKeepPatternsFault, keys::kKeepPatterns,
                       KeepPatternsFault, [](const std::string& text) { return text; },
                       &OptionsForm::PatternsInForce, ""});
    fields_.push_back(
        {txtProtectedFolders, lblProtectedFoldersFault, keys::kProtectedFolders,
         ProtectedFoldersFault,
         [](const std::string& text) { return JoinFolderList(ProtectedFolderLines(text)); },
         &OptionsForm::FoldersInForce, ""});
    for (TextField& field : fields_) {
        field.box.Change.Handle([this, &field] { Field_Change(field); });
        field.box.LostFocus.Handle([this, &field] { StoreField(field); });
    }
    // Enter, or the window closing, is the user done with every field.
    Window.Accept.Handle([this] { StoreFields(); });
    Window.Closing.Handle([this] { StoreFields(); });
    // Another window taken without leaving the field: what the field shows goes in force.
    Window.Deactivated.Handle([this] { StoreFields(); });
    hkHotKey.Change.Handle([this] { HotKey_Change(); });
    hkHotKey.LostFocus.Handle([this] { HotKey_LostFocus(); });
    cmdNoHotKey.Click.Handle([this] { cmdNoHotKey_Click(); });
    StoreSwitch(chkRecycleFiles, keys::kRecycleFiles, &RecycleFilesChanged);
    StoreSwitch(chkRemoveEmptySubfolders, keys::kRemoveEmptySubfolders);
    StoreSwitch(chkHotKeyPassThrough, keys::kHotKeyPassThrough, &HotKeyChanged);
    StoreSwitch(chkCatchUpMissedRuns, keys::kCatchUpMissedRuns);
    StoreSwitch(chkNotifyAfterRun, keys::kNotifyAfterRun);
}

void OptionsForm::Load() {
    loading_ = true;
    const RunRules rules = ReadRunRules(uses_.settings);
    // The age the runs use: one that does not read stands for the longest there is.
    const std::string age = uses_.settings.Get(keys::kMinimumAgeDays, "0");
    txtMinimumAge.SetText(std::to_string(rules.minimumAgeDays));
    lblMinimumAgeFault.SetCaption(
        MinimumAgeFault(age) ? "\"" + age + "\" cannot be read as an age. " + AgeInForce() : "");
    txtKeepPatterns.SetText(uses_.settings.Get(keys::kKeepPatterns, ""));
    std::string lines;
    for (const std::string& folder : rules.protectedFolders) {
        if (!lines.empty()) lines += "\r\n";
        lines += folder;
    }
    txtProtectedFolders.SetText(lines);
    // Stored patterns that do not read keep every file; the field says so until put right.
    lblKeepPatternsFault.SetCaption(rules.unreadable.empty()
                                        ? ""
                                        : *KeepPatternsFault(txtKeepPatterns.Text()) +
                                              " Until they are put right, every file is kept.");
    lblProtectedFoldersFault.SetCaption("");
    for (TextField& field : fields_) field.shown = field.box.Text();
    chkRecycleFiles.SetChecked(rules.recycleFiles);
    chkRemoveEmptySubfolders.SetChecked(rules.removeEmptySubfolders);
    const std::string hotKey = uses_.settings.Get(keys::kHotKey, kDefaultHotKeyText);
    hkHotKey.SetValue(HotKeyInForce());
    lblHotKeyFault.SetCaption(ParseHotKey(hotKey)
                                  ? ""
                                  : "The hot key \"" + hotKey + "\" cannot be used. " +
                                        HotKeyInForceText());
    chkHotKeyPassThrough.SetChecked(
        IsSwitchOn(uses_.settings.Get(keys::kHotKeyPassThrough, kSwitchOn)));
    chkCatchUpMissedRuns.SetChecked(
        IsSwitchOn(uses_.settings.Get(keys::kCatchUpMissedRuns, kSwitchOff)));
    chkNotifyAfterRun.SetChecked(IsSwitchOn(uses_.settings.Get(keys::kNotifyAfterRun, kSwitchOff)));
    // The administrator's protected folders count with these; the field holds the user's own.
    std::string byPolicy;
    for (const std::string& folder : uses_.settings.PolicyProtectedFolders())
        byPolicy += (byPolicy.empty() ? "" : "; ") + folder;
    txtProtectedFolders.SetToolTip(
        byPolicy.empty() ? "" : "Your administrator also protects: " + byPolicy);
    // What an administrator set shows, and cannot be changed here; a line says so in words.
    ShowWhetherSetByPolicy(txtMinimumAge, uses_.settings, keys::kMinimumAgeDays);
    ShowWhetherSetByPolicy(txtKeepPatterns, uses_.settings, keys::kKeepPatterns);
    ShowWhetherSetByPolicy(hkHotKey, uses_.settings, keys::kHotKey);
    ShowWhetherSetByPolicy(chkRecycleFiles, uses_.settings, keys::kRecycleFiles);
    const bool managed = !byPolicy.empty() || !txtMinimumAge.Enabled() ||
                         !txtKeepPatterns.Enabled() || !hkHotKey.Enabled() ||
                         !chkRecycleFiles.Enabled();
    lblManaged.SetCaption(!managed ? ""
                          : byPolicy.empty()
                              ? std::string(kManagedByOrganization) + "."
                              : std::string(kManagedByOrganization) +
                                    ". Your administrator also protects: " + byPolicy);
    cmdNoHotKey.SetEnabled(hkHotKey.Enabled());
    loading_ = false;
}

void ShowWhetherSetByPolicy(Control& control, const AppSettings& settings, const char* key) {
    const bool set = settings.SetByPolicy(key);
    control.SetEnabled(!set);
    control.SetToolTip(set ? kSetByAdministrator : "");
}

void OptionsForm::StoreSwitch(CheckBox& box, const char* key, Event<>* changed) {
    box.Click.Handle([this, &box, key, changed] {
        if (loading_) return;
        uses_.settings.Save(key, SwitchText(box.Checked()));
        if (changed) changed->Raise();
    });
}

void OptionsForm::StoreFields() {
    for (TextField& field : fields_) StoreField(field);
}

void OptionsForm::Field_Change(TextField& field) {
    if (loading_) return;
    // Said as it is typed; stored only when the user is done with it.
    const auto fault = field.check(field.box.Text());
    field.fault.SetCaption(fault ? "Not saved: " + *fault + " " + (this->*field.inForce)() : "");
}

void OptionsForm::StoreField(TextField& field) {
    if (loading_ || field.box.Text() == field.shown || field.check(field.box.Text())) return;
    uses_.settings.Save(field.key, field.storedForm(field.box.Text()));
    field.shown = field.box.Text();
}

std::string OptionsForm::AgeInForce() const {
    return "The value in force is " + std::to_string(ReadRunRules(uses_.settings).minimumAgeDays) +
           ".";
}

std::string OptionsForm::PatternsInForce() const {
    const std::string patterns = uses_.settings.Get(keys::kKeepPatterns, "");
    if (TrimBlanks(patterns).empty()) return "No pattern is in force.";
    return "The value in force is \"" + patterns + "\".";
}

std::string OptionsForm::FoldersInForce() const {
    const std::size_t count = ReadRunRules(uses_.settings).protectedFolders.size();
    if (count == 0) return "None of your folders is protected now.";
    return "The " + CountedText(count, "folder", "folders") + " protected now stay protected.";
}

HotKeySpec OptionsForm::HotKeyInForce() const {
    return ParseHotKey(uses_.settings.Get(keys::kHotKey, kDefaultHotKeyText))
        .value_or(kDefaultHotKey);
}

std::string OptionsForm::HotKeyInForceText() const {
    const HotKeySpec inForce = HotKeyInForce();
    return inForce.Empty() ? "No hot key is in force."
                           : "The hot key in force is " + HotKeyText(inForce) + ".";
}

void OptionsForm::ShowHotKey(const HotKeySpec& hotKey) {
    loading_ = true;
    hkHotKey.SetValue(hotKey);
    loading_ = false;
}

void OptionsForm::StoreHotKey(const HotKeySpec& hotKey) {
    uses_.settings.Save(keys::kHotKey, HotKeyText(hotKey));
    HotKeyChanged.Raise();
}

void OptionsForm::HotKey_Change() {
    if (loading_) return;
    const HotKeySpec& pressed = hkHotKey.Value();
    // Modifiers alone (or a key the field clears itself with): the user is still choosing.
    if (pressed.Empty()) {
        lblHotKeyFault.SetCaption("");
        return;
    }
    if (const auto refusal = HotKeyRefusal(pressed)) {
        lblHotKeyFault.SetCaption("Not saved: " + *refusal + " " + HotKeyInForceText());
        return;
    }
    lblHotKeyFault.SetCaption("");
    if (HotKeyText(pressed) != uses_.settings.Get(keys::kHotKey, kDefaultHotKeyText))
        StoreHotKey(pressed);
}

void OptionsForm::HotKey_LostFocus() {
    // A combination left unfinished was never chosen: the field shows the key in force again.
    if (hkHotKey.Value().Empty()) ShowHotKey(HotKeyInForce());
}

void OptionsForm::cmdNoHotKey_Click() {
    ShowHotKey(HotKeySpec{});
    lblHotKeyFault.SetCaption("");
    StoreHotKey(HotKeySpec{});
}

}  // namespace ondrevan
