// Templates and saved searches end to end in this process: the main window's tool bar button,
// menus and list menu, and the user's clicks and keys at each dialog they open, played from a
// timer inside the dialog's modal loop. Documents are "opened" by file types of this process
// alone, which copy them aside.
#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <commctrl.h>
#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_ids_win.h"
#include "app/main_frame_win.h"
#include "app/main_layout_win.h"
#include "app/main_window_win.h"
#include "base/text.h"
#include "config/context.h"
#include "config/settings.h"
#include "index/index_format.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"
#include "res/search_dialog_ids.h"
#include "res/templates_ids.h"
#include "search/criteria.h"
#include "search/search_dialog_win.h"
#include "support/win_tree_helpers.h"
#include "support/window_test_helpers.h"
#include "ui/resource_module_win.h"

namespace lark {
namespace {

using wintree::ReadAll;

// Each step runs from a thread timer until its dialog is there and it acted. A step that
// never finds its dialog fails the test and cancels whatever dialog holds the loop.
std::vector<std::function<bool()>> steps;
int idleTicks = 0;
void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
    // A step may open a modal loop of its own, which runs the timer again.
    std::function<bool()> step = steps.empty() ? nullptr : steps.front();
    if (step && step()) {
        steps.erase(steps.begin());
        idleTicks = 0;
    } else if (step && ++idleTicks > 300) {
        ADD_FAILURE() << "a dialog did not show";
        steps.clear();
        PostMessageW(GetActiveWindow(), WM_COMMAND, IDCANCEL, 0);
    }
    if (steps.empty()) KillTimer(nullptr, timer);
}
void WhenModal(std::vector<std::function<bool()>> next) {
    steps = std::move(next);
    idleTicks = 0;
    SetTimer(nullptr, 0, 60, RunStep);
}

HWND Dialog(const wchar_t* caption) {
    HWND found = FindWindowW(L"#32770", caption);
    return found && IsWindowVisible(found) ? found : nullptr;
}
std::string TextOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    GetWindowTextW(hwnd, text, 1024);
    return Narrow(text);
}
void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
// Keys typed over the name box's text. The box is named, not taken from the focus: the test
// process is not always the one in front when a dialog opens, and then nothing has the focus
// (where the focus goes is the dialogs' own test).
void Type(HWND dialog, const std::string& text) {
    HWND box = GetDlgItem(dialog, IDC_SAT_ED_TEMPLATE_NAME);
    SendMessageW(box, EM_SETSEL, 0, -1);
    for (wchar_t c : Widen(text)) SendMessageW(box, WM_CHAR, c, 1);
}
void ClickTemplate(HWND dialog, const std::string& entry) {
    HWND list = GetDlgItem(dialog, IDC_NEW_LB_TEMPLATES);
    LRESULT index =
        SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(Widen(entry).c_str()));
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 4, r.top + 2));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 4, r.top + 2));
}
// "Select Template": a click on the entry, "Edit template" when asked, OK.
std::function<bool()> ChooseTemplate(const std::string& entry, bool edit = false) {
    return [=] {
        HWND d = Dialog(L"Select Template");
        if (!d) return false;
        ClickTemplate(d, entry);
        if (edit) Click(d, IDC_NEW_CB_EDIT);
        Click(d, IDOK);
        return true;
    };
}
// The Save As dialog: the folder it opened in is kept, the path typed, "Save" clicked.
std::function<bool()> SaveAs(const std::string& path, std::string* folder = nullptr) {
    return [=] {
        HWND d = Dialog(L"Save Template As");
        // The file name box, wherever the dialog keeps it among its children.
        HWND box = nullptr;
        if (d)
            EnumChildWindows(
                d,
                [](HWND child, LPARAM found) {
                    wchar_t cls[16] = L"";
                    GetClassNameW(child, cls, 16);
                    if (lstrcmpiW(cls, L"Edit") || !IsWindowVisible(child)) return TRUE;
                    *reinterpret_cast<HWND*>(found) = child;
                    return FALSE;
                },
                LPARAM(&box));
        if (!box) return false;
        wchar_t shown[MAX_PATH] = L"";
        SendMessageW(d, CDM_GETFOLDERPATH, MAX_PATH, LPARAM(shown));
        if (folder) *folder = Narrow(shown);
        SetWindowTextW(box, Widen(path).c_str());
        Click(d, IDOK);
        return true;
    };
}

// ".doc" and ".txt" for this process alone: "open" copies the document into a folder.
class PrivateFileTypes {
  public:
    explicit PrivateFileTypes(const std::string& openedFolder) {
        HKEY classes = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, (key_ + L"\\Classes").c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &classes, nullptr);
        classes_.Reset(classes);
        wchar_t system[MAX_PATH] = L"";
        GetSystemDirectoryW(system, MAX_PATH);
        const std::wstring open =
            std::wstring(system) + L"\\cmd.exe /c copy /y \"%1\" \"" + Widen(openedFolder) + L"\"";
        for (auto [ext, type] :
             {std::pair{L".doc", L"Letter Document"}, std::pair{L".txt", L"Text Document"}}) {
            const std::wstring progId = std::wstring(L"LarkspireTest") + ext;
            Set(ext, progId);
            Set(progId, type);
            Set(progId + L"\\shell\\open\\command", open);
        }
        RegOverridePredefKey(HKEY_CLASSES_ROOT, classes_.Get());
    }
    ~PrivateFileTypes() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        classes_.Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    }

  private:
    void Set(const std::wstring& sub, const std::wstring& value) {
        HKEY created = nullptr;
        RegCreateKeyExW(classes_.Get(), sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &created, nullptr);
        UniqueRegKey key(created);
        RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       DWORD((value.size() + 1) * sizeof(wchar_t)));
    }
    std::wstring key_ = L"Software\\LarkspireTest\\" + std::to_wstring(GetCurrentProcessId());
    UniqueRegKey classes_;
};

struct TemplateSearchCommands : ::testing::Test {
    wintree::TempTree dir{"tplcmds"};
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
    const std::string mine = dir.Path("Data\\Larkspire\\jdoe\\");
    const std::string shared = dir.Path("Data\\Larkspire\\All Users\\");

    TemplateSearchCommands() {
        dir.Folder("Recent");
        dir.Folder("out");
        dir.File("App\\LARKSPIRE.ini", "[General]\r\nDataLocation=" + dir.Path("Data\\Larkspire") +
                                           "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n");
        SetResourceModule(test::ProgramResources());
    }
    ~TemplateSearchCommands() override {
        steps.clear();
        search.reset();
        form.reset();
        SetResourceModule(nullptr);
    }
    void Start(const std::string& recent = "") {
        dir.File("Data\\Larkspire\\jdoe\\Recent files.idx", recent);
        std::vector<std::string> noParameters;
        form = std::make_unique<TfmOpen>(ctx, &noParameters);
        search = std::make_unique<TfmSearch>(ctx, form->Criteria(), form->Shell());
        search->FormCreate();
        form->SetSearchDialog(search.get());
        form->ShowMainWindow();
    }
    MainLayout& Layout() { return form->Frame().Layout(); }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int i = 0, n = ListView_GetItemCount(Layout().listView); i < n; ++i) {
            wchar_t text[260] = L"";
            ListView_GetItemText(Layout().listView, i, 0, text, 260);
            rows.push_back(Narrow(text));
        }
        return rows;
    }
    // The enabled menu item of that caption, chosen as a click on it chooses it.
    void Choose(HMENU menu, const std::wstring& caption) {
        for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
            wchar_t text[128] = L"";
            GetMenuStringW(menu, UINT(i), text, 128, MF_BYPOSITION);
            if (HMENU sub = GetSubMenu(menu, i)) Choose(sub, caption);
            if (caption != text || GetSubMenu(menu, i)) continue;
            ASSERT_FALSE(GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_GRAYED);
            SendMessageW(form->Handle(), WM_COMMAND, GetMenuItemID(menu, i), 0);
        }
    }
    void ClickNewButton() {
        RECT r{};
        SendMessageW(Layout().toolBar, TB_GETRECT, kCmdNew, LPARAM(&r));
        SendMessageW(Layout().toolBar, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(r.left + 4, r.top + 4));
        SendMessageW(Layout().toolBar, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 4, r.top + 4));
    }
    bool Catalogued(const std::string& view) {
        return SendMessageW(Layout().coViews, CB_FINDSTRINGEXACT, WPARAM(-1),
                            LPARAM(Widen(view).c_str())) >= 0;
    }
    void ShowFromCatalogue(const std::string& view) {
        SendMessageW(Layout().coViews, CB_SELECTSTRING, WPARAM(-1), LPARAM(Widen(view).c_str()));
        SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(kIdViews, CBN_SELCHANGE),
                     LPARAM(Layout().coViews));
    }
    // The names under "My Searches" in the Views tree.
    std::vector<std::string> MySearchesInTree() {
        HWND tree = Layout().tv;
        auto text = [tree](HTREEITEM node) {
            wchar_t buffer[260] = L"";
            TVITEMW item{};
            item.mask = TVIF_TEXT;
            item.hItem = node;
            item.pszText = buffer;
            item.cchTextMax = 260;
            TreeView_GetItem(tree, &item);
            return Narrow(buffer);
        };
        std::vector<std::string> names;
        for (HTREEITEM top = TreeView_GetRoot(tree); top; top = TreeView_GetNextSibling(tree, top))
            for (HTREEITEM c = TreeView_GetChild(tree, top); c && text(top) == "My Searches";
                 c = TreeView_GetNextSibling(tree, c))
                names.push_back(text(c));
        return names;
    }
};

TEST_F(TemplateSearchCommands, NewDocumentsFromTemplatesAndDocumentsSavedAsTemplates) {
    PrivateFileTypes types(dir.Path("opened"));
    dir.Folder("opened");
    auto opened = [&](const std::string& name) {
        return wintree::WaitForPath(dir.Path("opened\\" + name), 30000);
    };
    dir.File("Data\\Larkspire\\All Users\\Template\\Letter.doc", "Dear Sir,\r\n");
    const std::string report = "quarterly report\r\n" + std::string(5000, 'x');
    gzFile gz = gzopen((shared + "Template\\report.txt.gz").c_str(), "wb6");
    gzwrite(gz, report.data(), unsigned(report.size()));
    gzclose(gz);
    dir.File("Data\\Larkspire\\jdoe\\Template\\Memo.txt", "memo");
    const std::string plan = dir.Path("plan.txt");
    dir.File("plan.txt", "the plan");
    Start(plan + "\r\n");

    // The shared Letter.doc saved as Smith becomes Smith.doc, is opened and listed.
    std::string folder;
    WhenModal({ChooseTemplate("All Users\\Letter.doc"), SaveAs(dir.Path("out\\Smith"), &folder)});
    ClickNewButton();
    PWSTR documents = nullptr;
    SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents);
    EXPECT_TRUE(SameTextIgnoringCase(folder, Narrow(documents))) << folder;
    CoTaskMemFree(documents);
    const std::string smith = dir.Path("out\\Smith.doc");
    EXPECT_EQ(ReadAll(smith), "Dear Sir,\r\n");
    EXPECT_TRUE(opened("Smith.doc"));
    EXPECT_TRUE(Rows() == (std::vector<std::string>{"Smith.doc", "plan.txt"}) ||
                Rows() == (std::vector<std::string>{"plan.txt", "Smith.doc"}));
    EXPECT_FALSE(IsWindowVisible(form->Handle()));

    // report.txt.gz saved as report.txt is the decompressed template.
    WhenModal({ChooseTemplate("All Users\\report.txt.gz"), SaveAs(dir.Path("out\\report.txt"))});
    ClickNewButton();
    EXPECT_TRUE(ReadAll(dir.Path("out\\report.txt")) == report);
    EXPECT_TRUE(opened("report.txt"));

    // "Edit template" opens the template itself and records it; nothing is copied.
    WhenModal({ChooseTemplate("jdoe\\Memo.txt", true)});
    ClickNewButton();
    EXPECT_TRUE(opened("Memo.txt"));
    EXPECT_EQ(ReadAll(mine + "Recent files.idx"), plan + "\r\n" + smith + "\r\n" +
                                                      dir.Path("out\\report.txt") + "\r\n" + mine +
                                                      "Template\\Memo.txt\r\n");

    // Save as template: the type name proposed, a name with a path refused, then confirmed.
    form->ShowMainWindow();
    auto selectPlan = [&] {
        ListView_SetItemState(Layout().listView, -1, 0, LVIS_SELECTED);
        const std::vector<std::string> rows = Rows();
        const int row = int(std::find(rows.begin(), rows.end(), "plan.txt") - rows.begin());
        ListView_SetItemState(Layout().listView, row, LVIS_SELECTED, LVIS_SELECTED);
    };
    selectPlan();
    std::string proposed;
    bool openAfterRefusal = false;
    WhenModal({[&] {
        HWND d = Dialog(L"Save as Template");
        if (!d) return false;
        proposed = TextOf(GetDlgItem(d, IDC_SAT_ED_TEMPLATE_NAME));
        Type(d, "..\\..\\evil");
        Click(d, IDOK);
        openAfterRefusal = IsWindowVisible(d) != FALSE;
        Type(d, proposed);
        Click(d, IDOK);
        return true;
    }});
    Choose(Layout().listPopup, L"Save as Template...");
    const std::string saved = shared + "Template\\Text Document Template.txt";
    EXPECT_EQ(proposed, "Text Document Template");
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(ReadAll(saved), "the plan");
    EXPECT_FALSE(fs.Exists(dir.Path("Data\\evil.txt")));

    // Saved over it again, the replace question answered No: the old template stays.
    dir.File("plan.txt", "the new plan");
    messages.answer = false;
    selectPlan();
    WhenModal({[] {
        HWND d = Dialog(L"Save as Template");
        if (d) Click(d, IDOK);
        return d != nullptr;
    }});
    Choose(GetMenu(form->Handle()), L"Save as template");
    EXPECT_EQ(messages.confirmations,
              std::vector<std::string>{"A template with the same name already exists. Replace?"});
    EXPECT_EQ(ReadAll(saved), "the plan");
}

TEST_F(TemplateSearchCommands, SearchesSavedRevisedAndDeletedFromTheSearchMenu) {
    dir.File("docs\\letter.txt");
    dir.File("docs\\invoice.txt");
    const std::string docs = dir.Path("docs");
    dir.File(
        "Data\\Larkspire\\All Users\\All files.idx",
        IndexHeaderLine(docs + ";", "") + "\r\n" + docs + "\\\r\nletter.txt\r\ninvoice.txt\r\n");
    SearchCriteria letters;
    letters.Keywords = "letter";
    const std::string budget = shared + "Searches\\Budget.lks";
    dir.File("Data\\Larkspire\\All Users\\Searches\\Budget.lks", CriteriaFileText(letters));
    Start();
    HMENU menu = GetMenu(form->Handle());
    SendMessageW(form->Handle(), WM_COMMAND, kCmdShowViews,
                 0);  // the Views tree beside
    ShowFromCatalogue("Budget\xC2\xA7");
    ASSERT_EQ(Rows(), std::vector<std::string>{"letter.txt"});

    // Budget§ proposes Budget for all users; answered No, the replace question
    // keeps the file.
    form->Criteria().Keywords = "letter or invoice";
    std::string proposed;
    bool forAllUsers = false;
    auto confirm = [&] {
        HWND d = Dialog(L"Save Search");
        if (!d) return false;
        proposed = TextOf(GetDlgItem(d, IDC_SAT_ED_TEMPLATE_NAME));
        forAllUsers = IsDlgButtonChecked(d, IDC_SAT_RB_ALL_USERS) == BST_CHECKED;
        Click(d, IDOK);
        return true;
    };
    messages.answer = false;
    WhenModal({confirm});
    Choose(menu, L"Save search As...");
    EXPECT_EQ(proposed, "Budget");
    EXPECT_TRUE(forAllUsers);
    EXPECT_EQ(messages.confirmations,
              std::vector<std::string>{"A search with the same name already exists. Replace?"});
    EXPECT_EQ(ReadAll(budget), CriteriaFileText(letters));
    messages.answer = true;
    WhenModal({confirm});
    Choose(menu, L"Save search As...");
    EXPECT_EQ(ReadAll(budget), CriteriaFileText(form->Criteria()));

    // "Weekly.lks" for the user alone: no second ".lks", listed at once in every list.
    WhenModal({[] {
        HWND d = Dialog(L"Save Search");
        if (!d) return false;
        Type(d, "Weekly.lks");
        Click(d, IDC_SAT_RB_USER);
        Click(d, IDOK);
        return true;
    }});
    Choose(menu, L"Save search As...");
    EXPECT_TRUE(fs.IsFile(mine + "Searches\\Weekly.lks"));
    EXPECT_TRUE(Catalogued("Weekly"));
    EXPECT_EQ(MySearchesInTree(), std::vector<std::string>{"Weekly"});

    // Revised with OK: written, then run again.
    ShowFromCatalogue("Weekly");
    WhenModal({[] {
        HWND d = Dialog(L"Search Parameters");
        if (!d) return false;
        SetDlgItemTextW(d, IDC_SEARCH_ED_KEYWORDS, L"invoice");
        Click(d, IDOK);
        return true;
    }});
    Choose(menu, L"Revise search");
    EXPECT_EQ(ReadAll(mine + "Searches\\Weekly.lks"), CriteriaFileText(form->Criteria()));
    EXPECT_EQ(form->Criteria().Keywords, "invoice");
    EXPECT_EQ(Rows(), std::vector<std::string>{"invoice.txt"});

    // Deleted: gone from the folder and every list; the recent documents are shown.
    Choose(menu, L"Delete search");
    EXPECT_EQ(messages.confirmations.back(), "Delete search \"Weekly\"?");
    EXPECT_FALSE(fs.Exists(mine + "Searches\\Weekly.lks"));
    EXPECT_FALSE(Catalogued("Weekly"));
    EXPECT_TRUE(MySearchesInTree().empty());
    EXPECT_EQ(TextOf(form->Handle()), "Larkspire - <My Recent Documents>");

    // On a fixed view both do nothing: no dialog, no question.
    const size_t asked = messages.confirmations.size();
    WhenModal({[] { return Dialog(L"Search Parameters") && (ADD_FAILURE(), true); }});
    Choose(menu, L"Revise search");
    Choose(menu, L"Delete search");
    steps.clear();
    EXPECT_EQ(messages.confirmations.size(), asked);
    EXPECT_TRUE(fs.IsFile(budget));
    EXPECT_TRUE(messages.errors.empty());
}

}  // namespace
}  // namespace lark
