#include "app/FolderRulesForm.h"

#include "app/FieldPlaces.h"
#include "app/OptionsForm.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "platform/Blanks.h"
#include "platform/ValueForms.h"
#include "platform/VisibleText.h"
#include "product/AppSettings.h"
#include "product/RunRules.h"
#include "product/SettingKeys.h"

namespace ondrevan {
namespace {

inline constexpr int kWidth = 6720;
inline constexpr double kPoints = 9.0;
inline constexpr Color kFaultColor = 0x0000C0;
inline constexpr const char* kAsInOptions = "As in Options";

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Takes one rule, by its stored name, from one set of rules into another (or clears it).
void CopyRule(const std::string& name, const FolderRules& from, FolderRules& to) {
    if (name == "mode") to.mode = from.mode;
    if (name == "age") to.ageDays = from.ageDays;
    if (name == "ageby") to.ageBy = from.ageBy;
    if (name == "keep") to.keepPatterns = from.keepPatterns;
    if (name == "recycle") to.recycleFiles = from.recycleFiles;
    if (name == "empty") to.removeEmptySubfolders = from.removeEmptySubfolders;
    if (name == "maxmb") to.maxMegabytes = from.maxMegabytes;
    if (name == "maxfiles") to.maxFiles = from.maxFiles;
    if (name == "freebelowgb") to.freeBelowGigabytes = from.freeBelowGigabytes;
    // The field now says what the rule is: what did not read of it before is gone.
    std::erase_if(to.unreadable, [&](const StoredRule& rule) { return Lower(rule.name) == name; });
}

// The stored value of one rule ("30", "created"), or "" when it is not given.
std::string RuleValue(const std::string& name, const FolderRules& rules) {
    FolderRules one;
    CopyRule(name, rules, one);
    if (name == "keep") {
        std::string text;
        for (const std::string& pattern : one.keepPatterns)
            text += (text.empty() ? "" : "; ") + pattern;
        return text;
    }
    const std::string text = RulesOfFolderText(one);
    return text.empty() ? text : text.substr(name.size() + 1);
}

const StoredRule* Unread(const std::string& name, const FolderRules& rules) {
    for (const StoredRule& rule : rules.unreadable)
        if (Lower(rule.name) == name) return &rule;
    return nullptr;
}

}  // namespace

FolderRulesForm::FolderRulesForm(const Uses& uses) : uses_(uses) {
    controls_ = {&lblFolder,   &lblUnread,        &lblMode,      &cboMode,       &lblAge,
                 &txtAge,      &lblAgeBy,         &cboAgeBy,     &lblAgeFault,   &lblKeep,
                 &txtKeep,     &lblKeepFault,     &lblRecycle,   &cboRecycle,    &lblEmpty,
                 &cboEmpty,    &lblMaxMb,         &txtMaxMb,     &lblMaxMbFault, &lblMaxFiles,
                 &txtMaxFiles, &lblMaxFilesFault, &lblFreeBelow, &txtFreeBelow,  &lblFreeBelowFault,
                 &cmdClose};
    Window.SetCaption(kFolderRulesTitle);
    Window.SetCloseButton(&cmdClose);
    constexpr int kLeft = 120, kField = 2700, kFieldWidth = 3780;
    PlaceFields({FieldPlace{lblFolder, {kLeft, 120, 6360, 255}, ""},
                 FieldPlace{lblUnread, {kLeft, 420, 6360, 450}, ""}},
                kPoints);
    // The rows, laid out by code one under the other at one pitch: a field more is a row
    // more. Each has room under it for the line that says why a value was refused.
    const int bottom = PlaceRows(
        {
            FieldRow{lblMode, "Delete &mode:", cboMode, kFieldWidth, nullptr},
            FieldRow{lblAge, "Older &than, in days:", txtAge, 1020, &lblAgeFault, &lblAgeBy, "b&y",
                     &cboAgeBy},
            FieldRow{lblKeep, "&Keep files matching:", txtKeep, kFieldWidth, &lblKeepFault},
            FieldRow{lblRecycle, "&Recycle Bin for files:", cboRecycle, kFieldWidth, nullptr},
            FieldRow{lblEmpty, "&Empty sub-folders:", cboEmpty, kFieldWidth, nullptr},
            FieldRow{lblMaxMb, "Keep &under, in MB:", txtMaxMb, kFieldWidth, &lblMaxMbFault},
            FieldRow{lblMaxFiles, "At m&ost, files:", txtMaxFiles, kFieldWidth, &lblMaxFilesFault},
            FieldRow{lblFreeBelow, "Only when below, &GB free:", txtFreeBelow, kFieldWidth,
                     &lblFreeBelowFault},
        },
        {.top = 900, .left = kLeft, .field = kField, .width = 6360}, kPoints);
    PlaceFields({FieldPlace{cmdClose, {kWidth - 1320, bottom, 1200, 375}, "Close"}}, kPoints);
    Window.SetPosition({0, 0, kWidth, bottom + 375 + 180});
    for (Label* name : {&lblMode, &lblAge, &lblAgeBy, &lblKeep, &lblRecycle, &lblEmpty, &lblMaxMb,
                        &lblMaxFiles, &lblFreeBelow})
        name->SetNamesField(true);
    for (Label* fault : {&lblUnread, &lblAgeFault, &lblKeepFault, &lblMaxMbFault, &lblMaxFilesFault,
                         &lblFreeBelowFault})
        fault->SetForeColor(kFaultColor);
    txtAge.SetAccessibleName("Older than, in days (empty: as in Options)");
    txtKeep.SetAccessibleName("Keep files matching (added to the Options' patterns)");
    txtMaxMb.SetAccessibleName("Keep the folder under, in MB (empty: no cap)");
    txtMaxFiles.SetAccessibleName("At most this many files (empty: no cap)");
    txtFreeBelow.SetAccessibleName(
        "Only when the drive has less than this many GB free (empty: always)");
    // An empty field says in itself what it means.
    txtAge.SetCueBanner("as in Options");
    txtKeep.SetCueBanner("as in Options; more: *.iso; *.tmp");
    txtMaxMb.SetCueBanner("no cap; over it the oldest files go first");
    txtMaxFiles.SetCueBanner("no cap; over it the oldest files go first");
    txtFreeBelow.SetCueBanner("always; the free space is read at each run");
    // The handlers below keep references into these: they are filled once.
    for (const TextField& field : std::initializer_list<TextField>{
             {txtAge, lblAgeFault, "age", "a number of days from 0 to 36500", "As in Options", ""},
             {txtKeep, lblKeepFault, "keep", "", "Only the Options' patterns", ""},
             {txtMaxMb, lblMaxMbFault, "maxmb", "a whole number of MB from 1 to 1,000,000,000,000",
              "No cap", ""},
             {txtMaxFiles, lblMaxFilesFault, "maxfiles",
              "a whole number of files from 1 to 1,000,000,000,000", "No cap", ""},
             {txtFreeBelow, lblFreeBelowFault, "freebelowgb", "a number of GB such as 10 or 2.5",
              "Whatever the free space", ""},
         })
        texts_.push_back(field);
    for (const ListField& field : std::initializer_list<ListField>{
             {cboMode, "mode", {"folder", "contents"}, 0},
             {cboAgeBy, "ageby", {"created", "opened"}, 0},
             {cboRecycle, "recycle", {"on", "off"}, 0},
             {cboEmpty, "empty", {"on", "off"}, 0},
         })
        lists_.push_back(field);
    cboMode.SetItems(
        {"As in the main window", "Delete folder and contents", "Delete contents, leave folder"});
    cboAgeBy.SetItems({"last written", "created", "last opened"});
    cboRecycle.SetItems({kAsInOptions, "On: files go to the Recycle Bin", "Off: deleted for good"});
    cboEmpty.SetItems({kAsInOptions, "On: removed (contents mode)", "Off: they stay"});
    for (const TextField& field : texts_) {
        field.box.Change.Handle([this, &field] { Field_Change(field); });
        field.box.LostFocus.Handle([this] { StoreFields(); });
    }
    for (const ListField& field : lists_) field.box.Click.Handle([this] { StoreFields(); });
    Window.Accept.Handle([this] { StoreFields(); });
    Window.Closing.Handle([this] { StoreFields(); });
    // Another window taken without leaving the field: what the field shows goes in force.
    Window.Deactivated.Handle([this] { StoreFields(); });
}

FolderRules FolderRulesForm::Stored() const {
    return FindFolderRules(ReadFolderRules(uses_.settings), entry_).value_or(FolderRules{});
}

void FolderRulesForm::Load(const std::string& entry) {
    loading_ = true;
    entry_ = entry;
    const FolderRules stored = Stored();
    lblFolder.SetCaption(VisibleText(entry));
    lblUnread.SetCaption(NoteText(stored));
    for (TextField& field : texts_) {
        const StoredRule* unread = Unread(field.name, stored);
        field.shown = unread ? unread->value : RuleValue(field.name, stored);
        field.box.SetText(field.shown);
        field.fault.SetCaption("");
    }
    for (ListField& field : lists_) {
        const std::string word = RuleValue(field.name, stored);
        const auto at = std::find(field.words.begin(), field.words.end(), word);
        field.shown = at == field.words.end() ? 0 : static_cast<int>(at - field.words.begin()) + 1;
        field.box.SetListIndex(field.shown);
    }
    // The administrator's Recycle Bin binds this folder whatever it says: shown, not offered.
    ShowWhetherSetByPolicy(cboRecycle, uses_.settings, keys::kRecycleFiles);
    if (uses_.settings.SetByPolicy(keys::kRecycleFiles)) {
        for (ListField& field : lists_)
            if (&field.box == &cboRecycle) field.shown = 1;  // "On: files go to the Recycle Bin"
        cboRecycle.SetListIndex(1);
    }
    loading_ = false;
}

std::string FolderRulesForm::NoteText(const FolderRules& stored) const {
    std::string note;
    if (!stored.unreadable.empty())
        note =
            "The folder keeps every file while these rules do not read: " + stored.UnreadableText();
    // Rules left for folders the list no longer holds bind nothing; they are said, not lost.
    const std::vector<std::string> stray = RulesOfNoListedFolder(
        ReadFolderRules(uses_.settings), SplitFolderList(uses_.settings.Get(keys::kFolders, "")));
    if (!stray.empty()) {
        note += std::string(note.empty() ? "" : " ") + "Rules are stored for " +
                CountedText(stray.size(), "folder", "folders") +
                " not in the list: " + VisibleText(stray.front()) +
                (stray.size() > 1 ? "..." : "") + ".";
    }
    return note;
}

std::optional<std::string> FolderRulesForm::ReadField(const TextField& field,
                                                      FolderRules& into) const {
    const std::string text(TrimBlanks(field.box.Text()));
    if (text.empty()) return std::nullopt;  // as in Options
    if (std::string(field.name) == "keep") {
        if (auto fault = KeepPatternsFault(text)) return fault;
        into.keepPatterns = SplitKeepPatterns(text);
        return std::nullopt;
    }
    FolderRules read = ParseRulesOfFolder(std::string(field.name) + "=" + text);
    if (!read.unreadable.empty() || read.unknown.size())
        return "\"" + text + "\" is not " + field.what + ".";
    CopyRule(field.name, read, into);
    return std::nullopt;
}

std::string FolderRulesForm::InForce(const TextField& field, const FolderRules& stored) const {
    if (Unread(field.name, stored)) return "The folder keeps every file until it reads.";
    const std::string value = RuleValue(field.name, stored);
    return value.empty() ? std::string(field.empty) + " stays in force."
                         : "\"" + value + "\" stays in force.";
}

void FolderRulesForm::Field_Change(const TextField& field) {
    if (loading_) return;
    FolderRules scratch;
    const auto fault = ReadField(field, scratch);
    field.fault.SetCaption(fault ? "Not saved: " + *fault + " " + InForce(field, Stored()) : "");
}

void FolderRulesForm::FolderListChanged(const std::vector<std::string>& entries) {
    if (entry_.empty() || std::find(entries.begin(), entries.end(), entry_) != entries.end())
        return;
    entry_.clear();
    Window.SetVisible(false);
}

void FolderRulesForm::StoreFields() {
    if (loading_ || entry_.empty()) return;
    const FolderRules stored = Stored();
    // Two lines for the folder are said in the window; that is no rule to write.
    FolderRules unchanged = stored;
    std::erase_if(unchanged.unreadable, [](const StoredRule& rule) { return rule.name.empty(); });
    FolderRules rules = unchanged;  // what the user did not change stays as it is stored now
    std::vector<TextField*> taken;
    for (TextField& field : texts_) {
        if (TrimBlanks(field.box.Text()) == TrimBlanks(field.shown)) continue;
        FolderRules read;
        if (const auto fault = ReadField(field, read)) {
            field.fault.SetCaption("Not saved: " + *fault + " " + InForce(field, stored));
            continue;
        }
        CopyRule(field.name, read, rules);
        field.fault.SetCaption("");
        taken.push_back(&field);
    }
    for (ListField& field : lists_) {
        const int index = field.box.ListIndex();
        if (index == field.shown) continue;
        FolderRules read;
        if (index > 0)
            read = ParseRulesOfFolder(std::string(field.name) + "=" + field.words[index - 1]);
        CopyRule(field.name, read, rules);
        field.shown = index;
    }
    for (TextField* field : taken) field->shown = field->box.Text();
    if (rules == unchanged) return;
    FolderRulesList list = ReadFolderRules(uses_.settings);
    SetFolderRules(list, entry_, rules);
    SaveFolderRules(uses_.settings, list);
    lblUnread.SetCaption(NoteText(Stored()));
    RulesChanged.Raise();
}

}  // namespace ondrevan
