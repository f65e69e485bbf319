#include "app/main_views_win.h"

#include "app/command_ids_win.h"
#include "app/main_layout_win.h"
#include "config/context.h"
#include "platform/win32/encoding_win.h"
#include "views/history_tree_win.h"
#include "ui/message_pump_win.h"
#include "views/view_selectors_win.h"

namespace lark {

namespace {

constexpr int kSearchMenuPosition = 3;  // File, Document, View, Search, Help

ViewWindowParts PartsOf(MainLayout& layout, FileListView* list) {
    ViewWindowParts parts;
    parts.window = layout.form;
    parts.statusBar = layout.statusBar;
    parts.openBox = layout.edOpen;
    parts.selector = layout.coViews2;
    parts.catalogue = layout.coViews;
    parts.tree = layout.tv;
    parts.list = list;
    return parts;
}

UINT BandWidth(HWND reBar, UINT band) {
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_SIZE;
    if (!SendMessageW(reBar, RB_GETBANDINFOW, band, reinterpret_cast<LPARAM>(&info))) return 0;
    return info.cx;
}

void SetBandWidth(HWND reBar, UINT band, UINT width) {
    if (width == 0) return;
    REBARBANDINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_SIZE;
    info.cx = width;
    SendMessageW(reBar, RB_SETBANDINFOW, band, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

MainViews::MainViews(AppContext& ctx, MainLayout& layout, SearchCriteria& criteria,
                     std::function<void()> refreshIndex)
    : ctx_(ctx),
      layout_(layout),
      criteria_(criteria),
      refreshIndex_(std::move(refreshIndex)),
      host_(PartsOf(layout, &list_), Callbacks()),
      views_(ctx, host_, shell_, *this),
      list_(layout.listView, views_.Items, views_.Locale),
      historyTree_(layout.tv) {
    views_.Locale = Win32FileListLocale();
    views_.HistoryDayCaption = LocaleDayCaption;
    list_.callbacks.selectionChanged = [this](const std::string& paths) {
        SetWindowTextW(layout_.edOpen, Widen(paths).c_str());
    };
    list_.callbacks.contextMenu = [this](POINT screen) { layout_.PopListMenu(screen); };
    list_.callbacks.labelEditAllowed = [this] { return views_.LabelEditAllowed(); };
}

ViewWindowCallbacks MainViews::Callbacks() {
    ViewWindowCallbacks callbacks;
    // Until the search dialog shows its keyword box, the record it edits holds the text.
    callbacks.searchKeywords = [this] { return criteria_.Keywords; };
    callbacks.enableSearchMenu = [this] {
        EnableMenuItem(layout_.mainMenu, kSearchMenuPosition, MF_BYPOSITION | MF_ENABLED);
    };
    callbacks.openSidePanel = [this](std::string_view title, bool hideViewSelector) {
        OpenSidePanel(title, hideViewSelector);
    };
    callbacks.closeSidePanel = [this] { CloseSidePanel(); };
    callbacks.setPanelModes = [this](bool viewsMode, bool historyMode) {
        layout_.SetSideMode(viewsMode     ? SideMode::Views
                            : historyMode ? SideMode::History
                                          : SideMode::None);
        historyTree_.SetEnabled(historyMode);
    };
    callbacks.waitPumping = [](uint32_t ms) { WaitPumping(ms); };
    return callbacks;
}

void MainViews::LoadViewStyleOption() {
    views_.LoadViewStyleOption();
    layout_.SetViewStyleChecked(views_.ViewStyleIndex);
}

void MainViews::ShowStartView() {
    views_.FillViewSelectors();
    views_.ShowView(kMyRecentDocumentsView, {});
}

void MainViews::FormClose() {
    views_.SaveViewStyleOption();
    list_.SetRowCount(0);
    views_.Items.ClearFileList();
}

void MainViews::OpenSidePanel(std::string_view title, bool hideViewSelector) {
    bandWidths_[0] = BandWidth(layout_.reBar, 0);
    bandWidths_[1] = BandWidth(layout_.reBar, 1);
    layout_.SetSideTitle(title);
    layout_.ShowSidePanel(true);
    layout_.SetViewBandVisible(!hideViewSelector);
    RedrawAll();
}

void MainViews::CloseSidePanel() {
    layout_.ShowSidePanel(false);
    layout_.SetViewBandVisible(true);
    SetBandWidth(layout_.reBar, 0, bandWidths_[0]);
    SetBandWidth(layout_.reBar, 1, bandWidths_[1]);
    layout_.Layout();
    RedrawAll();
}

void MainViews::RedrawAll() {
    // Moving the list leaves parts of it unpainted on some systems (Wine among them).
    RedrawWindow(layout_.form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainViews::btnLargeIconsClick(int style) {
    views_.ApplyViewStyle(style);
    layout_.SetViewStyleChecked(style);
    // A style change alone does not always repaint the control (Wine leaves the old rows).
    list_.Repaint();
}

void MainViews::buViewStylesClick() {
    RECT button{};
    SendMessageW(layout_.toolBar, TB_GETRECT, kCmdViewStyles, reinterpret_cast<LPARAM>(&button));
    RECT window{};
    GetWindowRect(layout_.form, &window);
    // Below the button, past the window's caption and menu bar.
    TrackPopupMenu(layout_.viewStylePopup, TPM_LEFTALIGN | TPM_TOPALIGN,
                   button.left + window.left + layout_.Scale(16),
                   button.top + window.top + (button.bottom - button.top) + layout_.Scale(44), 0,
                   layout_.form, nullptr);
}

void MainViews::FillingTree(const std::function<void()>& fill) {
    fillingTree_ = true;
    try {
        fill();
    } catch (...) {
        fillingTree_ = false;
        throw;
    }
    fillingTree_ = false;
}

void MainViews::ViewListsChanged() {
    FillingTree([this] { views_.ViewListsChanged(); });
}

void MainViews::buViewsClick() {
    FillingTree([this] { views_.buViewsClick(); });
}

void MainViews::buHistoryClick() {
    FillingTree([this] { views_.buHistoryClick(); });
}

bool MainViews::OnCommand(UINT id, UINT code, HWND from) {
    switch (id) {
        case kIdViews2:
            if (code == CBN_SELCHANGE && from == layout_.coViews2) {
                SelectorChoice choice = CurrentSelectorChoice(layout_.coViews2);
                views_.coViews2Change(choice.text, choice.indent);
            }
            return true;
        case kIdViews:
            if (code == CBN_SELCHANGE && from == layout_.coViews) {
                int index = int(SendMessageW(layout_.coViews, CB_GETCURSEL, 0, 0));
                if (index >= 0) views_.coViewsChange(ComboText(layout_.coViews, index));
            }
            return true;
        default:
            return false;
    }
}

bool MainViews::OnNotify(const NMHDR* header, LRESULT& result) {
    if (!header) return false;
    if (header->hwndFrom == layout_.tv) {
        result = 0;
        if (header->code == TVN_SELCHANGEDW) {
            auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
            if (fillingTree_ || !change->itemNew.hItem) return true;
            if (views_.HistoryMode) {
                if (!historyTree_.Moving())
                    views_.HistorySelectionChange(
                        HistoryNodeIndexes(layout_.tv, historyTree_.SelectedItems()));
                return true;
            }
            TreeChoice choice = TreeChoiceOf(layout_.tv, change->itemNew.hItem);
            views_.tvChange(choice.text, choice.parentText);
            return true;
        }
        if (header->code == NM_CUSTOMDRAW) {
            if (!historyTree_.Enabled()) return false;
            result = historyTree_.CustomDraw(
                *reinterpret_cast<NMTVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
            return true;
        }
        if (header->code == TVN_ITEMEXPANDEDW) {
            if (views_.ViewsMode)
                ViewsTreeItemExpanded(layout_.tv, *reinterpret_cast<const NMTREEVIEWW*>(header));
            return true;
        }
        return false;
    }
    return list_.HandleNotify(header, result);
}

void MainViews::RefreshIndex() {
    if (refreshIndex_) refreshIndex_();
}

void MainViews::ShowProgressStrip(int32_t maximum, std::string_view caption) {
    SendMessageW(layout_.progressBar, PBM_SETRANGE32, 0, maximum);
    SendMessageW(layout_.progressBar, PBM_SETPOS, 0, 0);
    SetWindowTextW(layout_.progressLabel, Widen(caption).c_str());
    layout_.ShowProgress(true);
    // The walk that follows processes no messages: the strip must be on screen before it.
    RedrawWindow(layout_.form, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainViews::AdvanceProgress(int32_t by) {
    SendMessageW(layout_.progressBar, PBM_DELTAPOS, WPARAM(by), 0);
}

void MainViews::HideProgress() {
    layout_.ShowProgress(false);
}

SavedSearchLoad MainViews::LoadSavedSearch(std::string_view lksPath) {
    std::string errorText;
    // A saved search is shown whole or not at all: a file that breaks off half-way leaves
    // the criteria as they were.
    SearchCriteria before = criteria_;
    LoadCriteriaResult loaded = lark::LoadCriteria(ctx_, criteria_, lksPath, &errorText);
    if (loaded == LoadCriteriaResult::BadInteger) {
        criteria_ = std::move(before);
        ctx_.messages.Error(errorText);
        return SavedSearchLoad::Abandoned;
    }
    return loaded == LoadCriteriaResult::Loaded ? SavedSearchLoad::Loaded
                                                : SavedSearchLoad::NotLoaded;
}

void MainViews::SearchIndex(SearchResults& lastSearchResults) {
    lark::SearchIndex(ctx_, criteria_, *this, lastSearchResults);
}

}  // namespace lark
