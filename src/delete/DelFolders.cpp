#include "delete/DelFolders.h"

#include <functional>

#include "app/CommonRoutines.h"
#include "app/ErrorReport.h"
#include "app/Form1.h"
#include "delete/FolderPaths.h"
#include "history/History.h"
#include "platform/Blanks.h"
#include "platform/EventPump.h"
#include "platform/FileSystem.h"
#include "platform/ScopedFlag.h"
#include "platform/SettingKeys.h"
#include "platform/Shell.h"
#include "platform/SystemEnvironment.h"
#include "platform/Utf16Length.h"
#include "platform/ValueForms.h"
#include "platform/VisibleText.h"

namespace ondrevan {
namespace {

inline constexpr int kCommonAppData = 35;

}  // namespace

std::vector<std::string> DelFolders::ProtectedFolderKeys() {
    const Services& services = form_.Services();
    SystemEnvironment& env = services.environment;
    const std::string sources[] = {
        env.Variable("WINDIR"),
        env.Variable("ProgramFiles"),
        env.Variable("USERPROFILE"),
        env.Variable("SystemRoot"),
        env.Variable("HOMEPATH"),
        env.Variable("CommonProgramFiles"),
        env.Variable("ALLUSERSPROFILE"),
        env.Variable("APPDATA"),
        GetSystemFolder(env),
        GetSpecialFolderPath(services.shell, kCommonAppData),
    };
    std::vector<std::string> keys;
    for (const std::string& source : sources) {
        const std::string entry = CollapseBackslashes(source + "\\");
        // An unset entry protects nothing; its key could never equal a candidate's.
        if (entry.size() <= 3) continue;
        // A value that names no drive ("HOMEPATH" is "\Users\name") would become a network
        // path after the collapse: it is compared as written and never opened.
        keys.push_back(IsFullyQualified(source) ? FolderKey(services.fileSystem, entry)
                                                : LexicalFolderKey(entry));
    }
    return keys;
}

bool DelFolders::CanDelete(const std::string& path) {
    ErrorTrap trap(form_.Services().dialogs, "DelFolders.CanDelete");
    bool answer = false;  // protected, unless every test below passes
    trap.Line([&] {
        const std::string candidate = CollapseBackslashes(path + "\\");
        // Drive roots: C: and C:\ both collapse to three characters.
        if (Utf16Length(candidate) <= 3) return;
        // A relative path would be resolved against whatever the current folder is. (The
        // written path is asked: the collapse turns a rooted "\x" into "\\x".)
        if (!IsFullyQualified(path)) return;
        if (HasForbiddenPathCharacters(path)) return;
        const std::string key = FolderKey(form_.Services().fileSystem, candidate);
        if (key.size() <= 2 || key.back() == ':') return;  // "C:\." and the like are roots too
        bool matched = false;
        for (const std::string& entry : ProtectedFolderKeys()) matched |= entry == key;
        answer = !matched;
    });
    return answer;
}

bool DelFolders::ContainsProtectedFolder(const std::string& path) {
    const std::string key =
        FolderKey(form_.Services().fileSystem, CollapseBackslashes(path + "\\"));
    for (const std::string& entry : ProtectedFolderKeys())
        if (IsFullyQualified(entry) && KeyContains(key, entry)) return true;
    return false;
}

std::optional<std::string> DelFolders::FindFolderLink(const std::string& path) {
    const Services& services = form_.Services();
    std::vector<std::string> pending{path};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        std::vector<FolderEntry> subfolders;
        try {
            subfolders = services.fileSystem.ListSubfolders(folder);
        } catch (const AppError&) {
            continue;  // what cannot be listed, the shell cannot take either
        }
        for (const FolderEntry& sub : subfolders) {
            if (sub.name == "." || sub.name == "..") continue;
            const std::string inner = folder + "\\" + sub.name;
            if (sub.attributes & attributes::kReparsePoint) return inner;
            pending.push_back(inner);
        }
        services.pump.DoEvents();
    }
    return std::nullopt;
}

bool DelFolders::AllowDeleteFolders(const ListView& list) {
    ErrorTrap trap(form_.Services().dialogs, "DelFolders.AllowDeleteFolders");
    bool answer = false;
    trap.Line([&] {
        if (list.Count() == 0) return;
        if (!form_.Check1.Checked()) {
            answer = true;
            return;
        }
        std::string folders;
        for (const std::string& item : list.Items()) folders += "\r\n" + VisibleText(item);
        answer = form_.MsgBox("Are you sure you want to delete these folders?\r\n\r\n" + folders,
                              MessageButtons::YesNo) == MessageAnswer::Yes;
    });
    return answer;
}

void DelFolders::DeleteFoldersFiles(const ListView& list) {
    // A run that would start inside another (a tick while this run's shell window is
    // up) is dropped.
    if (running_) return;
    ScopedFlag guard(running_);
    ErrorTrap trap(form_.Services().dialogs, "DelFolders.DeleteFoldersFiles");
    const int checkLine = trap.Reserve(), contentLine = trap.Reserve(), contentLog = trap.Reserve(),
              failureLog = trap.Reserve(), recycleLine = trap.Reserve(), folderLog = trap.Reserve(),
              summaryLog = trap.Reserve();

    // The entries are copied: a handler that runs while the shell works may change the list.
    const std::vector<std::string> items = list.Items();
    EventPump& pump = form_.Services().pump;
    const auto letWindowAnswer = [&pump] { pump.DoEvents(); };
    // A history file that cannot be written is reported once a run, not once a line.
    bool historyReported = false;
    const auto write = [&](int line, const std::function<void()>& append) {
        if (historyReported) {
            try {
                append();
            } catch (const std::exception&) {
                // already reported in this run
            }
            return;
        }
        historyReported = !trap.At(line, append);
    };
    const auto log = [&](int line, const char* message, const std::string& path) {
        write(line, [&] { form_.History().AppendLine(message, path); });
    };
    std::uint64_t filesDeleted = 0, bytesDeleted = 0, filesFailed = 0, foldersRecycled = 0;
    for (std::string text : items) {
        // The window answers between folders and while a folder's files go.
        letWindowAnswer();
        const std::string trimmed(TrimBlanks(text));
        if (!trimmed.empty() && trimmed.back() == '\\')
            text = trimmed.substr(0, trimmed.size() - 1);
        // The folder as the check judges it ("C:\s\TB " is "C:\s\TB") is the folder that
        // is cleared and named in the history.
        if (IsFullyQualified(text)) text = CanonicalFolderPath(text);

        bool allowed = false;
        trap.At(checkLine, [&] { allowed = CanDelete(text); });
        if (!allowed) continue;

        DeletedFiles deleted;
        trap.At(contentLine, [&] {
            deleted = form_.Services().fileSystem.DeleteFilesIn(text, letWindowAnswer);
        });
        filesDeleted += deleted.count;
        bytesDeleted += deleted.bytes;
        filesFailed += deleted.failures.size();
        log(contentLog, "Deleted content of folder ", text);
        // What could not be deleted is said, file by file: no failure passes for success.
        for (const FileFailure& failure : deleted.failures)
            log(failureLog, "Could not delete file ", failure.path + " (" + failure.reason + ")");
        if (!form_.Option1.Value()) continue;

        // A folder holding a protected folder keeps its place: only its own files went.
        bool holdsProtected = true;
        std::optional<std::string> link;
        Recycled recycled = Recycled::NothingThere;
        trap.At(recycleLine, [&] {
            holdsProtected = ContainsProtectedFolder(text);
            // Should the shell delete rather than recycle, it could follow a link inside and
            // delete what lies beyond it: such a folder stays where it is.
            if (!holdsProtected) link = FindFolderLink(text);
            if (!holdsProtected && !link) recycled = SendToRecycleBin(text);
        });
        if (holdsProtected) continue;
        if (link) {
            log(folderLog, "Could not send folder to the Recycle Bin ",
                text + " (it holds a link: " + *link + ")");
            continue;
        }
        if (recycled == Recycled::NoRecycleBin) {
            log(folderLog, "Could not send folder to the Recycle Bin ",
                text + " (no Recycle Bin can be reached there)");
            continue;
        }
        if (recycled == Recycled::Stayed) {
            log(folderLog, "Could not send folder to the Recycle Bin ",
                text + " (the Recycle Bin did not take it)");
            continue;
        }
        if (recycled == Recycled::Gone) ++foldersRecycled;
        log(folderLog, "Deleted folder ", text);
    }
    if (!items.empty())
        write(summaryLog, [&] {
            form_.History().AppendMessage(
                RunSummary(filesDeleted, bytesDeleted, filesFailed, foldersRecycled));
        });
}

DelFolders::Recycled DelFolders::SendToRecycleBin(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    FileSystem& fs = form_.Services().fileSystem;
    if (!fs.Attributes(path)) return Recycled::NothingThere;
    // Without a Recycle Bin the shell would delete for good: the folder stays instead.
    if (!form_.Services().shell.HasRecycleBin(path)) return Recycled::NoRecycleBin;
    // Gone only when the shell says it went and the folder is no longer there.
    const bool done = form_.Services().shell.SendToRecycleBin(path);
    return done && !fs.Attributes(path) ? Recycled::Gone : Recycled::Stayed;
}

void DelFolders::PushButton3_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton3_Click");
    if (form_.ListView1.Count() == 0 || running_) return;
    bool allowed = false;
    trap.Line([&] { allowed = AllowDeleteFolders(form_.ListView1); });
    if (allowed) trap.Line([&] { DeleteFoldersFiles(form_.ListView1); });
}

void DelFolders::Option1_Click() {
    form_.Settings().Save(keys::kOption1, BooleanText(form_.Option1.Value()));
    form_.Settings().Save(keys::kOption2, BooleanText(form_.Option2.Value()));
}

void DelFolders::Option2_Click() {
    Option1_Click();
}

void DelFolders::Check1_Click() {
    form_.Settings().Save(keys::kCheck1, CheckStateText(form_.Check1.Checked()));
}

void DelFolders::PushButton6_Click() {
    ErrorTrap trap(form_.Services().dialogs, "Form1.PushButton6_Click");
    trap.Line([&] {
        form_.MsgBox(
            "This feature will ask you if you are sure you want to delete before deleting "
            "folders.\r\n\r\nYou can leave this option checked when you first test the software "
            "and as you become more comfortable with this software you can uncheck.");
    });
}

}  // namespace ondrevan
