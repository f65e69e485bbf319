#pragma once
// The main window in this process with its commands reached as a user reaches them (the
// tool bar's buttons, the menus' items) and the user's part at the dialogs they open, played
// from a timer inside each dialog's modal loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_frame_win.h"
#include "app/main_layout_win.h"
#include "app/main_window_win.h"
#include "config/context.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/win32_platform.h"
#include "search/search_dialog_win.h"
#include "support/win_tree_helpers.h"

namespace lark::test {

// Each step runs from a thread timer until it reports that its dialog was there and it
// acted; then the next one waits for its own.
void WhenModal(std::vector<std::function<bool()>> steps);
void StopSteps();

// The visible dialog of this thread with exactly this caption.
HWND ThreadDialog(const std::wstring& caption);
std::string TextOf(HWND hwnd);
void Click(HWND dialog, int id);
// Keys typed into the focused box replace its text, as typing over a selection does.
void TypeIntoFocus(const std::string& text);
// The first visible edit control inside the window (the Save dialog's file name box).
HWND FirstEdit(HWND parent);
bool Holds(const std::vector<std::string>& list, const std::string& item);

// An installation in a temporary folder for user "jdoe", with the main window, the search
// dialog beside it and the dialogs taken from the built program.
struct MainWindowCommands : ::testing::Test {
    wintree::TempTree dir{"commands"};
    Win32FileSystem fs;
    FakeRegistry registry;
    Win32Clock clock;
    FakeMessages messages;
    Settings settings;
    AppContext ctx{fs,       registry,   clock,
                   messages, settings,   dir.Path("App\\Larkspire.exe"),
                   "jdoe",   dir.Root(), dir.Path("Recent")};
    std::unique_ptr<TfmOpen> form;
    std::unique_ptr<TfmSearch> search;
    const std::string mine = dir.Path("Larkspire Data\\jdoe\\");
    const std::string shared = dir.Path("Larkspire Data\\All Users\\");

    MainWindowCommands();
    ~MainWindowCommands() override;

    std::string Doc(const std::string& name, const std::string& text = "some text");
    // Starts with these recent documents and shows the window.
    void Start(const std::vector<std::string>& recent);
    MainLayout& Layout() { return form->Frame().Layout(); }
    bool Shown() { return IsWindowVisible(form->Handle()) != FALSE; }
    std::string Caption() { return TextOf(form->Handle()); }
    std::vector<std::string> Rows();
    void SelectRow(const std::string& name);
    void ClickToolButton(UINT command);
    // The enabled item of that caption in the menu or one of its submenus, as a click on
    // it chooses it.
    void ChooseMenuItem(HMENU menu, const std::wstring& caption);
    std::string RecentFile();
    std::vector<std::string> Catalogue();
    std::vector<std::string> Selector();
    // The children of a top-level node of the Views tree.
    std::vector<std::string> TreeGroup(const std::string& group);
    void ChooseInCatalogue(const std::string& name);
};

}  // namespace lark::test
