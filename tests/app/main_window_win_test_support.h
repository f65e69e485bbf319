#pragma once
// The main window in this process on real files in a temporary folder, the registry and
// message boxes recorded: what the main window's tests share.
#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/command_ids_win.h"
#include "app/main_frame_win.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "config/context.h"
#include "config/registry_helpers.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "search/search_dialog_win.h"
#include "support/win_tree_helpers.h"

namespace lark {

inline std::string TextOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    GetWindowTextW(hwnd, text, 1024);
    return Narrow(text);
}

inline std::string StatusOf(HWND statusBar) {
    wchar_t text[256] = L"";
    SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

inline void SetModifiedYear(const std::string& path, WORD year) {
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = 6;
    st.wDay = 1;
    st.wHour = 12;
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    HANDLE file = CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    SetFileTime(file, nullptr, nullptr, &ft);
    CloseHandle(file);
}

// An installation in a temporary folder: the settings file beside a (never started)
// program path, a data location and a folder of documents.
struct MainWindowViews : ::testing::Test {
    wintree::TempTree dir{"mainviews"};
    Win32FileSystem fs;
    FakeRegistry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,   clock,
                   messages, settings,   dir.Path("App\\Larkspire.exe"),
                   "jdoe",   dir.Root(), dir.Path("Recent")};
    std::unique_ptr<TfmOpen> form;
    std::unique_ptr<TfmSearch> searchDialog;

    MainWindowViews() {
        dir.Folder("Recent");
        WriteSettings(dir.Path("Larkspire Data"));
    }
    ~MainWindowViews() override {
        form.reset();
        searchDialog.reset();
    }

    void WriteSettings(const std::string& dataLocation) {
        dir.File("App\\LARKSPIRE.ini", "[General]\r\nDataLocation=" + dataLocation +
                                           "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n"
                                           "\r\n[Domain.<Default>]\r\nInclude=" +
                                           dir.Path("docs") + "\r\n");
    }
    std::string Doc(const std::string& name, WORD year = 2024) {
        dir.File("docs\\" + name, "some text");
        SetModifiedYear(dir.Path("docs\\" + name), year);
        return dir.Path("docs\\" + name);
    }
    void RecentList(const std::string& user, const std::vector<std::string>& paths) {
        std::string text;
        for (const auto& p : paths) text += p + "\r\n";
        dir.File("Larkspire Data\\" + user + "\\Recent files.idx", text);
    }
    void Start() {
        std::vector<std::string> noParameters;
        form = std::make_unique<TfmOpen>(ctx, &noParameters);
        ASSERT_NE(form->Handle(), nullptr);
    }
    // As the program starts: the search dialog beside the main window.
    void StartWithSearchDialog() {
        Start();
        searchDialog = std::make_unique<TfmSearch>(ctx, form->Criteria(), form->Shell());
        searchDialog->FormCreate();
        form->SetSearchDialog(searchDialog.get());
    }
    // A left click on the tray icon.
    void ClickTray() {
        SendMessageW(form->Frame().TrayIcon().Handle(), kTrayCallbackMessage, 0, WM_LBUTTONUP);
    }
    // A mouse click on the face of a tool bar button.
    void ClickToolButton(UINT command) {
        RECT r{};
        SendMessageW(Layout().toolBar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM(r.left + 6, (r.top + r.bottom) / 2);
        SendMessageW(Layout().toolBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(Layout().toolBar, WM_LBUTTONUP, 0, at);
        wintree::PumpUntil([] { return false; }, 50);
    }
    // A key pressed in the file list, which the window sees first.
    void PressKey(UINT key) {
        MSG msg{List(), WM_KEYDOWN, key, 1, 0, {}};
        if (!PreviewWindowKey(form->Handle(), msg)) SendMessageW(List(), WM_KEYDOWN, key, 1);
    }
    HTREEITEM TreeItem(const std::string& text) {
        HWND tree = Layout().tv;
        for (HTREEITEM item = TreeView_GetRoot(tree); item;
             item = TreeView_GetNextSibling(tree, item)) {
            wchar_t buffer[260] = L"";
            TVITEMW info{};
            info.mask = TVIF_TEXT;
            info.hItem = item;
            info.pszText = buffer;
            info.cchTextMax = 260;
            TreeView_GetItem(tree, &info);
            if (Narrow(buffer) == text) return item;
        }
        return nullptr;
    }

    MainLayout& Layout() { return form->Frame().Layout(); }
    HWND List() { return Layout().listView; }
    std::string Caption() { return TextOf(form->Handle()); }
    std::string Status() { return StatusOf(Layout().statusBar); }
    // The rows as the list control shows them: it asks the window for each one.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        int count = int(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[260] = L"";
            ListView_GetItemText(List(), i, 0, text, 260);
            rows.push_back(Narrow(text));
        }
        return rows;
    }
    void Command(UINT id, UINT code = 0, HWND from = nullptr) {
        SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(from));
    }
    void ChooseInCatalogue(const std::string& name) {
        HWND catalogue = Layout().coViews;
        int index = int(SendMessageW(catalogue, CB_FINDSTRINGEXACT, WPARAM(-1),
                                     reinterpret_cast<LPARAM>(Widen(name).c_str())));
        ASSERT_GE(index, 0) << name;
        SendMessageW(catalogue, CB_SETCURSEL, WPARAM(index), 0);
        Command(kIdViews, CBN_SELCHANGE, catalogue);
    }
    void ChooseInSelector(const std::string& text) {
        HWND selector = Layout().coViews2;
        int count = int(SendMessageW(selector, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t buffer[260] = L"";
            COMBOBOXEXITEMW item{};
            item.mask = CBEIF_TEXT;
            item.iItem = i;
            item.pszText = buffer;
            item.cchTextMax = 260;
            SendMessageW(selector, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            if (Narrow(buffer) != text) continue;
            SendMessageW(selector, CB_SETCURSEL, WPARAM(i), 0);
            Command(kIdViews2, CBN_SELCHANGE, selector);
            return;
        }
        ADD_FAILURE() << "no selector entry " << text;
    }
    int ListStyle() { return int(GetWindowLongW(List(), GWL_STYLE) & LVS_TYPEMASK); }
    bool MenuChecked(UINT id) {
        return (GetMenuState(Layout().mainMenu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    bool ButtonChecked(UINT id) {
        return SendMessageW(Layout().toolBar, TB_ISBUTTONCHECKED, id, 0) != 0;
    }
    bool ViewBandShown() {
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_STYLE;
        SendMessageW(Layout().reBar, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&band));
        return (band.fStyle & RBBS_HIDDEN) == 0;
    }
};

// Watches, from a thread of its own, for a window of this process that a command opens
// modally (a dialog, a pop-up menu) while the test's thread is inside that command. When it
// appears, notes whether the main window was still visible and dismisses it as a user does.
class ModalWatch {
  public:
    ModalWatch(HWND main, const wchar_t* className, const wchar_t* caption)
        : thread_([=, this] {
              for (int i = 0; i < 1500; ++i) {
                  HWND found = FindWindowW(className, caption);
                  if (found && IsWindowVisible(found)) {
                      mainVisible_ = IsWindowVisible(main) != FALSE;
                      seen_ = true;
                      // Esc ends a menu; a dialog takes its Cancel button.
                      if (std::wstring_view(className) == L"#32768")
                          PostMessageW(found, WM_KEYDOWN, VK_ESCAPE, 0);
                      else
                          PostMessageW(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                      return;
                  }
                  Sleep(10);
              }
          }) {}
    ~ModalWatch() { Wait(); }
    void Wait() {
        if (thread_.joinable()) thread_.join();
    }
    bool Seen() {
        Wait();
        return seen_;
    }
    bool MainWasVisible() {
        Wait();
        return mainVisible_;
    }

  private:
    std::atomic<bool> seen_{false};
    std::atomic<bool> mainVisible_{false};
    std::thread thread_;
};

}  // namespace lark
