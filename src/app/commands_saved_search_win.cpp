// "Save search As...", "Revise search" and "Delete search": the saved-search rules on this
// window, the search dialog and the "Save Search" dialog.
#include "actions/save_as_template_dialog_win.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "config/context.h"
#include "search/saved_searches.h"
#include "search/search_dialog_win.h"
#include "ui/resource_module_win.h"

namespace lark {

namespace {

class WindowSavedSearchHost final : public SavedSearchHost {
  public:
    WindowSavedSearchHost(HWND window, MainViews& views, TfmSearch* searchDialog)
        : window_(window), views_(views), searchDialog_(searchDialog) {}

    std::string CurrentViewName() override { return views_.Views().CurrentViewName; }
    std::optional<NamePromptAnswer> AskSearchName(const NamePrompt& prompt) override {
        TfmSaveAsTemplate dialog(prompt);
        return dialog.ShowModal(window_, ResourceModule());
    }
    bool ReviseSearch() override { return searchDialog_ && searchDialog_->ShowModal(window_); }
    std::string SavedSearchFilePath(std::string_view viewName) override {
        return views_.Views().SavedSearchFilePath(viewName);
    }
    void ShowView(std::string_view viewName) override { views_.Views().ShowView(viewName, {}); }
    void ViewListsChanged() override { views_.ViewListsChanged(); }

  private:
    HWND window_;
    MainViews& views_;
    TfmSearch* searchDialog_;
};

}  // namespace

void TfmOpen::RunSavedSearchCommand(void (SavedSearches::*command)()) {
    WindowSavedSearchHost host(hwnd_, *views_, searchDialog_);
    SavedSearches searches(ctx_, criteria_, host);
    (searches.*command)();
}

void TfmOpen::mnuSearchSaveClick() {
    RunSavedSearchCommand(&SavedSearches::mnuSearchSaveClick);
}

void TfmOpen::mnuSearchEditClick() {
    RunSavedSearchCommand(&SavedSearches::mnuSearchEditClick);
}

void TfmOpen::mnuSearchDeleteClick() {
    RunSavedSearchCommand(&SavedSearches::mnuSearchDeleteClick);
}

}  // namespace lark
