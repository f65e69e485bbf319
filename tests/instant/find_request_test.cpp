// GCC 12 at -O2 reports overlaps that cannot happen inside std::string's inlined copies
// (its bug 105651); the MinGW build treats warnings as errors.
#pragma GCC diagnostic ignored "-Wrestrict"

#include "instant/find_request.h"

#include <gtest/gtest.h>

#include "base/date_time.h"
#include "config/settings.h"
#include "platform/fake/fake_platform.h"

namespace lark {
namespace {

using Args = std::vector<std::string>;

TEST(FindArguments, OptionsAndQueryWords) {
    const double may1 = EncodeDate(2024, 5, 1);
    const struct {
        Args args;
        std::string keywords;
        bool path;
        int64_t limit;
        bool count;
        // Filters as the search dialog would hold them.
        DateFilterMode date;
        std::string lastX;
        int32_t period;
        double from, to;
        SizeFilterMode size;
        std::string sizeA, sizeB;
        int32_t unit;
    } cases[] = {
        {{"annual", "report"},
         "annual report",
         false,
         -1,
         false,
         DateFilterMode::None,
         "1",
         -1,
         0,
         0,
         SizeFilterMode::None,
         "",
         "",
         -1},
        {{"-p", "docs\\rep", "-n", "5"},
         "docs\\rep",
         true,
         5,
         false,
         DateFilterMode::None,
         "1",
         -1,
         0,
         0,
         SizeFilterMode::None,
         "",
         "",
         -1},
        {{"--count", "--limit=3", "--", "-old", "report"},
         "-old report",
         false,
         3,
         true,
         DateFilterMode::None,
         "1",
         -1,
         0,
         0,
         SizeFilterMode::None,
         "",
         "",
         -1},
        {{"x", "--last", "2w"},
         "x",
         false,
         -1,
         false,
         DateFilterMode::Recent,
         "2",
         1,
         0,
         0,
         SizeFilterMode::None,
         "",
         "",
         -1},
        {{"--last", "3"},
         "",
         false,
         -1,
         false,
         DateFilterMode::Recent,
         "3",
         0,
         0,
         0,
         SizeFilterMode::None,
         "",
         "",
         -1},
        {{"--from", "2024-05-01", "--to", "2024-05-01"},
         "",
         false,
         -1,
         false,
         DateFilterMode::Range,
         "1",
         -1,
         may1,
         may1 + (23 * 3600 + 59 * 60 + 59) / 86400.0,
         SizeFilterMode::None,
         "",
         "",
         -1},
        {{"--from", "2024-05-01 14:30", "a"},
         "a",
         false,
         -1,
         false,
         DateFilterMode::Range,
         "1",
         -1,
         may1 + 14.5 / 24,
         EncodeDate(9999, 12, 31),
         SizeFilterMode::None,
         "",
         "",
         -1},
        {{"--larger", "64K"},
         "",
         false,
         -1,
         false,
         DateFilterMode::None,
         "1",
         -1,
         0,
         0,
         SizeFilterMode::Larger,
         "64",
         "",
         1},
        {{"--smaller", "2mb"},
         "",
         false,
         -1,
         false,
         DateFilterMode::None,
         "1",
         -1,
         0,
         0,
         SizeFilterMode::Smaller,
         "2",
         "",
         2},
        {{"--larger", "1M", "--smaller", "10M"},
         "",
         false,
         -1,
         false,
         DateFilterMode::None,
         "1",
         -1,
         0,
         0,
         SizeFilterMode::Between,
         "1",
         "10",
         2},
        {{"--larger", "512K", "--smaller", "2M"},
         "",
         false,
         -1,
         false,
         DateFilterMode::None,
         "1",
         -1,
         0,
         0,
         SizeFilterMode::Between,
         "512",
         "2048",
         1},
    };
    for (const auto& c : cases) {
        const FindParse parse = ParseFindArguments(c.args);
        ASSERT_TRUE(parse.options) << parse.error;
        const FindOptions& o = *parse.options;
        const SearchCriteria& k = o.criteria;
        const std::string what = k.Keywords;
        EXPECT_EQ(k.Keywords, c.keywords);
        EXPECT_TRUE(k.SearchFilename) << what;
        EXPECT_EQ(k.SearchPath, c.path) << what;
        EXPECT_EQ(o.limit, c.limit) << what;
        EXPECT_EQ(o.countOnly, c.count) << what;
        EXPECT_EQ(k.DateMode, c.date) << what;
        EXPECT_EQ(k.LastXUnits, c.lastX) << what;
        EXPECT_EQ(k.PeriodUnits, c.period) << what;
        if (c.date == DateFilterMode::Range) {
            EXPECT_DOUBLE_EQ(k.DateFrom, c.from) << what;
            EXPECT_NEAR(k.DateTo, c.to, 1e-9) << what;
        }
        EXPECT_EQ(k.SizeMode, c.size) << what;
        if (c.size == SizeFilterMode::Larger) {
            EXPECT_EQ(k.LargerThan, c.sizeA);
            EXPECT_EQ(k.LargerUnits, c.unit);
        } else if (c.size == SizeFilterMode::Smaller) {
            EXPECT_EQ(k.SmallerThan, c.sizeA);
            EXPECT_EQ(k.SmallerUnits, c.unit);
        } else if (c.size == SizeFilterMode::Between) {
            EXPECT_EQ(k.SizeFrom, c.sizeA);
            EXPECT_EQ(k.SizeTo, c.sizeB);
            EXPECT_EQ(k.BetweenUnits, c.unit);
        }
        // The resident instance receives exactly these options.
        const std::optional<FindOptions> sent = DecodeFindOptions(EncodeFindOptions(o));
        ASSERT_TRUE(sent);
        EXPECT_EQ(EncodeFindOptions(*sent), EncodeFindOptions(o)) << what;
    }
}

TEST(FindArguments, MistakesAreNamed) {
    const struct {
        Args args;
        const char* error;
    } cases[] = {
        {{"-old"}, "unknown option -old"},
        {{"-n"}, "-n needs a number"},
        {{"--limit", "ten"}, "--limit needs a number"},
        {{"--larger", "5T"}, "--larger needs a size"},
        {{"--last", "2q"}, "--last needs a period"},
        {{"--from", "2024-13-01"}, "--from needs a date"},
        {{"--last", "2", "--to", "2024-01-01"}, "--last cannot be combined"},
        {{"--from", "2024-02-01", "--to", "2024-01-01"}, "--from lies after --to"},
        {{"--larger", "1", "--smaller", "3G"}, "too far apart"},
        {{"--domain"}, "--domain needs the name"},
    };
    for (const auto& c : cases) {
        const FindParse parse = ParseFindArguments(c.args);
        EXPECT_FALSE(parse.options) << c.error;
        EXPECT_NE(parse.error.find(c.error), std::string::npos) << parse.error;
    }
    EXPECT_TRUE(ParseFindArguments({"--help"}).options->help);
    EXPECT_TRUE(ParseFindArguments({"/?"}).options->help);
    // A request that is not one is refused.
    EXPECT_FALSE(DecodeFindOptions("limit=3\n"));
}

TEST(FindSummary, TravelsAndGivesTheExitCode) {
    const struct {
        FindSummary summary;
        int exitCode;
    } cases[] = {
        {{3, false, "", false}, 0},
        {{0, true, "", false}, 1},
        {{0, false, "there is no index at X\nyet 100%", false}, 2},
        {{0, false, "", true}, 1},
    };
    for (const auto& c : cases) {
        const FindSummary back = DecodeFindSummary(EncodeFindSummary(c.summary));
        EXPECT_EQ(back.count, c.summary.count);
        EXPECT_EQ(back.refreshing, c.summary.refreshing);
        EXPECT_EQ(back.error, c.summary.error);
        EXPECT_EQ(back.declined, c.summary.declined);
        EXPECT_EQ(FindExitCode(back), c.exitCode);
    }
}

TEST(FindResults, LinesInIndexOrderWithFoldersMarked) {
    FakeFileSystem fs;
    FakeClock clock;
    auto index = WholeFileFromText(
        "C:\\Docs;::\r\nC:\\Docs\\\r\nreport.txt\r\nC:\\Docs\\Reports\\\r\nold report.doc\r\n"
        "memo.txt\r\nC:\\Docs\\Reports\\2024.q1\\\r\nq1 report.xls\r\n");
    const struct {
        Args args;
        int64_t limit;
        std::string lines;
    } cases[] = {
        {{"report"},
         -1,
         "C:\\Docs\\report.txt\r\nC:\\Docs\\Reports\\\r\nC:\\Docs\\Reports\\old report.doc\r\n"
         "C:\\Docs\\Reports\\2024.q1\\q1 report.xls\r\n"},
        {{"report"}, 2, "C:\\Docs\\report.txt\r\nC:\\Docs\\Reports\\\r\n"},
        {{"-p", "*\\reports\\*"},
         -1,
         "C:\\Docs\\Reports\\old report.doc\r\nC:\\Docs\\Reports\\memo.txt\r\n"
         "C:\\Docs\\Reports\\2024.q1\\\r\nC:\\Docs\\Reports\\2024.q1\\q1 report.xls\r\n"},
        {{"2024"}, -1, "C:\\Docs\\Reports\\2024.q1\\\r\n"},
        {{"zzz"}, -1, ""},
    };
    for (const auto& c : cases) {
        const FindOptions o = *ParseFindArguments(c.args).options;
        SearchResults results;
        RunFind(fs, clock, o, index, results);
        std::string written;
        int pieces = 0;
        const int64_t count = WriteFindResults(results, c.limit, 40, [&](std::string_view lines) {
            written += lines;
            ++pieces;
        });
        EXPECT_EQ(written, c.lines) << c.args.back();
        EXPECT_EQ(count, std::count(c.lines.begin(), c.lines.end(), '\n'));
        // Pieces of about the size asked for, each of whole lines.
        if (c.lines.size() > 80) {
            EXPECT_GT(pieces, 1);
        }
    }
}

TEST(FindDomain, TheIndexMustBeOfTheDomainNamed) {
    Settings settings;
    auto add = [&settings](const char* name, const char* include, const char* exclude) {
        settings.SearchSets.push_back(std::make_unique<TSearchSet>());
        *settings.SearchSets.back() = {name, include, exclude};
    };
    add("<Default>", "C:\\Docs;D:\\Work;", "C:\\Docs\\Old;");
    add("Music", "M:\\;", "");
    const std::string index = "C:\\Docs;D:\\Work;::C:\\Docs\\Old;\r\nC:\\Docs\\\r\n";
    EXPECT_EQ(CheckIndexDomain(index, settings, "<Default>"), "");
    EXPECT_NE(CheckIndexDomain(index, settings, "Music").find("not built from the search domain"),
              std::string::npos);
    EXPECT_NE(CheckIndexDomain(index, settings, "Films").find("no search domain named Films"),
              std::string::npos);
}

}  // namespace
}  // namespace lark
