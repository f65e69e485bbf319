// Instant find and the console client: the window the global hotkey brings up, the index text
// both search in memory, and the main window's part in them.
#include <windows.h>

#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "config/hotkey_option.h"
#include "index/index_state.h"
#include "instant/find_server_win.h"
#include "instant/instant_find_win.h"
#include "search/resident_index.h"
#include "views/recent_documents.h"

namespace lark {

class MainInstantHost final : public InstantFindHost {
  public:
    MainInstantHost(AppContext& ctx, TfmOpen& form) : ctx_(ctx), form_(form) {}

    ResidentIndex::Snapshot IndexSnapshot() override {
        return form_.Resident().Latest(IndexFilePath(ctx_));
    }

    void Launch(std::string_view verb, const std::string& path) override {
        LaunchHost host(form_.Shell(), ctx_.fs);
        host.ownerWindow = form_.Handle();
        host.hideWindow = [this] { form_.InstantFind()->HideInstantFind(); };
        host.markLaunch = [this] { LastLaunchTick.store(ctx_.clock.TickCount()); };
        host.addToRecentDocuments = [this](const std::string& document) {
            AddToRecentDocuments(ctx_, form_.Views().Views().RecentDocuments, document);
        };
        // Not a view of the main window: what is opened here always counts as used.
        host.currentViewName = [] { return std::string(); };
        // Quoted, so a ";" in a name does not split it as the open box would.
        LaunchOpenBox(host, verb, "\"" + path + "\"");
    }

    void ShowAsLastSearch(SearchResults results, const InstantQuery& query) override {
        // The criteria say what "<Last Search>" holds: its caption and the search dialog's
        // next start show the words typed.
        SearchCriteria& criteria = form_.Criteria();
        criteria.Keywords = query.keywords;
        criteria.SearchFilename = true;
        criteria.SearchPath = query.fullPath;
        ViewController& views = form_.Views().Views();
        views.LastSearchResults = std::move(results);
        form_.ShowMainWindow();
        views.ShowView(kLastSearchView, {});
    }

  private:
    AppContext& ctx_;
    TfmOpen& form_;
};

void TfmOpen::CreateInstantFind() {
    instantHost_ = std::make_unique<MainInstantHost>(ctx_, *this);
    instant_ = std::make_unique<TfmInstantFind>(ctx_, *instantHost_);
    instant_->Create(hwnd_, GetModuleHandleW(nullptr));
    const Hotkey hotkey = ReadInstantFindHotkey(ctx_.registry);
    if (!instant_->SetHotkey(hotkey)) ctx_.messages.Error(HotkeyTakenMessage(hotkey));
}

void TfmOpen::mnuInstantFindClick() {
    if (instant_) instant_->ShowInstantFind();
}

bool TfmOpen::SetInstantFindHotkey(const Hotkey& hotkey) {
    if (!instant_) return false;
    if (!instant_->SetHotkey(hotkey)) {
        ctx_.messages.Error(HotkeyTakenMessage(hotkey));
        return false;
    }
    WriteInstantFindHotkey(ctx_.registry, hotkey);
    return true;
}

LRESULT TfmOpen::AnswerFindRequest(HWND client, const COPYDATASTRUCT& request) {
    // A process that only handed its command line over keeps no index.
    if (!keepRunning_ || !resident_) return FALSE;
    return lark::AnswerFindRequest(ctx_, *resident_, hwnd_, client, request);
}

}  // namespace lark
