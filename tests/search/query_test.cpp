// GCC 12 at -O2 reports overlaps that cannot happen inside std::string's inlined copies
// (its bug 105651); the MinGW build treats warnings as errors.
#pragma GCC diagnostic ignored "-Wrestrict"

#include "search/query.h"

#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "base/wildcard.h"

namespace lark {
namespace {

// The evaluation written out token by token, exactly as the query language defines it:
// the yardstick for the compiled query.
bool ReferenceMatches(std::string_view subject, std::string_view keywords) {
    std::string text = LowerCase(keywords);
    std::string token = SplitNextToken(text, " ");
    bool result = token != "or";
    bool orMode = false;
    while (!token.empty()) {
        bool negate = false;
        if (token == "and" || token == "+" || token == "-") {
            orMode = false;
            negate = token == "-";
            token = SplitNextToken(text, " ");
            if (token.empty()) break;
        }
        if (token == "or") {
            orMode = true;
            token = SplitNextToken(text, " ");
            if (token.empty()) break;
        }
        if (token == "not") {
            negate = true;
            token = SplitNextToken(text, " ");
            if (token.empty()) break;
        }
        if (token[0] == '+' || token[0] == '-') {
            negate = token[0] == '-';
            token.erase(0, 1);
        }
        if (token.find('*') == std::string::npos) token = "*" + token + "*";
        if (!orMode) {
            if (!result) break;
        } else {
            if (result) break;
        }
        result = WildcardMatch(subject, token) != negate;
        token = SplitNextToken(text, " ");
    }
    return result;
}

const char* const kWords[] = {"a",  "b",   "ab", "ba",   "rep",      "doc", ".doc",
                              "1",  "19",  "x",  "old",  "\xc3\xa9", "A",   "Rep",
                              "\\", "r?p", "?b", ".d?c", "\xc3\xa9?"};

class QueryGenerator {
  public:
    explicit QueryGenerator(uint32_t seed) : rng_(seed) {}

    std::string Query() {
        if (Chance(30)) return Pick({"", " ", "  ", " a", "or", "and", "not", "-", "+"});
        std::string q;
        if (Chance(15)) q += ' ';
        int parts = 1 + Below(5);
        for (int i = 0; i < parts; ++i) {
            if (i > 0) q += Chance(8) ? "  " : " ";
            q += Part();
        }
        if (Chance(10)) q += ' ';
        return q;
    }

    std::string Subject() {
        static const char kBytes[] = "abAB.19x\\ -dcoeprDOC_\xc3\xa9";
        std::string s;
        if (Chance(50)) {
            // Built from the query words, so that matches are common.
            int words = 1 + Below(3);
            for (int i = 0; i < words; ++i) {
                std::string w = kWords[Below(int(std::size(kWords)))];
                if (Chance(30)) w = UpperCase(w);
                s += w;
                if (Chance(70)) s += kBytes[Below(sizeof kBytes - 1)];
            }
            return s;
        }
        int n = Below(14);
        for (int i = 0; i < n; ++i) s += kBytes[Below(sizeof kBytes - 1)];
        if (Chance(20))
            s = Pick({"report.doc", "Old Report.DOC", "annual reports 2004.txt", "1999.txt",
                      "19.txt", "budget.xls", "budget",
                      "\xc3\xa9"
                      "b.d\xc3\xa9"
                      "c",
                      "r\xc3\xa9p.doc"});
        return s;
    }

  private:
    bool Chance(int percent) { return Below(100) < percent; }
    int Below(int n) { return int(rng_() % uint32_t(n)); }
    std::string Pick(std::initializer_list<const char*> items) {
        return *(items.begin() + Below(int(items.size())));
    }

    std::string Word() {
        std::string w = kWords[Below(int(std::size(kWords)))];
        switch (Below(12)) {
            case 0:
                w = "*" + w;
                break;
            case 1:
                w += "*";
                break;
            case 2:
                w = "*" + w + "*";
                break;
            case 3:
                w += "?";
                break;
            case 4:
                w.insert(0, "?");
                break;
            case 5:
                w += "#";
                break;
            case 6:
                w += "##";
                break;
            case 7:
                w = w + "*" + Pick({"doc", ".d?c", "b", "#", ""});
                break;
            case 8:
                w = "*" + w + "*" + Pick({"a", "?", "x"}) + "*";
                break;
            default:
                break;
        }
        return w;
    }

    std::string Part() {
        switch (Below(10)) {
            case 0:
            case 1:
                return Pick({"and", "or", "not", "+", "-", "AND", "Or", "NOT"});
            case 2:
                return Pick({"+", "-"}) + Word();
            case 3:
                return "\"" + Word() + " " + Word() + "\"" + (Chance(50) ? Word() : "");
            case 4:
                return "'" + Word() + "'" + (Chance(50) ? "s" : "");
            case 5:
                return Pick({"\"", "'", "\"or\"", "\"\"", "\"open"}) + (Chance(50) ? Word() : "");
            default:
                return Word();
        }
    }

    std::mt19937 rng_;
};

TEST(KeywordQuery, AgreesWithTheStepByStepEvaluation) {
    QueryGenerator gen(20041);
    int pairs = 0, matches = 0;
    std::string scratch;
    for (int q = 0; q < 6000; ++q) {
        const std::string keywords = gen.Query();
        const KeywordQuery query(keywords);
        // Two ways of pricing literals, so that different sets get chosen.
        const auto byLength =
            query.AnyOfLiterals([](std::string_view l) { return int64_t(100 - l.size()); });
        const auto byByte = query.AnyOfLiterals(
            [](std::string_view l) { return int64_t(uint8_t(l.back())); }, '\\');
        for (int s = 0; s < 20; ++s, ++pairs) {
            const std::string subject = gen.Subject();
            const std::string lower = LowerCase(subject);
            const bool expected = ReferenceMatches(lower, keywords);
            matches += expected;
            ASSERT_EQ(query.Matches(subject, scratch), expected)
                << "query [" << keywords << "] subject [" << subject << "]";
            ASSERT_EQ(MatchesKeywords(lower, keywords), expected);
            if (!expected) continue;
            // A matching subject holds at least one of the literals a scan would look for.
            for (const auto& set : {byLength, byByte}) {
                if (!set) continue;
                bool found = false;
                for (const auto& literal : *set) found |= lower.find(literal) != std::string::npos;
                ASSERT_TRUE(found) << "query [" << keywords << "] subject [" << subject << "]";
            }
        }
    }
    EXPECT_GE(pairs, 100000);
    // Both answers must be common, or the comparison proves little.
    EXPECT_GT(matches, pairs / 10);
    EXPECT_LT(matches, pairs * 9 / 10);
}

TEST(KeywordQuery, LanguageExamples) {
    struct Case {
        const char* subject;
        const char* query;
        bool match;
    } cases[] = {
        {"anything", "", true},
        {"anything", " report", true},  // a leading blank ends the query at once
        {"anything", "or", false},
        {"anything", "and", true},
        {"anything", "not", true},
        {"anything", "-", true},
        {"anything", "+", true},
        {"a.txt", "a  b", true},  // two blanks: only "a" counts
        {"report.doc", "Report", true},
        {"x", "x AND y", false},
        {"x", "y Or x", true},
        {"x", "NOT x", false},
        {"report.doc", "rep*", true},
        {"old report.doc", "rep*", false},
        {"old report.doc", "*.doc", true},
        {"1999.txt", "19##", false},
        {"1999.txt", "19#", true},
        {"190.txt", "19#", true},
        {"19.txt", "19#", false},
        {"budget", "budget?", false},
        {"budgets", "budget?", true},
        {"a", "a b or c", false},  // a AND (b OR c)
        {"ac", "a b or c", true},
        {"b", "a or b c", true},
        {"old.doc", "not +old", true},  // a term prefix overrides "not"
        {"old.doc", "+ not old", false},
        {"old.doc", "report -old", false},
        {"x", "and or x", true},
        {"annual report.doc", "\"annual report\"", true},
        {"annual report.doc", "'annual report'", true},
        {"annual reports 2004.txt", "\"annual report\"s 2004", true},
        {"x", "\"or\" x", true},  // a quoted operator word is still the operator
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesKeywords(c.subject, c.query), c.match) << c.query << " / " << c.subject;
        EXPECT_EQ(ReferenceMatches(c.subject, c.query), c.match) << c.query << " / " << c.subject;
    }
}

TEST(FoldedFinder, FindsLikeALowerCasedSearch) {
    std::mt19937 rng(7);
    static const char kBytes[] = "aAbBzZ@`[{.\\\xc1\xe1\r\n";
    for (int round = 0; round < 3000; ++round) {
        std::string hay;
        int n = int(rng() % 80);
        for (int i = 0; i < n; ++i) hay += kBytes[rng() % (sizeof kBytes - 1)];
        std::string needle;
        int m = 1 + int(rng() % 4);
        for (int i = 0; i < m; ++i) needle += kBytes[rng() % (sizeof kBytes - 1)];
        needle = LowerCase(needle);
        size_t from = hay.empty() ? 0 : rng() % hay.size();
        FoldedFinder finder(needle);
        ASSERT_EQ(finder.Find(hay, from), LowerCase(hay).find(needle, from))
            << "[" << hay << "] [" << needle << "] from " << from;
    }
}

}  // namespace
}  // namespace lark
