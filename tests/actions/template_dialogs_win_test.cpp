// "Select Template" and "Save as Template" in this process, driven as a user drives them:
// clicks on the list and the buttons, keys typed into the name box.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "actions/new_template_dialog_win.h"
#include "actions/save_as_template_dialog_win.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "res/templates_ids.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

// Runs the user's part once the dialog of that caption shows, from inside its modal loop.
struct UserAtDialog {
    std::wstring caption;
    std::function<void(HWND)> act;
    bool acted = false;
};
UserAtDialog* gUser = nullptr;

void CALLBACK LookForDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowW(L"#32770", gUser->caption.c_str());
    if (!dialog || !IsWindowVisible(dialog) || gUser->acted) return;
    KillTimer(nullptr, timer);
    gUser->acted = true;
    gUser->act(dialog);
}

// Arms the user; the caller then opens the dialog modally.
void WhenShown(UserAtDialog& user) {
    gUser = &user;
    SetTimer(nullptr, 0, 30, LookForDialog);
}

std::string Text(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return Narrow(text);
}

void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// Keys typed into the focused box: they replace what is selected, as typing does.
void TypeIntoFocus(const std::string& text) {
    HWND focus = GetFocus();
    for (wchar_t c : Widen(text)) SendMessageW(focus, WM_CHAR, c, 1);
}

// A mouse click (or double click) on a list box entry, where the user would click.
void ClickEntry(HWND dialog, int index, bool twice = false) {
    HWND list = GetDlgItem(dialog, IDC_NEW_LB_TEMPLATES);
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
    LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }
}

NamePrompt TemplatePrompt() {
    NamePrompt prompt;
    prompt.caption = "Save as Template";
    prompt.label = "Template Name";
    prompt.name = "Text Document Template";
    prompt.userName = "jdoe";
    return prompt;
}

TEST(SaveAsTemplateDialog, ShowsTheProposalAndGivesBackTheTypedNameAndChoice) {
    struct Seen {
        std::string caption, label, name, allUsers, user, focused;
        bool allUsersChecked = false;
    } seen;
    UserAtDialog user{L"Save as Template", [&](HWND d) {
                          seen.caption = Text(d);
                          seen.label = Text(GetDlgItem(d, IDC_SAT_LABEL1));
                          seen.name = Text(GetDlgItem(d, IDC_SAT_ED_TEMPLATE_NAME));
                          seen.allUsers = Text(GetDlgItem(d, IDC_SAT_RB_ALL_USERS));
                          seen.user = Text(GetDlgItem(d, IDC_SAT_RB_USER));
                          seen.allUsersChecked = Checked(d, IDC_SAT_RB_ALL_USERS);
                          seen.focused = GetFocus() == GetDlgItem(d, IDC_SAT_ED_TEMPLATE_NAME)
                                             ? "name box"
                                             : "elsewhere";
                          TypeIntoFocus("Letter head");
                          Click(d, IDC_SAT_RB_USER);
                          Click(d, IDOK);
                      }};
    WhenShown(user);
    TfmSaveAsTemplate dialog(TemplatePrompt());
    std::optional<NamePromptAnswer> answer = dialog.ShowModal(nullptr, test::ProgramResources());
    ASSERT_TRUE(user.acted);
    EXPECT_EQ(seen.caption, "Save as Template");
    EXPECT_EQ(seen.label, "Template Name");
    EXPECT_EQ(seen.name, "Text Document Template");
    EXPECT_EQ(seen.allUsers, "All users");
    EXPECT_EQ(seen.user, "jdoe");
    EXPECT_TRUE(seen.allUsersChecked);
    EXPECT_EQ(seen.focused, "name box");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->name, "Letter head");
    EXPECT_FALSE(answer->allUsers);
}

TEST(SaveAsTemplateDialog, ARefusedNameKeepsTheDialogOpenAndCancelGivesNothing) {
    NamePrompt prompt = TemplatePrompt();
    prompt.caption = "Save Search";
    prompt.label = "Search Name";
    prompt.name = "Budget";
    prompt.allUsers = false;
    std::vector<std::string> offered;
    prompt.accept = [&](std::string_view name) {
        offered.emplace_back(name);
        return false;
    };
    struct Seen {
        std::string label;
        bool userChecked = false, stillOpen = false;
    } seen;
    UserAtDialog user{L"Save Search", [&](HWND d) {
                          seen.label = Text(GetDlgItem(d, IDC_SAT_LABEL1));
                          seen.userChecked = Checked(d, IDC_SAT_RB_USER);
                          TypeIntoFocus("..\\evil");
                          Click(d, IDOK);
                          seen.stillOpen = IsWindowVisible(d) != FALSE;
                          Click(d, IDCANCEL);
                      }};
    WhenShown(user);
    TfmSaveAsTemplate dialog(prompt);
    std::optional<NamePromptAnswer> answer = dialog.ShowModal(nullptr, test::ProgramResources());
    ASSERT_TRUE(user.acted);
    EXPECT_EQ(seen.label, "Search Name");
    EXPECT_TRUE(seen.userChecked);
    EXPECT_EQ(offered, std::vector<std::string>{"..\\evil"});
    EXPECT_TRUE(seen.stillOpen);
    EXPECT_FALSE(answer);
}

TEST(SelectTemplateDialog, OkAndEditWaitForAChoiceThenGiveItBack) {
    const std::vector<std::string> entries = {"jdoe\\Memo.txt", "All Users\\Letter.doc",
                                              "All Users\\report.txt.gz"};
    struct Seen {
        std::vector<std::string> listed;
        bool okAtFirst = true, editAtFirst = true, okAfterClick = false, editAfterClick = false;
    } seen;
    UserAtDialog user{L"Select Template", [&](HWND d) {
                          HWND list = GetDlgItem(d, IDC_NEW_LB_TEMPLATES);
                          int count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
                          for (int i = 0; i < count; ++i) {
                              wchar_t text[260] = L"";
                              SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(text));
                              seen.listed.push_back(Narrow(text));
                          }
                          seen.okAtFirst = Enabled(d, IDOK);
                          seen.editAtFirst = Enabled(d, IDC_NEW_CB_EDIT);
                          ClickEntry(d, 1);
                          seen.okAfterClick = Enabled(d, IDOK);
                          seen.editAfterClick = Enabled(d, IDC_NEW_CB_EDIT);
                          Click(d, IDC_NEW_CB_EDIT);
                          Click(d, IDOK);
                      }};
    WhenShown(user);
    FakeRegistry registry;
    TfmNew dialog(registry, entries);
    std::optional<TemplateChoice> choice = dialog.ShowModal(nullptr, test::ProgramResources());
    ASSERT_TRUE(user.acted);
    EXPECT_EQ(seen.listed, entries);
    EXPECT_FALSE(seen.okAtFirst);
    EXPECT_FALSE(seen.editAtFirst);
    EXPECT_TRUE(seen.okAfterClick);
    EXPECT_TRUE(seen.editAfterClick);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->entry, "All Users\\Letter.doc");
    EXPECT_TRUE(choice->editTemplate);
}

TEST(SelectTemplateDialog, DoubleClickConfirmsCancelGivesNothingAndTheListGrowsWithTheDialog) {
    const std::vector<std::string> entries = {"jdoe\\Memo.txt", "All Users\\Letter.doc"};
    FakeRegistry registry;
    {
        UserAtDialog user{L"Select Template", [](HWND d) { ClickEntry(d, 0, true); }};
        WhenShown(user);
        TfmNew dialog(registry, entries);
        std::optional<TemplateChoice> choice = dialog.ShowModal(nullptr, test::ProgramResources());
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->entry, "jdoe\\Memo.txt");
        EXPECT_FALSE(choice->editTemplate);
    }
    struct Seen {
        int narrowest = 0, listGrowth = 0, buttonMove = 0;
    } seen;
    UserAtDialog user{L"Select Template", [&](HWND d) {
                          auto rectOf = [d](int id) {
                              RECT r{};
                              GetWindowRect(GetDlgItem(d, id), &r);
                              return r;
                          };
                          RECT frame{};
                          GetWindowRect(d, &frame);
                          RECT list = rectOf(IDC_NEW_LB_TEMPLATES), ok = rectOf(IDOK);
                          SetWindowPos(d, nullptr, 0, 0, 100, frame.bottom - frame.top,
                                       SWP_NOMOVE | SWP_NOZORDER);
                          RECT narrow{};
                          GetWindowRect(d, &narrow);
                          seen.narrowest = narrow.right - narrow.left;
                          SetWindowPos(d, nullptr, 0, 0, frame.right - frame.left + 50,
                                       frame.bottom - frame.top + 40, SWP_NOMOVE | SWP_NOZORDER);
                          RECT wideList = rectOf(IDC_NEW_LB_TEMPLATES), wideOk = rectOf(IDOK);
                          seen.listGrowth =
                              (wideList.right - wideList.left) - (list.right - list.left) +
                              (wideList.bottom - wideList.top) - (list.bottom - list.top);
                          seen.buttonMove = (wideOk.left - ok.left) + (wideOk.top - ok.top);
                          Click(d, IDCANCEL);
                      }};
    WhenShown(user);
    TfmNew dialog(registry, entries);
    EXPECT_FALSE(dialog.ShowModal(nullptr, test::ProgramResources()));
    ASSERT_TRUE(user.acted);
    EXPECT_GE(seen.narrowest, 361);
    EXPECT_EQ(seen.listGrowth, 90);
    EXPECT_EQ(seen.buttonMove, 90);
}

}  // namespace
}  // namespace lark
