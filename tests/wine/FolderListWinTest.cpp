// The folder list against the real file system, registry and window, with the dialogs
// answered by the scripted double.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "RealSystem.h"
#include "app/Form1.h"
#include "app/win/MainWindow_win.h"
#include "folders/FolderList.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

using testing::RealSystem;
using testing::RemoveTree;

constexpr const wchar_t* kSettingsKey =
    L"Software\\VB and VBA Program Settings\\Quillmere\\Ondrevan";
const std::string kTree = "C:\\ondrevan-walk";

void MakeFolder(const std::string& path, DWORD attributes = 0) {
    ASSERT_TRUE(::CreateDirectoryW(Widen(path).c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS)
        << path;
    if (attributes) ::SetFileAttributesW(Widen(path).c_str(), attributes);
}

struct RealFolderList : ::testing::Test {
    RealSystem sys;
    std::unique_ptr<Form1> form;
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        RemoveTree(kTree);
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
    void TearDown() override {
        RemoveTree(kTree);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }
};

TEST_F(RealFolderList, WalksARealTreeSkippingHiddenSystemFoldersBreadthFirst) {
    MakeFolder(kTree);
    MakeFolder(kTree + "\\A");
    MakeFolder(kTree + "\\A\\Deep");
    MakeFolder(kTree + "\\B");
    MakeFolder(kTree + "\\Hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFolder(kTree + "\\Hidden\\Inside");
    // Hidden alone is entered. (Wine keeps only the hidden and system bits on folders, so
    // hidden + system + read-only is left to the native tests.)
    MakeFolder(kTree + "\\OnlyHidden");
    MakeFolder(kTree + "\\OnlyHidden\\Inside");
    ::SetFileAttributesW(Widen(kTree + "\\OnlyHidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::CloseHandle(::CreateFileW(Widen(kTree + "\\A\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    MakeFolder(kTree + "\\\xE6\x97\xA5\xE6\x9C\xAC");  // a name no Western code page can write

    sys.dialogs.browseAnswers.push_back(kTree);
    form->PushButton10.Click.Raise();
    std::vector<std::string> entries = form->ListView1.Items();
    auto has = [&](const std::string& path) {
        return std::find(entries.begin(), entries.end(), path) != entries.end();
    };
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), kTree + "\\");
    EXPECT_TRUE(has(kTree + "\\A\\"));
    EXPECT_TRUE(has(kTree + "\\B\\"));
    EXPECT_TRUE(has(kTree + "\\A\\Deep\\"));
    EXPECT_TRUE(has(kTree + "\\OnlyHidden\\"));
    EXPECT_TRUE(has(kTree + "\\OnlyHidden\\Inside\\"));
    EXPECT_FALSE(has(kTree + "\\Hidden\\"));
    EXPECT_FALSE(has(kTree + "\\Hidden\\Inside\\"));
    EXPECT_FALSE(has(kTree + "\\A\\file.txt\\"));
    EXPECT_EQ(entries.size(), 6u);
    auto at = [&](const std::string& path) {
        return std::find(entries.begin(), entries.end(), path);
    };
    EXPECT_LT(at(kTree + "\\B\\"), at(kTree + "\\A\\Deep\\")) << "level by level";
    EXPECT_EQ(
        SplitFolderList(GetSetting(sys.real.settings, "Quillmere", "Ondrevan", "Folders", "")),
        entries);
}

TEST_F(RealFolderList, LongListsSurviveTheRealRegistry) {
    for (std::size_t count : {std::size_t{32766}, std::size_t{100000}}) {
        std::vector<std::string> entries;
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back("C:\\Data\\Folder " + std::to_string(i) + "\\");
        form->ListView1.Clear();
        form->ListView1.AddRange(entries);
        form->Folders().SaveFolderList();
        Form1 restarted(sys.services());
        restarted.Form_Load();
        EXPECT_EQ(restarted.ListView1.Items(), entries) << count;
    }
}

TEST_F(RealFolderList, TheButtonsWorkThroughTheRealWindow) {
    MakeFolder(kTree);
    MakeFolder(kTree + "\\One");
    const std::string listFile = kTree + "\\list.txt";
    HANDLE file = ::CreateFileW(Widen(listFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr);
    const char lines[] =
        "\xEF\xBB\xBF"
        "C:\\Caf\xC3\xA9\r\nD:\\X\r\n";
    DWORD written = 0;
    ::WriteFile(file, lines, sizeof lines - 1, &written, nullptr);
    ::CloseHandle(file);

    MainWindow window(::GetModuleHandleW(nullptr), *form, sys.dialogs);
    ASSERT_TRUE(window.Create());
    auto button = [&](int index) { return ::GetDlgItem(window.Handle(), 1000 + index); };
    HWND list = ::GetDlgItem(window.Handle(), 1006);

    sys.dialogs.browseAnswers.push_back(kTree);
    ::SendMessageW(button(7), BM_CLICK, 0, 0);  // "Add Folders/Subfolders To List"
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);

    sys.dialogs.openAnswers.push_back(listFile);
    ::SendMessageW(button(8), BM_CLICK, 0, 0);  // "Load Folder List From Text File"
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(form->ListView1.Item(2), "C:\\Caf\xC3\xA9");

    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 64;
    ::SendMessageW(list, LVM_GETITEMTEXTW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, L"C:\\Caf\u00e9") << "shown as it is, not as question marks";

    ::SendMessageW(button(9), BM_CLICK, 0, 0);  // "Clear List"
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(sys.dialogs.shown.empty());
    ::DestroyWindow(window.Handle());
}

// Set up by links-check.sh: a tree holding a Linux symbolic link to the prefix's Windows
// folder, and links to folders that stand in for the protected ones.
struct RealLinks : testing::WithLinks {
    std::unique_ptr<Form1> form;
    void SetUp() override {
        WithLinks::SetUp();
        if (IsSkipped()) return;
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
    }
};

TEST_F(RealLinks, TheWalkNeverGoesThroughALink) {
    const DWORD link = ::GetFileAttributesW(Widen(root + "\\Walk\\ToWindows").c_str());
    ASSERT_NE(link, INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(link & FILE_ATTRIBUTE_REPARSE_POINT) << "Wine shows the link as a reparse point";
    sys.dialogs.browseAnswers.push_back(root + "\\Walk");
    form->PushButton10.Click.Raise();
    EXPECT_EQ(form->ListView1.Items(),
              (std::vector<std::string>{root + "\\Walk\\", root + "\\Walk\\Real\\"}));
}

TEST_F(RealLinks, AFolderHoldingALinkIsNeverHandedToTheShell) {
    const std::string holder = root + "\\Holder";
    form->ListView1.Add(holder);  // folder mode, the designed one
    form->PushButton3.Click.Raise();
    EXPECT_NE(::GetFileAttributesW(Widen(root + "\\Outside\\canary.txt").c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "deleted through the link";
    EXPECT_NE(::GetFileAttributesW(Widen(holder + "\\Inner").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the folder stays where it is";
}

TEST_F(RealLinks, WithoutARecycleBinAListedFolderStays) {
    const std::string plain = root + "\\Plain";
    ::CreateDirectoryW(Widen(plain).c_str(), nullptr);
    ::CreateDirectoryW(Widen(plain + "\\Kept").c_str(), nullptr);
    form->ListView1.Add(plain);  // folder mode, and the Recycle Bin is a plain file here
    form->PushButton3.Click.Raise();
    EXPECT_NE(::GetFileAttributesW(Widen(plain + "\\Kept").c_str()), INVALID_FILE_ATTRIBUTES)
        << "deleted for good";
}

TEST_F(RealLinks, AListedLinkToAProtectedFolderIsRefused) {
    // The protected folders that come from the environment are made to be the test's own,
    // so that a fault deletes nothing but a canary.
    const std::pair<const wchar_t*, const char*> protectedFolders[] = {
        {L"WINDIR", "Windows"},
        {L"SystemRoot", "SystemRoot"},
        {L"ProgramFiles", "ProgramFiles"},
        {L"USERPROFILE", "Profile"},
        {L"CommonProgramFiles", "CommonFiles"},
        {L"ALLUSERSPROFILE", "AllUsers"},
        {L"APPDATA", "AppData"}};
    std::vector<std::pair<std::wstring, std::wstring>> saved;
    std::vector<std::string> links;
    for (auto [variable, name] : protectedFolders) {
        wchar_t old[MAX_PATH] = {};
        ::GetEnvironmentVariableW(variable, old, MAX_PATH);
        saved.emplace_back(variable, old);
        ::SetEnvironmentVariableW(variable, Widen(root + "\\Protected\\" + name).c_str());
        links.push_back(root + "\\Links\\" + name);
    }
    form->Option2.SetValue(true);  // contents mode: the files directly in each folder
    form->ListView1.AddRange(links);
    form->PushButton3.Click.Raise();
    for (auto& [variable, value] : saved)
        ::SetEnvironmentVariableW(variable.c_str(), value.c_str());

    for (auto [variable, name] : protectedFolders)
        EXPECT_NE(
            ::GetFileAttributesW(Widen(root + "\\Protected\\" + name + "\\canary.txt").c_str()),
            INVALID_FILE_ATTRIBUTES)
            << name << ": emptied through a link";
    EXPECT_TRUE(sys.dialogs.shown.empty());
}

// The "Folders" value as an administrator writes it with "reg add" or Group Policy
// Preferences: one path, or paths without the final separator. Every path written is listed.
TEST(FolderListWrittenByHand, ListsTheLastPathWithoutTheFinalSeparator) {
    const std::wstring sep = L"|234SSDEPERATATORZZ|";
    const std::vector<std::pair<std::wstring, std::vector<std::string>>> cases = {
        {L"C:\\Data\\Logs", {"C:\\Data\\Logs"}},
        {L"C:\\A" + sep + L"D:\\B", {"C:\\A", "D:\\B"}},
        {L"C:\\A" + sep + L"D:\\B" + sep, {"C:\\A", "D:\\B"}},
    };
    for (const auto& [value, entries] : cases) {
        RealSystem sys;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, L"Folders", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
        Form1 form(sys.services());
        form.Form_Load();
        EXPECT_EQ(form.ListView1.Items(), entries) << Narrow(value);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }
}

}  // namespace
}  // namespace ondrevan::win
