// The Properties command: the settings dialog over the program's refresh schedule and its
// folder browser.
#include <windows.h>

#include "app/main_window_win.h"
#include "config/context.h"
#include "properties/browse_path_win.h"
#include "properties/properties_win.h"
#include "search/search_dialog_win.h"

namespace lark {

namespace {

class MainPropertiesHost final : public PropertiesHost {
  public:
    MainPropertiesHost(AppContext& ctx, RefreshController& refresh, HWND fallbackOwner)
        : ctx_(ctx), refresh_(refresh), fallbackOwner_(fallbackOwner) {}
    void ApplyRefreshSchedule() override { refresh_.ApplyRefreshSchedule(); }
    std::string BrowseForFolder(std::string_view root, std::string_view start) override {
        // The Properties dialog that asks is the active window.
        HWND owner = GetActiveWindow();
        return lark::BrowseForFolder(owner ? owner : fallbackOwner_, GetModuleHandleW(nullptr),
                                     ctx_.registry, ctx_.fs, root, start);
    }

  private:
    AppContext& ctx_;
    RefreshController& refresh_;
    HWND fallbackOwner_;
};

}  // namespace

void TfmOpen::puPropertiesClick() {
    ShowProperties(hwnd_, PropertiesPage::General);
}

void TfmOpen::ShowProperties(HWND owner, PropertiesPage page) {
    MainPropertiesHost host(ctx_, *refresh_, hwnd_);
    ShowPropertiesDialog(ctx_, host, owner, GetModuleHandleW(nullptr), page);
}

void TfmOpen::SetSearchDialog(TfmSearch* dialog) {
    searchDialog_ = dialog;
    // The search dialog's "Search Domain" button opens the domains over the search dialog.
    if (dialog)
        dialog->SetSearchDomainHandler(
            [this](HWND owner) { ShowProperties(owner, PropertiesPage::SearchDomains); });
}

}  // namespace lark
