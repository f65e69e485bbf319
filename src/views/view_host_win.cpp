#include "views/view_host_win.h"

#include <commctrl.h>

#include "platform/win32/encoding_win.h"
#include "views/history_tree_win.h"
#include "views/view_catalogue.h"
#include "views/view_selectors_win.h"

namespace lark {

static std::string WindowText(HWND window) {
    if (!window) return std::string();
    int length = GetWindowTextLengthW(window);
    std::wstring text(size_t(length) + 1, L'\0');
    length = GetWindowTextW(window, text.data(), length + 1);
    text.resize(size_t(length > 0 ? length : 0));
    return Narrow(text);
}

static void SetText(HWND window, std::string_view text) {
    if (window) SetWindowTextW(window, Widen(text).c_str());
}

static bool IsStatusBar(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return lstrcmpiW(name, STATUSCLASSNAMEW) == 0;
}

void WindowViewHost::SetCaption(std::string_view caption) {
    SetText(parts_.window, caption);
}

void WindowViewHost::SetStatusText(std::string_view text) {
    if (!parts_.statusBar) return;
    if (IsStatusBar(parts_.statusBar)) {
        std::wstring wide = Widen(text);
        SendMessageW(parts_.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    } else {
        SetText(parts_.statusBar, text);
    }
}

std::string WindowViewHost::OpenBoxText() {
    return WindowText(parts_.openBox);
}

void WindowViewHost::SetOpenBoxText(std::string_view text) {
    SetText(parts_.openBox, text);
}

std::string WindowViewHost::SearchKeywords() {
    return callbacks_.searchKeywords ? callbacks_.searchKeywords() : std::string();
}

void WindowViewHost::BeginListUpdate() {
    if (updateDepth_++ == 0 && parts_.list)
        SendMessageW(parts_.list->Handle(), WM_SETREDRAW, FALSE, 0);
}

void WindowViewHost::EndListUpdate() {
    if (--updateDepth_ == 0 && parts_.list) {
        SendMessageW(parts_.list->Handle(), WM_SETREDRAW, TRUE, 0);
        parts_.list->Repaint();
    }
}

void WindowViewHost::SetListRowCount(size_t count) {
    if (parts_.list) parts_.list->SetRowCount(count);
}

void WindowViewHost::SetListStyle(int style) {
    if (parts_.list && parts_.list->DisplayStyle() != style) parts_.list->ApplyViewStyle(style);
}

void WindowViewHost::RepaintList() {
    if (parts_.list) parts_.list->Repaint();
}

void WindowViewHost::SetBusyCursor(bool busy) {
    if (busy) {
        if (busyDepth_++ == 0) savedCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        SetCursor(savedCursor_);
    }
}

void WindowViewHost::EnableSearchMenu() {
    if (callbacks_.enableSearchMenu) callbacks_.enableSearchMenu();
}

void WindowViewHost::FillViewSelectors(const ViewCatalogue& catalogue) {
    if (parts_.catalogue) FillCatalogue(parts_.catalogue, catalogue.names);
    if (parts_.selector) FillViewSelector(parts_.selector, catalogue.selector);
}

void WindowViewHost::SelectCatalogueName(std::string_view name) {
    if (parts_.catalogue) SelectComboText(parts_.catalogue, name);
}

void WindowViewHost::SelectSelectorText(std::string_view text) {
    if (parts_.selector) SelectComboText(parts_.selector, text);
    if (callbacks_.selectorSelected) callbacks_.selectorSelected();
}

void WindowViewHost::FillViewsTree(const std::vector<ViewTreeNode>& nodes) {
    if (parts_.tree) lark::FillViewsTree(parts_.tree, nodes);
}

void WindowViewHost::FillHistoryTree(const std::vector<HistoryNode>& nodes) {
    if (parts_.tree) lark::FillHistoryTree(parts_.tree, nodes);
}

void WindowViewHost::OpenSidePanel(std::string_view title, bool hideViewSelector) {
    if (callbacks_.openSidePanel) callbacks_.openSidePanel(title, hideViewSelector);
}

void WindowViewHost::CloseSidePanel() {
    if (callbacks_.closeSidePanel) callbacks_.closeSidePanel();
}

void WindowViewHost::SetPanelModes(bool viewsMode, bool historyMode) {
    if (callbacks_.setPanelModes) callbacks_.setPanelModes(viewsMode, historyMode);
}

void WindowViewHost::WaitPumping(uint32_t milliseconds) {
    if (callbacks_.waitPumping) callbacks_.waitPumping(milliseconds);
}

}  // namespace lark
