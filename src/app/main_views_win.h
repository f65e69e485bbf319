#pragma once
// The views as the main window shows them: the file list control, the View selector, the
// hidden catalogue, the Views tree in the side panel, the list's style menu and the
// progress strip of a search. The main window owns one and hands it the messages of those
// controls.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/win32/shell_win.h"
#include "search/criteria.h"
#include "search/index_search.h"
#include "ui/multi_select_tree_win.h"
#include "views/file_list_win.h"
#include "views/view_controller.h"
#include "views/view_host_win.h"

namespace lark {

struct AppContext;
class MainLayout;

class MainViews final : public SearchHost, public SavedSearchRunner {
  public:
    // criteria: the program's one search record. refreshIndex: what the Refresh command
    // does, for a search that finds no index.
    MainViews(AppContext& ctx, MainLayout& layout, SearchCriteria& criteria,
              std::function<void()> refreshIndex);
    MainViews(const MainViews&) = delete;
    MainViews& operator=(const MainViews&) = delete;

    ViewController& Views() { return views_; }
    FileListView& List() { return list_; }

    // Start-up, in the order the main window runs them.
    void LoadViewStyleOption();
    // False when the recent list cannot be created or read (the user was told).
    bool LoadRecentDocumentsAtStartup() { return views_.LoadRecentDocumentsAtStartup(); }
    void AttachSystemImageLists() { list_.AttachSystemImageLists(); }
    void ShowStartView();
    // Close: the style is kept for the next start and the rows are released.
    void FormClose();

    // The main window's messages for the views' controls; true when they were theirs.
    bool OnCommand(UINT id, UINT code, HWND from);
    bool OnNotify(const NMHDR* header, LRESULT& result);
    bool OnContextMenu(HWND from) { return list_.HandleContextMenu(from); }

    void btnLargeIconsClick(int style);
    void buViewStylesClick();
    void buViewsClick();
    void buHistoryClick();
    void buCloseTreeViewClick() { views_.buCloseTreeViewClick(); }
    // A saved search was saved or deleted: every list of views shows the change at once.
    void ViewListsChanged();

    // SearchHost
    void RefreshIndex() override;
    void ShowProgressStrip(int32_t maximum, std::string_view caption) override;
    void AdvanceProgress(int32_t by) override;
    void HideProgress() override;

    // SavedSearchRunner
    bool LoadCriteria(std::string_view lksPath) override {
        return LoadSavedSearch(lksPath) == SavedSearchLoad::Loaded;
    }
    SavedSearchLoad LoadSavedSearch(std::string_view lksPath) override;
    void SearchIndex(SearchResults& lastSearchResults) override;

  private:
    ViewWindowCallbacks Callbacks();
    void OpenSidePanel(std::string_view title, bool hideViewSelector);
    // Runs a change of the tree's content, whose own selection notifications mean nothing.
    void FillingTree(const std::function<void()>& fill);
    void CloseSidePanel();
    void RedrawAll();

    AppContext& ctx_;
    MainLayout& layout_;
    SearchCriteria& criteria_;
    std::function<void()> refreshIndex_;
    Win32ShellServices shell_;
    // The host reaches the list only once it is built; the list reads the controller's rows.
    WindowViewHost host_;
    ViewController views_;
    FileListView list_;
    // The tree announces selections of its own while it is being refilled.
    bool fillingTree_ = false;
    // Several days at once in History mode.
    MultiSelectTree historyTree_;
    // Band widths before the View selector band was hidden: tool bar, View selector.
    UINT bandWidths_[2] = {0, 0};
};

}  // namespace lark
