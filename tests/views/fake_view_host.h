#pragma once
#include <functional>
#include <string>
#include <vector>

#include "views/history.h"
#include "views/view_catalogue.h"
#include "views/view_host.h"

namespace lark {

// Keeps what the view logic asked the window to show.
class FakeViewHost : public ViewHost {
  public:
    std::string caption, status, openBox, keywords;
    size_t rowCount = 0;
    int listStyle = -1;
    int repaints = 0, updateDepth = 0, busyDepth = 0, searchMenuEnables = 0;
    std::vector<std::string> catalogue;
    std::vector<ViewEntry> selector;
    std::vector<ViewTreeNode> tree;
    std::vector<HistoryNode> historyTree;
    std::string selectedName = "<none>", selectedSelector = "<none>";
    bool panelOpen = false, viewsChecked = false, historyChecked = false;
    bool selectorHidden = false;
    std::string panelTitle;
    uint32_t waitedMs = 0;

    void SetCaption(std::string_view text) override { caption = text; }
    void SetStatusText(std::string_view text) override { status = text; }
    std::string OpenBoxText() override { return openBox; }
    // As the edit control does: every change of the box's text is reported.
    std::function<void(const std::string&)> openBoxChanged;
    void SetOpenBoxText(std::string_view text) override {
        if (openBox == text) return;
        openBox = text;
        if (openBoxChanged) openBoxChanged(openBox);
    }
    std::string SearchKeywords() override { return keywords; }
    void BeginListUpdate() override { ++updateDepth; }
    void EndListUpdate() override { --updateDepth; }
    void SetListRowCount(size_t count) override { rowCount = count; }
    void SetListStyle(int style) override { listStyle = style; }
    void RepaintList() override { ++repaints; }
    void SetBusyCursor(bool busy) override { busyDepth += busy ? 1 : -1; }
    void EnableSearchMenu() override { ++searchMenuEnables; }
    void FillViewSelectors(const ViewCatalogue& cat) override {
        catalogue = cat.names;
        selector = cat.selector;
    }
    void SelectCatalogueName(std::string_view name) override {
        selectedName = "<none>";
        for (auto& n : catalogue)
            if (n == name) selectedName = n;
    }
    void SelectSelectorText(std::string_view text) override {
        selectedSelector = "<none>";
        for (auto& e : selector)
            if (e.text == text) selectedSelector = e.text;
    }
    void FillViewsTree(const std::vector<ViewTreeNode>& nodes) override { tree = nodes; }
    void FillHistoryTree(const std::vector<HistoryNode>& nodes) override { historyTree = nodes; }
    void OpenSidePanel(std::string_view title, bool hideViewSelector) override {
        panelOpen = true;
        panelTitle = title;
        selectorHidden = hideViewSelector;
    }
    void CloseSidePanel() override {
        panelOpen = false;
        selectorHidden = false;
    }
    void SetPanelModes(bool views, bool history) override {
        viewsChecked = views;
        historyChecked = history;
    }
    void WaitPumping(uint32_t ms) override { waitedMs += ms; }
};

// Stands in for the search engine: "loads" the files it knows and yields fixed results.
class FakeSearchRunner : public SavedSearchRunner {
  public:
    std::vector<std::string> loadable;
    std::vector<std::string> broken;  // files whose reading is abandoned with a message
    PathList results;
    std::vector<std::string> loaded;
    int searches = 0;
    bool LoadCriteria(std::string_view path) override {
        return LoadSavedSearch(path) == SavedSearchLoad::Loaded;
    }
    SavedSearchLoad LoadSavedSearch(std::string_view path) override {
        loaded.emplace_back(path);
        for (auto& b : broken)
            if (b == path) return SavedSearchLoad::Abandoned;
        for (auto& l : loadable)
            if (l == path) return SavedSearchLoad::Loaded;
        return SavedSearchLoad::NotLoaded;
    }
    void SearchIndex(SearchResults& lastSearchResults) override {
        ++searches;
        lastSearchResults = results;
    }
};

}  // namespace lark
