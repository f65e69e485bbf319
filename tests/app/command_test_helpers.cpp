#include "app/command_test_helpers.h"

// needs windows.h first
#include <commctrl.h>

#include <algorithm>

#include "app/command_ids_win.h"
#include "app/main_frame_win.h"
#include "platform/win32/encoding_win.h"
#include "support/window_test_helpers.h"
#include "ui/resource_module_win.h"

namespace lark::test {

namespace {

std::vector<std::function<bool()>> pendingSteps;
UINT_PTR stepTimer = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
    if (pendingSteps.empty()) return;
    // A step may open a modal loop of its own, which runs the timer again: the step runs
    // from a copy, and the list is looked at anew afterwards.
    std::function<bool()> step = pendingSteps.front();
    if (!step()) return;
    if (!pendingSteps.empty()) pendingSteps.erase(pendingSteps.begin());
    if (pendingSteps.empty()) StopSteps();
}

UINT FindMenuItem(HMENU menu, const std::wstring& caption) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            if (UINT id = FindMenuItem(sub, caption)) return id;
            continue;
        }
        wchar_t text[128] = L"";
        GetMenuStringW(menu, UINT(i), text, 128, MF_BYPOSITION);
        if (caption == text) return GetMenuItemID(menu, i);
    }
    return 0;
}

}  // namespace

void StopSteps() {
    pendingSteps.clear();
    if (stepTimer) KillTimer(nullptr, stepTimer);
    stepTimer = 0;
}

void WhenModal(std::vector<std::function<bool()>> steps) {
    StopSteps();
    pendingSteps = std::move(steps);
    stepTimer = SetTimer(nullptr, 0, 60, RunStep);
}

HWND ThreadDialog(const std::wstring& caption) {
    struct Search {
        std::wstring caption;
        HWND found = nullptr;
    } search{caption};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lParam) {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t cls[64] = L"", text[256] = L"";
            GetClassNameW(hwnd, cls, 64);
            GetWindowTextW(hwnd, text, 256);
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd) && s->caption == text) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    GetWindowTextW(hwnd, text, 1024);
    return Narrow(text);
}

void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void TypeIntoFocus(const std::string& text) {
    HWND focus = GetFocus();
    SendMessageW(focus, EM_SETSEL, 0, -1);
    for (wchar_t c : Widen(text)) SendMessageW(focus, WM_CHAR, c, 1);
}

HWND FirstEdit(HWND parent) {
    HWND found = nullptr;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM lParam) {
            wchar_t cls[32] = L"";
            GetClassNameW(hwnd, cls, 32);
            if (lstrcmpiW(cls, L"Edit") != 0 || !IsWindowVisible(hwnd)) return TRUE;
            *reinterpret_cast<HWND*>(lParam) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Holds(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

MainWindowCommands::MainWindowCommands() {
    dir.Folder("Recent");
    dir.Folder("out");
    dir.File("App\\LARKSPIRE.ini", "[General]\r\nDataLocation=" + dir.Path("Larkspire Data") +
                                       "\r\nRefreshFixedSchedule=F\r\nRefreshMinutes=0\r\n");
    SetResourceModule(ProgramResources());
}

MainWindowCommands::~MainWindowCommands() {
    StopSteps();
    search.reset();
    form.reset();
    SetResourceModule(nullptr);
}

std::string MainWindowCommands::Doc(const std::string& name, const std::string& text) {
    dir.File("docs\\" + name, text);
    return dir.Path("docs\\" + name);
}

void MainWindowCommands::Start(const std::vector<std::string>& recent) {
    std::string text;
    for (const auto& p : recent) text += p + "\r\n";
    dir.File("Larkspire Data\\jdoe\\Recent files.idx", text);
    std::vector<std::string> noParameters;
    form = std::make_unique<TfmOpen>(ctx, &noParameters);
    ASSERT_NE(form->Handle(), nullptr);
    search = std::make_unique<TfmSearch>(ctx, form->Criteria(), form->Shell());
    search->FormCreate();
    form->SetSearchDialog(search.get());
    form->ShowMainWindow();
}

std::vector<std::string> MainWindowCommands::Rows() {
    HWND list = Layout().listView;
    std::vector<std::string> rows;
    int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[260] = L"";
        ListView_GetItemText(list, i, 0, text, 260);
        rows.push_back(Narrow(text));
    }
    return rows;
}

void MainWindowCommands::SelectRow(const std::string& name) {
    HWND list = Layout().listView;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    std::vector<std::string> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == name) ListView_SetItemState(list, int(i), LVIS_SELECTED, LVIS_SELECTED);
}

void MainWindowCommands::ClickToolButton(UINT command) {
    HWND toolBar = Layout().toolBar;
    ASSERT_TRUE(SendMessageW(toolBar, TB_ISBUTTONENABLED, command, 0));
    RECT r{};
    SendMessageW(toolBar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(toolBar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(toolBar, WM_LBUTTONUP, 0, at);
}

void MainWindowCommands::ChooseMenuItem(HMENU menu, const std::wstring& caption) {
    UINT id = FindMenuItem(menu, caption);
    ASSERT_NE(id, 0u) << Narrow(caption);
    ASSERT_EQ(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED, 0u) << Narrow(caption);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::string MainWindowCommands::RecentFile() {
    return wintree::ReadAll(mine + "Recent files.idx");
}

std::vector<std::string> MainWindowCommands::Catalogue() {
    std::vector<std::string> names;
    HWND combo = Layout().coViews;
    for (int i = 0, n = int(SendMessageW(combo, CB_GETCOUNT, 0, 0)); i < n; ++i) {
        wchar_t text[260] = L"";
        SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        names.push_back(Narrow(text));
    }
    return names;
}

std::vector<std::string> MainWindowCommands::Selector() {
    std::vector<std::string> texts;
    HWND selector = Layout().coViews2;
    for (int i = 0, n = int(SendMessageW(selector, CB_GETCOUNT, 0, 0)); i < n; ++i) {
        wchar_t text[260] = L"";
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(selector, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        texts.push_back(Narrow(text));
    }
    return texts;
}

std::vector<std::string> MainWindowCommands::TreeGroup(const std::string& group) {
    HWND tree = Layout().tv;
    auto textOf = [tree](HTREEITEM item) {
        wchar_t text[260] = L"";
        TVITEMW info{};
        info.mask = TVIF_TEXT;
        info.hItem = item;
        info.pszText = text;
        info.cchTextMax = 260;
        TreeView_GetItem(tree, &info);
        return Narrow(text);
    };
    std::vector<std::string> children;
    for (HTREEITEM top = TreeView_GetRoot(tree); top; top = TreeView_GetNextSibling(tree, top))
        if (textOf(top) == group)
            for (HTREEITEM c = TreeView_GetChild(tree, top); c;
                 c = TreeView_GetNextSibling(tree, c))
                children.push_back(textOf(c));
    return children;
}

void MainWindowCommands::ChooseInCatalogue(const std::string& name) {
    HWND catalogue = Layout().coViews;
    int index = int(SendMessageW(catalogue, CB_FINDSTRINGEXACT, WPARAM(-1),
                                 reinterpret_cast<LPARAM>(Widen(name).c_str())));
    ASSERT_GE(index, 0) << name;
    SendMessageW(catalogue, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(kIdViews, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(catalogue));
}

}  // namespace lark::test
