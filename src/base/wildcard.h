#pragma once
// The program's one wildcard matcher, in the two forms it is asked for.
#include <string_view>

namespace lark {

// Whole-text, case-sensitive match: "*" any run, "?" one character, "#" a greedy run of
// one or more digits (never given back), anything else literal; an empty pattern
// matches everything. No allocation; recursion only at "*".
bool WildcardMatch(std::string_view text, std::string_view pattern);

// A file-name mask as the Windows find functions read it: "*" and "?" only, letter case
// ignored, and "*.*" taking names without a dot as well.
bool FileMaskMatch(std::string_view name, std::string_view mask);

}  // namespace lark
