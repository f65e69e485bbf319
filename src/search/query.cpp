#include "search/query.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"
#include "base/wildcard.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lark {

namespace {

bool IsLowerLetter(char c) {
    return c >= 'a' && c <= 'z';
}

// One byte of a lower-case pattern against one byte of a subject in any letter case.
bool SameFolded(char patternByte, char subjectByte) {
    return IsLowerLetter(patternByte) ? char(subjectByte | 0x20) == patternByte
                                      : subjectByte == patternByte;
}

// A segment is literal text between stars, compared at one place of the subject.
bool SegmentAt(std::string_view subject, size_t at, std::string_view segment) {
    for (size_t k = 0; k < segment.size(); ++k) {
        if (!SameFolded(segment[k], subject[at + k])) return false;
    }
    return true;
}

size_t FindSegment(std::string_view subject, size_t from, size_t limit, std::string_view segment) {
    if (limit < segment.size()) return std::string_view::npos;
    for (size_t p = from; p + segment.size() <= limit; ++p) {
        if (SegmentAt(subject, p, segment)) return p;
    }
    return std::string_view::npos;
}

std::vector<std::string> SplitAt(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
}

// The runs of literal bytes of a pattern: each must occur in any text the pattern matches.
std::vector<std::string> LiteralRuns(std::string_view pattern) {
    std::vector<std::string> runs;
    std::string run;
    for (char c : pattern) {
        if (c == '*' || c == '?' || c == '#') {
            if (!run.empty()) runs.push_back(std::move(run));
            run.clear();
        } else {
            run += c;
        }
    }
    if (!run.empty()) runs.push_back(std::move(run));
    return runs;
}

}  // namespace

bool MatchesKeywords(std::string_view subject, std::string_view keywords) {
    return KeywordQuery(keywords).Matches(subject);
}

KeywordQuery::KeywordQuery(std::string_view keywords) {
    const std::string lowered = LowerCase(keywords);
    std::string_view text(lowered);
    auto next = [&text] { return SplitNextToken(text, " "); };
    std::string token = next();
    initial_ = token != "or";
    bool orMode = false;
    // The walk over the operator words does not depend on the subject, so it is done once
    // here; only the terms, with the mode and negation in force for each, are kept.
    while (!token.empty()) {
        bool negate = false;
        if (token == "and" || token == "+" || token == "-") {
            orMode = false;
            negate = token == "-";
            token = next();
            if (token.empty()) break;
        }
        if (token == "or") {
            orMode = true;
            token = next();
            if (token.empty()) break;
        }
        if (token == "not") {
            negate = true;
            token = next();
            if (token.empty()) break;
        }
        if (token[0] == '+' || token[0] == '-') {
            negate = token[0] == '-';
            token.erase(0, 1);
        }
        Step step;
        step.orMode = orMode;
        step.negate = negate;
        step.pattern = token.find('*') == std::string::npos ? "*" + token + "*" : token;
        if (step.pattern.find_first_not_of('*') == std::string::npos) {
            step.kind = Kind::All;
        } else if (step.pattern.find_first_of("#?") != std::string::npos) {
            // "#" and "?" take runs of varying length ("?" a whole UTF-8 character).
            step.kind = Kind::General;
        } else {
            step.segments = SplitAt(step.pattern, '*');
            size_t filled = 0;
            for (const auto& s : step.segments) filled += !s.empty();
            const bool floating = step.pattern.front() == '*' && step.pattern.back() == '*';
            if (floating && filled == 1) {
                step.kind = Kind::Substring;
                for (const auto& s : step.segments)
                    if (!s.empty()) step.finder = FoldedFinder(s);
            } else {
                step.kind = Kind::Segments;
            }
        }
        steps_.push_back(std::move(step));
        token = next();
    }

    if (steps_.empty()) {
        constant_ = true;
        constantValue_ = initial_;
    } else if (!steps_[0].orMode && !initial_) {
        constant_ = true;
        constantValue_ = false;
    } else if (steps_[0].orMode && initial_) {
        constant_ = true;
        constantValue_ = true;
    }
}

bool KeywordQuery::StepMatches(const Step& step, std::string_view subject, std::string& scratch,
                               bool& lowered) {
    switch (step.kind) {
        case Kind::All:
            return true;
        case Kind::Substring:
            return step.finder.Find(subject) != std::string_view::npos;
        case Kind::Segments: {
            const std::string& first = step.segments.front();
            const std::string& last = step.segments.back();
            const size_t n = subject.size();
            if (n < first.size() + last.size()) return false;
            if (!SegmentAt(subject, 0, first) || !SegmentAt(subject, n - last.size(), last))
                return false;
            size_t pos = first.size();
            const size_t limit = n - last.size();
            // Literal parts between stars: the leftmost place of each leaves the most room
            // for the rest, so a greedy walk is exact.
            for (size_t i = 1; i + 1 < step.segments.size(); ++i) {
                const std::string& mid = step.segments[i];
                if (mid.empty()) continue;
                size_t at = FindSegment(subject, pos, limit, mid);
                if (at == std::string_view::npos) return false;
                pos = at + mid.size();
            }
            return true;
        }
        case Kind::General:
            if (!lowered) {
                scratch.assign(subject);
                for (char& c : scratch) c = AsciiLower(c);
                lowered = true;
            }
            return WildcardMatch(scratch, step.pattern);
    }
    return false;
}

bool KeywordQuery::Matches(std::string_view subject, std::string& scratch) const {
    if (constant_) return constantValue_;
    bool result = initial_;
    bool lowered = false;
    for (const Step& step : steps_) {
        if (step.orMode ? result : !result) return result;
        result = StepMatches(step, subject, scratch, lowered) != step.negate;
    }
    return result;
}

std::optional<std::vector<KeywordQuery::PlainTerm>> KeywordQuery::PlainTerms() const {
    std::vector<PlainTerm> terms;
    for (const Step& step : steps_) {
        if (step.kind == Kind::All) {
            terms.emplace_back();
            continue;
        }
        if (step.kind == Kind::General) return std::nullopt;
        // One run of letters between the stars: the stars stand only at the ends.
        const auto filled = [](const std::string& s) { return !s.empty(); };
        if (std::count_if(step.segments.begin(), step.segments.end(), filled) != 1)
            return std::nullopt;
        PlainTerm term;
        term.text = *std::find_if(step.segments.begin(), step.segments.end(), filled);
        const bool starFirst = step.pattern.front() == '*', starLast = step.pattern.back() == '*';
        term.anchor = starFirst && starLast ? Anchor::Anywhere
                      : starFirst           ? Anchor::End
                                            : Anchor::Start;
        terms.push_back(std::move(term));
    }
    return terms;
}

bool KeywordQuery::MatchesGiven(uint64_t occurring) const {
    if (constant_) return constantValue_;
    bool result = initial_;
    for (size_t i = 0; i < steps_.size(); ++i) {
        const Step& step = steps_[i];
        if (step.orMode ? result : !result) return result;
        const bool found = step.kind == Kind::All || (i < 64 && (occurring >> i & 1) != 0);
        result = found != step.negate;
    }
    return result;
}

std::optional<std::vector<std::string>> KeywordQuery::AnyOfLiterals(
    const std::function<int64_t(std::string_view)>& cost, char splitAt) const {
    struct Need {
        bool known = false;
        std::vector<std::string> literals;
        int64_t cost = 0;
    };
    // A positive term needs every literal run of its pattern; the cheapest one will do.
    auto termNeed = [&](const Step& step) {
        Need need;
        if (step.negate) return need;
        for (const auto& run : LiteralRuns(step.pattern)) {
            for (const auto& piece :
                 splitAt ? SplitAt(run, splitAt) : std::vector<std::string>{run}) {
                if (piece.empty() || piece.find_first_of("\r\n") != std::string::npos) continue;
                const int64_t c = cost(piece);
                if (!need.known || c < need.cost) need = Need{true, {piece}, c};
            }
        }
        return need;
    };
    if (constant_ || steps_.empty()) return std::nullopt;
    // The answer is t1 op2 (t2 op3 (... tn)), where op_i is the mode of term i: worked
    // from the right, an "and" needs either side's literals, an "or" needs one of both.
    Need need = termNeed(steps_.back());
    for (size_t i = steps_.size() - 1; i-- > 0;) {
        Need term = termNeed(steps_[i]);
        if (!steps_[i + 1].orMode) {
            if (term.known && (!need.known || term.cost < need.cost)) need = std::move(term);
        } else if (term.known && need.known) {
            need.literals.insert(need.literals.end(), term.literals.begin(), term.literals.end());
            need.cost += term.cost;
        } else {
            need.known = false;
        }
    }
    if (!need.known) return std::nullopt;
    return need.literals;
}

FoldedFinder::FoldedFinder(std::string_view lowerNeedle) : needle_(lowerNeedle) {
    masks_.resize(needle_.size());
    for (size_t i = 0; i < needle_.size(); ++i) masks_[i] = IsLowerLetter(needle_[i]) ? 0x20 : 0;
}

bool FoldedFinder::EqualAt(const char* at) const {
    for (size_t k = 0; k < needle_.size(); ++k) {
        if (char(at[k] | masks_[k]) != needle_[k]) return false;
    }
    return true;
}

uint64_t FoldedFinder::EndsFit64(const char* at) const {
    const size_t m = needle_.size();
    if (m == 0) return ~uint64_t(0);
    const char first = needle_[0], firstMask = masks_[0];
    const char tail = needle_[m - 1], tailMask = masks_[m - 1];
    uint64_t bits = 0;
#if defined(__SSE2__)
    const __m128i vFirst = _mm_set1_epi8(first), kFirst = _mm_set1_epi8(firstMask);
    const __m128i vTail = _mm_set1_epi8(tail), kTail = _mm_set1_epi8(tailMask);
    for (int k = 0; k < 4; ++k) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k + m - 1));
        __m128i eq = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, kFirst), vFirst),
                                   _mm_cmpeq_epi8(_mm_or_si128(b, kTail), vTail));
        bits |= uint64_t(unsigned(_mm_movemask_epi8(eq))) << (16 * k);
    }
#else
    for (size_t j = 0; j < 64; ++j)
        if (char(at[j] | firstMask) == first && char(at[j + m - 1] | tailMask) == tail)
            bits |= uint64_t(1) << j;
#endif
    return bits;
}

size_t FoldedFinder::Find(std::string_view hay, size_t from) const {
    const size_t m = needle_.size();
    if (m == 0) return from <= hay.size() ? from : std::string_view::npos;
    if (hay.size() < m || from > hay.size() - m) return std::string_view::npos;
    const char* base = hay.data();
    const size_t lastStart = hay.size() - m;
    const char first = needle_[0], firstMask = masks_[0];
    const char tail = needle_[m - 1], tailMask = masks_[m - 1];
    size_t i = from;
#if defined(__SSE2__)
    // Sixteen candidate starts at once: the first and the last byte of the needle must
    // both fit before the whole needle is compared.
    const __m128i vFirst = _mm_set1_epi8(first), kFirst = _mm_set1_epi8(firstMask);
    const __m128i vTail = _mm_set1_epi8(tail), kTail = _mm_set1_epi8(tailMask);
    for (; i + 16 <= lastStart + 1; i += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i + m - 1));
        __m128i eq = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, kFirst), vFirst),
                                   _mm_cmpeq_epi8(_mm_or_si128(b, kTail), vTail));
        unsigned bits = unsigned(_mm_movemask_epi8(eq));
        while (bits != 0) {
            unsigned j = unsigned(__builtin_ctz(bits));
            if (EqualAt(base + i + j)) return i + j;
            bits &= bits - 1;
        }
    }
    // The starts left over, in one block that overlaps the starts already tried.
    if (i <= lastStart && lastStart + 1 >= 16) {
        const size_t back = lastStart + 1 - 16;
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + back));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + back + m - 1));
        __m128i eq = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, kFirst), vFirst),
                                   _mm_cmpeq_epi8(_mm_or_si128(b, kTail), vTail));
        // Only the starts from i on are new.
        unsigned bits = unsigned(_mm_movemask_epi8(eq)) & (0xFFFFu << (i - back));
        while (bits != 0) {
            unsigned j = unsigned(__builtin_ctz(bits));
            if (EqualAt(base + back + j)) return back + j;
            bits &= bits - 1;
        }
        return std::string_view::npos;
    }
#endif
    for (; i <= lastStart; ++i) {
        if (char(base[i] | firstMask) == first && char(base[i + m - 1] | tailMask) == tail &&
            EqualAt(base + i))
            return i;
    }
    return std::string_view::npos;
}

}  // namespace lark
