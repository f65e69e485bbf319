// The engine's rules one by one: pairs and their refusal, the two line rules, the block
// rule and the status line.
#include "replace/replace_engine.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "replace/replace_run.h"

namespace lark {
namespace {

TEST(ReplacePairs, ParsedAndRefusedAsTheBoxSays) {
    struct Case {
        std::vector<std::string> lines;
        bool caseSensitive;
        std::vector<std::string> search, replace;
        std::vector<std::string> refusals;
    };
    const Case cases[] = {
        {{"cat\tdog", "dog\tbird"}, false, {"cat", "dog"}, {"dog", "bird"}, {"dog|dog"}},
        {{"Cat\tDog"}, false, {"cat"}, {"Dog"}, {}},
        {{"Cat\tDog"}, true, {"Cat"}, {"Dog"}, {}},
        // The refusal ignores case whatever the run says.
        {{"a\tA"}, true, {"a"}, {"A"}, {"a|A"}},
        {{"  spaced out \t  with blanks  "}, false, {"spaced out"}, {"with blanks"}, {}},
        {{"\"a\tb\"\tc"}, false, {"a\tb"}, {"c"}, {}},
        {{"alone"}, false, {"alone"}, {""}, {}},
        // Blank lines and a leading TAB give empty search strings, which occur nowhere.
        {{"", "\tx", "y\t"}, false, {"", "", "y"}, {"", "x", ""}, {}},
        {{"x\ty", "y\tz", "z\tw"}, false, {"x", "y", "z"}, {"y", "z", "w"}, {"y|y", "z|z"}},
    };
    for (const Case& k : cases) {
        ReplacePairs pairs = ParseReplacePairs(k.lines, k.caseSensitive);
        EXPECT_EQ(pairs.SearchStrings, k.search) << k.lines[0];
        EXPECT_EQ(pairs.ReplaceStrings, k.replace) << k.lines[0];
        EXPECT_EQ(pairs.PairCount, int32_t(k.lines.size()));
        std::vector<std::string> refusals;
        bool safe = CheckPairsSafe(pairs, [&](std::string_view s, std::string_view r) {
            refusals.push_back(std::string(s) + "|" + std::string(r));
        });
        EXPECT_EQ(refusals, k.refusals) << k.lines[0];
        EXPECT_EQ(safe, k.refusals.empty());
    }
    EXPECT_EQ(RefusalText("dog", "dog"), " Search string 'dog' is part of Replace string 'dog'");
}

struct LineCase {
    const char* name;
    std::vector<std::string> pairs;
    bool caseSensitive, wholeWords, pattern;
    std::string prefix;
    std::string line;
    int changes;
    std::string text;
    bool dropped = false;
    bool commented = false;
};

TEST(LineRules, ChangeLinesAsTheRulesSay) {
    const LineCase cases[] = {
        {"case kept around hits",
         {"cat\tdog"},
         false,
         false,
         false,
         "",
         "Cat and CAT",
         2,
         "dog and dog"},
        {"case-sensitive", {"cat\tdog"}, true, false, false, "", "Cat and cat", 1, "Cat and dog"},
        {"first occurrence inside a word",
         {"cat\tdog"},
         false,
         true,
         false,
         "",
         "concat cat",
         0,
         "concat cat"},
        {"whole word first", {"cat\tdog"}, false, true, false, "", "cat concat", 1, "dog concat"},
        {"emptied line", {"cat"}, false, false, false, "", "cat", 1, "", true},
        {"emptied line stays dropped",
         {"ab\t", "not\twill"},
         false,
         false,
         false,
         "",
         "ab",
         1,
         "",
         true},
        {"marker text is ordinary text",
         {"not\twill"},
         false,
         false,
         false,
         "",
         "<<<DO_NOT_WRITE>>>",
         1,
         "<<<DO_will_WRITE>>>"},
        {"comment marking", {"a\tb"}, false, false, false, ";", "a=1", 1, "b=1", false, true},
        {"commented line untouched", {"a\tb"}, false, false, false, ";", ";a=1", 0, ";a=1"},
        {"comment prefix folded", {"a\tb"}, false, false, false, "REM", "rem a", 0, "rem a"},
        {"comment marking with an empty result",
         {"a"},
         false,
         false,
         false,
         ";",
         "a",
         1,
         "",
         false,
         true},
        {"two pairs in order",
         {"one\t1", "two\t2"},
         false,
         false,
         false,
         "",
         "two one two",
         3,
         "2 1 2"},
        {"widest window", {"a*c\tZ"}, false, false, true, "", "xabcabc", 1, "xZ"},
        {"narrowest window is the pattern", {"a*c\tZ"}, false, false, true, "", "ac", 0, "ac"},
        {"leftmost of equal width", {"a?c\tZ"}, false, false, true, "", "abc-adc", 1, "Z-adc"},
        {"pattern once per line", {"b\tB"}, true, false, true, "", "bb", 1, "Bb"},
        {"pattern without star is exact width",
         {"a?\tZ"},
         false,
         false,
         true,
         "",
         "xaby",
         1,
         "xZy"},
        {"pattern folded", {"A*B\tz"}, false, false, true, "", "xAyB", 1, "xz"},
        {"pattern never splits a character",
         {"?\tx"},
         false,
         false,
         true,
         "",
         "\xC3\xA9",
         0,
         "\xC3\xA9"},
        {"empty pattern matches nothing", {"\tx"}, false, false, true, "", "abc", 0, "abc"},
        {"empty search string matches nothing",
         {"", "\tx"},
         false,
         false,
         false,
         "",
         "abc",
         0,
         "abc"},
        {"pattern comment marking",
         {"a#\tN"},
         false,
         false,
         true,
         "#",
         "a1 b",
         1,
         "N b",
         false,
         true},
    };
    for (const LineCase& k : cases) {
        ReplacePairs pairs = ParseReplacePairs(k.pairs, k.caseSensitive);
        LineRuleOptions options{k.caseSensitive, k.wholeWords, k.prefix};
        EditedLine line{k.line};
        int changes = 0;
        LineChange change;
        if (k.pattern) {
            changes = PatternReplaceInLine(pairs, options, line, &change) ? 1 : 0;
        } else {
            while (changes < 10 && ReplaceFirstInLine(pairs, options, line, &change)) ++changes;
        }
        EXPECT_EQ(changes, k.changes) << k.name;
        EXPECT_EQ(line.text, k.text) << k.name;
        EXPECT_EQ(line.dropped, k.dropped) << k.name;
        EXPECT_EQ(line.commented, k.commented) << k.name;
        if (k.commented) {
            EXPECT_EQ(line.original, k.line) << k.name;
        }
    }
}

TEST(LineRules, ReportTheLineBeforeAndAfterEachChange) {
    ReplacePairs pairs = ParseReplacePairs({"cat\tdog"}, false);
    EditedLine line{"cat cat"};
    LineChange change;
    ASSERT_TRUE(ReplaceFirstInLine(pairs, {}, line, &change));
    EXPECT_EQ(change.before, "cat cat");
    EXPECT_EQ(change.after, "dog cat");
    ASSERT_TRUE(ReplaceFirstInLine(pairs, {}, line, &change));
    EXPECT_EQ(change.before, "dog cat");
    EXPECT_EQ(change.after, "dog dog");
}

// A star pattern tries every window of a line: on a long line that is millions of windows,
// and Stop (asked through stop) must not wait for them all.
TEST(LineRules, APatternScanOfALongLineAsksStopWhileItScans) {
    ReplacePairs pairs = ParseReplacePairs({"1*2\tZ"}, false);
    const std::string text = std::string(3000, 'a') + "1b2";
    EditedLine line{text};
    int asked = 0;
    EXPECT_FALSE(PatternReplaceInLine(pairs, {}, line, nullptr, [&] { return ++asked > 0; }));
    EXPECT_EQ(line.text, text);
    EXPECT_EQ(asked, 1);
    // Not stopped, the same scan reaches the one narrow match at the end.
    asked = 0;
    EXPECT_TRUE(PatternReplaceInLine(pairs, {}, line, nullptr, [&] { return ++asked < 0; }));
    EXPECT_EQ(line.text, std::string(3000, 'a') + "Z");
    EXPECT_GT(asked, 100);
}

TEST(BlockRule, ReplacesEveryOccurrenceFoundInTheBlockAsItWas) {
    struct Case {
        std::string block, search, replacement;
        bool caseSensitive, wholeWords;
        std::string result;
    };
    const Case cases[] = {
        {"a cat. CAT", "cat", "dog", false, false, "a dog. dog"},
        {"a cat. CAT", "cat", "dog", true, false, "a dog. CAT"},
        {"concat cat_x cat", "cat", "dog", false, true, "concat cat_x dog"},
        {"aaaa", "aa", "b", true, false, "bb"},
        {"aaa", "aa", "aab", true, false, "aaba"},
        {"xyz", "q", "r", true, false, "xyz"},
        {std::string("\0cat\xff", 5), "cat", "mouse", true, true, std::string("\0mouse\xff", 7)},
    };
    for (const Case& k : cases) {
        std::string block = k.block;
        std::string probe = block;
        if (!k.caseSensitive) FoldAsciiBytes(probe);
        bool changed =
            ReplaceAllInBlock(block, probe, ByteFinder(k.search), k.replacement, k.wholeWords);
        EXPECT_EQ(block, k.result) << k.block;
        EXPECT_EQ(changed, k.result != k.block) << k.block;
    }
    EXPECT_EQ(FindBytes("abcabc", "bc", 0), 1);
    EXPECT_EQ(FindBytes("abcabc", "bc", 2), 4);
    EXPECT_EQ(FindBytes("abcabc", "bc", 5), -1);
    EXPECT_EQ(FindBytes("abc", "", 0), -1);
    EXPECT_EQ(FindBytes("ab", "abc", 0), -1);
}

TEST(ByteFinder, FindsWhatAPlainSearchFinds) {
    // Every needle over a text with near misses and repeats, against std::string::find.
    const std::string hay =
        "abababcabcabcabababcxxabcab\xe9\xe9zabab" + std::string(300, 'a') + "b";
    for (const char* needle :
         {"a", "ab", "abc", "bab", "cab", "abcab", "\xe9z", "zz", "aaab", "b", "abababc"}) {
        ByteFinder finder(needle);
        LiteralFinder exact(needle, true);
        // The same needle in capitals, looked for ignoring case, finds the same places.
        std::string upperHay = hay;
        for (char& ch : upperHay) ch = AsciiUpper(ch);
        LiteralFinder folded(needle, false);
        for (size_t from = 0; from <= hay.size() + 1; ++from) {
            size_t expected = from > hay.size() ? std::string::npos : hay.find(needle, from);
            ASSERT_EQ(finder.Find(hay, from), expected) << needle << " from " << from;
            if (from > hay.size()) continue;
            ASSERT_EQ(exact.Find(hay, from), expected) << needle << " from " << from;
            ASSERT_EQ(folded.Find(upperHay, from), expected) << needle << " from " << from;
        }
    }
}

TEST(StatusLine, StampAndIndent) {
    struct Case {
        std::string text;
        int level;
        bool timed;
        uint32_t ms;
        std::string line;
    };
    const Case cases[] = {
        {"Replaced:x", 3, true, 65000, "0:01:05>    Replaced:x"},
        {"Replaced:x", 3, true, 65999, "0:01:05>    Replaced:x"},
        {"[Logging to C:\\l.log]", 0, true, 0, "0:00:00>[Logging to C:\\l.log]"},
        {"C:\\a.txt", 1, false, 5000, "C:\\a.txt"},
        {"from: x", 2, false, 0, "  from: x"},
        {"deep", 30, false, 0, std::string(34, ' ') + "deep"},
        {"late", 1, true, (3 * 3600 + 7 * 60 + 9) * 1000u, "3:07:09>late"},
        {"", 1, false, 0, ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(StatusLineText(k.text, k.level, k.timed, k.ms), k.line) << k.text;
}

TEST(Classification, TheContentTestCountsOddBytes) {
    const std::string ascii(128, 'x');
    auto withTabs = [&](int tabs) {
        std::string s = ascii;
        for (int i = 0; i < tabs; ++i) s[size_t(i) * 10] = '\t';
        return s;
    };
    EXPECT_TRUE(IsTextSample(""));
    EXPECT_TRUE(IsTextSample(ascii));
    EXPECT_TRUE(IsTextSample(withTabs(6)));
    EXPECT_FALSE(IsTextSample(withTabs(7)));
    EXPECT_TRUE(IsTextSample(std::string(64, '\r') + std::string(64, '\n')));
    // Only the first 128 bytes are looked at.
    EXPECT_TRUE(IsTextSample(ascii + std::string(1000, '\0')));
    EXPECT_FALSE(IsTextSample("\x1f\x8b\x08"));
    EXPECT_EQ(LongestLiteral("ab*cde?f#"), "cde");
    EXPECT_EQ(LongestLiteral("*?#"), "");
}

}  // namespace
}  // namespace lark
