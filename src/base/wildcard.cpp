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

bool MatchFrom(const char* t, const char* te, const char* p, const char* pe, Rules rules) {
    while (p != pe) {
        const char c = *p;
        if (c == '*') {
            while (p != pe && *p == '*') ++p;  // a run of stars is one star
            if (p == pe) return true;
            // A literal after the star must stand at the next position tried: skip the
            // positions where it cannot match.
            const char next = *p;
            const bool literal = next != '?' && !(next == '#' && rules.digitRuns);
            for (const char* s = t; s <= te; ++s) {
                if (literal) {
                    while (s != te && !Same(*s, next, rules)) ++s;
                    if (s == te) return false;
                } else if (s != te && IsContinuationByte(*s)) {
                    continue;  // a "?" or "#" starts on a whole character
                }
                if (MatchFrom(s, te, p, pe, rules)) return true;
            }
            return false;
        }
        if (t == te) return false;
        if (c == '?') {
            // One character, which in UTF-8 text may be several bytes.
            ++t;
            while (t != te && IsContinuationByte(*t)) ++t;
        } else if (c == '#' && rules.digitRuns) {
            if (!IsDigit(*t)) return false;
            while (t != te && IsDigit(*t)) ++t;
        } else {
            if (!Same(c, *t, rules)) return false;
            ++t;
        }
        ++p;
    }
    return t == te;
}

bool Match(std::string_view text, std::string_view pattern, Rules rules) {
    return MatchFrom(text.data(), text.data() + text.size(), pattern.data(),
                     pattern.data() + pattern.size(), rules);
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
