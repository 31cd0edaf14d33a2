// A folder's own rules over real file times and the real free space of the prefix's drive.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <map>

#include "RealSystem.h"
#include "delete/FolderDecisions.h"
#include "platform/win/Text_win.h"
#include "platform/win/Win32Platform.h"

namespace ondrevan::win {
namespace {

using testing::RemoveTree;

const std::string kRoot = "C:\\ondrevan-folder-rules";
constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kUnixEpochInFileTime = 11'644'473'600;

FILETIME FileTimeAt(std::int64_t secondsSince1970) {
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(secondsSince1970 + kUnixEpochInFileTime) * 10'000'000;
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

std::int64_t Now() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10'000'000) - kUnixEpochInFileTime;
}

// A file whose dates are set: days ago it was made, last written and last opened.
void MakeFile(const std::string& path, std::int64_t now, int created, int written, int opened) {
    HANDLE file = ::CreateFileW(Widen(path).c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    ::WriteFile(file, "12345", 5, &done, nullptr);
    const FILETIME made = FileTimeAt(now - created * kDay);
    const FILETIME write = FileTimeAt(now - written * kDay);
    const FILETIME open = FileTimeAt(now - opened * kDay);
    EXPECT_TRUE(::SetFileTime(file, &made, &open, &write));
    ::CloseHandle(file);
}

// When a file was made, as its own handle tells (seconds since 1970).
std::int64_t MadeAt(const std::string& path) {
    HANDLE file = ::CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    FILETIME made{}, opened{}, written{};
    const bool read = file != INVALID_HANDLE_VALUE && ::GetFileTime(file, &made, &opened, &written);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    if (!read) return -1;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(made.dwHighDateTime) << 32) | made.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10'000'000) - kUnixEpochInFileTime;
}

struct FolderRulesOnWine : ::testing::Test {
    Win32FileSystem fileSystem;
    void SetUp() override {
        RemoveTree(kRoot);
        ::CreateDirectoryW(Widen(kRoot).c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(kRoot); }
};

TEST_F(FolderRulesOnWine, AgeByEachRealDateAndTheCap) {
    const std::int64_t now = Now();
    MakeFile(kRoot + "\\made-long-ago.txt", now, 90, 2, 3);
    MakeFile(kRoot + "\\written-long-ago.txt", now, 1, 90, 2);
    MakeFile(kRoot + "\\opened-long-ago.txt", now, 3, 1, 90);

    // The listing carries what was set, to the second: the last write and the last opening
    // always; the making where the prefix's file system keeps it (Wine keeps it only where
    // Linux gives a file's birth time back, and cannot set it: then it lists a time of its
    // own choosing, never zero).
    std::vector<FileEntry> files = fileSystem.ListFiles(kRoot);
    ASSERT_EQ(files.size(), 3u);
    std::map<std::string, FileEntry> byName;
    for (const FileEntry& file : files) byName[file.name] = file;
    EXPECT_EQ(byName["written-long-ago.txt"].modified, now - 90 * kDay);
    EXPECT_EQ(byName["opened-long-ago.txt"].accessed, now - 90 * kDay);
    EXPECT_EQ(byName["made-long-ago.txt"].accessed, now - 3 * kDay);
    // Whether the prefix keeps a file's making is asked of the file itself, through its
    // handle, not of the listing under test; the listing gives each file that same time.
    for (const FileEntry& file : files) {
        EXPECT_NE(file.created, kNoFileTime) << file.name;
        EXPECT_EQ(file.created, MadeAt(kRoot + "\\" + file.name)) << file.name;
    }
    const bool keepsCreation = MadeAt(kRoot + "\\made-long-ago.txt") == now - 90 * kDay;

    const auto deleted = [&](const char* rules) {
        const FolderChoices choices =
            EffectiveFolderChoices(false, RunRules{}, ParseRulesOfFolder(rules), PolicyFloor{});
        std::string names;
        for (const FileEntry& file : DecideFolderFiles(files, choices, now).ToDelete())
            names += file.name + std::string(" ");
        return names;
    };
    const auto listed = [&](const std::string& name) {
        // The listing's own order, which the decision keeps.
        std::string names;
        for (const FileEntry& file : files)
            if (name.find(file.name) != std::string::npos) names += file.name + " ";
        return names;
    };
    EXPECT_EQ(deleted("age=30"), listed("written-long-ago.txt"));
    EXPECT_EQ(deleted("age=30;ageby=opened"), listed("opened-long-ago.txt"));
    if (keepsCreation) {
        EXPECT_EQ(deleted("age=30;ageby=created"), listed("made-long-ago.txt"));
    }
    // At most one file, the oldest going first by the last opening: the one opened 2 days
    // ago stays.
    EXPECT_EQ(deleted("maxfiles=1;ageby=opened"), listed("made-long-ago.txt opened-long-ago.txt"));
    if (!keepsCreation)
        std::printf(
            "[ note ] this prefix does not keep a file's creation time: it lists one "
            "made %lld seconds ago\n",
            static_cast<long long>(now - byName["made-long-ago.txt"].created));
}

TEST_F(FolderRulesOnWine, TheRealFreeSpaceOfThePrefixsDrive) {
    const std::optional<std::uint64_t> free = fileSystem.FreeSpace(kRoot);
    ASSERT_TRUE(free);
    ASSERT_GT(*free, 0u);
    const double gigabytes = static_cast<double>(*free) / (1024.0 * 1024 * 1024);
    char above[32], below[32];
    std::snprintf(above, sizeof above, "freebelowgb=%.3f", gigabytes + 1);
    std::snprintf(below, sizeof below, "freebelowgb=%.3f", gigabytes * 0.9);
    const auto clears = [&](const char* rules, std::optional<std::uint64_t> bytes) {
        return ClearsAtFreeSpace(
            EffectiveFolderChoices(false, RunRules{}, ParseRulesOfFolder(rules), PolicyFloor{}),
            bytes);
    };
    EXPECT_TRUE(clears(above, fileSystem.FreeSpace(kRoot)));
    EXPECT_FALSE(clears(below, fileSystem.FreeSpace(kRoot)));
    // A drive that is not there has no free space to read: the folder is skipped.
    EXPECT_FALSE(fileSystem.FreeSpace("Q:\\nowhere"));
    EXPECT_FALSE(clears(above, fileSystem.FreeSpace("Q:\\nowhere")));
    EXPECT_EQ(FreeSpaceSkippedText(kRoot, free).message.rfind("Skipped folder, ", 0), 0u);
}

}  // namespace
}  // namespace ondrevan::win
