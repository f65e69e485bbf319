#include "search/search_dialog_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <filesystem>
#include <thread>

#include "base/date_time.h"
#include "base/file_helpers.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "platform/fake/fake_messages.h"
#include "platform/fake/fake_platform.h"
#include "platform/shell.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/win32_platform.h"
#include "res/search_dialog_ids.h"

namespace lark {
namespace {

struct RecordingShell final : ShellExecutor {
    intptr_t Execute(const ShellRequest& r) override {
        calls.push_back(r.verb + "|" + r.target + "|" + r.params);
        return 42;
    }
    std::vector<std::string> calls;
};

// A fresh data folder on the real file system for each test.
class SearchDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        root_ = std::filesystem::path(temp) /
                ("lark-dialog-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "tmp");
        settings_.DataLocation = Narrow(root_.wstring());
        ctx_.tempFolder = Narrow((root_ / "tmp").wstring());
    }
    void TearDown() override {
        dialog_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    TfmSearch& Open(bool prepare = true) {
        dialog_ = std::make_unique<TfmSearch>(ctx_, criteria_, shell_);
        dialog_->FormCreate();
        if (prepare) dialog_->PrepareSearchDialog(true);
        hwnd_ = dialog_->ShowModeless(nullptr);
        EXPECT_NE(hwnd_, nullptr);
        return *dialog_;
    }
    HWND Item(int id) { return GetDlgItem(hwnd_, id); }
    std::string Text(int id) {
        wchar_t buffer[1024] = L"";
        GetWindowTextW(Item(id), buffer, 1024);
        return Narrow(buffer);
    }
    void SetText(int id, const char* text) {
        SendMessageW(Item(id), WM_SETTEXT, 0, LPARAM(Widen(text).c_str()));
    }
    // As typing does: a multi-line edit reports no change for WM_SETTEXT.
    void Type(int id, const char* text) {
        SendMessageW(Item(id), EM_SETSEL, 0, -1);
        SendMessageW(Item(id), EM_REPLACESEL, TRUE, LPARAM(Widen(text).c_str()));
    }
    bool Checked(int id) { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Check(int id, bool on) {
        SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    int Selection(int id) { return int(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); }
    void Press(int id) { SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    std::string FileText(const std::string& path) {
        return fs_.ReadWhole(path).value_or("<missing>");
    }

    std::filesystem::path root_;
    Win32FileSystem fs_;
    FakeRegistry registry_;
    FakeClock clock_;
    FakeMessages messages_;
    Settings settings_;
    AppContext ctx_{fs_,      registry_, clock_, messages_, settings_, "C:\\Larkspire.exe",
                    "tester", "",        ""};
    RecordingShell shell_;
    SearchCriteria criteria_;
    std::unique_ptr<TfmSearch> dialog_;
    HWND hwnd_ = nullptr;
};

TEST_F(SearchDialogTest, PrepareTurnsFiltersOffButReviseKeepsThem) {
    criteria_.SizeMode = SizeFilterMode::Larger;
    criteria_.DateMode = DateFilterMode::Recent;
    Open();
    EXPECT_FALSE(Checked(IDC_SEARCH_RB_LARGER));
    EXPECT_FALSE(Checked(IDC_SEARCH_RB_RECENT));
    EXPECT_EQ(Selection(IDC_SEARCH_CB_PERIOD_UNITS), 0);
    for (int id : {IDC_SEARCH_CB_LARGER, IDC_SEARCH_CB_SMALLER, IDC_SEARCH_CB_BETWEEN_UNITS}) {
        EXPECT_EQ(Selection(id), 1) << id;
    }
    EXPECT_TRUE(Checked(IDC_SEARCH_CB_SEARCH_FILENAME));
    EXPECT_EQ(Text(IDC_SEARCH_ST_SEARCH_REPLACE), "Search Strings");
    Press(IDCANCEL);
    EXPECT_EQ(dialog_->LastResult(), IDCANCEL);

    // A saved search being revised opens with its filters as they are.
    criteria_.SizeMode = SizeFilterMode::Between;
    criteria_.BetweenUnits = 3;
    hwnd_ = dialog_->ShowModeless(nullptr);
    EXPECT_TRUE(Checked(IDC_SEARCH_RB_BETWEEN));
    EXPECT_EQ(Selection(IDC_SEARCH_CB_BETWEEN_UNITS), 3);
}

TEST_F(SearchDialogTest, OkKeepsTheHistoryFreeOfDuplicatesAndWritesBothFiles) {
    std::string historyPath = KeywordHistoryFile(ctx_);
    ASSERT_TRUE(ForceFolders(fs_, historyPath));
    ASSERT_TRUE(fs_.WriteWhole(historyPath, "Report\r\nbudget\r\n"));
    Open();
    EXPECT_EQ(SendMessageW(Item(IDC_SEARCH_ED_KEYWORDS), CB_GETCOUNT, 0, 0), 2);
    SetText(IDC_SEARCH_ED_KEYWORDS, "report");
    Press(IDOK);
    EXPECT_EQ(dialog_->LastResult(), IDOK);
    EXPECT_EQ(FileText(historyPath), "Report\r\nbudget\r\n");
    EXPECT_EQ(criteria_.Keywords, "report");

    for (int i = 0; i < 2; ++i) {
        hwnd_ = dialog_->ShowModeless(nullptr);
        SetText(IDC_SEARCH_ED_KEYWORDS, "");
        Press(IDOK);
    }
    EXPECT_EQ(FileText(historyPath), "\r\nReport\r\nbudget\r\n");
    EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(SearchDialogTest, CriteriaConfirmedWithOkComeBackAtTheNextStart) {
    Open();
    SetText(IDC_SEARCH_ED_KEYWORDS, "invoice and 2024");
    Check(IDC_SEARCH_CB_SEARCH_PATH, true);
    dialog_->SelectPage(TfmSearch::kPageSize);
    Click(IDC_SEARCH_RB_SMALLER);
    SetText(IDC_SEARCH_ED_SMALLER, "250");
    SendMessageW(Item(IDC_SEARCH_CB_SMALLER), CB_SETCURSEL, 2, 0);
    Press(IDOK);
    ASSERT_TRUE(fs_.Exists(LastCriteriaFile(ctx_)));

    SearchCriteria restarted;
    TfmSearch second(ctx_, restarted, shell_);
    second.FormCreate();
    EXPECT_EQ(restarted.Keywords, "invoice and 2024");
    EXPECT_TRUE(restarted.SearchPath);
    EXPECT_EQ(restarted.SizeMode, SizeFilterMode::Smaller);
    EXPECT_EQ(restarted.SmallerThan, "250");
    EXPECT_EQ(restarted.SmallerUnits, 2);
}

TEST_F(SearchDialogTest, DatePickersKeepDatesTheyCannotShowAndReturnChangedOnes) {
    criteria_.DateFrom = 0;  // a zero date read from a criteria file
    criteria_.DateTo = EncodeDateTime({2024, 3, 5, 0, 0, 0, 0});
    Open();
    Press(IDOK);
    EXPECT_EQ(criteria_.DateFrom, 0.0);
    EXPECT_EQ(criteria_.DateTo, EncodeDateTime({2024, 3, 5, 0, 0, 0, 0}));

    hwnd_ = dialog_->ShowModeless(nullptr);
    SYSTEMTIME picked{};
    picked.wYear = 2025;
    picked.wMonth = 11;
    picked.wDay = 30;
    SendMessageW(Item(IDC_SEARCH_DT_TO), DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&picked));
    NMDATETIMECHANGE change{};
    change.nmhdr = {Item(IDC_SEARCH_DT_TO), IDC_SEARCH_DT_TO, UINT(DTN_DATETIMECHANGE)};
    change.dwFlags = GDT_VALID;
    change.st = picked;
    SendMessageW(hwnd_, WM_NOTIFY, IDC_SEARCH_DT_TO, LPARAM(&change));
    Press(IDCANCEL);
    EXPECT_EQ(criteria_.DateTo, EncodeDate(2025, 11, 30));
}

TEST_F(SearchDialogTest, ReopensWhereItWasLeft) {
    Open();
    for (int round = 0; round < 2; ++round) {
        int left = 120 + 40 * round;
        SetWindowPos(hwnd_, nullptr, left, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Press(IDCANCEL);
        hwnd_ = dialog_->ShowModeless(nullptr);
        RECT r{};
        GetWindowRect(hwnd_, &r);
        EXPECT_EQ(r.left, left) << round;
        EXPECT_EQ(r.top, 70) << round;
    }
}

TEST_F(SearchDialogTest, CancelKeepsTheEditsButWritesNothing) {
    Open();
    SetText(IDC_SEARCH_ED_KEYWORDS, "draft");
    Press(IDCANCEL);
    EXPECT_EQ(criteria_.Keywords, "draft");
    EXPECT_FALSE(fs_.Exists(LastCriteriaFile(ctx_)));
    EXPECT_FALSE(fs_.Exists(KeywordHistoryFile(ctx_)));
}

TEST_F(SearchDialogTest, NumberBoxesTakeDigitsOnlyAndOptionsExcludeEachOther) {
    Open();
    for (int id : {IDC_SEARCH_ED_LAST_X_UNITS, IDC_SEARCH_ED_LARGER, IDC_SEARCH_ED_SMALLER,
                   IDC_SEARCH_ED_SIZE_FROM, IDC_SEARCH_ED_SIZE_TO}) {
        SendMessageW(Item(id), EM_SETSEL, 0, -1);
        for (wchar_t ch : std::wstring(L"4x-2.")) SendMessageW(Item(id), WM_CHAR, ch, 0);
        EXPECT_EQ(Text(id), "42") << id;
        SendMessageW(Item(id), WM_CHAR, VK_BACK, 0);
        EXPECT_EQ(Text(id), "4") << id;
    }
    dialog_->SelectPage(TfmSearch::kPageSize);
    Click(IDC_SEARCH_RB_LARGER);
    Click(IDC_SEARCH_RB_BETWEEN);
    EXPECT_FALSE(Checked(IDC_SEARCH_RB_LARGER));
    EXPECT_TRUE(Checked(IDC_SEARCH_RB_BETWEEN));
    dialog_->SelectPage(TfmSearch::kPageDate);
    Click(IDC_SEARCH_RB_RECENT);
    Press(IDOK);
    EXPECT_EQ(criteria_.SizeMode, SizeFilterMode::Between);
    EXPECT_EQ(criteria_.DateMode, DateFilterMode::Recent);
    EXPECT_EQ(criteria_.LastXUnits, "4");
}

TEST_F(SearchDialogTest, ContainingTextMirrorsThePairBoxOnTheGeneralPageOnly) {
    Open();
    Check(IDC_SEARCH_CHK_WHOLE_WORDS, true);
    Check(IDC_SEARCH_CHK_SHOW_LOG, true);
    SetText(IDC_SEARCH_TXT_INCLUDE_PATTERN, "TODO");

    dialog_->SelectPage(TfmSearch::kPageDate);
    SetText(IDC_SEARCH_ED_SEARCH_IN_FILE, "elsewhere");
    EXPECT_EQ(Text(IDC_SEARCH_ME_SEARCH_REPLACE), "");
    EXPECT_TRUE(Checked(IDC_SEARCH_CHK_WHOLE_WORDS));

    dialog_->SelectPage(TfmSearch::kPageGeneral);
    SetText(IDC_SEARCH_ED_SEARCH_IN_FILE, "needle");
    EXPECT_EQ(Text(IDC_SEARCH_ME_SEARCH_REPLACE), "needle");
    EXPECT_FALSE(Checked(IDC_SEARCH_CHK_WHOLE_WORDS));
    EXPECT_FALSE(Checked(IDC_SEARCH_CHK_SHOW_LOG));
    EXPECT_EQ(Text(IDC_SEARCH_TXT_INCLUDE_PATTERN), "");
    EXPECT_TRUE(Checked(IDC_SEARCH_CB_FTS_ACTIVE));

    // One line in the pair box shows under "Containing text... "; two lines do not.
    dialog_->SelectPage(TfmSearch::kPageText);
    Type(IDC_SEARCH_ME_SEARCH_REPLACE, "single");
    EXPECT_EQ(Text(IDC_SEARCH_ED_SEARCH_IN_FILE), "single");
    Type(IDC_SEARCH_ME_SEARCH_REPLACE, "first\r\nsecond");
    EXPECT_EQ(Text(IDC_SEARCH_ED_SEARCH_IN_FILE), "single");
    Press(IDC_SEARCH_BU_CLEAR);
    EXPECT_EQ(Text(IDC_SEARCH_ED_SEARCH_IN_FILE), "");
    EXPECT_FALSE(Checked(IDC_SEARCH_CB_FTS_ACTIVE));
}

// The keys reach the pair box as the dialog's own loop hands them over.
TEST_F(SearchDialogTest, TabTypesATabInThePairBoxAndMovesOnElsewhere) {
    Open();
    dialog_->SelectPage(TfmSearch::kPageText);
    HWND box = Item(IDC_SEARCH_ME_SEARCH_REPLACE);
    SetFocus(box);
    auto press = [&](HWND to, UINT key) {
        for (UINT msg : {UINT(WM_KEYDOWN), UINT(WM_KEYUP)}) {
            MSG m{to, msg, key, msg == WM_KEYDOWN ? 0x000F0001 : 0xC00F0001, 0, {}};
            if (!IsDialogMessageW(hwnd_, &m)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
            MSG queued;
            while (PeekMessageW(&queued, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageW(hwnd_, &queued)) {
                    TranslateMessage(&queued);
                    DispatchMessageW(&queued);
                }
            }
        }
    };
    Type(IDC_SEARCH_ME_SEARCH_REPLACE, "cat");
    press(box, VK_TAB);
    SendMessageW(box, EM_REPLACESEL, TRUE, LPARAM(L"dog"));
    EXPECT_EQ(Text(IDC_SEARCH_ME_SEARCH_REPLACE), "cat\tdog");
    EXPECT_EQ(GetFocus(), box);
    // Anywhere else Tab moves the focus on.
    dialog_->SelectPage(TfmSearch::kPageGeneral);
    SetFocus(Item(IDC_SEARCH_CB_SEARCH_FILENAME));
    press(Item(IDC_SEARCH_CB_SEARCH_FILENAME), VK_TAB);
    EXPECT_NE(GetFocus(), Item(IDC_SEARCH_CB_SEARCH_FILENAME));
}

TEST_F(SearchDialogTest, OptionButtonsAndTheTextSearchControls) {
    Open();
    // Without a previous result list the option cannot stay on.
    Check(IDC_SEARCH_CHK_USE_LAST_SEARCH, true);
    Press(IDC_SEARCH_CHK_USE_LAST_SEARCH);
    EXPECT_FALSE(Checked(IDC_SEARCH_CHK_USE_LAST_SEARCH));
    EXPECT_EQ(messages_.infos, std::vector<std::string>{"No previous search result is available."});

    SetText(IDC_SEARCH_TXT_LOGFILE, "");
    Press(IDC_SEARCH_BTN_EDIT_LOGFILE);
    EXPECT_TRUE(shell_.calls.empty());
    SetText(IDC_SEARCH_TXT_LOGFILE, "C:\\Data\\Larkspire.log");
    Press(IDC_SEARCH_BTN_EDIT_LOGFILE);
    EXPECT_EQ(shell_.calls, std::vector<std::string>{"open|Notepad.exe|C:\\Data\\Larkspire.log"});

    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEARCH_ED_SEARCH_IN_FILE)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEARCH_ME_SEARCH_REPLACE)));

    // With a list to narrow the option stays on, and the two options it ignores go grey.
    dialog_->SetLastSearchListCheck([] { return true; });
    Check(IDC_SEARCH_CHK_USE_LAST_SEARCH, true);
    Press(IDC_SEARCH_CHK_USE_LAST_SEARCH);
    EXPECT_TRUE(Checked(IDC_SEARCH_CHK_USE_LAST_SEARCH));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEARCH_CHK_CASE_SENSITIVE)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEARCH_CHK_WHOLE_WORDS)));
    Check(IDC_SEARCH_CHK_USE_LAST_SEARCH, false);
    Press(IDC_SEARCH_CHK_USE_LAST_SEARCH);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEARCH_CHK_CASE_SENSITIVE)));

    // The replace options belong to "Search and replace"; their companions follow them.
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEARCH_CHK_REPLACE)));
    dialog_->PrepareSearchDialog(false);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEARCH_CHK_REPLACE)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEARCH_CHK_BACKUP)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEARCH_TXT_COMMENT_CHAR)));
    Check(IDC_SEARCH_CHK_REPLACE, true);
    Press(IDC_SEARCH_CHK_REPLACE);
    Check(IDC_SEARCH_CHK_COMMENT_CHANGES, true);
    Press(IDC_SEARCH_CHK_COMMENT_CHANGES);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEARCH_CHK_BACKUP)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEARCH_CHK_KEEP_DATE_TIME)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SEARCH_TXT_COMMENT_CHAR)));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_SEARCH_BU_SEARCH_PATHS)));
    EXPECT_EQ(Text(IDC_SEARCH_LB_SEARCH_DOMAIN), "(none)");
    bool opened = false;
    dialog_->SetSearchDomainHandler([&](HWND) {
        opened = true;
        settings_.CurrentSearchSet = &GetOrAddSearchSet(settings_, "Projects");
    });
    Press(IDC_SEARCH_BU_SEARCH_PATHS);
    EXPECT_TRUE(opened);
    EXPECT_EQ(Text(IDC_SEARCH_LB_SEARCH_DOMAIN), "Projects");
}

// Answers the modal dialog from a second thread, as a user would, once it shows.
void AnswerDialogLater(int button, std::string* keywordsSeen) {
    std::thread([button, keywordsSeen] {
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i) {
            Sleep(10);
            dialog = FindWindowW(L"#32770", L"Search Parameters");
            // The window exists before its controls are filled; a user sees it once shown.
            if (dialog && !IsWindowVisible(dialog)) dialog = nullptr;
        }
        if (!dialog) return;
        wchar_t text[256] = L"";
        GetWindowTextW(GetDlgItem(dialog, IDC_SEARCH_ED_KEYWORDS), text, 256);
        *keywordsSeen = Narrow(text);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }).detach();
}

TEST_F(SearchDialogTest, SearchCommandRunsTheIndexSearchOnlyAfterOk) {
    TfmSearch dialog(ctx_, criteria_, shell_);
    dialog.FormCreate();
    std::vector<std::string> steps;
    auto searchIndex = [&] { steps.push_back("search:" + criteria_.Keywords); };
    auto showLastSearch = [&] { steps.push_back("show"); };

    std::string seen;
    AnswerDialogLater(IDCANCEL, &seen);
    auto textSearch = [&] { steps.push_back("text:" + criteria_.SearchReplaceLines[0]); };
    EXPECT_FALSE(DoSearch(dialog, nullptr, "", searchIndex, textSearch, showLastSearch));
    EXPECT_TRUE(steps.empty());

    // The open box's filter text arrives in the keyword box.
    AnswerDialogLater(IDOK, &seen);
    EXPECT_TRUE(DoSearch(dialog, nullptr, "quarterly", searchIndex, textSearch, showLastSearch));
    EXPECT_EQ(seen, "quarterly");
    EXPECT_EQ(steps, (std::vector<std::string>{"search:quarterly", "show"}));
    EXPECT_TRUE(fs_.Exists(LastCriteriaFile(ctx_)));

    // "Full Text Search Active" with a string: the text search runs instead.
    steps.clear();
    criteria_.SearchReplaceLines = {"budget"};
    criteria_.cbFTSActive = true;
    AnswerDialogLater(IDOK, &seen);
    EXPECT_TRUE(DoSearch(dialog, nullptr, "", searchIndex, textSearch, showLastSearch));
    EXPECT_EQ(steps, (std::vector<std::string>{"text:budget", "show"}));
}

}  // namespace
}  // namespace lark
