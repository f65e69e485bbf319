#pragma once
// An index text in the format the builder writes, made up from a seed: folders of mixed
// depth, names with blanks, digits, dots and upper-case letters, a few folders with a dot in
// their name. Big enough on request to be walked in pieces.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace lark::test {

inline std::string GeneratedIndex(size_t entries, uint32_t seed = 7) {
    static const char* const kWords[] = {"report", "Budget", "invoice", "letter", "notes",
                                         "Photo",  "plan",   "draft",   "old",    "data.v2",
                                         "Résumé", "memo",   "IMG",     "backup", "Report"};
    static const char* const kExts[] = {".txt", ".doc", ".JPG", ".jpg", ".xls", ".pdf", ""};
    std::mt19937 rng(seed);
    auto below = [&rng](size_t n) { return size_t(rng() % uint32_t(n)); };
    auto word = [&] { return std::string(kWords[below(std::size(kWords))]); };
    std::string out = "C:\\Root;D:\\Other;::C:\\Root\\Skip;\r\n";
    std::vector<std::string> stack{"C:\\Root"};
    out += "C:\\Root\\\r\n";
    for (size_t written = 1; written < entries; ++written) {
        if (below(8) == 0) {
            while (stack.size() > 1 && (stack.size() > 6 || below(3) == 0)) stack.pop_back();
            if (below(50) == 0) stack.assign(1, below(2) ? "C:\\Root" : "D:\\Other");
            stack.push_back(stack.back() + "\\" + word() + (below(4) ? "" : " " + word()));
            out += stack.back() + "\\\r\n";
        } else {
            out += word() + (below(3) ? "_" + std::to_string(below(2000)) : " " + word()) +
                   kExts[below(std::size(kExts))] + "\r\n";
        }
    }
    return out;
}

}  // namespace lark::test
