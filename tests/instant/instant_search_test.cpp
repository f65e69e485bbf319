// GCC 12 at -O2 reports overlaps that cannot happen inside std::string's inlined copies
// (its bug 105651); the MinGW build treats warnings as errors.
#pragma GCC diagnostic ignored "-Wrestrict"

#include "instant/instant_search.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/fake/fake_platform.h"
#include "search/criteria.h"
#include "search/filters.h"
#include "search/index_search.h"
#include "search/query.h"
#include "support/generated_index.h"

namespace lark {
namespace {

TEST(InstantQuery, APathSeparatorSwitchesToWholePaths) {
    const struct {
        const char* text;
        bool fullPath;
    } cases[] = {{"report", false},   {"rep*.doc or memo", false},
                 {"docs\\rep", true}, {"\\", true},
                 {"c:\\", true},      {"", false}};
    for (const auto& c : cases) {
        const InstantQuery q = InstantQueryFor(c.text);
        EXPECT_EQ(q.keywords, c.text);
        EXPECT_EQ(q.fullPath, c.fullPath) << c.text;
    }
}

// What the search thread reported, read by the test once the searcher says it is done.
struct Recorder final : InstantListener {
    void FirstResults(InstantRows rows) override {
        if (onFirst) onFirst(rows.id);
        first.push_back(std::move(rows));
    }
    void Finished(uint64_t id, std::unique_ptr<SearchResults> results) override {
        finished.emplace_back(id, std::move(results));
        done.store(true);
    }
    bool WaitDone() {
        for (int i = 0; i < 2000 && !done.load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return done.load();
    }
    std::function<void(uint64_t)> onFirst;
    std::vector<InstantRows> first;
    std::vector<std::pair<uint64_t, std::unique_ptr<SearchResults>>> finished;
    std::atomic<bool> done{false};
};

// The results the search dialog's walk gives for the same query in memory.
SearchResults Expected(const std::shared_ptr<const WholeFile>& index, const std::string& text) {
    FakeFileSystem fs;
    FakeClock clock;
    SearchCriteria c;
    c.Keywords = text;
    c.SearchPath = InstantQueryFor(text).fullPath;
    SearchResults results;
    WalkIndex(index, KeywordQuery(text), true, c.SearchPath, DateSizeFilter(fs, clock, c), nullptr,
              1, results);
    return results;
}

struct InstantFixture : ::testing::Test {
    FakeFileSystem fs;
    FakeClock clock;
    Recorder recorder;
};

TEST_F(InstantFixture, FirstRowsThenAllResultsAsTheDialogWouldFindThem) {
    // Large enough to be walked in pieces on two threads, and small.
    for (size_t entries : {size_t(300), size_t(400000)}) {
        auto index = WholeFileFromText(test::GeneratedIndex(entries));
        for (const char* text : {"report", "*.jpg", "root\\budget", "zzz"}) {
            Recorder r;
            InstantSearcher searcher(fs, clock, r, 16);
            searcher.Search({7, text, index});
            ASSERT_TRUE(r.WaitDone()) << text;
            const SearchResults expected = Expected(index, text);
            ASSERT_EQ(r.finished.size(), 1u);
            EXPECT_EQ(r.finished[0].first, 7u);
            EXPECT_EQ(*r.finished[0].second, expected) << text << " in " << entries;
            // The first rows came first, and are the results' own beginning.
            ASSERT_EQ(r.first.size(), 1u) << text;
            const InstantRows& rows = r.first[0];
            EXPECT_EQ(rows.paths.size(), std::min<size_t>(16, expected.size())) << text;
            for (size_t i = 0; i < rows.paths.size(); ++i) {
                EXPECT_EQ(rows.paths[i], expected.Path(i));
                EXPECT_EQ(rows.folders[i], r.finished[0].second->IsFolderAt(i));
            }
        }
    }
}

TEST_F(InstantFixture, TypingAgainStopsTheWalkInProgress) {
    auto index = WholeFileFromText(test::GeneratedIndex(400000));
    InstantSearcher searcher(fs, clock, recorder, 16);
    std::atomic<bool> secondTyped{false};
    // The first search's rows are being handed over, so its walk is in progress: the user types
    // the next letter right then.
    recorder.onFirst = [&](uint64_t id) {
        if (id != 1) return;
        searcher.Search({2, "reporx", index});
        secondTyped.store(true);
    };
    searcher.Search({1, "report", index});
    ASSERT_TRUE(recorder.WaitDone());
    EXPECT_TRUE(secondTyped.load());
    ASSERT_EQ(recorder.finished.size(), 1u) << "the first walk ran to its end";
    EXPECT_EQ(recorder.finished[0].first, 2u);
    EXPECT_TRUE(recorder.finished[0].second->empty());
    EXPECT_EQ(searcher.StoppedWalks(), 1u);

    // Clearing the box stops a walk too, and nothing of it is reported.
    recorder.done.store(false);
    recorder.onFirst = [&](uint64_t) { searcher.Stop(); };
    searcher.Search({3, "e", index});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(recorder.done.load());
    EXPECT_EQ(searcher.StoppedWalks(), 2u);
}

}  // namespace
}  // namespace lark
