#pragma once
// The base every program window builds on: restores the window's placement once the window
// exists and stores what changed when it goes away.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/my_form.h"
#include "platform/registry.h"

namespace lark {

using ScreenSizeProvider = std::function<ScreenSize()>;
ScreenSize PrimaryScreenSize();

class TMyForm {
  public:
    TMyForm(Registry& registry, std::string componentName,
            ScreenSizeProvider screen = PrimaryScreenSize);
    virtual ~TMyForm() = default;
    TMyForm(const TMyForm&) = delete;
    TMyForm& operator=(const TMyForm&) = delete;

    // Call when the window has been built (after its own creation handler, e.g. at the end
    // of WM_CREATE or in WM_INITDIALOG). A hidden window stays hidden: its restored state is
    // applied by ShowForm.
    void RestorePlacement(HWND hwnd);
    // Call before the window is destroyed (WM_DESTROY is fine); runs once.
    void StorePlacement();
    // Shows the window in its current state (maximised windows reopen maximised).
    void ShowForm();
    void HideForm();

    HWND Handle() const { return hwnd_; }
    const std::string& ComponentName() const { return componentName_; }
    WindowState CurrentWindowState() const;
    // The normal (restored) rectangle in screen pixels, also while maximised or hidden.
    FormPlacement CurrentPlacement() const;

    int SavedTop = 0;
    int SavedLeft = 0;
    int SavedWidth = 0;
    int SavedHeight = 0;
    uint8_t SavedWindowState = 0;
    // 0 after creation, 99 once the window is being destroyed; the main window's close
    // request also reads it as its exit marker.
    int Tag = 0;

  private:
    Registry& registry_;
    std::string componentName_;
    ScreenSizeProvider screen_;
    HWND hwnd_ = nullptr;
    WindowState hiddenState_ = WindowState::Normal;  // what ShowForm applies to a hidden window
    bool stored_ = false;
};

}  // namespace lark
