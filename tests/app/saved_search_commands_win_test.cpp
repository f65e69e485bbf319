// "Save search As...", "Revise search" and "Delete search" from the main window's Search
// menu, through the "Save Search" and "Search Parameters" dialogs.
#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include "app/command_ids_win.h"
#include "app/command_test_helpers.h"
#include "index/index_format.h"
#include "res/search_dialog_ids.h"
#include "res/templates_ids.h"
#include "search/criteria.h"

namespace lark::test {
namespace {

using wintree::ReadAll;

using SavedSearchCommands = MainWindowCommands;

TEST_F(SavedSearchCommands, SearchesAreSavedRevisedAndDeletedFromTheSearchMenu) {
    Doc("letter.txt");
    Doc("invoice.txt");
    const std::string docs = dir.Path("docs");
    dir.File(
        "Larkspire Data\\All Users\\All files.idx",
        IndexHeaderLine(docs + ";", "") + "\r\n" + docs + "\\\r\nletter.txt\r\ninvoice.txt\r\n");
    SearchCriteria letters;
    letters.Keywords = "letter";
    dir.File("Larkspire Data\\All Users\\Searches\\Budget.lks", CriteriaFileText(letters));
    Start({});
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(kCmdShowViews, 0), 0);  // the tree
    const std::string budget = "Budget\xC2\xA7";
    ChooseInCatalogue(budget);
    ASSERT_EQ(Rows(), std::vector<std::string>{"letter.txt"});
    HMENU menu = GetMenu(form->Handle());

    // Budget§ proposes Budget for all users; the replace question answered No keeps the file.
    form->Criteria().Keywords = "letter or invoice";
    struct Seen {
        std::string name;
        bool allUsers = false;
    } seen;
    auto confirmProposal = [&] {
        HWND d = ThreadDialog(L"Save Search");
        if (!d) return false;
        seen.name = TextOf(GetDlgItem(d, IDC_SAT_ED_TEMPLATE_NAME));
        seen.allUsers = IsDlgButtonChecked(d, IDC_SAT_RB_ALL_USERS) == BST_CHECKED;
        Click(d, IDOK);
        return true;
    };
    messages.answer = false;
    WhenModal({confirmProposal});
    ChooseMenuItem(menu, L"Save search As...");
    EXPECT_EQ(seen.name, "Budget");
    EXPECT_TRUE(seen.allUsers);
    EXPECT_EQ(messages.confirmations,
              std::vector<std::string>{"A search with the same name already exists. Replace?"});
    EXPECT_EQ(ReadAll(shared + "Searches\\Budget.lks"), CriteriaFileText(letters));
    messages.answer = true;
    WhenModal({confirmProposal});
    ChooseMenuItem(menu, L"Save search As...");
    EXPECT_EQ(ReadAll(shared + "Searches\\Budget.lks"), CriteriaFileText(form->Criteria()));

    // A new name for the user alone shows in every list of views at once.
    WhenModal({[&] {
        HWND d = ThreadDialog(L"Save Search");
        if (!d) return false;
        TypeIntoFocus("Weekly.lks");
        Click(d, IDC_SAT_RB_USER);
        Click(d, IDOK);
        return true;
    }});
    ChooseMenuItem(menu, L"Save search As...");
    EXPECT_TRUE(fs.IsFile(mine + "Searches\\Weekly.lks"));
    EXPECT_TRUE(Holds(Catalogue(), "Weekly"));
    EXPECT_TRUE(Holds(Selector(), "Weekly"));
    EXPECT_EQ(TreeGroup("My Searches"), std::vector<std::string>{"Weekly"});

    // Revised with OK: written, then run again.
    ChooseInCatalogue("Weekly");
    WhenModal({[&] {
        HWND d = ThreadDialog(L"Search Parameters");
        if (!d) return false;
        SetWindowTextW(GetDlgItem(d, IDC_SEARCH_ED_KEYWORDS), L"invoice");
        Click(d, IDOK);
        return true;
    }});
    ChooseMenuItem(menu, L"Revise search");
    SearchCriteria invoices = form->Criteria();
    EXPECT_EQ(invoices.Keywords, "invoice");
    EXPECT_EQ(ReadAll(mine + "Searches\\Weekly.lks"), CriteriaFileText(invoices));
    EXPECT_EQ(Rows(), std::vector<std::string>{"invoice.txt"});
    EXPECT_EQ(Caption(), "Larkspire - <Search=\"invoice\">");

    // Deleted: gone from the folder and from every list of views.
    ChooseMenuItem(menu, L"Delete search");
    EXPECT_EQ(messages.confirmations.back(), "Delete search \"Weekly\"?");
    EXPECT_FALSE(fs.Exists(mine + "Searches\\Weekly.lks"));
    EXPECT_FALSE(Holds(Catalogue(), "Weekly"));
    EXPECT_FALSE(Holds(Selector(), "Weekly"));
    EXPECT_TRUE(TreeGroup("My Searches").empty());
    EXPECT_EQ(Caption(), "Larkspire - <My Recent Documents>");

    // On a fixed view both do nothing: no dialog, no question.
    const size_t asked = messages.confirmations.size();
    bool dialogShown = false;
    WhenModal({[&] {
        if (!ThreadDialog(L"Search Parameters")) return false;
        dialogShown = true;
        Click(ThreadDialog(L"Search Parameters"), IDCANCEL);
        return true;
    }});
    ChooseMenuItem(menu, L"Revise search");
    ChooseMenuItem(menu, L"Delete search");
    wintree::PumpUntil([] { return false; }, 300);
    StopSteps();
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(messages.confirmations.size(), asked);
    EXPECT_TRUE(fs.IsFile(shared + "Searches\\Budget.lks"));
    EXPECT_TRUE(messages.errors.empty());
}

}  // namespace
}  // namespace lark::test
