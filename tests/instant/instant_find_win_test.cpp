// The instant-find window from its resource template in this process, driven by typing and
// keys as the user drives it; the index is a generated text held in memory.

// GCC 12 at -O2 reports overlaps that cannot happen inside std::string's inlined copies
// (its bug 105651); the MinGW build treats warnings as errors.
#pragma GCC diagnostic ignored "-Wrestrict"
#include "instant/instant_find_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "instant/instant_search.h"
#include "res/instant_ids.h"
#include "search/criteria.h"
#include "search/filters.h"
#include "search/index_search.h"
#include "search/query.h"
#include "support/dialog_script.h"
#include "support/generated_index.h"
#include "support/test_app.h"
#include "ui/message_pump_win.h"
#include "views/launch.h"

namespace lark {
namespace {

using test::ClickButton;
using test::TypeInto;

// A key combination no desktop program here uses, so the tests do not meet a real holder.
constexpr Hotkey kTestHotkey{true, true, false, false, VK_F9};

struct InstantFindWindow : ::testing::Test, TestApp, InstantFindHost {
    std::shared_ptr<const WholeFile> index = WholeFileFromText(test::GeneratedIndex(200000));
    bool refreshing = false;
    std::vector<std::string> launched;  // verb|path
    std::vector<std::string> handedOver;
    std::string handedKeywords;
    bool handedFullPath = false;

    ResidentIndex::Snapshot IndexSnapshot() override { return {index, refreshing}; }
    void Launch(std::string_view verb, const std::string& path) override {
        launched.push_back(std::string(verb) + "|" + path);
    }
    void ShowAsLastSearch(SearchResults results, const InstantQuery& query) override {
        for (size_t i = 0; i < results.size(); ++i) handedOver.push_back(results.Path(i));
        handedKeywords = query.keywords;
        handedFullPath = query.fullPath;
    }

    std::unique_ptr<TfmInstantFind> form;
    HWND window = nullptr;
    HWND edit = nullptr;
    HWND list = nullptr;

    InstantFindWindow() {
        form = std::make_unique<TfmInstantFind>(ctx, *this);
        form->Create(nullptr, GetModuleHandleW(nullptr));
        window = form->Handle();
        edit = GetDlgItem(window, IDC_INSTANT_ED_FIND);
        list = GetDlgItem(window, IDC_INSTANT_LV_RESULTS);
    }
    ~InstantFindWindow() override { form.reset(); }

    // Types text over the box's text and waits for the walk's end.
    bool Find(const std::string& text) {
        TypeInto(edit, text);
        PumpUntil([&] { return form->Finished(); }, 20000);
        return form->Finished();
    }
    std::vector<std::string> Expected(const std::string& text) {
        SearchCriteria c;
        c.Keywords = text;
        c.SearchPath = InstantQueryFor(text).fullPath;
        SearchResults results;
        WalkIndex(index, KeywordQuery(text), true, c.SearchPath, DateSizeFilter(fs, clock, c),
                  nullptr, 1, results);
        std::vector<std::string> paths;
        for (size_t i = 0; i < results.size(); ++i) paths.push_back(results.Path(i));
        return paths;
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (size_t i = 0; i < form->RowCount(); ++i) rows.push_back(form->RowPath(i));
        return rows;
    }
    int Selected() const {
        return int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    }
    // A key pressed in the box, as the program's message loop receives it.
    void Press(UINT key, bool ctrl = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        SetFocus(edit);
        PostMessageW(edit, WM_KEYDOWN, key, 1);
        PumpUntil([] { return false; }, 50);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    std::string Status() const { return test::TextOf(GetDlgItem(window, IDC_INSTANT_ST_STATUS)); }
};

TEST_F(InstantFindWindow, TypingShowsWhatTheSearchDialogFindsInBothModes) {
    form->ShowInstantFind();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    for (const char* text : {"report", "*.jpg", "budget\\ *.doc", "zzqx"}) {
        ASSERT_TRUE(Find(text)) << text;
        const std::vector<std::string> expected = Expected(text);
        EXPECT_EQ(Rows(), expected) << text;
        EXPECT_EQ(ListView_GetItemCount(list), int(expected.size()));
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(window, IDC_INSTANT_BU_LAST_SEARCH)) != FALSE,
                  !expected.empty());
        if (expected.empty())
            EXPECT_EQ(Status(), "Nothing found");
        else
            EXPECT_NE(Status().find(" found"), std::string::npos) << Status();
        // The best guess is chosen, so Enter opens it at once.
        EXPECT_EQ(Selected(), expected.empty() ? -1 : 0);
    }
    // While a build holds the file the text of before answers, and the user is told.
    refreshing = true;
    ASSERT_TRUE(Find("memo"));
    EXPECT_EQ(Rows(), Expected("memo"));
    EXPECT_NE(Status().find("being refreshed"), std::string::npos) << Status();
    // No index at all: said, not an empty list that looks like "nothing found".
    index = nullptr;
    TypeInto(edit, "memo x");
    EXPECT_FALSE(form->Searching());
    EXPECT_EQ(form->RowCount(), 0u);
    EXPECT_NE(Status().find("no index"), std::string::npos) << Status();
}

TEST_F(InstantFindWindow, TypingAgainStopsTheWalkInProgress) {
    index = WholeFileFromText(test::GeneratedIndex(1500000));
    form->ShowInstantFind();
    // Each letter typed quickly, as a user types: every walk but the last is overtaken.
    for (const char* text : {"e", "e o", "e o r", "e o r t"}) TypeInto(edit, text);
    PumpUntil([&] { return form->Finished(); }, 30000);
    ASSERT_TRUE(form->Finished());
    EXPECT_GE(form->StoppedWalks(), 1u);
    EXPECT_EQ(Rows(), Expected("e o r t"));
}

TEST_F(InstantFindWindow, KeysMoveOpenAndHide) {
    form->ShowInstantFind();
    ASSERT_TRUE(Find("report"));
    const std::vector<std::string> rows = Rows();
    ASSERT_GE(rows.size(), 3u);
    const struct {
        UINT key;
        bool ctrl;
        int selected;             // the row chosen afterwards
        std::string_view launch;  // the verb Enter used, or nothing
    } steps[] = {
        {VK_DOWN, false, 1, {}},
        {VK_DOWN, false, 2, {}},
        {VK_UP, false, 1, {}},
        {VK_RETURN, false, 1, kVerbOpen},
        {VK_RETURN, true, 1, kVerbOpenPath},
        {VK_UP, false, 0, {}},
        {VK_UP, false, 0, {}},
    };
    for (const auto& step : steps) {
        launched.clear();
        Press(step.key, step.ctrl);
        EXPECT_EQ(Selected(), step.selected) << step.key;
        if (!step.launch.empty())
            EXPECT_EQ(launched, std::vector<std::string>{std::string(step.launch) + "|" +
                                                         rows[size_t(step.selected)]});
        else
            EXPECT_TRUE(launched.empty()) << step.key;
        // Typing goes on in the box while the arrows move in the list.
        EXPECT_EQ(GetFocus(), edit);
    }
    Press(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(window));
    // Brought up again, the text of before is chosen for typing over.
    form->ShowInstantFind();
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 6u);
}

TEST_F(InstantFindWindow, TheResultsGoToTheMainWindowAsTheLastSearch) {
    form->ShowInstantFind();
    for (const char* text : {"invoice", "other\\ memo"}) {
        ASSERT_TRUE(Find(text));
        handedOver.clear();
        ClickButton(window, IDC_INSTANT_BU_LAST_SEARCH);
        EXPECT_EQ(handedOver, Expected(text)) << text;
        EXPECT_EQ(handedKeywords, text);
        EXPECT_EQ(handedFullPath, InstantQueryFor(text).fullPath);
        EXPECT_FALSE(IsWindowVisible(window));
        form->ShowInstantFind();
    }
}

TEST_F(InstantFindWindow, TheHotkeyBringsTheWindowUpAndATakenOneIsRefused) {
    ASSERT_TRUE(form->SetHotkey(kTestHotkey));
    EXPECT_TRUE(form->HotkeyRegistered());
    // The combination pressed anywhere.
    INPUT keys[6] = {};
    const WORD sequence[3] = {VK_CONTROL, VK_MENU, WORD(kTestHotkey.key)};
    for (int i = 0; i < 3; ++i) {
        keys[i].type = keys[5 - i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = keys[5 - i].ki.wVk = sequence[i];
        keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, keys, sizeof(INPUT));
    PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 5000);
    EXPECT_TRUE(IsWindowVisible(window));

    // Another program's window holds a combination: it is refused and the key of before
    // stays in force.
    const Hotkey taken{true, true, true, false, VK_F9};
    HWND other =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F9));
    EXPECT_FALSE(form->SetHotkey(taken));
    EXPECT_EQ(form->CurrentHotkey(), kTestHotkey);
    EXPECT_TRUE(form->HotkeyRegistered());
    UnregisterHotKey(other, 1);
    DestroyWindow(other);
    // Once free, it is taken; None lets go of every key.
    EXPECT_TRUE(form->SetHotkey(taken));
    EXPECT_TRUE(form->SetHotkey(Hotkey{}));
    EXPECT_FALSE(form->HotkeyRegistered());
}

}  // namespace
}  // namespace lark
