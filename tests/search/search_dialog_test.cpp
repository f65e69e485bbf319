#include <gtest/gtest.h>

#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "base/text.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "search/search_dialog_logic.h"

namespace lark {
namespace {

struct DialogFixture {
    FakeFileSystem fs;
    FakeRegistry registry;
    FakeClock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,    registry,   clock,       messages, settings, "C:\\Apps\\Larkspire.exe",
                   "ann", "C:\\Temp", "C:\\Recent"};
    SearchCriteria c;

    DialogFixture() {
        settings.DataLocation = "C:\\Data";
        fs.AddFolder("C:\\Data");
        fs.AddFolder("C:\\Temp");
    }
};

TEST(PrepareSearchDialog, StartsWithoutFiltersAndWithAUnitInEveryList) {
    struct Case {
        int32_t periodIn, sizeIn, periodOut, sizeOut;
    };
    // -1 is no selection; 4 and 7 name no entry of a four-entry list.
    const Case cases[] = {{-1, -1, 0, 1}, {7, 4, 0, 1}, {3, 0, 3, 0}, {2, 3, 2, 3}};
    for (const Case& k : cases) {
        SearchCriteria c;
        c.DateMode = DateFilterMode::Range;
        c.SizeMode = SizeFilterMode::Between;
        c.PeriodUnits = k.periodIn;
        c.LargerUnits = c.SmallerUnits = c.BetweenUnits = k.sizeIn;
        PrepareSearchDialog(c);
        EXPECT_EQ(c.DateMode, DateFilterMode::None);
        EXPECT_EQ(c.SizeMode, SizeFilterMode::None);
        EXPECT_EQ(c.PeriodUnits, k.periodOut) << k.periodIn;
        EXPECT_EQ(c.LargerUnits, k.sizeOut) << k.sizeIn;
        EXPECT_EQ(c.SmallerUnits, k.sizeOut) << k.sizeIn;
        EXPECT_EQ(c.BetweenUnits, k.sizeOut) << k.sizeIn;
    }
    struct Switches {
        bool fileIn, pathIn, fileOut, pathOut;
    };
    for (Switches s : {Switches{false, false, true, false}, Switches{false, true, false, true},
                       Switches{true, true, true, true}}) {
        SearchCriteria c;
        c.SearchFilename = s.fileIn;
        c.SearchPath = s.pathIn;
        PrepareSearchDialog(c);
        EXPECT_EQ(c.SearchFilename, s.fileOut);
        EXPECT_EQ(c.SearchPath, s.pathOut);
    }
}

TEST(KeywordHistory, NewestFirstWithoutDuplicatesIgnoringCase) {
    using Lines = std::vector<std::string>;
    struct Case {
        Lines before;
        std::vector<const char*> added;
        Lines after;
    };
    const Case cases[] = {
        {{"Report", "budget"}, {"report"}, {"Report", "budget"}},
        {{"a", "b"}, {"B"}, {"a", "b"}},
        {{"a"}, {"new"}, {"new", "a"}},
        {{"a"}, {"", ""}, {"", "a"}},
        {{}, {"x", "y", "X"}, {"y", "x"}},
    };
    for (const Case& k : cases) {
        Lines history = k.before;
        for (const char* keyword : k.added) AddKeywordToHistory(history, keyword);
        EXPECT_EQ(history, k.after);
    }
}

TEST(ConfirmSearchDialog, StoresHistoryThenCriteria) {
    DialogFixture f;
    std::string historyPath = KeywordHistoryFile(f.ctx);
    f.fs.AddFile(historyPath, "Report\r\nbudget\r\n");
    std::vector<std::string> history = *LoadKeywordHistory(f.fs, historyPath);
    f.c.Keywords = "report";
    ConfirmSearchDialog(f.ctx, f.c, history);
    EXPECT_EQ(f.fs.ReadWhole(historyPath), "Report\r\nbudget\r\n");
    ASSERT_TRUE(f.fs.Exists(LastCriteriaFile(f.ctx)));

    f.c.Keywords = "";
    ConfirmSearchDialog(f.ctx, f.c, history);
    ConfirmSearchDialog(f.ctx, f.c, history);
    EXPECT_EQ(f.fs.ReadWhole(historyPath), "\r\nReport\r\nbudget\r\n");
    // The empty first line survives the way back.
    EXPECT_EQ(*LoadKeywordHistory(f.fs, historyPath), history);
    EXPECT_TRUE(f.messages.errors.empty());
}

TEST(ConfirmSearchDialog, UnwritableHistoryIsReportedAndCriteriaStayUnwritten) {
    DialogFixture f;
    std::string historyPath = KeywordHistoryFile(f.ctx);
    f.fs.readOnlyPaths.insert(UpperCase(historyPath));
    std::vector<std::string> history;
    f.c.Keywords = "plans";
    ConfirmSearchDialog(f.ctx, f.c, history);
    EXPECT_EQ(f.messages.errors, std::vector<std::string>{"Cannot create file " + historyPath});
    EXPECT_FALSE(f.fs.Exists(LastCriteriaFile(f.ctx)));
    EXPECT_EQ(history, std::vector<std::string>{"plans"});
}

TEST(KeywordHistory, MissingFileLeavesTheHistoryAlone) {
    DialogFixture f;
    EXPECT_FALSE(LoadKeywordHistory(f.fs, KeywordHistoryFile(f.ctx)).has_value());
}

TEST(UseLastSearch, NeedsAPreviousResultList) {
    for (bool listExists : {false, true}) {
        DialogFixture f;
        f.c.UseLastSearch = true;
        CheckUseLastSearch(f.ctx, f.c, listExists);
        EXPECT_EQ(f.c.UseLastSearch, listExists);
        EXPECT_EQ(EnablesFor(f.c).caseAndWholeWords, !listExists);
        std::vector<std::string> expected;
        if (!listExists) expected.push_back("No previous search result is available.");
        EXPECT_EQ(f.messages.infos, expected);
    }
}

TEST(CreateSearchCriteria, RestoresTheLastCriteriaAndChecksUseLastSearch) {
    DialogFixture f;
    SearchCriteria first;
    CreateSearchCriteria(f.ctx, first);
    EXPECT_EQ(first.Logfile, ReplaceLogPath(f.ctx));

    f.c.Keywords = "annual";
    f.c.UseLastSearch = true;
    ASSERT_TRUE(SaveCriteria(f.ctx, f.c, LastCriteriaFile(f.ctx)));
    SearchCriteria fresh;
    CreateSearchCriteria(f.ctx, fresh);
    EXPECT_EQ(fresh.Keywords, "annual");
    // Nothing has been searched yet, so the user hears of it while the program starts.
    EXPECT_FALSE(fresh.UseLastSearch);
    EXPECT_EQ(f.messages.infos.size(), 1u);

    // A damaged file stops at the bad number; what was read before it stays.
    f.fs.AddFile(LastCriteriaFile(f.ctx), "[Larkspire Search]\r\nKeywords=report\r\n");
    SearchCriteria damaged;
    EXPECT_EQ(CreateSearchCriteria(f.ctx, damaged), LoadCriteriaResult::BadInteger);
    EXPECT_EQ(damaged.Keywords, "report");
    EXPECT_EQ(f.messages.errors.size(), 1u);
}

TEST(NumberBox, AcceptsDigitsAndBackspaceOnly) {
    for (char ch : std::string("0123456789\b")) EXPECT_TRUE(IsNumberBoxChar(uint8_t(ch))) << ch;
    for (char ch : std::string("a-. +,eZ")) EXPECT_FALSE(IsNumberBoxChar(uint8_t(ch))) << ch;
}

TEST(PairBox, LinesAndTextRoundTrip) {
    using Lines = std::vector<std::string>;
    for (const Lines& lines :
         {Lines{}, Lines{""}, Lines{"a"}, Lines{"a\tb", "", "c"}, Lines{"a", ""}}) {
        EXPECT_EQ(PairLinesFromText(PairTextFromLines(lines)), lines);
    }
    EXPECT_EQ(PairLinesFromText("one\r\n"), Lines{"one"});
}

TEST(Mirror, ContainingTextAndPairBoxFollowEachOther) {
    // Typed on the "General" page: a one-line pair list with plain options.
    SearchCriteria c;
    c.WholeWords = c.CaseSensitive = c.PatternMatch = c.UseLastSearch = c.ShowLog = true;
    c.IncludePattern = "TODO";
    c.SearchReplaceLines = {"old", "lines"};
    MirrorContainingText(c, "needle", true);
    EXPECT_EQ(c.SearchReplaceLines, std::vector<std::string>{"needle"});
    EXPECT_FALSE(c.WholeWords || c.CaseSensitive || c.PatternMatch || c.UseLastSearch || c.ShowLog);
    EXPECT_EQ(c.IncludePattern, "");
    EXPECT_TRUE(c.cbFTSActive);
    MirrorContainingText(c, "  ", true);
    EXPECT_FALSE(c.cbFTSActive);

    // Set from another page: nothing else moves.
    SearchCriteria other;
    other.WholeWords = true;
    other.SearchReplaceLines = {"a", "b"};
    MirrorContainingText(other, "x", false);
    EXPECT_EQ(other.SearchInFile, "x");
    EXPECT_TRUE(other.WholeWords);
    EXPECT_EQ(other.SearchReplaceLines.size(), 2u);

    struct Case {
        std::vector<std::string> lines;
        const char* shown;
        bool active;
    };
    const Case cases[] = {{{}, "", false}, {{"word"}, "word", true}, {{"a", "b"}, "keep", true}};
    for (const Case& k : cases) {
        SearchCriteria p;
        p.SearchInFile = "keep";
        p.cbFTSActive = true;
        p.SearchReplaceLines = k.lines;
        MirrorPairBox(p);
        EXPECT_EQ(p.SearchInFile, k.shown);
        EXPECT_EQ(p.cbFTSActive, k.active);
    }
}

TEST(SearchDialog, DomainLabelAndSearchKind) {
    Settings s;
    EXPECT_EQ(SearchDomainLabel(s), "(none)");
    TSearchSet& set = GetOrAddSearchSet(s, "Work");
    s.CurrentSearchSet = &set;
    EXPECT_EQ(SearchDomainLabel(s), "Work");

    SearchCriteria c;
    c.cbFTSActive = true;
    c.SearchReplaceLines = {"word"};
    EXPECT_TRUE(WantsTextSearch(c));
    c.SearchReplaceLines.clear();
    EXPECT_FALSE(WantsTextSearch(c));
}

}  // namespace
}  // namespace lark
