// The index walk: every way of walking (whole-text literal scan, block marking, line by
// line; in one part or two halves) finds exactly what visiting every line finds.
#include <memory>

#include "fuzz_support.h"
#include "search/criteria.h"
#include "search/filters.h"
#include "search/index_search.h"
#include "search/query.h"

using namespace lark;

namespace {

std::vector<std::string> Found(const SearchResults& results) {
    std::vector<std::string> paths;
    std::string scratch;
    for (size_t i = 0; i < results.PathCount(); ++i) paths.emplace_back(results.PathAt(i, scratch));
    return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto [keywords, text] = fuzz::SplitAtNul(fuzz::AsText(data, size));
    if (keywords.size() > 256) return 0;
    const KeywordQuery query(keywords);
    fuzz::Context c;
    SearchCriteria noFilters;
    const DateSizeFilter filter(c.fs, c.clock, noFilters);
    auto index = WholeFileFromText(std::string(text));
    for (int mode = 0; mode < 3; ++mode) {
        const bool filename = mode != 1;
        const bool path = mode != 0;
        SearchResults oracle;
        WalkIndex(index, query, filename, path, filter, nullptr, 7, oracle, WalkStrategy::EveryLine,
                  1);
        const std::vector<std::string> expected = Found(oracle);
        for (WalkStrategy strategy : {WalkStrategy::Auto, WalkStrategy::PlainTerms}) {
            for (int parts : {1, 2}) {
                SearchResults results;
                WalkIndex(index, query, filename, path, filter, nullptr, 7, results, strategy,
                          parts);
                if (Found(results) != expected)
                    fuzz::Broken("a walk found other paths than visiting every line", keywords);
            }
        }
    }
    return 0;
}
