#pragma once
// The "Search Parameters" dialog. It is created once at start-up and edits the program's
// one SearchCriteria record: it copies the criteria into its controls when it opens and
// reads them back when it closes, by OK or by Cancel, so edits survive a Cancel.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"
#include "search/criteria.h"
#include "search/search_dialog_logic.h"

namespace lark {

struct AppContext;
class ShellExecutor;

// The dialog keeps its position between runs like every window of the program.
class TfmSearch final : public TMyForm, public MessageTarget {
  public:
    enum Page { kPageGeneral = 0, kPageDate = 1, kPageSize = 2, kPageText = 3 };

    TfmSearch(AppContext& ctx, SearchCriteria& criteria, ShellExecutor& shell);
    TfmSearch(const TfmSearch&) = delete;
    TfmSearch& operator=(const TfmSearch&) = delete;
    ~TfmSearch() override;

    // Once at start-up: the log file default and the last confirmed criteria.
    void FormCreate();
    // Before the dialog is shown for a new search (searchMode) or a search and replace.
    void PrepareSearchDialog(bool searchMode);
    // Modal; true when closed with OK.
    bool ShowModal(HWND owner);
    // The same dialog without a modal loop, for callers that drive it themselves. OK and
    // Cancel destroy the window; LastResult tells which closed it.
    HWND ShowModeless(HWND owner);
    HWND Handle() const { return hwnd_; }
    SearchCriteria& Criteria() { return c_; }
    int LastResult() const { return lastResult_; }

    // "Search" and "Search and replace": the open box's filter text fills the keyword box,
    // then the dialog is prepared and shown. True when confirmed with OK.
    bool RunSearchDialog(HWND owner, std::string_view nameFilter, bool searchMode);

    // Shows a page as if its tab had been clicked, disabled pages included.
    void SelectPage(int page);
    int CurrentPage() const { return currentPage_; }

    // The "Search Domain" button opens the search domain settings; without a handler the
    // button stays disabled. Called after the handler returns, the label is refreshed.
    void SetSearchDomainHandler(std::function<void(HWND owner)> handler);
    // Whether the list "<Last Search>" shows holds anything, for "&Use last search list".
    // Without a check the option finds no list.
    void SetLastSearchListCheck(std::function<bool()> available) {
        lastSearchAvailable_ = std::move(available);
    }
    // The caption the text-search results window takes in the current mode.
    const std::string& ReplaceWindowCaption() const { return modeTexts_.replaceWindowCaption; }
    const std::vector<std::string>& KeywordHistory() const { return history_; }

  private:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
    void CreateControls();
    void FormShow();
    void OnCommand(int id, int code);
    bool OnNotify(const NMHDR& nm);
    void Close(int result);

    void buOKClick();
    void buSearchPathsClick();
    void btnEditLogfileClick();
    void chkUseLastSearchClick();
    void buClearClick();
    void buSavePairsClick();
    void buLoadPairsClick();
    void edSearchInFileChange();
    void meSearchReplaceChange();
    void OptionClick(int id);

    void LoadControls();   // criteria -> controls (only those that differ)
    void StoreControls();  // controls -> criteria
    void ApplyEnables();
    void ApplyModeTexts();
    void ShowPageControls();
    void FillKeywordList();

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    std::string ItemText(int id) const;
    void SetItemText(int id, std::string_view text);
    bool Checked(int id) const;
    void SetChecked(int id, bool on);

    AppContext& ctx_;
    SearchCriteria& c_;
    ShellExecutor& shell_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    bool modal_ = false;
    int lastResult_ = 0;
    int currentPage_ = kPageGeneral;
    int currentOptionsPage_ = 0;
    bool replaceOptionsEnabled_ = true;
    bool syncing_ = false;
    bool dateEdited_[2] = {false, false};
    SearchDialogModeTexts modeTexts_;
    std::vector<std::string> history_;
    std::function<void(HWND)> searchDomainHandler_;
    std::function<bool()> lastSearchAvailable_;
    std::vector<BYTE> template_;
};

// The "Search" command: the dialog, then the index search, or the text search over the
// files it finds when the dialog asks for one, then the "<Last Search>" view. Returns false
// when the dialog was cancelled (nothing else then happens).
bool DoSearch(TfmSearch& dialog, HWND owner, std::string_view nameFilter,
              const std::function<void()>& searchIndex, const std::function<void()>& textSearch,
              const std::function<void()>& showLastSearch);

}  // namespace lark
