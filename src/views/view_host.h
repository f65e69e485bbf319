#pragma once
// What the view logic asks of the window that shows the views. The main window
// implements it; tests implement it with a recorder.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/path_list.h"
#include "search/search_results.h"

namespace lark {

struct HistoryNode;
struct ViewCatalogue;
struct ViewTreeNode;

class ViewHost {
  public:
    virtual ~ViewHost() = default;
    virtual void SetCaption(std::string_view caption) = 0;
    virtual void SetStatusText(std::string_view text) = 0;
    virtual std::string OpenBoxText() = 0;
    virtual void SetOpenBoxText(std::string_view text) = 0;
    // The text of the search dialog's keyword box.
    virtual std::string SearchKeywords() = 0;

    // Row updates between Begin and End are shown at once at the End.
    virtual void BeginListUpdate() = 0;
    virtual void EndListUpdate() = 0;
    virtual void SetListRowCount(size_t count) = 0;
    // The display style only; the user's chosen style is kept by the caller.
    virtual void SetListStyle(int style) = 0;
    virtual void RepaintList() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    virtual void EnableSearchMenu() = 0;

    virtual void FillViewSelectors(const ViewCatalogue& catalogue) = 0;
    // Selects the entry with exactly this text; no selection when there is none.
    virtual void SelectCatalogueName(std::string_view name) = 0;
    virtual void SelectSelectorText(std::string_view text) = 0;
    virtual void FillViewsTree(const std::vector<ViewTreeNode>& nodes) = 0;
    // The date tree, its groups collapsed; each node knows its index in nodes.
    virtual void FillHistoryTree(const std::vector<HistoryNode>& nodes) = 0;
    // Shows the side panel and splitter under the title, remembering the band and toolbar
    // widths; hides the View selector band when asked.
    virtual void OpenSidePanel(std::string_view title, bool hideViewSelector) = 0;
    // Hides the side panel and splitter and shows the View selector band again at its
    // remembered width.
    virtual void CloseSidePanel() = 0;
    // Menu checks and button states of the two side-panel modes; the tree allows several
    // selected nodes (Ctrl, Shift) in History mode only.
    virtual void SetPanelModes(bool viewsMode, bool historyMode) = 0;
    // Waits while still processing window messages.
    virtual void WaitPumping(uint32_t milliseconds) = 0;
};

// What reading a saved search's file came to.
enum class SavedSearchLoad {
    Loaded,     // the criteria are the file's: the search runs
    NotLoaded,  // no such file, or none that can be read: the criteria are unchanged
    Abandoned,  // the user was told what is wrong with the file: the operation goes no further
};

// Runs a saved search: LoadCriteria of the ".lks" file and, when it was loaded,
// SearchIndex into the results list.
class SavedSearchRunner {
  public:
    virtual ~SavedSearchRunner() = default;
    // True when the criteria are now the file's.
    virtual bool LoadCriteria(std::string_view lksPath) = 0;
    // LoadCriteria that also tells a broken file (the user was told) from a missing one.
    virtual SavedSearchLoad LoadSavedSearch(std::string_view lksPath) {
        return LoadCriteria(lksPath) ? SavedSearchLoad::Loaded : SavedSearchLoad::NotLoaded;
    }
    virtual void SearchIndex(SearchResults& lastSearchResults) = 0;
};

}  // namespace lark
