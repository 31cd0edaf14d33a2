#include "app/OptionsForm.h"

#include "delete/RunRules.h"
#include "platform/AppSettings.h"
#include "platform/Blanks.h"
#include "platform/SettingKeys.h"
#include "platform/ValueForms.h"

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
                 &lblHotKeyFault,
                 &chkHotKeyPassThrough,
                 &chkCatchUpMissedRuns,
                 &chkNotifyAfterRun};
    txtMinimumAge.SetAccessibleName("Only delete files older than, in days");
    txtKeepPatterns.SetAccessibleName("Never delete files matching");
    txtProtectedFolders.SetAccessibleName("Also protect these folders");
    hkHotKey.SetAccessibleName("Hot key to switch automatic deletion on and off");
    Window.SetPosition({0, 0, kWidth, 7440});
    Window.SetCaption(kOptionsTitle);
    struct Place {
        Control& control;
        TwipRect at;
        const char* caption;
    };
    for (const Place& place : {
             Place{lblMinimumAge, {120, 180, 3300, 255}, "Only delete files older than"},
             Place{txtMinimumAge, {3480, 120, 900, 345}, ""},
             Place{lblDays, {4440, 180, 900, 255}, "days"},
             Place{lblMinimumAgeFault, {120, 500, 6960, 255}, ""},
             Place{lblKeepPatterns, {120, 840, 6960, 255}, "Never delete files matching:"},
             Place{txtKeepPatterns, {120, 1110, 6960, 345}, ""},
             Place{lblKeepPatternsFault, {120, 1490, 6960, 255}, ""},
             Place{lblProtectedFolders, {120, 1830, 6960, 255}, "Also protect these folders:"},
             Place{txtProtectedFolders, {120, 2100, 6960, 1200}, ""},
             Place{lblProtectedFoldersFault, {120, 3340, 6960, 255}, ""},
             Place{
                 chkRecycleFiles, {120, 3720, 6960, 300}, "Send the files to the Recycle Bin too"},
             Place{chkRemoveEmptySubfolders,
                   {120, 4140, 6960, 300},
                   "In contents mode, also remove sub-folders left empty"},

             Place{lblHotKey,
                   {120, 4620, 6960, 255},
                   "Hot key to switch automatic deletion on and off:"},
             Place{hkHotKey, {120, 4890, 3300, 345}, ""},
             Place{lblHotKeyFault, {120, 5270, 6960, 255}, ""},
             Place{chkHotKeyPassThrough,
                   {120, 5580, 6960, 300},
                   "Let the key reach the program in front"},
             Place{chkCatchUpMissedRuns,
                   {120, 6000, 6960, 480},
                   "When a daily or weekly run was missed, run it as soon as Ondrevan is running "
                   "again"},
             Place{chkNotifyAfterRun,
                   {120, 6600, 6960, 300},
                   "Show a notification after each scheduled run"},
         }) {
        place.control.SetPosition(place.at);
        place.control.SetCaption(place.caption);
        place.control.SetFont({"Arial", kPoints, false});
    }
    for (Label* fault :
         {&lblMinimumAgeFault, &lblKeepPatternsFault, &lblProtectedFoldersFault, &lblHotKeyFault})
        fault->SetForeColor(kFaultColor);
    txtMinimumAge.Change.Handle([this] { MinimumAge_Change(); });
    txtKeepPatterns.Change.Handle([this] { KeepPatterns_Change(); });
    txtProtectedFolders.Change.Handle([this] { ProtectedFolders_Change(); });
    hkHotKey.Change.Handle([this] { HotKey_Change(); });
    StoreSwitch(chkRecycleFiles, keys::kRecycleFiles, &RecycleFilesChanged);
    StoreSwitch(chkRemoveEmptySubfolders, keys::kRemoveEmptySubfolders);
    StoreSwitch(chkHotKeyPassThrough, keys::kHotKeyPassThrough, &HotKeyChanged);
    StoreSwitch(chkCatchUpMissedRuns, keys::kCatchUpMissedRuns);
    StoreSwitch(chkNotifyAfterRun, keys::kNotifyAfterRun);
}

void OptionsForm::Load() {
    loading_ = true;
    const RunRules rules = ReadRunRules(uses_.settings);
    txtMinimumAge.SetText(uses_.settings.Get(keys::kMinimumAgeDays, "0"));
    txtKeepPatterns.SetText(uses_.settings.Get(keys::kKeepPatterns, ""));
    std::string lines;
    for (const std::string& folder : rules.protectedFolders) {
        if (!lines.empty()) lines += "\r\n";
        lines += folder;
    }
    txtProtectedFolders.SetText(lines);
    chkRecycleFiles.SetChecked(rules.recycleFiles);
    chkRemoveEmptySubfolders.SetChecked(rules.removeEmptySubfolders);
    hkHotKey.SetValue(ParseHotKey(uses_.settings.Get(keys::kHotKey, kDefaultHotKeyText))
                          .value_or(kDefaultHotKey));
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
    // What an administrator set shows, and cannot be changed here.
    ShowWhetherSetByPolicy(txtMinimumAge, uses_.settings, keys::kMinimumAgeDays);
    ShowWhetherSetByPolicy(txtKeepPatterns, uses_.settings, keys::kKeepPatterns);
    ShowWhetherSetByPolicy(hkHotKey, uses_.settings, keys::kHotKey);
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

void OptionsForm::HotKey_Change() {
    // What the field holds must read back as a hot key: a letter alone would fire on every
    // word typed.
    const std::string text = HotKeyText(hkHotKey.Value());
    const bool fits = ParseHotKey(text).has_value();
    lblHotKeyFault.SetCaption(
        fits ? "" : "A hot key needs Ctrl, Alt or Win with its key, or a function key.");
    if (!fits || loading_) return;
    uses_.settings.Save(keys::kHotKey, text);
    HotKeyChanged.Raise();
}

void OptionsForm::MinimumAge_Change() {
    const auto fault = MinimumAgeFault(txtMinimumAge.Text());
    lblMinimumAgeFault.SetCaption(fault.value_or(""));
    if (!fault && !loading_)
        uses_.settings.Save(keys::kMinimumAgeDays, std::string(TrimBlanks(txtMinimumAge.Text())));
}

void OptionsForm::KeepPatterns_Change() {
    const auto fault = KeepPatternsFault(txtKeepPatterns.Text());
    lblKeepPatternsFault.SetCaption(fault.value_or(""));
    if (!fault && !loading_) uses_.settings.Save(keys::kKeepPatterns, txtKeepPatterns.Text());
}

void OptionsForm::ProtectedFolders_Change() {
    const auto fault = ProtectedFoldersFault(txtProtectedFolders.Text());
    lblProtectedFoldersFault.SetCaption(fault.value_or(""));
    if (!fault && !loading_)
        uses_.settings.Save(keys::kProtectedFolders,
                            JoinFolderList(ProtectedFolderLines(txtProtectedFolders.Text())));
}

}  // namespace ondrevan
