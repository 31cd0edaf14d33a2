// Real deletions inside the private prefix's C: drive (which has no Z: drive to reach).
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "RealSystem.h"
#include "app/Form1.h"
#include "delete/DeleteFiles.h"
#include "history/History.h"
#include "platform/win/Text_win.h"
#include "platform/win/UniqueHandle.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

using testing::RealSystem;
using testing::RemoveTree;

const std::string kRoot = "C:\\ondrevan-delete";

void MakeFolder(const std::string& path) {
    ::CreateDirectoryW(Widen(path).c_str(), nullptr);
}
void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                attributes, nullptr);
    DWORD written = 0;
    ::WriteFile(file, "x", 1, &written, nullptr);
    ::CloseHandle(file);
}
bool Exists(const std::string& path) {
    return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct RealDeletion : ::testing::Test {
    RealSystem sys;
    std::unique_ptr<Form1> form;
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, testing::kSettingsKey);
        RemoveTree(kRoot);
        MakeFolder(kRoot);
        form = std::make_unique<Form1>(sys.services());
        form->Form_Load();
        ::DeleteFileW(Widen(form->HistoryFilePath()).c_str());
    }
    void TearDown() override { RemoveTree(kRoot); }
    std::string MakeTree(const std::string& name) {
        const std::string folder = kRoot + "\\" + name;
        MakeFolder(folder);
        MakeFile(folder + "\\a.txt");
        MakeFile(folder + "\\read-only.txt", FILE_ATTRIBUTE_READONLY);
        MakeFolder(folder + "\\Sub");
        MakeFile(folder + "\\Sub\\kept.txt");
        return folder;
    }
    std::string History() {
        std::ifstream in(form->HistoryFilePath().c_str(),
                         std::ios::binary);  // ASCII path under Wine
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Run(const std::string& folder) {
        form->ListView1.Clear();
        form->ListView1.Add(folder);
        form->PushButton3.Click.Raise();
    }
};

TEST_F(RealDeletion, ContentsModeRemovesTheFilesInTheFolderAndKeepsItsSubFolders) {
    const std::string folder = MakeTree("Contents");
    // A file held open without delete sharing stays, and the run goes on.
    HANDLE held = ::CreateFileW(Widen(folder + "\\held.txt").c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    form->Option2.SetValue(true);
    Run(folder + "\\");
    ::CloseHandle(held);
    EXPECT_TRUE(Exists(folder));
    EXPECT_FALSE(Exists(folder + "\\a.txt"));
    EXPECT_FALSE(Exists(folder + "\\read-only.txt"));
    EXPECT_TRUE(Exists(folder + "\\held.txt"));
    EXPECT_TRUE(Exists(folder + "\\Sub\\kept.txt"));
    const std::string history = History();
    EXPECT_NE(history.find(" Deleted content of folder  " + folder + "\r\n"), std::string::npos)
        << history;
    EXPECT_EQ(history.find("Deleted folder "), std::string::npos);
    EXPECT_TRUE(sys.dialogs.shown.empty());
}

// Many files of one folder go two at a time, each through the folder held open and checked
// on its own: what each became is said once, in the plan's order, and what the listing said
// of a file decides how its removal is tried.
TEST_F(RealDeletion, ManyFilesGoTwoAtATimeAndEachIsSaidOnceInThePlansOrder) {
    const std::string folder = kRoot + "\\Many";
    MakeFolder(folder);
    const struct {
        int index;
        DWORD made;          // its attributes when listed
        DWORD afterwards;    // set after the listing, 0 for none
        bool held;           // held open without delete sharing
        const char* reason;  // why it stays, or nullptr when it goes
    } special[] = {
        {3, FILE_ATTRIBUTE_READONLY, 0, false, nullptr},
        {40, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, 0, false, nullptr},
        {41, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM, 0, false, nullptr},
        {75, FILE_ATTRIBUTE_NORMAL, 0, true, "in use"},
        // Made read-only after the listing said otherwise: left, and said so.
        {120, FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY, false, "access denied"},
        {149, FILE_ATTRIBUTE_HIDDEN, 0, false, nullptr},
    };
    constexpr int kFiles = 150;
    const auto name = [&](int i) { return folder + "\\f" + std::to_string(i) + ".txt"; };
    for (int i = 0; i < kFiles; ++i) {
        DWORD made = FILE_ATTRIBUTE_NORMAL;
        for (const auto& s : special)
            if (s.index == i) made = s.made;
        MakeFile(name(i), made);
    }
    Win32FileSystem fileSystem;
    const std::vector<FileEntry> files = fileSystem.ListFiles(folder);
    ASSERT_EQ(files.size(), static_cast<std::size_t>(kFiles));
    std::vector<UniqueFile> held;
    for (const auto& s : special) {
        if (s.afterwards) ::SetFileAttributesW(Widen(name(s.index)).c_str(), s.afterwards);
        if (s.held)
            held.emplace_back(::CreateFileW(Widen(name(s.index)).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    const FolderOpening opening = fileSystem.OpenFolderToClear(folder);
    ASSERT_TRUE(opening.folder) << opening.fault;
    int answered = 0;
    const DeletedFiles deleted =
        DeletePlannedFiles(*opening.folder, folder, files, [&] { ++answered; });
    held.clear();

    std::vector<std::string> expected, failures;
    for (const FileEntry& file : files)
        for (const auto& s : special)
            if (s.reason && folder + "\\" + file.name == name(s.index))
                expected.push_back(name(s.index) + " (" + s.reason + ")");
    for (const FileFailure& failure : deleted.failures)
        failures.push_back(failure.path + " (" + failure.reason + ")");
    EXPECT_EQ(failures, expected);
    EXPECT_EQ(deleted.count, static_cast<std::uint64_t>(kFiles) - expected.size());
    EXPECT_EQ(deleted.bytes, deleted.count);
    EXPECT_FALSE(deleted.folderChanged);
    EXPECT_GT(answered, 1) << "the window answers while the files go";
    for (int i = 0; i < kFiles; ++i) {
        bool stays = false;
        for (const auto& s : special) stays = stays || (s.index == i && s.reason);
        EXPECT_EQ(Exists(name(i)), stays) << name(i);
    }
    ::SetFileAttributesW(Widen(name(120)).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The first read of a folder goes on beside the window's answers: the listing is the same
// as one made without them, and what they throw comes out once the read is done.
TEST_F(RealDeletion, AListingThatLetsTheWindowAnswerListsWhatAPlainOneDoes) {
    const struct {
        const char* folder;
        int files;
        int folders;
    } rows[] = {{"many", 3000, 2}, {"one", 1, 0}, {"only folders", 0, 3}, {"empty", 0, 0}};
    Win32FileSystem fileSystem;
    const auto names = [](const std::vector<FileEntry>& files) {
        std::vector<std::string> listed;
        for (const FileEntry& file : files)
            listed.push_back(file.name + "|" + std::to_string(file.size) + "|" +
                             std::to_string(file.attributes) + "|" + std::to_string(file.modified));
        std::sort(listed.begin(), listed.end());
        return listed;
    };
    for (const auto& row : rows) {
        const std::string folder = kRoot + "\\" + row.folder;
        MakeFolder(folder);
        for (int i = 0; i < row.files; ++i) MakeFile(folder + "\\f" + std::to_string(i));
        for (int i = 0; i < row.folders; ++i) MakeFolder(folder + "\\d" + std::to_string(i));
        int answered = 0;
        const std::vector<FileEntry> answering = fileSystem.ListFiles(folder, [&] { ++answered; });
        const std::vector<FileEntry> plain = fileSystem.ListFiles(folder);
        EXPECT_EQ(answering.size(), static_cast<std::size_t>(row.files)) << row.folder;
        EXPECT_EQ(names(answering), names(plain)) << row.folder;
    }
    EXPECT_TRUE(fileSystem.ListFiles(kRoot + "\\not there", [] {}).empty());

    // A window closed meanwhile: its throw comes out, and the folder is left free to go.
    const std::string many = kRoot + "\\many";
    EXPECT_THROW(fileSystem.ListFiles(many, [] { throw std::runtime_error("closed"); }),
                 std::runtime_error);
    // The thread that read it reads it whole again, not what the cut read left behind.
    EXPECT_EQ(names(fileSystem.ListFiles(many, [] {})), names(fileSystem.ListFiles(many)));
    RemoveTree(many);
    EXPECT_FALSE(Exists(many));
}

TEST_F(RealDeletion, ANulInAnEntryNeverSmugglesASecondPathToTheShell) {
    const std::string junk = MakeTree("junk"), precious = MakeTree("precious");
    Run(junk + std::string(1, '\0') + precious);  // folder mode
    EXPECT_TRUE(Exists(precious + "\\a.txt")) << "an unlisted folder was touched";
    EXPECT_TRUE(Exists(junk + "\\a.txt"));
    EXPECT_EQ(History().find("Deleted "), std::string::npos);
}

TEST_F(RealDeletion, AFileHeldOpenIsNamedWithItsReasonAndTheRunIsSummedUp) {
    const std::string folder = MakeTree("Held");
    HANDLE held = ::CreateFileW(Widen(folder + "\\held.txt").c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    form->Option2.SetValue(true);
    Run(folder);
    ::CloseHandle(held);
    const std::string history = History();
    EXPECT_NE(history.find(" Could not delete file  " + folder + "\\held.txt (in use)\r\n"),
              std::string::npos)
        << history;
    EXPECT_NE(history.find(" Run finished: 2 files deleted (2 bytes), 1 file could not be "
                           "deleted, 0 folders sent to the Recycle Bin\r\n"),
              std::string::npos)
        << history;
}

TEST_F(RealDeletion, FolderModeDeletesTheFilesOutrightAndRecyclesTheFolder) {
    const std::string folder = MakeTree("FolderMode");
    Run(folder);
    EXPECT_FALSE(Exists(folder));
    const std::string history = History();
    const std::size_t content = history.find(" Deleted content of folder  " + folder + "\r\n");
    const std::size_t recycled = history.find(" Deleted folder  " + folder + "\r\n");
    ASSERT_NE(content, std::string::npos) << history;
    ASSERT_NE(recycled, std::string::npos) << history;
    EXPECT_LT(content, recycled);
}

TEST_F(RealDeletion, ProtectedFoldersAreNeverTouched) {
    const std::string windows = sys.real.environment.Variable("WINDIR");
    const std::size_t before = [&] {
        std::size_t count = 0;
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW(Widen(windows + "\\*").c_str(), &data);
        while (find != INVALID_HANDLE_VALUE && ::FindNextFileW(find, &data)) ++count;
        ::FindClose(find);
        return count;
    }();
    form->Option2.SetValue(true);
    for (const std::string& written :
         {windows, windows + "\\\\", windows + ".", std::string("C:\\"),
          sys.real.environment.SystemDirectory() + "\\..\\system32"})
        Run(written);
    std::size_t after = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(Widen(windows + "\\*").c_str(), &data);
    while (find != INVALID_HANDLE_VALUE && ::FindNextFileW(find, &data)) ++after;
    ::FindClose(find);
    EXPECT_EQ(after, before);
    EXPECT_EQ(History().find("Deleted "), std::string::npos) << "no step, only the runs' ends";
}

// A listed folder whose path is past MAX_PATH: the preview and the run agree, and the run
// clears it as it clears any other.
TEST_F(RealDeletion, AFolderPastMaxPathIsClearedAsThePreviewSays) {
    std::string folder = kRoot;
    // Taken down by hand, deepest first, whatever the test finds: the shell's delete cannot
    // walk such a tree under Wine.
    struct TakeDown {
        const std::string& folder;
        ~TakeDown() {
            std::string at = folder;
            for (const char* name : {"\\one.txt", "\\two.txt"})
                ::DeleteFileW(WidePath(at + name).c_str());
            for (; at.size() > kRoot.size(); at.erase(at.rfind('\\')))
                ::RemoveDirectoryW(WidePath(at).c_str());
        }
    } takeDown{folder};
    while (folder.size() <= 300) {
        folder += "\\" + std::string(40, 'd');
        ASSERT_TRUE(::CreateDirectoryW(WidePath(folder).c_str(), nullptr)) << folder.size();
    }
    for (const char* name : {"\\one.txt", "\\two.txt"})
        ::CloseHandle(::CreateFileW(WidePath(folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    form->Option2.SetValue(true);
    const FolderPlan plan =
        form->Deleter().PlanFolder(folder, form->DeleteControls().CurrentChoices());
    EXPECT_EQ(plan.files.size(), 2u) << "the preview's plan";
    Run(folder);
    for (const char* name : {"\\one.txt", "\\two.txt"})
        EXPECT_EQ(::GetFileAttributesW(WidePath(folder + name).c_str()), INVALID_FILE_ATTRIBUTES)
            << name;
    const std::string history = History();
    EXPECT_NE(history.find("Deleted content of folder  " + folder + "\r\n"), std::string::npos)
        << history;
    EXPECT_EQ(history.find("Could not"), std::string::npos) << history;
    EXPECT_NE(history.find("Run finished: 2 files deleted"), std::string::npos) << history;
    EXPECT_TRUE(sys.dialogs.shown.empty());
}

// Two folders whose names the ANSI code page cannot write: the history tells them apart.
TEST_F(RealDeletion, TwoNamesTheCodePageCannotWriteReadApartInTheHistory) {
    const std::string japan = kRoot + "\\\xE6\x97\xA5\xE6\x9C\xAC";
    const std::string china = kRoot + "\\\xE4\xB8\xAD\xE5\x9B\xBD";
    for (const std::string& folder : {japan, china}) {
        MakeFolder(folder);
        MakeFile(folder + "\\a.txt");
    }
    form->Option2.SetValue(true);
    form->ListView1.Clear();
    form->ListView1.AddRange({japan, china});
    form->PushButton3.Click.Raise();
    const std::string history = History();
    Win32AnsiCodePage ansi;
    for (const std::string& folder : {japan, china})
        EXPECT_NE(history.find("Deleted content of folder  " + HistoryBytes(ansi, folder) + "\r\n"),
                  std::string::npos)
            << history;
    EXPECT_NE(HistoryBytes(ansi, japan), HistoryBytes(ansi, china));
    EXPECT_EQ(history.find('?'), std::string::npos) << history;
    EXPECT_EQ(ansi.ToUtf8(ansi.FromUtf8("\xE6\x97\xA5")) == "\xE6\x97\xA5" ||
                  history.find("<U+65E5><U+672C>") != std::string::npos,
              true)
        << "written as the code page has it, or as its code";
}

// Hands the run the real folder, and once `after` of its files are gone puts another real
// folder in its place by renaming the two: no link, only a folder with another file index.
class SwapForAnotherFolder : public Win32FileSystem {
  public:
    SwapForAnotherFolder(std::string folder, std::string other, int after)
        : folder_(std::move(folder)), other_(std::move(other)), after_(after) {}
    FolderOpening OpenFolderToClear(const std::string& path) override {
        FolderOpening opening = Win32FileSystem::OpenFolderToClear(path);
        if (opening.folder)
            opening.folder = std::make_unique<Swapping>(std::move(opening.folder), *this);
        return opening;
    }
    bool swapped = false;

  private:
    struct Swapping : OpenedFolder {
        Swapping(std::unique_ptr<OpenedFolder> real, SwapForAnotherFolder& owner)
            : real(std::move(real)), owner(owner) {}
        FileRemoval RemoveFileInside(const std::string& name, std::uint32_t attributes) override {
            FileRemoval removal = real->RemoveFileInside(name, attributes);
            if (++deleted == owner.after_) owner.Swap();
            return removal;
        }
        FileRemoval CheckInPlace(const std::string& name) override {
            return real->CheckInPlace(name);
        }
        bool StillInPlace() override { return real->StillInPlace(); }
        std::unique_ptr<OpenedFolder> real;
        SwapForAnotherFolder& owner;
        int deleted = 0;
    };
    void Swap() {
        swapped = ::MoveFileW(Widen(folder_).c_str(), Widen(folder_ + "-moved").c_str()) &&
                  ::MoveFileW(Widen(other_).c_str(), Widen(folder_).c_str());
    }
    std::string folder_, other_;
    int after_;
};

TEST_F(RealDeletion, AFolderSwappedForAnotherRealFolderIsNeverClearedNorRecycledInItsPlace) {
    constexpr int kFiles = 20;
    // Every file gone, the folder's path is checked again before anything goes by it: the
    // empty sub-folders, the folder itself to the Recycle Bin. (Midway, each file's own
    // final path tells on Windows; Wine gives the path the folder was opened by.)
    const struct {
        const char* name;
        bool folderMode, emptySubfolders;
        int swapAfter;  // files deleted before the swap
        bool stopped;   // the run says it stopped
    } cases[] = {
        {"Midway", false, false, 5, false},
        {"BeforeTheEmptyFolders", false, true, kFiles, true},
        {"BeforeTheBin", true, false, kFiles, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = kRoot + "\\" + c.name;
        const std::string folder = base + "\\List", other = base + "\\Other";
        MakeFolder(base);
        MakeFolder(folder);
        MakeFolder(other);
        MakeFolder(other + "\\Empty");
        for (int i = 0; i < kFiles; ++i) {
            MakeFile(folder + "\\f" + std::to_string(i) + ".txt");
            MakeFile(other + "\\f" + std::to_string(i) + ".txt");
        }
        const std::wstring empty = c.emptySubfolders ? L"On" : L"Off";
        ::RegSetKeyValueW(HKEY_CURRENT_USER, testing::kSettingsKey, L"RemoveEmptySubfolders",
                          REG_SZ, empty.c_str(),
                          static_cast<DWORD>((empty.size() + 1) * sizeof(wchar_t)));
        SwapForAnotherFolder fileSystem(folder, other, c.swapAfter);
        Services services = sys.services();
        Form1 swapping(Services{
            services.settings, fileSystem, services.shell, services.dialogs, services.clock,
            services.pump, services.locale, services.environment, services.ansi, services.clipboard,
            services.keyboardHook, services.notifyIcon, services.registry, services.runLock});
        swapping.Form_Load();
        ::DeleteFileW(Widen(swapping.HistoryFilePath()).c_str());
        swapping.Option1.SetValue(c.folderMode);
        swapping.Option2.SetValue(!c.folderMode);
        swapping.ListView1.Add(folder);
        swapping.PushButton3.Click.Raise();

        ASSERT_TRUE(fileSystem.swapped) << "the folders were not swapped";
        int left = 0;
        for (int i = 0; i < kFiles; ++i)
            left += Exists(folder + "\\f" + std::to_string(i) + ".txt");
        EXPECT_EQ(left, kFiles) << "files of the folder put in its place were deleted";
        EXPECT_TRUE(Exists(folder + "\\Empty")) << "its empty folder was removed";
        std::ifstream in(swapping.HistoryFilePath().c_str(), std::ios::binary);
        const std::string history(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(history.find("Stopped clearing folder  " + folder +
                               " (the folder changed during the run") != std::string::npos,
                  c.stopped)
            << history;
        EXPECT_EQ(history.find("Deleted folder "), std::string::npos) << history;
    }
}

// A run keeps the history open: what it wrote must be in the file at once (a program ended
// in the middle loses nothing), and another copy's lines must land after it, not over it.
TEST(RealHistoryFile, WhatARunWroteIsThereAtOnceAndAnotherWriterAppendsAfterIt) {
    RemoveTree(kRoot);
    MakeFolder(kRoot);
    const std::string path = kRoot + "\\history.txt";
    const auto read = [&] {
        std::ifstream in(path.c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    Win32FileSystem fileSystem;
    auto held = fileSystem.OpenToAppend(path);
    held->Append("one\r\n");
    EXPECT_EQ(read(), "one\r\n");
    fileSystem.AppendToFile(path, "two\r\n");
    held->Append("three\r\n");
    EXPECT_EQ(read(), "one\r\ntwo\r\nthree\r\n");
    held.reset();
    RemoveTree(kRoot);
}

TEST(RealClipboard, TakesTheHistorysAnsiBytesAndOffersThemAsUnicodeText) {
    Win32Clipboard clipboard;
    clipboard.SetAnsiText("C:\\Caf\xE9\r\n");  // "é" in Windows-1252
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const std::wstring text(static_cast<const wchar_t*>(::GlobalLock(data)));
    ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_EQ(text, L"C:\\Caf\u00E9\r\n");
}

}  // namespace
}  // namespace ondrevan::win
