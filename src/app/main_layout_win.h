#pragma once
// The main window's controls and menus: created once on the window the caller owns, laid
// out again on every resize. The window procedure stays with the caller; it forwards
// WM_SIZE to Layout and WM_NOTIFY to HandleNotify (MainFrame does both).
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <span>
#include <string_view>
#include <vector>

#include "ui/window_proc_win.h"

namespace lark {

enum class SideMode { None, Views, History };

// Texts and pictures of the tool bar buttons, in the order they appear (a zero command is the
// separator); also what tests check the tool bar against.
struct ToolButtonSpec {
    UINT command;
    int image;
    const wchar_t* caption;  // nullptr: picture only
    const wchar_t* hint;
};
std::span<const ToolButtonSpec> ToolButtonSpecs();

struct ColumnSpec {
    const wchar_t* caption;
    int width;  // at 96 dpi; the last column takes what is left
    bool rightAligned;
};
std::span<const ColumnSpec> FileListColumns();

// The layout is also the splitter's target: dragging it resizes the side panel.
class MainLayout final : public MessageTarget {
  public:
    MainLayout() = default;
    ~MainLayout() override;
    MainLayout(const MainLayout&) = delete;
    MainLayout& operator=(const MainLayout&) = delete;

    // Creates every child control, image list and menu on form and attaches the main menu.
    // resources: the module holding the pictures (the program itself, or the program file
    // loaded as data by tests). Also makes the window stay on top and sets its help topic and
    // icon. Throws std::runtime_error when a control cannot be created.
    void Create(HWND form, HINSTANCE resources);
    void Layout();
    // Call on WM_DESTROY: the window takes its menu bar with it.
    void FormDestroyed();

    // Handles the notifications the layout owns (tool bar drop-down, hints). True when handled.
    bool HandleNotify(const NMHDR* hdr, LRESULT& result);
    // True when the menu is the File menu (the caller then runs mnuFileClick).
    bool IsFileMenu(HMENU menu) const { return menu == fileMenu; }
    // mnuFileClick: the tray menu pops up beside the window's top-left corner.
    void PopTrayMenuBesideWindow() const;
    // The file list's context menu at a screen point; commands go to the form.
    void PopListMenu(POINT screen) const;

    void SetSideMode(SideMode mode);
    SideMode CurrentSideMode() const { return sideMode_; }
    void ShowSidePanel(bool show);
    void SetSideTitle(std::string_view title);
    void SetViewBandVisible(bool visible);
    void ShowProgress(bool show);
    void SetProgress(int percent);
    void SetStatusText(std::string_view text);
    void SetViewStyleChecked(int style);

    // One switch for a command wherever it appears: menus, tool bar, buttons.
    void EnableCommand(UINT command, bool enabled);
    bool CommandEnabled(UINT command) const;
    // Enables the commands listed and disables every other command of the window.
    void ApplyCommandAvailability(std::span<const UINT> available);
    // Whether the command has a handler at all (as last given to ApplyCommandAvailability;
    // every command until then).
    bool CommandAvailable(UINT command) const;

    // A new icon of the tray image list (0 idle, 1 building, 2 rebuild pending); the caller
    // owns it.
    HICON MakeTrayIcon(int index) const;
    int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    HWND form = nullptr;
    HWND reBar = nullptr;
    HWND toolBar = nullptr;
    HWND viewBand = nullptr;
    HWND viewLabel = nullptr;
    HWND coViews2 = nullptr;
    HWND openBand = nullptr;
    HWND openLabel = nullptr;
    HWND buFindFile = nullptr;
    HWND buOpen = nullptr;
    HWND edOpen = nullptr;
    HWND sidePanel = nullptr;
    HWND sideTitle = nullptr;
    HWND buCloseTreeview = nullptr;
    HWND tv = nullptr;
    HWND splitter = nullptr;
    HWND listView = nullptr;
    HWND statusBar = nullptr;
    HWND progressPanel = nullptr;
    HWND progressLabel = nullptr;
    HWND progressBar = nullptr;
    HWND coViews = nullptr;
    HWND toolTips = nullptr;

    HIMAGELIST toolImages = nullptr;       // tool bar and menu pictures
    HIMAGELIST viewImages = nullptr;       // 20 x 20 view pictures (tree and view selector)
    HIMAGELIST viewStyleImages = nullptr;  // the four list styles
    HIMAGELIST trayImages = nullptr;       // TrayIcons2

    HMENU mainMenu = nullptr;
    HMENU fileMenu = nullptr;
    HMENU viewMenu = nullptr;
    HMENU listPopup = nullptr;
    HMENU trayPopup = nullptr;
    HMENU viewStylePopup = nullptr;

    int sideWidth = 0;  // set by the splitter

  private:
    void CreateBands(HINSTANCE resources);
    void CreateBody();
    void CreateStatus();
    void CreateImages(HINSTANCE resources);
    void CreateMenus();
    void AddHint(HWND control, const wchar_t* text);
    HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, UINT id,
               DWORD exStyle = 0, MessageTarget* target = nullptr);
    HBITMAP MenuBitmap(HIMAGELIST list, int index);

    int dpi_ = 96;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    bool sideVisible_ = false;
    bool progressVisible_ = false;
    bool viewBandVisible_ = true;
    SideMode sideMode_ = SideMode::None;
    std::vector<HBITMAP> menuBitmaps_;
    std::vector<UINT> available_;
    bool availabilityApplied_ = false;
};

// Key preview: gives the main window the first look at a key pressed in any of its controls
// (sends kWmPreviewKeyDown). Call for each message before TranslateMessage; true means the
// window consumed the key and the message must not be dispatched.
bool PreviewWindowKey(HWND mainWindow, const MSG& msg);

}  // namespace lark
