// The wildcard matcher against a plain reference that tries every split at every star: they
// must agree on short texts (where the reference is quick enough), in both forms.
#include "base/text.h"
#include "base/wildcard.h"
#include "fuzz_support.h"

using namespace lark;

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }
bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool Reference(std::string_view t, std::string_view p, bool ignoreCase, bool digitRuns) {
    if (p.empty()) return t.empty();
    if (p[0] == '*') {
        // A "?" or "#" after a star starts on a whole character; a literal wherever it stands.
        const bool wholeCharacter = p.size() > 1 && (p[1] == '?' || (p[1] == '#' && digitRuns));
        for (size_t s = 0; s <= t.size(); ++s) {
            if (wholeCharacter && s < t.size() && Continuation(t[s])) continue;
            if (Reference(t.substr(s), p.substr(1), ignoreCase, digitRuns)) return true;
        }
        return false;
    }
    if (t.empty()) return false;
    size_t used = 1;
    if (p[0] == '?') {
        while (used < t.size() && Continuation(t[used])) ++used;
    } else if (p[0] == '#' && digitRuns) {
        if (!Digit(t[0])) return false;
        while (used < t.size() && Digit(t[used])) ++used;
    } else if (ignoreCase ? AsciiLower(p[0]) != AsciiLower(t[0]) : p[0] != t[0]) {
        return false;
    }
    return Reference(t.substr(used), p.substr(1), ignoreCase, digitRuns);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [pattern, text] = fuzz::SplitAtNul(fuzz::AsText(data, size));
    if (pattern.size() > 24 || text.size() > 48) return 0;
    if (!pattern.empty() && WildcardMatch(text, pattern) != Reference(text, pattern, false, true))
        fuzz::Broken("WildcardMatch disagrees with the reference", pattern, text);
    if (pattern != "*.*" &&
        FileMaskMatch(text, pattern) != Reference(text, pattern, true, false))
        fuzz::Broken("FileMaskMatch disagrees with the reference", pattern, text);
    return 0;
}
