#pragma once
// What the instant-find window asks of the program around it.
#include <string>
#include <string_view>

#include "instant/instant_search.h"
#include "search/resident_index.h"
#include "search/search_results.h"

namespace lark {

class InstantFindHost {
  public:
    virtual ~InstantFindHost() = default;
    // The index to search: the resident text, read again when the file changed, or the
    // text of before while a build is writing the file.
    virtual ResidentIndex::Snapshot IndexSnapshot() = 0;
    // Opens path as the open box does with verb ("open", or "openpath" for its folder); the
    // recent documents are updated.
    virtual void Launch(std::string_view verb, const std::string& path) = 0;
    // The main window shows the results as "<Last Search>" of the query.
    virtual void ShowAsLastSearch(SearchResults results, const InstantQuery& query) = 0;
};

}  // namespace lark
