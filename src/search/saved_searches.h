#pragma once
// The three commands of the "Search" menu that manage saved searches: "Save search As...",
// "Revise search" and "Delete search". A saved search is a ".lks" file in the user's own
// Searches folder (its view is the file's name) or in the shared one (the name followed by
// the section sign).
#include <optional>
#include <string>
#include <string_view>

#include "ui/name_prompt.h"

namespace lark {

struct AppContext;
struct SearchCriteria;

// Ends the view name of a search shared with all users: the section sign, as UTF-8.
inline constexpr std::string_view kGlobalSearchMark = "\xC2\xA7";

// What the commands ask of the main window.
class SavedSearchHost {
  public:
    virtual ~SavedSearchHost() = default;
    // The name of the view shown.
    virtual std::string CurrentViewName() = 0;
    // The "Save Search" dialog; nothing when the user cancelled.
    virtual std::optional<NamePromptAnswer> AskSearchName(const NamePrompt& prompt) = 0;
    // The search dialog as it stands, not prepared for a new search, so the filters of the
    // shown search stay on; true when closed with OK.
    virtual bool ReviseSearch() = 0;
    // The ".lks" file of a saved-search view.
    virtual std::string SavedSearchFilePath(std::string_view viewName) = 0;
    // Shows the view with no name filter (a saved search runs again).
    virtual void ShowView(std::string_view viewName) = 0;
    // The saved searches changed: the view catalogue, the View selector and the Views tree
    // list them again.
    virtual void ViewListsChanged() = 0;
};

// Only views whose names do not begin with "<" are saved searches.
bool IsSavedSearchView(std::string_view viewName);

// Why a typed search name cannot be used, or empty when it can. Beyond what any file name
// must be, a search name holds no dot (the view is the file's name up to its first dot, so
// "Budget.v2" would be listed as a view that finds no file) other than a final ".lks", and
// does not end in the section sign that marks a shared search.
std::string SearchNameProblem(std::string_view name);

class SavedSearches {
  public:
    // criteria: the program's one set of search settings, as the search dialog left them.
    SavedSearches(AppContext& ctx, SearchCriteria& criteria, SavedSearchHost& host)
        : ctx_(ctx), criteria_(criteria), host_(host) {}

    void mnuSearchSaveClick();
    void mnuSearchEditClick();
    void mnuSearchDeleteClick();

  private:
    // False (the user was told) when the name cannot be used.
    bool AcceptName(std::string_view typed);

    AppContext& ctx_;
    SearchCriteria& criteria_;
    SavedSearchHost& host_;
};

}  // namespace lark
