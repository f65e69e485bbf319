// What a search makes of index and saved-search files nobody should have written: NUL bytes,
// lines of 100 KB, an index past 2 GB, a saved search of 10 MB. Each is read leniently to the
// end, with the results a careful reading gives, and the file is left as it was.
#pragma GCC diagnostic ignored "-Wrestrict"  // GCC bug 105651, as in the other search tests

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "search/criteria.h"
#include "search/index_search.h"
#include "support/disk_app_win.h"
#include "support/win_tree_helpers.h"

namespace lark {
namespace {

struct NoHost final : SearchHost {
    void RefreshIndex() override { ++refreshes; }
    void ShowProgressStrip(int32_t maximum, std::string_view) override { shown = maximum; }
    void AdvanceProgress(int32_t by) override { advanced += by; }
    void HideProgress() override {}
    int refreshes = 0;
    int64_t shown = -1, advanced = 0;
};

std::vector<std::string> Paths(const SearchResults& results) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < results.size(); ++i) paths.push_back(results.Path(i));
    return paths;
}

class HostileSearch : public ::testing::Test {
  protected:
    std::vector<std::string> Search(const std::string& keywords, bool withPath) {
        SearchCriteria c;
        c.Keywords = keywords;
        c.SearchPath = withPath;
        SearchResults results{"from before"};
        SearchIndexFile(app.fs, app.clock, c, indexPath, host, results);
        return Paths(results);
    }

    wintree::TempTree dir{"hostile_search"};
    test::DiskApp app{dir.Root()};
    std::string indexPath = dir.Path("All files.idx");
    NoHost host;
};

TEST_F(HostileSearch, NulBytesAndLinesOf100KbAreOrdinaryText) {
    const std::string root = dir.Root() + "\\";
    const std::string longName = std::string(100 * 1024, 'q') + ".txt";
    const std::string longFolder = root + std::string(100 * 1024, 'f') + "\\";
    const std::string nulName = std::string("nul\0inside.txt", 14);
    const std::string text = dir.Root() + ";::\r\n" + root + "\r\n" + nulName + "\r\n" + longName +
                             "\r\nplain.txt\r\n" + std::string(3, '\0') + "\r\n" + longFolder +
                             "\r\ninner.txt\r\nlast-without-line-end.txt";
    ASSERT_TRUE(app.fs.WriteWhole(indexPath, text));

    const struct {
        const char* keywords;
        bool withPath;
        std::vector<std::string> found;
    } cases[] = {
        {"plain", false, {root + "plain.txt"}},
        {"inside", false, {root + nulName}},
        {"qqqq", false, {root + longName}},
        {"inner", false, {longFolder + "inner.txt"}},
        {"inner ffff", true, {longFolder + "inner.txt"}},
        {"without", false, {longFolder + "last-without-line-end.txt"}},
        {"absent", true, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Search(c.keywords, c.withPath), c.found) << c.keywords;
    // Line 1 is skipped; the last line counts without its line end.
    EXPECT_EQ(host.shown, 9);
    EXPECT_EQ(wintree::ReadAll(indexPath), text);
}

// Writes the index in 1 MB pieces until it is past size, so no copy of it is ever held here.
void StreamIndex(const std::string& path, const std::string& head, const std::string& block,
                 int64_t size, const std::string& tail, int64_t& blocks) {
    UniqueFile file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    std::string piece;
    while (piece.size() + block.size() <= (1u << 20)) piece += block;
    const int64_t perPiece = int64_t(piece.size() / block.size());
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), head.data(), DWORD(head.size()), &written, nullptr));
    int64_t total = int64_t(head.size());
    blocks = 0;
    while (total < size) {
        ASSERT_TRUE(WriteFile(file.Get(), piece.data(), DWORD(piece.size()), &written, nullptr));
        ASSERT_EQ(written, piece.size());
        total += written;
        blocks += perPiece;
    }
    ASSERT_TRUE(WriteFile(file.Get(), tail.data(), DWORD(tail.size()), &written, nullptr));
}

TEST_F(HostileSearch, AnIndexPast2GbIsSearchedToItsLastLine) {
    ULARGE_INTEGER freeBytes{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(Widen(dir.Root()).c_str(), &freeBytes, nullptr, nullptr));
    if (freeBytes.QuadPart < (uint64_t(6) << 30))
        GTEST_SKIP() << "needs 6 GB free beside the temporary folder";
    const std::string root = dir.Root() + "\\";
    // Past 2^31 bytes, so every offset into the upper part needs more than 31 bits.
    const int64_t size = (int64_t(2) << 30) + (int64_t(16) << 20);
    // Blocks of a few KB, so the one match per block stays a list that fits in memory.
    std::string block = root + "Projects\\Archive\\\r\nblockmark.dat\r\n";
    for (int i = 0; i < 200; ++i) block += "report-" + std::to_string(i) + ".doc\r\n";
    int64_t blocks = 0;
    StreamIndex(indexPath, dir.Root() + ";::\r\n" + root + "First\\\r\nneedle-first.txt\r\n", block,
                size, root + "Last\\\r\nneedle-last.txt\r\n", blocks);
    if (HasFatalFailure()) return;
    ASSERT_GT(app.fs.Stat(indexPath)->size, uint64_t(2) << 30);

    EXPECT_EQ(Search("needle", false), (std::vector<std::string>{root + "First\\needle-first.txt",
                                                                 root + "Last\\needle-last.txt"}));
    // One match per block from the first byte to the last, in index order.
    const std::vector<std::string> marks = Search("blockmark", false);
    EXPECT_EQ(int64_t(marks.size()), blocks);
    if (!marks.empty()) {
        EXPECT_EQ(marks.back(), root + "Projects\\Archive\\blockmark.dat");
    }
    EXPECT_EQ(host.shown, 3 + 202 * blocks + 2);
    EXPECT_TRUE(DeleteFileW(WidePath(indexPath).c_str()));
}

TEST_F(HostileSearch, SavedSearchesOf10MbLoadOrStopWithTheirMessage) {
    const std::string path = dir.Path("big.lks");
    const size_t tenMb = size_t(10) << 20;
    std::string words;
    while (words.size() < tenMb) words += "word" + std::to_string(words.size() % 997) + " ";
    words.pop_back();
    SearchCriteria longKey;
    longKey.Keywords = words;
    SearchCriteria manyPairs;
    manyPairs.Keywords = "plain";
    for (int n = 1; n <= 400000; ++n)
        manyPairs.SearchReplaceLines.push_back("find" + std::to_string(n));
    const std::string junk = test::JunkBytes(tenMb);

    const struct {
        const char* what;
        std::string text;
        LoadCriteriaResult result;
        size_t keywordsSize;
        size_t pairCount;
    } cases[] = {
        {"one key of 10 MB", CriteriaFileText(longKey), LoadCriteriaResult::Loaded, words.size(),
         0},
        {"400,000 pair lines", CriteriaFileText(manyPairs), LoadCriteriaResult::Loaded, 5, 400000},
        {"binary junk", junk, LoadCriteriaResult::BadInteger, 0, 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(app.fs.WriteWhole(path, c.text));
        SearchCriteria loaded;
        std::string error;
        EXPECT_EQ(LoadCriteria(app.ctx, loaded, path, &error), c.result) << c.what;
        if (c.result == LoadCriteriaResult::BadInteger) {
            EXPECT_EQ(error.rfind("'", 0), 0u) << c.what;  // the standard message, named value
        } else {
            EXPECT_EQ(loaded.Keywords.size(), c.keywordsSize) << c.what;
        }
        if (c.pairCount) {
            EXPECT_EQ(loaded.SearchReplaceLines.size(), c.pairCount) << c.what;
        }
        EXPECT_EQ(wintree::ReadAll(path).size(), c.text.size()) << c.what;
    }

    // A query of a million and more words runs over an index once, to its end.
    ASSERT_TRUE(app.fs.WriteWhole(
        indexPath, dir.Root() + ";::\r\n" + dir.Root() + "\\\r\nword1.txt\r\nother.txt\r\n"));
    EXPECT_EQ(Search(words, false), std::vector<std::string>{});
}

}  // namespace
}  // namespace lark
