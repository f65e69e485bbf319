#pragma once
// Loading and showing views: which paths a view lists, the rows made from them, the
// caption, status line and selectors, and the side panel's Views mode.
#include <functional>
#include <string>
#include <string_view>

#include "views/file_list.h"
#include "base/path_list.h"
#include "search/search_results.h"
#include "views/view_catalogue.h"
#include "views/view_host.h"

namespace lark {

struct AppContext;
class ShellServices;

class ViewController {
  public:
    ViewController(AppContext& ctx, ViewHost& host, ShellServices& shell,
                   SavedSearchRunner& search);

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
    // mode.
    std::function<bool(double)> InHistorySelection;
    bool ViewsMode = false;
    bool HistoryMode = false;

    // Start-up: loads and prunes the recent list (false: the program must end).
    bool LoadRecentDocumentsAtStartup();
    void LoadViewStyleOption();
    void SaveViewStyleOption();
    void ApplyViewStyle(int style);

    void LoadView(std::string_view name);
    void ShowView(std::string_view name, std::string_view filter = {});
    void ShowFixedView(std::string_view caption);
    void FillViewSelectors();
    void BuildViewsTree();
    // The saved searches changed: the catalogue, the View selector and, when it is shown,
    // the Views tree list them again; the view shown stays selected.
    void ViewListsChanged();
    std::string SavedSearchFilePath(std::string_view name);

    // Handlers.
    void coViews2Change(std::string_view text, int indent);
    void coViewsChange(std::string_view text);
    void tvChange(std::string_view text, std::string_view parentText);
    void buViewsClick();
    void mnuShowViewsClick() { buViewsClick(); }
    void buCloseTreeViewClick();
    // The Recent-folder watch saw a change.
    void RecentFolderChanged();

    bool ShowingRecentPrograms() const { return CurrentViewList == &RecentPrograms; }
    // Programs are not renamed in place.
    bool LabelEditAllowed() const { return CurrentViewName != kRecentProgramsView; }

  private:
    ViewSources Sources();
    void Perform(const ViewRequest& request);

    AppContext& ctx_;
    ViewHost& host_;
    ShellServices& shell_;
    SavedSearchRunner& search_;
};

}  // namespace lark
