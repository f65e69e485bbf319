// The keyword query against one subject: the compiled query, the one-off matcher, the
// literal every match must hold and the plain-term shortcut all agree.
#include "base/text.h"
#include "fuzz_support.h"
#include "search/query.h"

using namespace lark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [keywords, subject] = fuzz::SplitAtNul(fuzz::AsText(data, size));
    if (keywords.size() > 4096 || subject.size() > 4096) return 0;
    const KeywordQuery query(keywords);
    const std::string lower = LowerCase(subject);
    const bool matches = query.Matches(subject);
    if (matches != MatchesKeywords(lower, keywords))
        fuzz::Broken("compiled and one-off queries disagree", keywords, subject);
    if (query.MatchesNothing() && matches) fuzz::Broken("a query that matches nothing matched");
    if (query.MatchesEverything() && !matches) fuzz::Broken("a query that matches all missed");
    if (auto literals = query.AnyOfLiterals([](std::string_view) { return int64_t(1); });
        literals && matches) {
        bool holds = false;
        for (const std::string& literal : *literals)
            holds = holds || lower.find(literal) != std::string::npos;
        if (!holds) fuzz::Broken("a match holds none of the query's literals", keywords, subject);
    }
    return 0;
}
