// How the planned files of a folder are handed to the folder held open, many at a time
// where it takes them so, and what is said of each.
#include <gtest/gtest.h>

#include <map>

#include "delete/DeleteFiles.h"

namespace ondrevan {
namespace {

using Outcome = FileRemoval::Outcome;

// A folder that takes `atOnce` files at a time and answers each name as scripted (Deleted
// when not named). A file after the one that found the folder changed, in the same batch,
// is tried or not as `triesPastAChange` says: one thread may have begun it already.
struct ScriptedFolder : OpenedFolder {
    std::size_t atOnce = 1;
    bool triesPastAChange = false;
    std::map<std::string, FileRemoval> answers;
    std::vector<std::vector<std::string>> batches;  // the names of each batch, in order

    FileRemoval RemoveFileInside(const std::string& name, std::uint32_t) override {
        const auto it = answers.find(name);
        return it == answers.end() ? FileRemoval{Outcome::Deleted, {}} : it->second;
    }
    std::size_t FilesAtOnce() const override { return atOnce; }
    std::vector<std::optional<FileRemoval>> RemoveFilesInside(
        std::span<const FileEntry> files) override {
        batches.emplace_back();
        std::vector<std::optional<FileRemoval>> removals(files.size());
        bool changed = false;
        for (std::size_t i = 0; i < files.size(); ++i) {
            batches.back().push_back(files[i].name);
            if (changed && !triesPastAChange) continue;
            removals[i] = RemoveFileInside(files[i].name, files[i].attributes);
            changed = changed || removals[i]->outcome == Outcome::FolderChanged;
        }
        return removals;
    }
    FileRemoval CheckInPlace(const std::string&) override { return {Outcome::Deleted, {}}; }
    bool StillInPlace() override { return true; }
};

std::vector<FileEntry> Files(int count) {
    std::vector<FileEntry> files;
    for (int i = 0; i < count; ++i) {
        FileEntry file;
        file.name = std::string("f").append(std::to_string(i));
        file.size = static_cast<std::uint64_t>(i + 1);
        files.push_back(file);
    }
    return files;
}

TEST(DeletePlannedFiles, HandsEachFileOnceInBatchesTheFolderTakesAndAnswersBetweenThem) {
    const struct {
        std::size_t atOnce;
        int files;
        std::vector<std::size_t> batchSizes;
    } cases[] = {
        {1, 3, {1, 1, 1}}, {3, 7, {3, 3, 1}}, {4, 8, {4, 4}},
        {10, 7, {7}},      {0, 2, {1, 1}},  // a folder that names no count takes one at a time
        {5, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.atOnce << " at once, " << c.files << " files");
        ScriptedFolder folder;
        folder.atOnce = c.atOnce;
        int answered = 0;
        std::vector<std::size_t> batchesBeforeEachAnswer;
        const DeletedFiles deleted = DeletePlannedFiles(folder, "C:\\F", Files(c.files), [&] {
            ++answered;
            batchesBeforeEachAnswer.push_back(folder.batches.size());
        });
        std::vector<std::size_t> sizes;
        std::vector<std::string> names;
        for (const auto& batch : folder.batches) {
            sizes.push_back(batch.size());
            names.insert(names.end(), batch.begin(), batch.end());
        }
        EXPECT_EQ(sizes, c.batchSizes);
        std::vector<std::string> expected;
        for (const FileEntry& file : Files(c.files)) expected.push_back(file.name);
        EXPECT_EQ(names, expected) << "every file once, in the plan's order";
        // The window answers before each batch, never two batches without it.
        std::vector<std::size_t> before;
        for (std::size_t i = 0; i < c.batchSizes.size(); ++i) before.push_back(i);
        EXPECT_EQ(batchesBeforeEachAnswer, before);
        EXPECT_EQ(deleted.count, static_cast<std::uint64_t>(c.files));
        EXPECT_EQ(deleted.bytes, static_cast<std::uint64_t>(c.files * (c.files + 1) / 2));
        EXPECT_TRUE(deleted.failures.empty());
        EXPECT_FALSE(deleted.folderChanged);
    }
}

TEST(DeletePlannedFiles, SaysWhatBecameOfEachFileTriedAndStopsAfterTheBatchThatFoundAChange) {
    using Answers = std::map<std::string, FileRemoval>;
    const struct {
        const char* what;
        std::size_t atOnce;
        bool triesPastAChange;
        Answers answers;
        std::uint64_t count, bytes;
        std::vector<std::string> failures;  // "path (reason)", in the plan's order
        bool changed;
        std::size_t batches;
    } cases[] = {
        {"failures in plan order across batches",
         3,
         false,
         {{"f4", {Outcome::Failed, "in use"}},
          {"f1", {Outcome::Failed, "a link"}},
          {"f2", {Outcome::AlreadyGone, {}}}},
         5,
         1 + 4 + 6 + 7 + 8,
         {"C:\\F\\f1 (a link)", "C:\\F\\f4 (in use)"},
         false,
         3},
        {"a change stops the run at its batch",
         3,
         false,
         {{"f3", {Outcome::FolderChanged, {}}}},
         3,
         1 + 2 + 3,
         {},
         true,
         2},
        {"what the other thread did past the change is still counted and said",
         3,
         true,
         {{"f3", {Outcome::FolderChanged, {}}}, {"f5", {Outcome::Failed, "access denied"}}},
         4,
         1 + 2 + 3 + 5,
         {"C:\\F\\f5 (access denied)"},
         true,
         2},
        {"one at a time, nothing after the change is tried",
         1,
         false,
         {{"f1", {Outcome::FolderChanged, {}}}},
         1,
         1,
         {},
         true,
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedFolder folder;
        folder.atOnce = c.atOnce;
        folder.triesPastAChange = c.triesPastAChange;
        folder.answers = c.answers;
        const DeletedFiles deleted = DeletePlannedFiles(folder, "C:\\F", Files(8), nullptr);
        EXPECT_EQ(deleted.count, c.count);
        EXPECT_EQ(deleted.bytes, c.bytes);
        std::vector<std::string> failures;
        for (const FileFailure& failure : deleted.failures)
            failures.push_back(failure.path + " (" + failure.reason + ")");
        EXPECT_EQ(failures, c.failures);
        EXPECT_EQ(deleted.folderChanged, c.changed);
        EXPECT_EQ(folder.batches.size(), c.batches);
    }
}

// A folder that does not take several files at once is still handed them one by one by the
// default: nothing after a change is tried.
TEST(OpenedFolder, TakesAFewFilesOneByOneUntilOneFindsTheFolderChanged) {
    struct OneByOne : ScriptedFolder {
        std::vector<std::string> tried;
        FileRemoval RemoveFileInside(const std::string& name, std::uint32_t a) override {
            tried.push_back(name);
            return ScriptedFolder::RemoveFileInside(name, a);
        }
        std::vector<std::optional<FileRemoval>> RemoveFilesInside(
            std::span<const FileEntry> files) override {
            return OpenedFolder::RemoveFilesInside(files);
        }
    } folder;
    folder.answers = {{"f1", {Outcome::Failed, "in use"}}, {"f2", {Outcome::FolderChanged, {}}}};
    const std::vector<FileEntry> files = Files(4);
    const auto removals = folder.RemoveFilesInside(files);
    ASSERT_EQ(removals.size(), 4u);
    EXPECT_EQ(folder.tried, (std::vector<std::string>{"f0", "f1", "f2"}));
    EXPECT_EQ(removals[0]->outcome, Outcome::Deleted);
    EXPECT_EQ(removals[1]->reason, "in use");
    EXPECT_EQ(removals[2]->outcome, Outcome::FolderChanged);
    EXPECT_FALSE(removals[3].has_value());
}

}  // namespace
}  // namespace ondrevan
