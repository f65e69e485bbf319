#include "base/text.h"
#include "base/wildcard.h"

#include <gtest/gtest.h>

namespace lark {

TEST(SplitNextToken, QuotedPartJoinsTheRestUpToTheSeparator) {
    std::string text = "\"a b\"c d";
    EXPECT_EQ(SplitNextToken(text, " "), "a bc");
    EXPECT_EQ(text, "d");
    EXPECT_EQ(SplitNextToken(text, " "), "d");
    EXPECT_EQ(text, "");
}

TEST(SplitNextToken, CasesAndEdges) {
    struct Case {
        const char* text;
        const char* sep;
        const char* token;
        const char* rest;
    } cases[] = {
        {"a;b;c", ";", "a", "b;c"},
        {";b", ";", "", "b"},
        {"abc", ";", "abc", ""},
        {"\"", " ", "\"", ""},              // a lone quote is an ordinary character
        {"'x;y';z", ";", "x;y", "z"},       // single quotes too
        {"\"open only", " ", "\"open", "only"},
        {"keyANDvalue", "AND", "key", "value"},  // separators match ignoring case
        {"keyandvalue", "AND", "key", "value"},
        {"", " ", "", ""},
        {"a  b", " ", "a", " b"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(SplitNextToken(text, c.sep), c.token) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(WildcardMatch, Table) {
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    } cases[] = {
        {"Report12.doc", "Report#.doc", true},
        {"Report12.doc", "R*.do?", true},
        {"Report.doc", "Report#.doc", false},
        {"anything", "", true},
        {"", "", true},
        {"", "*", true},
        {"", "?", false},
        {"abc", "a*", true},
        {"abc", "*c", true},
        {"abc", "*b*", true},
        {"abc", "*x*", false},
        {"abc", "ABC", false},  // case-sensitive
        {"1999.txt", "*19#*", true},
        {"190.txt", "*19#*", true},
        {"19.txt", "*19#*", false},
        {"1999", "19##", false},  // the first "#" takes every digit
        {"budget", "*budget?*", false},
        {"budgets", "*budget?*", true},
        {"aaa", "**a", true},
        {"c:\\docs\\a.txt", "c:\\docs\\*", true},
        {"abab", "*ab", true},
        {"mississippi", "*sip*", true},
        {"mississippi", "m*iss*ppi", true},
        {"x1a", "x#", false},
        // "?" takes one whole character of UTF-8 text (Greek and Chinese letters).
        {"Δ.txt", "?.txt", true},
        {"文件", "??", true},
        {"文件", "?", false},
        {"文件", "*?", true},
        {"a文b", "a?b", true},
        {"a文b", "*?b", true},
        {"a文b", "a???b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

TEST(WildcardMatch, ManyStarsOnALongNameFinishAtOnce) {
    // Every star tried at every position would take minutes here.
    std::string runs;
    for (int i = 0; i < 1000; ++i) runs += "1a";
    EXPECT_FALSE(WildcardMatch(runs, "*#*#*#*#*#*#*#*#x"));
    EXPECT_TRUE(WildcardMatch(runs, "*#*#*#*#*#*#*#*#a"));
    EXPECT_FALSE(FileMaskMatch(std::string(3000, 'a'), "*a*a*a*a*a*a*a*a*b"));
}

TEST(PathHelpers, FolderExtensionBaseName) {
    EXPECT_EQ(FolderOfPath("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(FolderOfPath("C:\\a"), "C:");
    EXPECT_EQ(FolderOfPath("C:\\"), "C:");
    EXPECT_EQ(FolderOfPath("name"), "");
    EXPECT_EQ(FileExtensionOf("C:\\x\\Report.DOC"), "doc");
    EXPECT_EQ(FileExtensionOf("C:\\x.y\\Report"), "");
    EXPECT_EQ(FileExtensionOf("a.tar.GZ"), "gz");
    EXPECT_EQ(FileBaseName("C:\\plans.2004"), "plans");
    EXPECT_EQ(FileBaseName("C:\\x\\a.b.c"), "a");
    EXPECT_TRUE(IsValidFileName("C:\\x\\good name.txt"));
    EXPECT_TRUE(IsValidFileName("C:\\x\\"));
    EXPECT_FALSE(IsValidFileName("C:\\x\\what?.txt"));
    EXPECT_FALSE(IsValidFileName("C:\\x\\a/b"));
    EXPECT_FALSE(IsValidFileName("C:\\x\\\"q\""));
    // Greek and Chinese names are plain bytes to every helper.
    EXPECT_EQ(FolderOfPath("C:\\Έγγραφα\\文件.txt"), "C:\\Έγγραφα");
    EXPECT_EQ(FileExtensionOf("C:\\Έγγραφα\\文件.TXT"), "txt");
    EXPECT_EQ(FileBaseName("C:\\Έγγραφα\\文件.txt"), "文件");
}

TEST(Conversions, BoolAndInt) {
    for (const char* t : {"T", "y", "1", "yes", "TRUE", "Exist", "equal"}) EXPECT_TRUE(TextToBool(t)) << t;
    for (const char* f : {"F", "N", "on", "", " T", "2"}) EXPECT_FALSE(TextToBool(f)) << f;
    EXPECT_EQ(TextToInt("42"), 42);
    EXPECT_EQ(TextToInt("  -7"), -7);
    EXPECT_EQ(TextToInt("+3"), 3);
    EXPECT_EQ(TextToInt("7 "), 0);
    EXPECT_EQ(TextToInt("abc"), 0);
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("-"), 0);
    EXPECT_EQ(TextToInt("2147483647"), 2147483647);
    EXPECT_EQ(TextToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(TextToInt("2147483648"), 0);
    EXPECT_EQ(TextToInt("99999999999999999999"), 0);
}

TEST(PositionHelpers, OneBased) {
    EXPECT_EQ(PosFrom(1, "abcabc", "bc"), 2u);
    EXPECT_EQ(PosFrom(3, "abcabc", "bc"), 5u);
    EXPECT_EQ(PosFrom(7, "abcabc", "bc"), 0u);
    EXPECT_EQ(PosFrom(0, "abc", "a"), 0u);
    EXPECT_EQ(PosFrom(2, "abc", ""), 2u);
    EXPECT_EQ(PosFrom(1, "", ""), 0u);
    EXPECT_EQ(CopyFrom("abcdef", 3), "cdef");
    EXPECT_EQ(CopyFrom("abc", 4), "");
    EXPECT_EQ(TailChars("abcdef", 2), "ef");
    EXPECT_EQ(TailChars("ab", 5), "ab");
    EXPECT_EQ(HeadChars("abcdef", 2), "ab");
}

}  // namespace lark
