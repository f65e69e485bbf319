#pragma once
// Loading and showing views: which paths a view lists, the rows made from them, the
// caption, status line and selectors, and the side panel's Views mode.
#include <functional>
#include <string>
#include <string_view>

#include "base/path_list.h"
#include "search/search_results.h"
#include "views/history.h"
#include "views/file_list.h"
#include "views/view_catalogue.h"
#include "views/view_host.h"

namespace lark {

struct AppContext;
class ShellServices;

class ViewController {
  public:
    ViewController(AppContext& ctx, ViewHost& host, ShellServices& shell,
                   SavedSearchRunner& search);
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // The path lists behind the views; the window owns them through this object.
    PathList RecentDocuments;
    SearchResults LastSearchResults;
    PathList TemplateDocuments;
    PathList RecentFolders;
    PathList RecentPrograms;
    PathList OtherUserDocuments;
    std::string CurrentViewName;
    const PathSource* CurrentViewList = nullptr;
    std::string NameFilter;  // lower case; empty: no filter

    FileListItems Items;
    FileListLocale Locale = DefaultFileListLocale();
    int ViewStyleIndex = kStyleLargeIcons;
    // Whether a row's modified time lies in the history selection; asked only in History
    // mode. By default the rule over HistoryDays and today's date.
    std::function<bool(double)> InHistorySelection;
    bool ViewsMode = false;
    bool HistoryMode = false;
    // History mode: the day flags, kept until the next selection in the date tree, and the
    // nodes of the date tree as last built.
    HistoryDayFlags HistoryDays{};
    std::vector<HistoryNode> HistoryNodes;
    DayCaption HistoryDayCaption = EnglishDayCaption;

    // Start-up: loads and prunes the recent list (false: the program must end).
    bool LoadRecentDocumentsAtStartup();
    void LoadViewStyleOption();
    void SaveViewStyleOption();
    void ApplyViewStyle(int style);

    // False when a saved search's file was broken (the user was told): nothing changed.
    bool LoadView(std::string_view name);
    void ShowView(std::string_view name, std::string_view filter = {});
    void ShowFixedView(std::string_view caption);
    void FillViewSelectors();
    void BuildViewsTree();
    // The saved searches changed: the catalogue, the View selector and, when it is shown,
    // the Views tree list them again; the view shown stays selected.
    void ViewListsChanged();
    void BuildHistoryTree();
    // The flags of the selected date-tree nodes (indexes into HistoryNodes).
    void ComputeHistoryDays(const std::vector<size_t>& selectedNodes);
    std::string SavedSearchFilePath(std::string_view name);

    // Handlers.
    // The open box's text changed. Typing a name filters the current view; paths written
    // by a selection never do, and emptying the box while a view is being shown is part of
    // showing it.
    void edOpenChange(std::string_view boxText);
    void coViews2Change(std::string_view text, int indent);
    void coViewsChange(std::string_view text);
    void tvChange(std::string_view text, std::string_view parentText);
    void buViewsClick();
    void mnuShowViewsClick() { buViewsClick(); }
    void buCloseTreeViewClick();
    void buHistoryClick();
    void mnuHistoryClick() { buHistoryClick(); }
    // The selection of the date tree changed; selectedNodes as for ComputeHistoryDays.
    void HistorySelectionChange(const std::vector<size_t>& selectedNodes);
    // The Recent-folder watch saw a change.
    void RecentFolderChanged();

    bool ShowingRecentPrograms() const { return CurrentViewList == &RecentPrograms; }
    // Programs are not renamed in place.
    bool LabelEditAllowed() const { return CurrentViewName != kRecentProgramsView; }

  private:
    ViewSources Sources();
    void Perform(const ViewRequest& request);
    // Reads a saved search's file when the view would run it (a view name under no filter).
    SavedSearchLoad ReadCriteriaOf(std::string_view name, std::string_view nameFilter);
    // LoadView once the saved search, if any, has been read.
    void FillView(std::string_view name, SavedSearchLoad savedSearch);
    // The selectors name the view shown again (a choice that was abandoned).
    void SelectShownView();

    AppContext& ctx_;
    ViewHost& host_;
    ShellServices& shell_;
    SavedSearchRunner& search_;
    int32_t historyToday_ = 0;  // today's day number during a load in History mode
    int showing_ = 0;  // ShowView calls under way
};

}  // namespace lark
