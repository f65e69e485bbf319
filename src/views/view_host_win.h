#pragma once
// The ViewHost of a window built from ordinary controls: the parts every layout shares are
// done here on the controls' handles; the layout-specific ones (side panel, band widths,
// menu checks) are the window's callbacks.
#include <windows.h>

#include <functional>
#include <string>

#include "views/file_list_win.h"
#include "views/view_host.h"

namespace lark {

struct ViewWindowParts {
    HWND window = nullptr;     // takes the caption
    HWND statusBar = nullptr;  // a status bar control or any window with a text
    HWND openBox = nullptr;    // edOpen
    HWND selector = nullptr;   // coViews2, a ComboBoxEx
    HWND catalogue = nullptr;  // coViews, hidden
    HWND tree = nullptr;       // tv
    FileListView* list = nullptr;
};

struct ViewWindowCallbacks {
    std::function<std::string()> searchKeywords;  // the search dialog's keyword box
    std::function<void()> enableSearchMenu;
    // After the View selector changed its selection (the band keeps it 4 pixels from its top).
    std::function<void()> selectorSelected;
    std::function<void(std::string_view title, bool hideViewSelector)> openSidePanel;
    std::function<void()> closeSidePanel;
    std::function<void(bool viewsMode, bool historyMode)> setPanelModes;
    std::function<void(uint32_t ms)> waitPumping;
};

class WindowViewHost final : public ViewHost {
  public:
    WindowViewHost(const ViewWindowParts& parts, ViewWindowCallbacks callbacks)
        : parts_(parts), callbacks_(std::move(callbacks)) {}

    void SetCaption(std::string_view caption) override;
    void SetStatusText(std::string_view text) override;
    std::string OpenBoxText() override;
    void SetOpenBoxText(std::string_view text) override;
    std::string SearchKeywords() override;
    void BeginListUpdate() override;
    void EndListUpdate() override;
    void SetListRowCount(size_t count) override;
    void SetListStyle(int style) override;
    void RepaintList() override;
    void SetBusyCursor(bool busy) override;
    void EnableSearchMenu() override;
    void FillViewSelectors(const ViewCatalogue& catalogue) override;
    void SelectCatalogueName(std::string_view name) override;
    void SelectSelectorText(std::string_view text) override;
    void FillViewsTree(const std::vector<ViewTreeNode>& nodes) override;
    void FillHistoryTree(const std::vector<HistoryNode>& nodes) override;
    void OpenSidePanel(std::string_view title, bool hideViewSelector) override;
    void CloseSidePanel() override;
    void SetPanelModes(bool viewsMode, bool historyMode) override;
    void WaitPumping(uint32_t milliseconds) override;

  private:
    ViewWindowParts parts_;
    ViewWindowCallbacks callbacks_;
    int updateDepth_ = 0;
    int busyDepth_ = 0;
    HCURSOR savedCursor_ = nullptr;
};

}  // namespace lark
