// "Select Template" and "Save as Template" from their resource templates, driven by clicks and
// typing in this process: what the end-to-end run through the main window does not look at
// (the state before a choice, resizing and the remembered placement, where the name question
// opens and where its focus is).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/new_template_dialog_win.h"
#include "actions/save_as_template_dialog_win.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "res/templates_ids.h"
#include "support/dialog_script.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

using test::ClickAt;
using test::ClickButton;
using test::DialogScript;
using test::TextOf;
using test::TypeInto;

const std::vector<std::string> kEntries = {"jdoe\\Memo.txt", "All Users\\Letter.doc",
                                           "All Users\\Forms"};

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
RECT ItemRect(HWND dialog, int id) {
    RECT r = ScreenRect(GetDlgItem(dialog, id));
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
// A click on a list entry; twice in a row on the same spot is a double click.
void ClickEntry(HWND dialog, int index, bool twice = false) {
    HWND list = GetDlgItem(dialog, IDC_NEW_LB_TEMPLATES);
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
    const POINT at{r.left + 4, r.top + 2};
    ClickAt(list, at);
    if (!twice) return;
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

struct TemplateDialogs : ::testing::Test {
    FakeRegistry registry;
    TemplateDialogs() { EXPECT_NE(test::ProgramResources(), nullptr); }

    std::optional<TemplateChoice> SelectTemplate(std::function<void(HWND)> steps) {
        DialogScript script(L"Select Template", std::move(steps));
        TfmNew dialog(registry, kEntries);
        std::optional<TemplateChoice> choice = dialog.ShowModal(nullptr, test::ProgramResources());
        EXPECT_TRUE(script.Ran());
        return choice;
    }
    std::optional<NamePromptAnswer> AskName(const NamePrompt& prompt,
                                            std::function<void(HWND)> steps) {
        DialogScript script(Widen(prompt.caption), std::move(steps));
        TfmSaveAsTemplate dialog(prompt);
        std::optional<NamePromptAnswer> answer =
            dialog.ShowModal(nullptr, test::ProgramResources());
        EXPECT_TRUE(script.Ran());
        return answer;
    }
};

TEST_F(TemplateDialogs, SelectTemplateWaitsForAChoiceThenGivesTheEntryClickedOrDoubleClicked) {
    struct Case {
        const char* name;
        std::function<void(HWND)> steps;
        std::optional<TemplateChoice> expected;
    };
    const Case cases[] = {
        {"cancelled after a choice",
         [](HWND d) {
             ClickEntry(d, 1);
             ClickButton(d, IDCANCEL);
         },
         std::nullopt},
        {"OK with Edit template",
         [](HWND d) {
             ClickEntry(d, 1);
             ClickButton(d, IDC_NEW_CB_EDIT);
             ClickButton(d, IDOK);
         },
         TemplateChoice{"All Users\\Letter.doc", true}},
        {"a double click", [](HWND d) { ClickEntry(d, 2, true); },
         TemplateChoice{"All Users\\Forms", false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> listed;
        bool waited = false;
        std::optional<TemplateChoice> choice = SelectTemplate([&](HWND d) {
            HWND list = GetDlgItem(d, IDC_NEW_LB_TEMPLATES);
            for (int i = 0, n = int(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
                wchar_t text[260] = L"";
                SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(text));
                listed.push_back(Narrow(text));
            }
            waited = !Enabled(d, IDOK) && !Enabled(d, IDC_NEW_CB_EDIT);
            // OK does nothing before a choice.
            ClickButton(d, IDOK);
            c.steps(d);
        });
        EXPECT_EQ(listed, kEntries);
        EXPECT_TRUE(waited);
        ASSERT_EQ(choice.has_value(), c.expected.has_value());
        if (choice) {
            EXPECT_EQ(choice->entry, c.expected->entry);
            EXPECT_EQ(choice->editTemplate, c.expected->editTemplate);
        }
    }
}

TEST_F(TemplateDialogs, SelectTemplateGrowsItsListKeepsAMinimumWidthAndReopensWhereItWasLeft) {
    RECT grown{}, narrowed{};
    RECT listBefore{}, listAfter{}, okBefore{}, okAfter{}, clientBefore{}, clientAfter{};
    SelectTemplate([&](HWND d) {
        GetClientRect(d, &clientBefore);
        listBefore = ItemRect(d, IDC_NEW_LB_TEMPLATES);
        okBefore = ItemRect(d, IDOK);
        RECT r = ScreenRect(d);
        SetWindowPos(d, nullptr, 40, 30, r.right - r.left + 120, r.bottom - r.top + 80,
                     SWP_NOZORDER);
        GetClientRect(d, &clientAfter);
        listAfter = ItemRect(d, IDC_NEW_LB_TEMPLATES);
        okAfter = ItemRect(d, IDOK);
        grown = ScreenRect(d);
        SetWindowPos(d, nullptr, 0, 0, 120, 120, SWP_NOZORDER | SWP_NOMOVE);
        narrowed = ScreenRect(d);
        // The size the user left it at is the one remembered.
        SetWindowPos(d, nullptr, 0, 0, grown.right - grown.left, grown.bottom - grown.top,
                     SWP_NOZORDER | SWP_NOMOVE);
        ClickButton(d, IDCANCEL);
    });
    const int dx = clientAfter.right - clientBefore.right;
    const int dy = clientAfter.bottom - clientBefore.bottom;
    EXPECT_GT(dx, 0);
    EXPECT_GT(dy, 0);
    EXPECT_EQ(listAfter.right - listAfter.left, listBefore.right - listBefore.left + dx);
    EXPECT_EQ(listAfter.bottom - listAfter.top, listBefore.bottom - listBefore.top + dy);
    EXPECT_EQ(okAfter.left, okBefore.left + dx);
    EXPECT_EQ(okAfter.top, okBefore.top + dy);
    EXPECT_GE(narrowed.right - narrowed.left, 361);

    RECT reopened{};
    SelectTemplate([&](HWND d) { reopened = ScreenRect(d); });
    EXPECT_EQ(reopened.left, grown.left);
    EXPECT_EQ(reopened.top, grown.top);
    EXPECT_EQ(reopened.right - reopened.left, grown.right - grown.left);
    EXPECT_EQ(reopened.bottom - reopened.top, grown.bottom - grown.top);
}

TEST_F(TemplateDialogs, SaveAsTemplateOpensAtThePointerWithTheProposalSelectedForTyping) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        POINT pointer;
        bool allUsers;
    };
    const Case cases[] = {{{300, 400}, true}, {{screenWidth - 5, screenHeight - 5}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pointer.x);
        ASSERT_TRUE(SetCursorPos(c.pointer.x, c.pointer.y));
        NamePrompt prompt;
        prompt.caption = "Save as Template";
        prompt.label = "Template Name";
        prompt.name = "Text Document Template";
        prompt.userName = "jdoe";
        prompt.allUsers = c.allUsers;
        std::vector<std::string> offered;
        prompt.accept = [&](std::string_view name) {
            offered.emplace_back(name);
            return name != "bad";
        };
        RECT at{};
        std::string label, user, focusedText;
        bool focusOnName = false, allChecked = false, stillOpen = false;
        DWORD selection = 0;
        std::optional<NamePromptAnswer> answer = AskName(prompt, [&](HWND d) {
            at = ScreenRect(d);
            label = TextOf(GetDlgItem(d, IDC_SAT_LABEL1));
            user = TextOf(GetDlgItem(d, IDC_SAT_RB_USER));
            allChecked = test::IsChecked(d, IDC_SAT_RB_ALL_USERS);
            HWND name = GetDlgItem(d, IDC_SAT_ED_TEMPLATE_NAME);
            focusOnName = GetFocus() == name;
            selection = DWORD(SendMessageW(name, EM_GETSEL, 0, 0));
            TypeInto(name, "bad");
            ClickButton(d, IDOK);
            stillOpen = IsWindowVisible(d) && GetFocus() == name;
            TypeInto(name, "Letter");
            ClickButton(d, c.allUsers ? IDC_SAT_RB_USER : IDC_SAT_RB_ALL_USERS);
            ClickButton(d, IDOK);
        });
        const int width = at.right - at.left, height = at.bottom - at.top;
        EXPECT_EQ(at.left, std::min(int(c.pointer.x) - 10, screenWidth - width));
        EXPECT_EQ(at.top, std::min(int(c.pointer.y) - height / 3, screenHeight - height - 20));
        EXPECT_EQ(label, "Template Name");
        EXPECT_EQ(user, "jdoe");
        EXPECT_EQ(allChecked, c.allUsers);
        EXPECT_TRUE(focusOnName);
        EXPECT_EQ(LOWORD(selection), 0);
        EXPECT_EQ(HIWORD(selection), prompt.name.size());
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(offered, (std::vector<std::string>{"bad", "Letter"}));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->name, "Letter");
        EXPECT_EQ(answer->allUsers, !c.allUsers);
    }
}

}  // namespace
}  // namespace lark
