// Links to files, and a folder a link takes the place of while it is cleared: made from the
// Linux side by links-check.sh, inside the prefix's own C: drive and pointing only into it.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "RealSystem.h"
#include "app/Form1.h"
#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

using testing::kSettingsKey;
using testing::RealSystem;

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetSetting(const wchar_t* name, const std::wstring& value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Hands the run the real folder, and once some of its files are gone lets links-check.sh
// put a link in the folder's place: it waits for the script to say the swap is done, as
// long as a busy machine may take, and says whether it came.
class SwapMidway : public Win32FileSystem {
  public:
    explicit SwapMidway(std::string signals) : signals_(std::move(signals)) {}
    FolderOpening OpenFolderToClear(const std::string& path) override {
        FolderOpening opening = Win32FileSystem::OpenFolderToClear(path);
        if (opening.folder)
            opening.folder = std::make_unique<Swapping>(std::move(opening.folder), *this);
        return opening;
    }
    bool swapped = false;  // the swap was done while the run waited for it

  private:
    struct Swapping : OpenedFolder {
        Swapping(std::unique_ptr<OpenedFolder> real, SwapMidway& owner)
            : real(std::move(real)), owner(owner) {}
        FileRemoval RemoveFileInside(const std::string& name, std::uint32_t attributes) override {
            if (++deleted == 50) {
                const std::string& signals = owner.signals_;
                ::CloseHandle(::CreateFileW(Widen(signals + "\\go").c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_NEW, 0, nullptr));
                const ULONGLONG until = ::GetTickCount64() + 300'000;
                while (!Exists(signals + "\\done") && ::GetTickCount64() < until) ::Sleep(50);
                owner.swapped = Exists(signals + "\\done");
            }
            return real->RemoveFileInside(name, attributes);
        }
        FileRemoval CheckInPlace(const std::string& name) override {
            return real->CheckInPlace(name);
        }
        bool StillInPlace() override { return real->StillInPlace(); }
        std::unique_ptr<OpenedFolder> real;
        SwapMidway& owner;
        int deleted = 0;
    };
    std::string signals_;
};

struct RealFileLinks : testing::WithLinks {
    std::string History(Form1& form) {
        std::ifstream in(form.HistoryFilePath().c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(RealFileLinks, ALinkToAFileIsNeverDeletedNorRecycledThrough) {
    const struct {
        const char* tree;
        bool folderMode, recycleFiles;
        const char* notDone;  // how a link that stays is said
        const char* closing;
    } cases[] = {
        {"FileLinksContents", false, false, "Could not delete file  ",
         "Run finished: 2 files deleted (10 bytes), 4 files could not be deleted"},
        {"FileLinksFolder", true, false, "Could not delete file  ",
         "Run finished: 2 files deleted (10 bytes), 4 files could not be deleted"},
        {"FileLinksRecycle", false, true, "Could not send file to the Recycle Bin  ",
         "2 files sent to the Recycle Bin, 5 files could not be sent to the Recycle Bin"},
    };
    for (const auto& c : cases) {
        const bool folderMode = c.folderMode;
        const std::string tree = root + "\\" + c.tree;
        SetSetting(L"RecycleFiles", c.recycleFiles ? L"On" : L"Off");
        SetSetting(L"KeepPatterns", L"*.keep");
        SetSetting(L"ProtectedFolders", Widen(tree + "\\Guarded"));
        Form1 form(sys.services());
        form.Form_Load();
        ::DeleteFileW(Widen(form.HistoryFilePath()).c_str());
        form.Option1.SetValue(folderMode);
        form.Option2.SetValue(!folderMode);
        form.ListView1.AddRange({tree + "\\List", tree + "\\Other"});
        // With the Recycle Bin, a file held open without delete sharing too: the shell would
        // stop the run with a question about it.
        UniqueFile held;
        if (c.recycleFiles)
            held = UniqueFile(::CreateFileW(Widen(tree + "\\List\\held.txt").c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
        form.PushButton3.Click.Raise();
        if (c.recycleFiles) {
            EXPECT_NE(History(form).find("Could not send file to the Recycle Bin  " + tree +
                                         "\\List\\held.txt (in use)"),
                      std::string::npos);
        }

        SCOPED_TRACE(tree);
        const std::string windowsTarget = std::string("C:\\windows\\ondrevan-") + c.tree + ".txt";
        for (const std::string& target :
             {windowsTarget, tree + "\\Guarded\\guarded.txt", tree + "\\List\\important.keep"})
            EXPECT_TRUE(Exists(target)) << target << " was deleted or recycled through a link";
        EXPECT_FALSE(Exists(tree + "\\List\\plain.txt"));
        EXPECT_FALSE(Exists(tree + "\\Other\\other.txt")) << "its own folder's run takes it";
        const std::string history = History(form);
        for (const char* link : {"a.txt", "b.txt", "c.txt", "k.txt"})
            EXPECT_NE(history.find(c.notDone + tree + "\\List\\" + link + " (a link)"),
                      std::string::npos)
                << link << " in\n"
                << history;
        // Each link is counted as a file that stayed, never as what it leads to.
        EXPECT_NE(history.find(c.closing), std::string::npos) << history;
    }
}

TEST_F(RealFileLinks, AFolderSwappedForALinkWhileItIsClearedLeavesWhereTheLinkLeads) {
    const std::string swap = root + "\\Swap";
    SwapMidway fileSystem(swap);
    Services services = sys.services();
    Services swapping{
        services.settings, fileSystem,         services.shell,        services.dialogs,
        services.clock,    services.pump,      services.locale,       services.environment,
        services.ansi,     services.clipboard, services.keyboardHook, services.notifyIcon,
        services.registry, services.runLock};
    Form1 form(swapping);
    form.Form_Load();
    ::DeleteFileW(Widen(form.HistoryFilePath()).c_str());
    form.Option2.SetValue(true);
    form.ListView1.Add(swap + "\\List");
    form.PushButton3.Click.Raise();

    ASSERT_TRUE(fileSystem.swapped) << "links-check.sh did not swap the folder in time";
    int left = 0;
    for (int i = 1; i <= 200; ++i)
        left += Exists(swap + "\\Elsewhere\\f" + std::to_string(i) + ".txt");
    EXPECT_EQ(left, 200) << "files deleted in the folder the link leads to";
    const std::string history = History(form);
    EXPECT_NE(history.find("Stopped clearing folder  " + swap +
                           "\\List (the folder changed during the run"),
              std::string::npos)
        << history;
}

}  // namespace
}  // namespace ondrevan::win
