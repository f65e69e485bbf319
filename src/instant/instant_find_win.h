#pragma once
// "Larkspire Instant Find": a small always-on-top window brought up by a global hotkey, with
// one box to type into and the files found while typing. Created hidden at start-up and kept
// for the whole run; the global hotkey is registered for it.
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "config/hotkey_option.h"
#include "instant/instant_find_host.h"
#include "instant/instant_search.h"
#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"

namespace lark {

struct AppContext;

class TfmInstantFind final : public TMyForm, public MessageTarget, public InstantListener {
  public:
    TfmInstantFind(AppContext& ctx, InstantFindHost& host);
    ~TfmInstantFind() override;
    TfmInstantFind(const TfmInstantFind&) = delete;
    TfmInstantFind& operator=(const TfmInstantFind&) = delete;

    // Creates the hidden window; owner: the main window, which it stays in front of.
    void Create(HWND owner, HINSTANCE resources);
    HWND Handle() const { return hwnd_; }

    // Registers hotkey in place of the one before (none: no hotkey). False when another
    // program holds the combination: the one before then stays.
    bool SetHotkey(const Hotkey& hotkey);
    const Hotkey& CurrentHotkey() const { return hotkey_; }
    bool HotkeyRegistered() const { return registered_; }

    // Shows the window in front with the box's text selected for typing over.
    void ShowInstantFind();
    void HideInstantFind();

    // What tests and the benchmark read.
    size_t RowCount() const;
    std::string RowPath(size_t row) const;
    // A walk is running for the text in the box.
    bool Searching() const { return searching_; }
    bool Finished() const { return results_ != nullptr; }
    uint64_t StoppedWalks() const { return searcher_ ? searcher_->StoppedWalks() : 0; }
    // Milliseconds from the last keystroke to the first paint of the list that showed its
    // results; negative until one was measured.
    double KeystrokeToPaintMs() const { return keystrokeToPaintMs_; }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    // InstantListener, on the search thread: the answers travel to the window as messages.
    void FirstResults(InstantRows rows) override;
    void Finished(uint64_t id, std::unique_ptr<SearchResults> results) override;

  private:
    void FormCreate();
    void Layout();
    void edFindChange();
    void OpenSelected(bool folder);
    void buLastSearchClick();
    void ShowFirstRows(std::unique_ptr<InstantRows> rows);
    void ShowAllRows(uint64_t id, std::unique_ptr<SearchResults> results);
    void SetRows(size_t count);
    void ShowStatus();
    void MoveSelection(int by);
    int SelectedRow() const;
    bool RowIsFolder(size_t row) const;
    void RowData(NMLVDISPINFOW& info);
    LRESULT ListCustomDraw(const NMLVCUSTOMDRAW& draw);
    static LRESULT CALLBACK EditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);

    struct Details {
        std::wstring size, modified;
        int icon = -1;
    };
    const Details& DetailsOf(size_t row);
    int IconOf(const std::string& path, bool folder);

    AppContext& ctx_;
    InstantFindHost& host_;
    std::unique_ptr<InstantSearcher> searcher_;
    HWND hwnd_ = nullptr;
    HWND edit_ = nullptr;
    HWND list_ = nullptr;
    Hotkey hotkey_;
    bool registered_ = false;

    // The search of the text in the box.
    uint64_t currentId_ = 0;
    InstantQuery query_;
    bool searching_ = false;
    bool refreshing_ = false;
    bool noIndex_ = false;
    std::unique_ptr<InstantRows> firstRows_;
    std::unique_ptr<SearchResults> results_;
    std::unordered_map<size_t, Details> details_;
    std::unordered_map<std::string, int> iconsByType_;
    std::wstring cellText_;  // lives until the list has copied it

    // Keystroke-to-paint timing.
    int64_t keyAt_ = 0;           // the last keystroke in the box (performance counter)
    int64_t searchKeyAt_ = 0;     // the keystroke that started the current search
    uint64_t awaitingPaint_ = 0;  // a search whose rows are set and not yet painted
    double keystrokeToPaintMs_ = -1;
};

}  // namespace lark
