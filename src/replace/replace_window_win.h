#pragma once
// The replace activity window: the status lines of the current or last run, Stop and
// Close. It is created once, hidden, and lives as long as the program; Close only hides it,
// Stop only asks the run to end.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/win32/handles_win.h"
#include "replace/replace_run.h"
#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"

namespace lark {

struct AppContext;
struct SearchCriteria;

class TfmReplace final : public TMyForm, public MessageTarget {
  public:
    // resources: the module holding the window's template and pictures.
    TfmReplace(Registry& registry, HINSTANCE resources);
    ~TfmReplace() override;
    TfmReplace(const TfmReplace&) = delete;
    TfmReplace& operator=(const TfmReplace&) = delete;

    // Creates the window hidden. It belongs to owner, so it stays above it and goes with it.
    HWND Create(HWND owner);
    HWND Handle() const { return hwnd_; }
    void SetCaption(std::string_view caption);
    // Shows the window in front, where Esc presses Stop.
    void ShowActivity();

    // The memo: emptied at the start of a run, one line at a time after that. Lines reach
    // the memo in batches, at FlushStatus, so a run that reports much stays fast.
    void ClearStatus();
    void AddStatusLine(std::string_view line);
    void FlushStatus();
    std::string StatusText();

    // What Stop does while a run is in progress (nothing otherwise).
    void SetStopHandler(std::function<void()> handler) { stop_ = std::move(handler); }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void FormCreate(HWND hwnd);
    void FormResize();
    void btnStopClick();
    void BitBtn1Click();
    int Scaled(int pixels) const;

    HINSTANCE resources_;
    HWND hwnd_ = nullptr;
    std::string pending_;
    bool memoEmpty_ = true;
    std::function<void()> stop_;
    UniqueIcon stopGlyph_;
    UniqueIcon closeGlyph_;
};

// How often a run lets the windows handle their messages, and shows its new lines, at most.
inline constexpr DWORD kRunLookIntervalMs = 30;
inline constexpr DWORD kMemoFlushIntervalMs = 200;

// A run's windows: the activity window for its lines and Stop, the main window for the
// found files and the progress strip (reached through the callbacks).
class WindowReplaceHost final : public ReplaceHost {
  public:
    struct MainWindowParts {
        std::function<void()> searchIndex;
        std::function<std::vector<std::string>()> foundFiles;
        std::function<void(std::vector<std::string>)> setFoundFiles;
        std::function<void(int32_t, std::string_view)> showProgressStrip;
        std::function<void(int32_t)> advanceProgress;
        std::function<void()> hideProgress;
    };
    WindowReplaceHost(TfmReplace& window, MainWindowParts parts);

    void ShowActivityWindow() override { window_.ShowActivity(); }
    void ClearStatus() override { window_.ClearStatus(); }
    void AddStatusLine(std::string_view line) override { window_.AddStatusLine(line); }
    bool ProcessMessages() override;
    void SearchIndex() override { parts_.searchIndex(); }
    std::vector<std::string> FoundFiles() override { return parts_.foundFiles(); }
    void SetFoundFiles(std::vector<std::string> paths) override {
        parts_.setFoundFiles(std::move(paths));
    }
    void ShowProgressStrip(int32_t maximum, std::string_view caption) override {
        parts_.showProgressStrip(maximum, caption);
    }
    void AdvanceProgress(int32_t by) override { parts_.advanceProgress(by); }
    void HideProgress() override { parts_.hideProgress(); }

  private:
    TfmReplace& window_;
    MainWindowParts parts_;
    DWORD lastLook_;
    DWORD lastFlush_;
    DWORD flushGap_ = kMemoFlushIntervalMs;
    bool ending_ = false;
};

// One run on the real disk: Stop reaches it while it lasts, and every line is in the memo
// when it ends. Exceptions of the run (an index that cannot be read) pass on.
void RunSearchReplaceInWindows(AppContext& ctx, SearchCriteria& criteria, TfmReplace& window,
                               WindowReplaceHost::MainWindowParts parts, bool searchOnly);

}  // namespace lark
