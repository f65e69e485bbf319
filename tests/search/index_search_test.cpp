#include "search/index_search.h"

#include <gtest/gtest.h>

#include <random>

#include "config/data_paths.h"
#include "base/date_time.h"
#include "support/test_app.h"
#include "platform/fake/fake_platform.h"
#include "search/criteria.h"
#include "search/filters.h"
#include "search/query.h"

namespace lark {
namespace {

using Paths = SearchResults;

std::shared_ptr<const WholeFile> Shared(std::string_view text) {
    return WholeFileFromText(std::string(text));
}

struct RecordingHost final : SearchHost {
    void RefreshIndex() override {
        ++refreshes;
        if (onRefresh) onRefresh();
    }
    void ShowProgressStrip(int32_t maximum, std::string_view caption) override {
        shownMaximum = maximum;
        shownCaption = std::string(caption);
        ++shows;
    }
    void AdvanceProgress(int32_t by) override {
        advanced += by;
        ++advances;
    }
    void HideProgress() override { ++hides; }

    std::function<void()> onRefresh;
    int refreshes = 0, shows = 0, advances = 0, hides = 0;
    int64_t advanced = 0;
    int32_t shownMaximum = -1;
    std::string shownCaption;
};

constexpr const char* kIndex = "C:\\Shared\\All files.idx";

struct IndexFixture : ::testing::Test {
    FakeFileSystem fs;
    FakeClock clock;
    RecordingHost host;
    SearchCriteria criteria;
    Paths results{"previous"};

    void Search() { SearchIndexFile(fs, clock, criteria, kIndex, host, results); }
};

TEST_F(IndexFixture, MissingIndexStartsOneRefreshThenLooksAgain) {
    Search();
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_EQ(results, Paths{"previous"});
    EXPECT_EQ(host.shows, 0);

    host.onRefresh = [this] { fs.AddFile(kIndex, "C:\\D;::\r\nC:\\D\\\r\na.txt\r\n"); };
    Search();
    EXPECT_EQ(host.refreshes, 2);
    EXPECT_EQ(results, (Paths{"C:\\D", "C:\\D\\a.txt"}));
}

// Records how much memory each whole read was handed to read into.
class ReuseRecordingFs final : public FileSystem {
  public:
    explicit ReuseRecordingFs(FakeFileSystem& inner) : inner_(inner) {}
    std::optional<FileInfo> Stat(std::string_view path) override { return inner_.Stat(path); }
    bool List(std::string_view folder, const std::function<void(const FileInfo&)>& each) override {
        return inner_.List(folder, each);
    }
    std::optional<std::string> ReadWhole(std::string_view path) override {
        return inner_.ReadWhole(path);
    }
    bool ReadWholeInto(std::string_view path, std::string& text) override {
        handed.push_back(text.capacity());
        auto read = inner_.ReadWhole(path);
        if (!read) return false;
        text.assign(*read);  // into the memory handed in, where it is large enough
        return true;
    }
    bool WriteWhole(std::string_view p, std::string_view d) override {
        return inner_.WriteWhole(p, d);
    }
    bool Append(std::string_view p, std::string_view d) override { return inner_.Append(p, d); }
    bool CreateFolder(std::string_view p) override { return inner_.CreateFolder(p); }
    bool RemoveFile(std::string_view p) override { return inner_.RemoveFile(p); }
    bool Rename(std::string_view a, std::string_view b) override { return inner_.Rename(a, b); }
    std::vector<size_t> handed;

  private:
    FakeFileSystem& inner_;
};

TEST_F(IndexFixture, EachSearchReadsIntoTheMemoryTheLastOneKept) {
    // A small index walked in one go, and one large enough to be walked in pieces by two
    // threads (where a piece's hold on the text once kept a short result from handing it back).
    std::string text;
    ReuseRecordingFs recording(fs);
    for (const int notes : {400000, 5000}) {
        SCOPED_TRACE(notes);
        text = "C:\\D;::\r\nC:\\D\\\r\n";
        for (int i = 0; i < notes; ++i) text += "note" + std::to_string(i) + ".txt\r\n";
        text += "single.doc\r\n";
        ASSERT_EQ(text.size() >= kSplitWalkFrom, notes > 5000);
        fs.AddFile(kIndex, text);
        results.clear();
        results.TakeSpareText();
        recording.handed.clear();
        // Many results keep the text; one is copied out and lets the text go; then many again.
        const struct {
            const char* query;
            size_t count;
            bool inText;
        } searches[] = {{"note", size_t(notes), true}, {"single", 1, false},
                        {"single", 1, false},          {"note", size_t(notes), true},
                        {"note", size_t(notes), true}};
        for (const auto& s : searches) {
            criteria.Keywords = s.query;
            SearchIndexFile(recording, clock, criteria, kIndex, host, results);
            EXPECT_EQ(results.size(), s.count) << s.query;
            EXPECT_EQ(results.InIndexText(), s.inText) << s.query;
        }
        EXPECT_EQ(results.Path(4999), "C:\\D\\note4999.txt");
        ASSERT_EQ(recording.handed.size(), 5u);
        for (size_t i = 1; i < recording.handed.size(); ++i)
            EXPECT_GE(recording.handed[i], text.size()) << "search " << i + 1;
    }

    // A copy that shares the text keeps it whole while the list searches again.
    SearchResults shared = results;
    criteria.Keywords = "single";
    SearchIndexFile(recording, clock, criteria, kIndex, host, results);
    EXPECT_EQ(shared.size(), 5000u);
    EXPECT_EQ(shared.Path(4999), "C:\\D\\note4999.txt");
    // A copy of the list holds its paths, not the memory kept for the next search.
    shared.clear();
    SearchIndexFile(recording, clock, criteria, kIndex, host, results);
    SearchResults copy = results;
    EXPECT_EQ(copy, results);
    EXPECT_TRUE(copy.TakeSpareText().empty());
    EXPECT_GE(results.TakeSpareText().capacity(), text.size());
}

TEST_F(IndexFixture, UnreadableIndexIsAFileErrorWithEmptyResults) {
    fs.AddFile(kIndex, "C:\\D;::\r\nC:\\D\\\r\n");
    fs.unreadablePaths.insert("C:\\SHARED\\ALL FILES.IDX");
    try {
        Search();
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file C:\\Shared\\All files.idx");
    }
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(host.shows, 0);
    EXPECT_EQ(host.refreshes, 0);
}

std::string IndexOfLines(int lines) {
    std::string text = "C:\\D;::\r\nC:\\D\\\r\n";
    for (int i = 2; i < lines; ++i) text += "file" + std::to_string(i) + ".txt\r\n";
    return text;
}

TEST_F(IndexFixture, ProgressMovesEveryStepLines) {
    struct Case {
        std::string text;
        const char* query;
        int32_t maximum;
        int advances;
        int64_t advanced;
    } cases[] = {
        {"C:\\D;::\r\n", "", 1, 0, 0},
        {"", "", 0, 0, 0},
        {IndexOfLines(50), "", 50, 49, 49},
        {IndexOfLines(10000), "", 10000, 99, 9900},
        {IndexOfLines(10000), "file9999", 10000, 99, 9900},  // found by scanning for it
        {IndexOfLines(10001), "nothing", 10001, 100, 10000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query + std::to_string(c.maximum));
        fs.AddFile(kIndex, c.text);
        host = RecordingHost();
        criteria.Keywords = c.query;
        Search();
        EXPECT_EQ(host.shows, 1);
        EXPECT_EQ(host.shownMaximum, c.maximum);
        EXPECT_EQ(host.shownCaption, "Searching...");
        EXPECT_EQ(host.advances, c.advances);
        EXPECT_EQ(host.advanced, c.advanced);
        EXPECT_EQ(host.hides, 1);
    }
}

constexpr const char* kSmallIndex =
    "C:\\Docs;::\r\n"
    "C:\\Docs\\\r\n"
    "a.txt\r\n"
    "C:\\Docs\\plans.2004\\\r\n"
    "Budget.XLS\r\n"
    "C:\\\r\n"
    "root.ini\r\n";

TEST_F(IndexFixture, SubjectsFollowTheSwitches) {
    struct Case {
        const char* query;
        bool filename, path;
        Paths expected;
    } cases[] = {
        {"docs", true, false, {"C:\\Docs"}},
        {"plans", true, false, {"C:\\Docs\\plans.2004"}},
        {"2004", true, false, {}},
        {"2004", true, true, {"C:\\Docs\\plans.2004", "C:\\Docs\\plans.2004\\Budget.XLS"}},
        {"2004", false, false, {"C:\\Docs\\plans.2004", "C:\\Docs\\plans.2004\\Budget.XLS"}},
        {"docs",
         false,
         false,
         {"C:\\Docs", "C:\\Docs\\a.txt", "C:\\Docs\\plans.2004",
          "C:\\Docs\\plans.2004\\Budget.XLS"}},
        {"docs\\a", true, true, {"C:\\Docs\\a.txt"}},  // the join of folder and name
        {"docs\\a", false, true, {}},
        {"*.xls", true, false, {"C:\\Docs\\plans.2004\\Budget.XLS"}},
        {"*.xls", false, true, {}},
        {"*\\",
         false,
         false,
         {"C:\\Docs\\a.txt", "C:\\Docs\\plans.2004\\Budget.XLS", "C:\\root.ini"}},
        {"a.txt or root", true, false, {"C:\\Docs\\a.txt", "C:\\root.ini"}},
        {"c:", true, false, {}},  // the root folder's own name is empty
        {"c:",
         true,
         true,
         {"C:\\Docs", "C:\\Docs\\a.txt", "C:\\Docs\\plans.2004", "C:\\Docs\\plans.2004\\Budget.XLS",
          "C:", "C:\\root.ini"}},
    };
    fs.AddFile(kIndex, kSmallIndex);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.query) + (c.filename ? " name" : "") + (c.path ? " path" : ""));
        criteria.Keywords = c.query;
        criteria.SearchFilename = c.filename;
        criteria.SearchPath = c.path;
        Search();
        EXPECT_EQ(results, c.expected);

        Paths everyLine;
        DateSizeFilter filter(fs, clock, criteria);
        WalkIndex(Shared(kSmallIndex), KeywordQuery(c.query), c.filename, c.path, filter, nullptr,
                  1, everyLine, WalkStrategy::EveryLine);
        EXPECT_EQ(everyLine, c.expected);
    }
}

TEST_F(IndexFixture, FolderResultsPassOnlyWithoutFilters) {
    fs.AddFile(kIndex, kSmallIndex);
    fs.AddFile("C:\\Docs\\a.txt", "abc").writeTimeLocal = 133000000000000000;  // 2022
    criteria.Keywords = "docs";
    criteria.SearchFilename = false;
    Search();
    EXPECT_EQ(results.size(), 4u);  // nothing looked at on disk: vanished files stay too
    criteria.SizeMode = SizeFilterMode::Larger;
    criteria.LargerThan = "0";
    criteria.LargerUnits = 0;
    Search();
    EXPECT_EQ(results, Paths{"C:\\Docs\\a.txt"});
}

TEST(SearchIndex, ReadsTheSharedIndexOfTheDataLocation) {
    TestApp app;
    RecordingHost host;
    const std::string index = IndexFilePath(app.ctx);
    EXPECT_NE(index.find("All files.idx"), std::string::npos);
    app.fs.AddFile(index, "C:\\D;::\r\nC:\\D\\\r\nnotes.txt\r\n");
    SearchCriteria criteria;
    criteria.Keywords = "NOTES";
    Paths results;
    SearchIndex(app.ctx, criteria, host, results);
    EXPECT_EQ(results, Paths{"C:\\D\\notes.txt"});
}

// Random index text with the untidy corners a reader must survive.
std::string GeneratedIndex(std::mt19937& rng, int lines) {
    static const char* kWords[] = {"Report", "budget", "Letter",  "photo", "IMG", "notes",
                                   "draft",  "Ärger",  "invoice", "Data",  "old", "x"};
    static const char* kExts[] = {".doc", ".JPG", ".txt", ".xls", "", ".tar.gz"};
    auto word = [&] { return std::string(kWords[rng() % 12]); };
    std::string eol = rng() % 4 == 0 ? "\n" : "\r\n";
    std::string text = "C:\\R;::" + eol;
    if (rng() % 3 == 0) text += "orphan " + word() + ".txt" + eol;  // before any folder
    std::string folder = "C:\\R";
    for (int i = 0; i < lines; ++i) {
        if (rng() % 9 == 0) {
            folder = (rng() % 3 == 0 ? std::string("C:\\R") : folder) + "\\" + word() +
                     (rng() % 4 == 0 ? "." + std::to_string(rng() % 3000) : "");
            text += folder + "\\" + eol;
        } else if (rng() % 50 == 0) {
            text += eol;  // an empty line is a file line with an empty name
        } else {
            // Now and then a name longer than the blocks the walk reads.
            const std::string name =
                rng() % 40 == 0 ? word() + std::string(60 + rng() % 90, '_') : word();
            text += name + (rng() % 2 ? " " : "_") + std::to_string(rng() % 2000) +
                    kExts[rng() % 6] + eol;
        }
    }
    if (rng() % 2) text.resize(text.size() - eol.size());  // no line end at the end
    return text;
}

TEST(WalkIndex, ScanningAndBlockMarkingFindWhatVisitingEveryLineFinds) {
    std::mt19937 rng(99);
    const char* queries[] = {"report",
                             "ärger",
                             "IMG_1#",
                             "*.jpg",
                             "rep*.doc",
                             "letter -draft",
                             "budget or photo",
                             "not data",
                             "x",
                             "r\\old",
                             "\"old report\"",
                             "invoice 17",
                             "*\\",
                             "data\\",
                             "1999",
                             "notes 12 -.txt",
                             "e",
                             "tar.gz",
                             "?.doc",
                             "r\\",
                             "#.xls",
                             "report budget",
                             "-letter or x",
                             "or x photo",
                             "* e",
                             "not data or photo -ärger",
                             "\"_1\" and \"9.\"",
                             "___",
                             "img* -*.jpg",
                             "**.txt or *_1*",
                             "x* or report",
                             "*.tar.gz"};
    FakeFileSystem fs;
    FakeClock clock;
    SearchCriteria none;
    DateSizeFilter filter(fs, clock, none);
    for (int round = 0; round < 4; ++round) {
        const auto index = Shared(GeneratedIndex(rng, 1500 + int(rng() % 2500)));
        for (const char* q : queries) {
            const KeywordQuery query(q);
            for (int mode = 0; mode < 4; ++mode) {
                const bool filename = mode & 1, path = mode & 2;
                Paths visited;
                RecordingHost visitHost;
                WalkIndex(index, query, filename, path, filter, &visitHost, 7, visited,
                          WalkStrategy::EveryLine, 1);
                // Every other way, in one part and in two halves walked at once.
                for (auto strategy :
                     {WalkStrategy::Auto, WalkStrategy::PlainTerms, WalkStrategy::EveryLine}) {
                    for (int parts : {1, 2}) {
                        if (strategy == WalkStrategy::EveryLine && parts == 1) continue;
                        Paths found;
                        RecordingHost host;
                        WalkIndex(index, query, filename, path, filter, &host, 7, found, strategy,
                                  parts);
                        ASSERT_EQ(found, visited)
                            << "round " << round << " query " << q << " mode " << mode
                            << " strategy " << int(strategy) << " parts " << parts;
                        ASSERT_EQ(host.advances, visitHost.advances);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace lark
