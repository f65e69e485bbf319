#pragma once
// The keyword query: tokenised once per search, then evaluated left to right for every
// index entry without allocating.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

// Case-folding literal search: needle is lower-case; letters of hay match in either case,
// every other byte exactly. Returns the offset of the first occurrence or npos.
class FoldedFinder {
  public:
    FoldedFinder() = default;
    explicit FoldedFinder(std::string_view lowerNeedle);
    size_t Find(std::string_view hay, size_t from = 0) const;
    size_t size() const { return needle_.size(); }
    // Bit j set when the needle's first and last bytes fit at at + j, for j in 0..63; the
    // bytes from at to at + 63 + size() - 1 must be readable. Only a needle of one or two
    // bytes is then known to occur; a longer one needs EqualAt.
    uint64_t EndsFit64(const char* at) const;
    bool EqualAt(const char* at) const;

  private:
    std::string needle_;
    std::string masks_;  // 0x20 for letters, 0 otherwise: (byte | mask) == needle byte
};

// The subject must already be lower-cased (ASCII A-Z only); the keywords are lower-cased here.
// Tokenises the query on every call: for one-off tests; a search compiles a KeywordQuery.
bool MatchesKeywords(std::string_view subject, std::string_view keywords);

class KeywordQuery {
  public:
    explicit KeywordQuery(std::string_view keywords);

    // The subject may be in any letter case: letters compare as their lower-case forms.
    // scratch is lower-cased into only for terms that need the general matcher.
    bool Matches(std::string_view subject, std::string& scratch) const;
    bool Matches(std::string_view subject) const {
        std::string scratch;
        return Matches(subject, scratch);
    }

    // Lower-case literals such that every matching subject contains at least one of them,
    // picked to keep the summed cost low (cost: a guess at how often a literal occurs);
    // nullopt when the query has no such set (a negated-only term, a term without literal
    // text, or a query that matches everything or nothing). Parts of a literal on both sides
    // of splitAt are taken apart first ('\0': none).
    std::optional<std::vector<std::string>> AnyOfLiterals(
        const std::function<int64_t(std::string_view)>& cost, char splitAt = '\0') const;
    // Where a plain term's text must stand in the subject.
    enum class Anchor { Anywhere, Start, End };
    struct PlainTerm {
        std::string text;  // lower case; "" for a term that matches anything
        Anchor anchor = Anchor::Anywhere;
    };
    // When every term is a plain word or phrase, perhaps with stars only at its ends (or
    // matches anything), the text each term looks for and where, in order; nullopt when a
    // term has "?", "#" or a star between letters. Such a query is decided by which of these
    // texts stand where they must in the subject.
    std::optional<std::vector<PlainTerm>> PlainTerms() const;
    // The answer for a subject in which exactly the terms whose bits are set in occurring
    // (bit i: term i, as PlainTerms lists them) find their text.
    bool MatchesGiven(uint64_t occurring) const;

    // Known without looking at any subject.
    bool MatchesNothing() const { return constant_ && !constantValue_; }
    bool MatchesEverything() const { return constant_ && constantValue_; }

  private:
    enum class Kind { All, Substring, Segments, General };
    struct Step {
        bool orMode = false;
        bool negate = false;
        Kind kind = Kind::General;
        std::string pattern;                // lower-case, as WildcardMatch takes it
        std::vector<std::string> segments;  // pattern split at "*" (Segments only)
        FoldedFinder finder;                // Substring only
    };
    static bool StepMatches(const Step& step, std::string_view subject, std::string& scratch,
                            bool& lowered);

    bool initial_ = true;
    bool constant_ = false;
    bool constantValue_ = false;
    std::vector<Step> steps_;
};

}  // namespace lark
