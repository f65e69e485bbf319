#pragma once
// What the main window shows around its file list: the layout and menus, the tray icon and
// its images, and the window messages that belong to them. The main window creates one
// right after its window exists and passes its messages through HandleMessage first.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/main_layout_win.h"
#include "app/tray_icon_win.h"

namespace lark {

class MainFrame {
  public:
    // resources: the module holding the pictures (the program itself).
    MainFrame(HWND form, HINSTANCE resources);
    ~MainFrame();
    MainFrame(const MainFrame&) = delete;
    MainFrame& operator=(const MainFrame&) = delete;

    MainLayout& Layout() { return layout_; }
    TTrayIcon& TrayIcon() { return tray_; }

    // Layout, hints, tool bar drop-down, the File menu's tray menu. True when handled.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Tray image 0 idle, 1 index being built, 2 rebuild pending.
    void SetTrayState(int index);
    // An index build started: busy image and no searching until it ends.
    void IndexBuildStarting();
    // The build ended: idle image, the tip with the file count, Search enabled again.
    void IndexBuildFinished(std::string_view tip);
    void ChangeWatchFinished() { SetTrayState(2); }

    // TrayIconClick: hides a visible window and shows a hidden or minimised one, restored
    // and in front. The caller supplies how to show and hide (to keep its stored window
    // state).
    std::function<void()> ShowForm;
    std::function<void()> HideForm;
    void TrayIconClick();

  private:
    HWND form_;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the window was left
    MainLayout layout_;
    TTrayIcon tray_;
};

}  // namespace lark
