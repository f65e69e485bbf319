#pragma once
// The notification-area icon through which the resident program is shown, refreshed and
// ended. A hidden top-level window receives the icon's callback messages.
#include <windows.h>
// needs windows.h first
#include <shellapi.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/win32/handles_win.h"
#include "ui/window_proc_win.h"

namespace lark {

inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;
inline constexpr UINT kTraySetTipMessage = WM_USER + 2;
inline constexpr size_t kTrayTipChars = 62;

class TTrayIcon final : public MessageTarget {
  public:
    explicit TTrayIcon(HINSTANCE instance = GetModuleHandleW(nullptr));
    ~TTrayIcon() override;
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    bool Active() const { return active_; }
    void SetActive(bool active);
    HICON Icon() const { return icon_.Get(); }
    void SetIcon(HICON icon);  // the icon is copied; the caller keeps its own
    const std::wstring& ToolTip() const { return tip_; }
    void SetToolTip(std::string_view text);
    // With ShowApp false the application window gets no taskbar button (it is made an owned
    // window of the hidden tray window).
    bool ShowApp() const { return showApp_; }
    void SetShowApp(bool show);
    void SetAppWindow(HWND appWindow);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(POINT)> OnRightClick;
    // Shown at the cursor on a right click; its commands go to the application window.
    HMENU PopupMenu = nullptr;

    HWND Handle() const { return hwnd_; }
    // True while the shell shows the icon (an add can fail and is then retried quietly).
    bool Shown() const { return shown_; }
    bool Retrying() const { return retrying_; }
    // Called from the retry timer and when Explorer restarts; public for tests.
    void AddAgain();

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void HandleCallback(LPARAM mouseMessage);
    NOTIFYICONDATAW Record() const;
    void Add();
    void Modify();
    void Remove();
    void ApplyShowApp();

    HWND hwnd_ = nullptr;
    HWND appWindow_ = nullptr;
    UINT taskbarCreated_ = 0;
    UniqueIcon icon_;
    std::wstring tip_;
    bool active_ = false;
    bool shown_ = false;
    bool showApp_ = false;
    bool retrying_ = false;
};

}  // namespace lark
