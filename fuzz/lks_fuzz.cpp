// A saved search (".lks"): any bytes load or stop at a bad number without harm, and the
// criteria written back load to the same criteria.
#include "fuzz_support.h"
#include "search/criteria.h"

using namespace lark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr const char* kPath = "C:\\Searches\\fuzz.lks";
    fuzz::Context c;
    c.fs.AddFile(kPath, fuzz::AsText(data, size));
    SearchCriteria first;
    std::string error;
    if (LoadCriteria(c.ctx, first, kPath, &error) == LoadCriteriaResult::NotLoaded)
        fuzz::Broken("an existing saved search did not load");
    const std::string once = CriteriaFileText(first);
    c.fs.AddFile(kPath, once);
    SearchCriteria second;
    if (LoadCriteria(c.ctx, second, kPath, &error) != LoadCriteriaResult::Loaded)
        fuzz::Broken("written criteria did not load", once, error);
    const std::string twice = CriteriaFileText(second);
    if (once != twice) fuzz::Broken("written criteria load differently", once, twice);
    return 0;
}
