// "Browse for Path" over real folders on drive C: of the test prefix, driven by clicks.
#include "properties/browse_path_win.h"

#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "res/properties_ids.h"
#include "support/dialog_script.h"
#include "support/win_tree_helpers.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

using test::DialogScript;

constexpr wchar_t kCaption[] = L"Browse for Path";

HWND Tree(HWND dialog) {
    return GetDlgItem(dialog, IDC_BROWSE_TREE);
}
bool OkEnabled(HWND dialog) {
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
}
std::string ItemText(HWND tree, HTREEITEM item) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(&info));
    return Narrow(text);
}
HTREEITEM Caret(HWND tree) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}
HTREEITEM Parent(HWND tree, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, LPARAM(item)));
}
// The texts from the root down to the item.
std::string TreePath(HWND tree, HTREEITEM item) {
    std::vector<std::string> parts;
    for (; item; item = Parent(tree, item)) parts.insert(parts.begin(), ItemText(tree, item));
    std::string path;
    for (const std::string& part : parts) path.append("/").append(part);
    return path;
}
bool Expanded(HWND tree, HTREEITEM item) {
    return (SendMessageW(tree, TVM_GETITEMSTATE, WPARAM(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}
HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::string& name) {
    for (auto item = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(parent)));
         item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item))))
        if (ItemText(tree, item) == name) return item;
    return nullptr;
}
// The middle of the item's text, in the tree's client area.
POINT ItemPoint(HWND tree, HTREEITEM item) {
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the item goes in, its rectangle comes out
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, LPARAM(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
void ClickItem(HWND tree, HTREEITEM item) {
    test::ClickAt(tree, ItemPoint(tree, item));
}

// A folder tree right under C:\, as the Properties dialog browses from the drive root.
struct BrowseForPath : ::testing::Test {
    const std::string top = "lark-browse-" + std::to_string(GetCurrentProcessId());
    const std::string base = "C:\\" + top;
    Win32FileSystem fs;
    FakeRegistry registry;

    BrowseForPath() {
        for (const char* folder : {"Docs\\Letters\\2024", "Docs\\Notes", "Letters"})
            CreateTree(base + "\\" + folder);
        EXPECT_NE(test::ProgramResources(), nullptr);
    }
    ~BrowseForPath() override { wintree::RemoveTree(Widen(base)); }
    static void CreateTree(const std::string& path) {
        for (size_t at = 3; at != std::string::npos; at = path.find('\\', at + 1))
            CreateDirectoryW(Widen(path.substr(0, at)).c_str(), nullptr);
        CreateDirectoryW(Widen(path).c_str(), nullptr);
    }
    std::string Browse(const std::string& start, std::function<void(HWND)> steps) {
        DialogScript script(kCaption, std::move(steps));
        std::string result =
            BrowseForFolder(nullptr, test::ProgramResources(), registry, fs, "c:\\", start);
        EXPECT_TRUE(script.Ran());
        return result;
    }
};

TEST_F(BrowseForPath, StartFolderIsSelectedAndOpenedOkWaitsForAClick) {
    std::string rootText;
    std::string chosen = Browse("C:\\" + top + "\\Docs\\Letters", [&](HWND d) {
        HWND tree = Tree(d);
        HTREEITEM selected = Caret(tree);
        ASSERT_NE(selected, nullptr);
        HTREEITEM root =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        rootText = ItemText(tree, root);
        EXPECT_EQ(TreePath(tree, selected), "/" + rootText + "/" + top + "/Docs/Letters");
        EXPECT_TRUE(Expanded(tree, selected));
        EXPECT_TRUE(Expanded(tree, Parent(tree, selected)));
        EXPECT_NE(ChildNamed(tree, selected, "2024"), nullptr);
        EXPECT_FALSE(OkEnabled(d));
        test::ClickButton(d, IDOK);  // still disabled: nothing happens
        EXPECT_TRUE(IsWindow(d));

        // Folders only, in name order, under the folder the walk opened.
        HTREEITEM docs = Parent(tree, selected);
        EXPECT_NE(ChildNamed(tree, docs, "Notes"), nullptr);
        ClickItem(tree, ChildNamed(tree, docs, "Notes"));
        EXPECT_TRUE(OkEnabled(d));
        test::ClickButton(d, IDOK);
    });
    EXPECT_EQ(chosen, base + "\\Docs\\Notes");
    EXPECT_FALSE(rootText.empty());
}

TEST_F(BrowseForPath, OtherLetterCaseStopsAtTheLastMatchedFolder) {
    struct Case {
        std::string start;
        std::string selected;  // below the root; empty: nothing selected
    } cases[] = {
        // "docs" is not "Docs": "Letters" is then looked for in the test folder itself.
        {"C:\\" + top + "\\docs\\Letters", "/" + top + "/Letters"},
        {"C:\\" + top + "\\DOCS", "/" + top},
        // The walk starts at the root whatever drive the path names.
        {"D:\\" + top + "\\Docs", "/" + top + "/Docs"},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string result = Browse(c.start, [&](HWND d) {
            HWND tree = Tree(d);
            HTREEITEM selected = Caret(tree);
            if (c.selected.empty()) {
                EXPECT_EQ(selected, nullptr) << c.start;
            } else {
                ASSERT_NE(selected, nullptr) << c.start;
                std::string path = TreePath(tree, selected);
                EXPECT_EQ(path.substr(path.find('/', 1)), c.selected) << c.start;
            }
            EXPECT_FALSE(OkEnabled(d));
            test::ClickButton(d, IDCANCEL);
        });
        EXPECT_EQ(result, c.start);  // Cancel gives the start text back
    }
}

TEST_F(BrowseForPath, ARightClickChoosesTheFolderUnderTheMouse) {
    std::string chosen = Browse("C:\\" + top, [&](HWND d) {
        HWND tree = Tree(d);
        HTREEITEM letters = ChildNamed(tree, Caret(tree), "Letters");
        ASSERT_NE(letters, nullptr);
        POINT at = ItemPoint(tree, letters);
        POINT screen = at;
        ClientToScreen(tree, &screen);
        SetCursorPos(screen.x, screen.y);
        const LPARAM where = MAKELPARAM(at.x, at.y);
        PostMessageW(tree, WM_RBUTTONUP, 0, where);
        SendMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, where);
        test::PumpMessages(50);
        EXPECT_EQ(Caret(tree), letters);
        EXPECT_TRUE(OkEnabled(d));
        test::ClickButton(d, IDOK);
    });
    EXPECT_EQ(chosen, base + "\\Letters");
}

}  // namespace
}  // namespace lark
