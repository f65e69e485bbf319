#include "search/criteria.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/test_app.h"

namespace lark {
namespace {

struct CriteriaFixture : ::testing::Test, TestApp {};

constexpr const char* kPath = "C:\\Data\\ann\\Searches\\Letters.lks";

SearchCriteria Everything() {
    SearchCriteria c;
    c.Keywords = " annual  or \"x=y\" ";
    c.SearchFilename = false;
    c.SearchPath = true;
    c.DateMode = DateFilterMode::Recent;
    c.LastXUnits = "12";
    c.PeriodUnits = 2;
    c.DateFrom = EncodeDateTime({2004, 2, 29, 13, 5, 0, 0});
    c.DateTo = EncodeDateTime({2005, 1, 2, 23, 59, 59, 0});
    c.SizeMode = SizeFilterMode::Smaller;
    c.LargerThan = "3";
    c.SmallerThan = "40";
    c.SizeFrom = "5";
    c.SizeTo = "600";
    c.LargerUnits = 0;
    c.SmallerUnits = 2;
    c.BetweenUnits = 3;
    c.IncludePattern = "*.txt;*.ini";
    c.Logfile = "C:\\Data\\ann\\Larkspire.log";
    c.Backup = c.Replace = c.KeepDateTime = c.ShowLog = true;
    c.CaseSensitive = c.WholeWords = c.UseLastSearch = c.PatternMatch = c.CommentChanges = false;
    c.CommentChar = "#";
    c.SearchReplaceLines = {"old\tnew", "", "  spaced\t ", "tab only\t"};
    return c;
}

TEST_F(CriteriaFixture, SavedFileHasEveryLineInOrder) {
    ASSERT_TRUE(SaveCriteria(ctx, Everything(), kPath));
    const auto* file = fs.Find(kPath);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->data,
              "[Larkspire Search]\r\n"
              "Keywords= annual  or \"x=y\" \r\n"
              "SearchFilename=F\r\nSearchPath=T\r\nRecent=T\r\nDateRange=F\r\n"
              "LastXUnits=12\r\nPeriodUnits=2\r\nDateFrom=20040229\r\nDateTo=20050102\r\n"
              "CheckLarger=F\r\nCheckSmaller=T\r\nCheckBetween=F\r\n"
              "LargerThan=3\r\nSmallerThan=40\r\nSizeFrom=5\r\nSizeTo=600\r\n"
              "LargerUnits=0\r\nSmallerUnits=2\r\nBetweenUnits=3\r\n"
              "IncludePattern=*.txt;*.ini\r\nLogfile=C:\\Data\\ann\\Larkspire.log\r\n"
              "Backup=T\r\nCaseSensitive=F\r\nReplace=T\r\nWholeWords=F\r\nUseLastSearch=F\r\n"
              "KeepDateTime=T\r\nPatternMatch=F\r\nCommentChanges=F\r\nShowLog=T\r\n"
              "CommentChar=#\r\nSearchReplaceLines=4\r\n"
              "SearchReplace1=old\tnew\r\nSearchReplace3=spaced\r\nSearchReplace4=tab only\r\n");
}

TEST_F(CriteriaFixture, RoundTripKeepsEverythingButTimesOfDayAndBlankPairs) {
    const SearchCriteria saved = Everything();
    ASSERT_TRUE(SaveCriteria(ctx, saved, kPath));
    SearchCriteria c;
    ASSERT_EQ(LoadCriteria(ctx, c, kPath), LoadCriteriaResult::Loaded);
    SearchCriteria expected = saved;
    expected.DateFrom = EncodeDate(2004, 2, 29);
    expected.DateTo = EncodeDate(2005, 1, 2);
    expected.SearchReplaceLines = {"old\tnew", "spaced", "tab only"};
    EXPECT_EQ(CriteriaFileText(c), CriteriaFileText(expected));
    EXPECT_FALSE(c.cbFTSActive);  // three lines: the flag keeps its value

    // Defaults survive too, with the unselected units written as -1.
    ASSERT_TRUE(SaveCriteria(ctx, SearchCriteria(), kPath));
    SearchCriteria back = Everything();
    ASSERT_EQ(LoadCriteria(ctx, back, kPath), LoadCriteriaResult::Loaded);
    SearchCriteria defaults;
    defaults.DateFrom = EncodeDate(2003, 7, 8);
    defaults.DateTo = EncodeDate(2003, 7, 8);
    EXPECT_EQ(CriteriaFileText(back), CriteriaFileText(defaults));
    EXPECT_EQ(back.PeriodUnits, -1);
}

TEST_F(CriteriaFixture, SaveFailsQuietlyWhenTheFileCannotBeWritten) {
    fs.readOnlyPaths.insert("C:\\DATA\\ANN\\SEARCHES\\LETTERS.LKS");  // stored upper-cased
    EXPECT_FALSE(SaveCriteria(ctx, SearchCriteria(), kPath));
    EXPECT_TRUE(messages.errors.empty());
}

const char* const kAllIntegers =
    "PeriodUnits=1\r\nLargerUnits=0\r\nSmallerUnits=1\r\nBetweenUnits=2\r\n";

struct LoadCase {
    const char* name;
    std::string text;
    LoadCriteriaResult result;
    std::function<void(const SearchCriteria&)> check;
    const char* error = "";
};

TEST_F(CriteriaFixture, LoadRules) {
    const std::string ints = kAllIntegers;
    const LoadCase cases[] = {
        {"stops at the first integer, keeping what came before",
         "[Larkspire Search]\r\nKeywords=report\r\n", LoadCriteriaResult::BadInteger,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.Keywords, "report");
             EXPECT_FALSE(c.SearchFilename);  // read (empty) before the stop
             EXPECT_EQ(c.LastXUnits, "");
             EXPECT_EQ(c.PeriodUnits, 3);  // not reached: old value
             EXPECT_EQ(c.DateFrom, 1.0);
         },
         "'' is not a valid integer value"},
        {"a bad unit later in the file",
         "LargerThan=9\r\nDateFrom=20040101\r\n" +
             std::string("PeriodUnits=1\r\nLargerUnits=1.5\r\n"),
         LoadCriteriaResult::BadInteger,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.PeriodUnits, 1);
             EXPECT_EQ(c.DateFrom, EncodeDate(2004, 1, 1));
             EXPECT_EQ(c.LargerThan, "9");
             EXPECT_EQ(c.LargerUnits, 3);
         },
         "'1.5' is not a valid integer value"},
        {"range wins over recent, between over the others",
         ints + "Recent=T\r\nDateRange=T\r\nCheckLarger=T\r\nCheckBetween=T\r\nCheckSmaller=T\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.DateMode, DateFilterMode::Range);
             EXPECT_EQ(c.SizeMode, SizeFilterMode::Between);
         }},
        {"smaller over larger", ints + "Recent=yes\r\nCheckLarger=1\r\nCheckSmaller=true\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.DateMode, DateFilterMode::Recent);
             EXPECT_EQ(c.SizeMode, SizeFilterMode::Smaller);
         }},
        {"lenient booleans", ints + "SearchFilename=yes\r\nSearchPath=N\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_TRUE(c.SearchFilename);
             EXPECT_FALSE(c.SearchPath);
             EXPECT_EQ(c.DateMode, DateFilterMode::None);
             EXPECT_EQ(c.SizeMode, SizeFilterMode::None);
         }},
        {"keys in any case and order, first wins, values hold =",
         "bETWEENuNITS=2\nkeywords=a=b\nKEYWORDS=second\n Keywords=blank\nperiodunits= 3\n"
         "LARGERUNITS=-1\nsmallerunits=+2\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.Keywords, "a=b");
             EXPECT_EQ(c.PeriodUnits, 3);
             EXPECT_EQ(c.LargerUnits, -1);
             EXPECT_EQ(c.SmallerUnits, 2);
             EXPECT_EQ(c.BetweenUnits, 2);
         }},
        {"no SearchReplaceLines keeps the text-search settings", ints + "Backup=F\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_TRUE(c.Backup);
             EXPECT_EQ(c.SearchReplaceLines, std::vector<std::string>{"kept"});
             EXPECT_EQ(c.CommentChar, "!");
         }},
        {"blank SearchReplaceLines is the same", ints + "SearchReplaceLines=  \r\n",
         LoadCriteriaResult::Loaded, [](const SearchCriteria& c) { EXPECT_TRUE(c.Backup); }},
        {"numbering with gaps",
         ints + "SearchReplaceLines=4\r\nSearchReplace3=c\r\nSearchReplace1=a\r\n"
                "searchreplace1=dup\r\nSearchReplace5=beyond\r\nSearchReplace2= \t\r\n"
                "SearchReplace04=zero\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.SearchReplaceLines, (std::vector<std::string>{"a", "c"}));
             EXPECT_FALSE(c.Backup);
             EXPECT_EQ(c.CommentChar, "");
             EXPECT_TRUE(c.cbFTSActive);  // two lines: kept
             EXPECT_EQ(c.SearchInFile, "old");
         }},
        {"one pair line fills the containing-text box",
         ints + "SearchReplaceLines=2\r\nSearchReplace2= needle \r\n", LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.SearchReplaceLines, std::vector<std::string>{"needle"});
             EXPECT_TRUE(c.cbFTSActive);
             EXPECT_EQ(c.SearchInFile, "needle");
         }},
        {"no pair lines turns text search off", ints + "SearchReplaceLines=0\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_TRUE(c.SearchReplaceLines.empty());
             EXPECT_FALSE(c.cbFTSActive);
             EXPECT_EQ(c.SearchInFile, "");
         }},
        {"a huge line count costs nothing",
         ints + "SearchReplaceLines=2147483647\r\nSearchReplace2000000000=far\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.SearchReplaceLines, std::vector<std::string>{"far"});
         }},
        {"bad line count after the options were read",
         ints + "Backup=F\r\nCommentChar=%\r\nSearchReplaceLines=three\r\n",
         LoadCriteriaResult::BadInteger,
         [](const SearchCriteria& c) {
             EXPECT_FALSE(c.Backup);
             EXPECT_EQ(c.CommentChar, "%");
             EXPECT_EQ(c.SearchReplaceLines, std::vector<std::string>{"kept"});
         },
         "'three' is not a valid integer value"},
        {"bad dates become the zero date", ints + "DateFrom=20040230\r\nDateTo=00000000\r\n",
         LoadCriteriaResult::Loaded,
         [](const SearchCriteria& c) {
             EXPECT_EQ(c.DateFrom, 0.0);
             EXPECT_EQ(c.DateTo, 0.0);
         }},
    };
    for (const auto& lc : cases) {
        SCOPED_TRACE(lc.name);
        fs.AddFile(kPath, lc.text);
        SearchCriteria c;
        c.PeriodUnits = 3;
        c.LargerUnits = 3;
        c.DateFrom = 1.0;
        c.Backup = true;
        c.CommentChar = "!";
        c.SearchReplaceLines = {"kept"};
        c.cbFTSActive = true;
        c.SearchInFile = "old";
        std::string error = "unset";
        ASSERT_EQ(LoadCriteria(ctx, c, kPath, &error), lc.result);
        lc.check(c);
        if (lc.result == LoadCriteriaResult::BadInteger) {
            EXPECT_EQ(error, lc.error);
        }
    }
}

TEST_F(CriteriaFixture, MissingFileOrBadNameChangesNothing) {
    fs.AddFile("C:\\Data\\real.lks", kAllIntegers);
    SearchCriteria c;
    c.Keywords = "before";
    EXPECT_EQ(LoadCriteria(ctx, c, "C:\\Data\\none.lks"), LoadCriteriaResult::NotLoaded);
    EXPECT_EQ(LoadCriteria(ctx, c, "C:\\Data\\re?l.lks"), LoadCriteriaResult::NotLoaded);
    EXPECT_EQ(LoadCriteria(ctx, c, "C:\\Data"), LoadCriteriaResult::NotLoaded);
    EXPECT_EQ(c.Keywords, "before");
}

TEST(ParseCriteriaDate, Texts) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"00000000", 0}, {"20040229", EncodeDate(2004, 2, 29)},
        {"20040230", 0}, {"2004", 0},
        {"", 0},         {"2004ab01", 0},
        {"18991230", 0}, {"20041301", 0},
        {"19000101", 2}, {"00010101", EncodeDate(1, 1, 1)},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCriteriaDate(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace lark
