#include "search/resident_index.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/fake/fake_platform.h"
#include "search/criteria.h"
#include "search/index_search.h"
#include "support/generated_index.h"

namespace lark {
namespace {

constexpr const char* kIndex = "C:\\Data\\All Users\\All files.idx";

std::string TextOf(const std::shared_ptr<const WholeFile>& file) {
    return file ? std::string(file->Text()) : std::string("(none)");
}

// A build opens the index replacing its content, and keeps it from readers that refuse
// writers until it closes it.
void BuildBegins(FakeFileSystem& fs, int64_t time) {
    FakeFileSystem::Entry& e = fs.AddFile(kIndex, "");
    e.writeTimeLocal = time;
    fs.unreadablePaths.insert("C:\\DATA\\ALL USERS\\ALL FILES.IDX");
}

void Written(FakeFileSystem& fs, std::string_view text, int64_t time) {
    fs.unreadablePaths.clear();
    fs.AddFile(kIndex, text).writeTimeLocal = time;
}

TEST(ResidentIndex, FollowsTheFileThroughRewritesAndBuilds) {
    FakeFileSystem fs;
    ResidentIndex resident(fs);
    // Each step changes the file, then asks for the text as the search dialog does (Exact)
    // and as instant find and the client do (Latest).
    const struct {
        const char* what;
        std::function<void()> change;
        const char* exact;   // "(none)": the dialog reports "Cannot open file"
        const char* latest;  // "(none)": no index to answer from
        bool refreshing;
        int reads;  // whole reads of the file so far
    } steps[] = {
        {"first search reads the file", [&] { Written(fs, "A\r\n", 10); }, "A\r\n", "A\r\n", false,
         1},
        {"unchanged: answered from memory", [] {}, "A\r\n", "A\r\n", false, 1},
        {"rewritten by another instance", [&] { Written(fs, "AB\r\n", 11); }, "AB\r\n", "AB\r\n",
         false, 2},
        {"same size, later time", [&] { Written(fs, "CD\r\n", 12); }, "CD\r\n", "CD\r\n", false, 3},
        {"a build is writing it", [&] { BuildBegins(fs, 13); }, "(none)", "CD\r\n", true, 3},
        {"the build has finished", [&] { Written(fs, "EF\r\nG\r\n", 14); }, "EF\r\nG\r\n",
         "EF\r\nG\r\n", false, 4},
        {"held by a writer, size and time not yet changed",
         [&] { fs.unreadablePaths.insert("C:\\DATA\\ALL USERS\\ALL FILES.IDX"); }, "(none)",
         "EF\r\nG\r\n", false, 4},
        {"written again", [&] { Written(fs, "H\r\n", 15); }, "H\r\n", "H\r\n", false, 5},
        {"removed", [&] { fs.RemoveFile(kIndex); }, "(none)", "(none)", false, 5},
    };
    for (const auto& step : steps) {
        step.change();
        EXPECT_EQ(TextOf(resident.Exact(kIndex)), step.exact) << step.what;
        const ResidentIndex::Snapshot latest = resident.Latest(kIndex);
        EXPECT_EQ(TextOf(latest.text), step.latest) << step.what;
        EXPECT_EQ(latest.refreshing, step.refreshing) << step.what;
        EXPECT_EQ(resident.Reads(), step.reads) << step.what;
    }
}

TEST(ResidentIndex, AnotherIndexFileIsReadForItself) {
    FakeFileSystem fs;
    ResidentIndex resident(fs);
    fs.AddFile(kIndex, "A\r\n");
    fs.AddFile("E:\\Elsewhere\\All files.idx", "B\r\n");
    EXPECT_EQ(TextOf(resident.Latest(kIndex).text), "A\r\n");
    EXPECT_EQ(TextOf(resident.Latest("E:\\Elsewhere\\All files.idx").text), "B\r\n");
    // Being written, the other file has no text of its own to fall back on.
    fs.unreadablePaths.insert("C:\\DATA\\ALL USERS\\ALL FILES.IDX");
    fs.AddFile(kIndex, "");
    EXPECT_EQ(TextOf(resident.Latest(kIndex).text), "(none)");
}

struct QuietHost final : SearchHost {
    void RefreshIndex() override {}
    void ShowProgressStrip(int32_t, std::string_view) override {}
    void AdvanceProgress(int32_t) override {}
    void HideProgress() override {}
};

TEST(ResidentIndex, TheDialogSearchFindsWhatAReadOfTheFileFinds) {
    FakeFileSystem fs;
    FakeClock clock;
    QuietHost host;
    fs.AddFile(kIndex, test::GeneratedIndex(60000));
    ResidentIndex resident(fs);
    const struct {
        const char* keywords;
        bool path;
    } queries[] = {{"report", false},      {"*.jpg", false}, {"old or memo -draft", false},
                   {"root\\budget", true}, {"e", false},     {"zzz", false}};
    for (int round = 0; round < 2; ++round) {
        for (const auto& q : queries) {
            SearchCriteria c;
            c.Keywords = q.keywords;
            c.SearchPath = q.path;
            SearchResults fromFile, fromMemory;
            SearchIndexFile(fs, clock, c, kIndex, host, fromFile);
            SearchIndexFile(fs, clock, c, kIndex, host, fromMemory, nullptr, &resident);
            EXPECT_EQ(fromMemory, fromFile) << q.keywords;
            EXPECT_FALSE(fromFile.empty() && std::string(q.keywords) != "zzz") << q.keywords;
        }
        // The second round runs over an index another instance rewrote meanwhile.
        fs.AddFile(kIndex, test::GeneratedIndex(40000, 11)).writeTimeLocal = 99;
    }
    EXPECT_EQ(resident.Reads(), 2);

    // While a build writes the file the dialog's search fails as a read of the file does.
    BuildBegins(fs, 100);
    SearchCriteria c;
    c.Keywords = "report";
    SearchResults results;
    try {
        SearchIndexFile(fs, clock, c, kIndex, host, results, nullptr, &resident);
        ADD_FAILURE() << "no error while a build writes the index";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("Cannot open file ") + kIndex);
    }
}

}  // namespace
}  // namespace lark
