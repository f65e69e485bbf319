#include "base/wildcard.h"

#include "base/text.h"

namespace lark {
namespace {

struct Rules {
    bool ignoreCase;  // ASCII letters only
    bool digitRuns;   // "#" is a run of digits rather than itself
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool Same(char a, char b, Rules rules) {
    return rules.ignoreCase ? AsciiLower(a) == AsciiLower(b) : a == b;
}

// Abort: the text ran out, so no later start for an earlier star can succeed either (a
// later start leaves less text for the same pattern). Without it a pattern such as
// "*#*#*#x" tries every combination of star positions on a long name: minutes, not
// microseconds.
enum class Outcome { Match, NoMatch, Abort };

Outcome MatchFrom(const char* t, const char* te, const char* p, const char* pe, Rules rules) {
    while (p != pe) {
        const char c = *p;
        if (c == '*') {
            while (p != pe && *p == '*') ++p;  // a run of stars is one star
            if (p == pe) return Outcome::Match;
            // A literal after the star must stand at the next position tried: skip the
            // positions where it cannot match.
            const char next = *p;
            const bool literal = next != '?' && !(next == '#' && rules.digitRuns);
            for (const char* s = t; s <= te; ++s) {
                if (literal) {
                    while (s != te && !Same(*s, next, rules)) ++s;
                    if (s == te) return Outcome::Abort;
                } else if (s != te && IsContinuationByte(*s)) {
                    continue;  // a "?" or "#" starts on a whole character
                }
                const Outcome rest = MatchFrom(s, te, p, pe, rules);
                if (rest != Outcome::NoMatch) return rest;
            }
            return Outcome::Abort;
        }
        if (t == te) return Outcome::Abort;
        if (c == '?') {
            // One character, which in UTF-8 text may be several bytes.
            ++t;
            while (t != te && IsContinuationByte(*t)) ++t;
        } else if (c == '#' && rules.digitRuns) {
            if (!IsDigit(*t)) return Outcome::NoMatch;
            while (t != te && IsDigit(*t)) ++t;
        } else {
            if (!Same(c, *t, rules)) return Outcome::NoMatch;
            ++t;
        }
        ++p;
    }
    return t == te ? Outcome::Match : Outcome::NoMatch;
}

bool Match(std::string_view text, std::string_view pattern, Rules rules) {
    return MatchFrom(text.data(), text.data() + text.size(), pattern.data(),
                     pattern.data() + pattern.size(), rules) == Outcome::Match;
}

}  // namespace

bool WildcardMatch(std::string_view text, std::string_view pattern) {
    if (pattern.empty()) return true;
    return Match(text, pattern, {.ignoreCase = false, .digitRuns = true});
}

bool FileMaskMatch(std::string_view name, std::string_view mask) {
    if (mask == "*.*") return true;
    return Match(name, mask, {.ignoreCase = true, .digitRuns = false});
}

}  // namespace lark
