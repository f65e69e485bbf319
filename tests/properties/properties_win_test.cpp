// The Properties dialog from its resource template, driven by clicks and typing in this
// process; the program's context on the in-memory platform.
#include "properties/properties_win.h"

#include <gtest/gtest.h>
#include <windows.h>
// needs windows.h first
#include <commctrl.h>

#include <string>
#include <vector>

#include "config/settings.h"
#include "res/properties_ids.h"
#include "support/dialog_script.h"
#include "support/test_app.h"
#include "support/window_test_helpers.h"

namespace lark {
namespace {

using test::ClickButton;
using test::DialogScript;
using test::IsChecked;
using test::TextOf;
using test::TypeInto;

constexpr wchar_t kCaption[] = L"Larkspire Properties";

bool Shown(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}
bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
std::string Text(HWND dialog, int id) {
    return TextOf(GetDlgItem(dialog, id));
}
HWND ComboEdit(HWND dialog) {
    return FindWindowExW(GetDlgItem(dialog, IDC_PROP_CO_SEARCH_SET), nullptr, L"Edit", nullptr);
}
// The colour the data-location box is drawn in, asked as the box itself asks when it paints.
COLORREF DataLocationInk(HWND dialog) {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(dialog, WM_CTLCOLOREDIT, WPARAM(dc),
                 LPARAM(GetDlgItem(dialog, IDC_PROP_ED_DATA_LOCATION)));
    COLORREF ink = GetTextColor(dc);
    DeleteDC(dc);
    return ink;
}

struct PropertiesDialog : ::testing::Test, TestApp, PropertiesHost {
    int schedules = 0;
    std::vector<std::string> browsed;
    std::string browseAnswer;

    void ApplyRefreshSchedule() override { ++schedules; }
    std::string BrowseForFolder(std::string_view root, std::string_view start) override {
        browsed.push_back(std::string(root) + "|" + std::string(start));
        return browseAnswer;
    }

    PropertiesDialog() {
        fs.AddFile(
            kIniPath,
            "[General]\r\nDataLocation=C:\\Documents and Settings\r\n"
            "RefreshFixedSchedule=F\r\nRefreshMinutes=30\r\nRecentEditDocs=50\r\n"
            "\r\n[Domain.<Default>]\r\nInclude=C:\\Docs\r\n\r\n[Domain.Local Drive]\r\n"
            "Include=C:\\\r\n\r\n[Domain.Work]\r\nInclude=W:\\Work\r\nExclude=W:\\Work\\Old\r\n");
        EXPECT_TRUE(LoadSettings(ctx));
        EXPECT_NE(test::ProgramResources(), nullptr);
    }
    bool Show(PropertiesPage page, std::function<void(HWND)> steps) {
        DialogScript script(kCaption, std::move(steps));
        bool ok = ShowPropertiesDialog(ctx, *this, nullptr, test::ProgramResources(), page);
        EXPECT_TRUE(script.Ran());
        return ok;
    }
};

TEST_F(PropertiesDialog, GeneralPageShowsTheSettingsAndFollowsItsRules) {
    registry.Write(RegistryRoot::LocalMachine, kRunAtStartupKey, "Larkspire", "C:\\L.exe");
    registry.Write(RegistryRoot::CurrentUser, kRunAtStartupKey, "Larkspire", "C:\\L.exe");
    bool ok = Show(PropertiesPage::General, [&](HWND d) {
        EXPECT_TRUE(Shown(d, IDC_PROP_ED_DATA_LOCATION));
        EXPECT_FALSE(Shown(d, IDC_PROP_CO_SEARCH_SET));
        EXPECT_EQ(Text(d, IDC_PROP_ED_REFRESH_MINUTES), "30");
        EXPECT_EQ(Text(d, IDC_PROP_ED_RECENT_EDIT_DOCS), "50");
        EXPECT_TRUE(IsChecked(d, IDC_PROP_RB_REFRESH_ON_CHANGE));
        EXPECT_FALSE(Enabled(d, IDC_PROP_ED_REFRESH_MINUTES));
        EXPECT_FALSE(Enabled(d, IDC_PROP_ST_MINUTES));

        // Both start-up values present: "For me only".
        EXPECT_TRUE(IsChecked(d, IDC_PROP_CB_RUN_AT_STARTUP));
        EXPECT_TRUE(IsChecked(d, IDC_PROP_RB_FOR_ME_ONLY));
        EXPECT_FALSE(IsChecked(d, IDC_PROP_RB_ALL_USERS));
        EXPECT_TRUE(Enabled(d, IDC_PROP_RB_ALL_USERS));

        ClickButton(d, IDC_PROP_RB_REFRESH_FIXED);
        EXPECT_TRUE(Enabled(d, IDC_PROP_ED_REFRESH_MINUTES));
        EXPECT_FALSE(IsChecked(d, IDC_PROP_RB_REFRESH_ON_CHANGE));
        // The number boxes take digits and backspace only.
        HWND minutes = GetDlgItem(d, IDC_PROP_ED_REFRESH_MINUTES);
        SendMessageW(minutes, EM_SETSEL, 2, 2);
        for (wchar_t ch : std::wstring(L"5x-\b7")) SendMessageW(minutes, WM_CHAR, ch, 0);
        EXPECT_EQ(Text(d, IDC_PROP_ED_REFRESH_MINUTES), "307");

        ClickButton(d, IDC_PROP_CB_RUN_AT_STARTUP);
        EXPECT_FALSE(Enabled(d, IDC_PROP_RB_ALL_USERS));
        EXPECT_FALSE(Enabled(d, IDC_PROP_RB_FOR_ME_ONLY));

        // Grey while the location is the default written exactly so.
        const COLORREF grey = RGB(128, 128, 128);
        EXPECT_EQ(DataLocationInk(d), grey);
        TypeInto(GetDlgItem(d, IDC_PROP_ED_DATA_LOCATION), "c:\\Documents and Settings");
        EXPECT_EQ(DataLocationInk(d), GetSysColor(COLOR_WINDOWTEXT));
        EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));

        // "..." browses from the drive root to the text in the box; Cancel leaves it.
        browseAnswer = "c:\\Documents and Settings";
        ClickButton(d, IDC_PROP_BUTTON2);
        EXPECT_EQ(browsed, std::vector<std::string>{"c:\\|c:\\Documents and Settings"});
        browseAnswer = "D:\\Larkspire Data";
        ClickButton(d, IDC_PROP_BUTTON2);
        EXPECT_EQ(Text(d, IDC_PROP_ED_DATA_LOCATION), "D:\\Larkspire Data");
        ClickButton(d, IDOK);
    });
    ASSERT_TRUE(ok);
    EXPECT_TRUE(settings.RefreshFixedSchedule);
    EXPECT_EQ(settings.RefreshMinutes, 307);
    EXPECT_EQ(settings.DataLocation, "D:\\Larkspire Data");
    EXPECT_EQ(schedules, 1);
    // Turned off: both values emptied.
    EXPECT_EQ(registry.Read(RegistryRoot::LocalMachine, kRunAtStartupKey, "Larkspire"), "");
    EXPECT_EQ(registry.Read(RegistryRoot::CurrentUser, kRunAtStartupKey, "Larkspire"), "");
    EXPECT_NE(fs.ReadWhole(kIniPath)->find("RefreshMinutes=307\r\n"), std::string::npos);
}

TEST_F(PropertiesDialog, RunAtStartupTurnedOnStartsForThisUser) {
    bool ok = Show(PropertiesPage::General, [&](HWND d) {
        EXPECT_FALSE(IsChecked(d, IDC_PROP_CB_RUN_AT_STARTUP));
        EXPECT_FALSE(Enabled(d, IDC_PROP_RB_FOR_ME_ONLY));
        ClickButton(d, IDC_PROP_CB_RUN_AT_STARTUP);
        EXPECT_TRUE(IsChecked(d, IDC_PROP_RB_FOR_ME_ONLY));
        ClickButton(d, IDC_PROP_RB_ALL_USERS);
        EXPECT_FALSE(IsChecked(d, IDC_PROP_RB_FOR_ME_ONLY));
        ClickButton(d, IDOK);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(registry.Read(RegistryRoot::LocalMachine, kRunAtStartupKey, "Larkspire"), kExePath);
    EXPECT_EQ(registry.Read(RegistryRoot::CurrentUser, kRunAtStartupKey, "Larkspire"), "");
}

TEST_F(PropertiesDialog, SearchDomainsPageEditsAndCreatesDomains) {
    settings.CurrentSearchSet = FindSearchSet(settings, "Work");
    bool ok = Show(PropertiesPage::SearchDomains, [&](HWND d) {
        EXPECT_TRUE(Shown(d, IDC_PROP_CO_SEARCH_SET));
        EXPECT_FALSE(Shown(d, IDC_PROP_ED_DATA_LOCATION));
        EXPECT_EQ(Text(d, IDC_PROP_CO_SEARCH_SET), "Work");
        EXPECT_EQ(Text(d, IDC_PROP_ME_SEARCH_PATHS), "W:\\Work");
        EXPECT_TRUE(Shown(d, IDC_PROP_ME_SEARCH_PATHS));
        test::ClickTab(GetDlgItem(d, IDC_PROP_TAB_PATHS), 1);
        EXPECT_TRUE(Shown(d, IDC_PROP_ME_EXCLUDE_PATHS));
        EXPECT_FALSE(Shown(d, IDC_PROP_ME_SEARCH_PATHS));
        EXPECT_EQ(Text(d, IDC_PROP_ME_EXCLUDE_PATHS), "W:\\Work\\Old");
        test::ClickTab(GetDlgItem(d, IDC_PROP_TAB_PATHS), 0);

        // Typing a name that exists shows its paths; a new name keeps what is on screen.
        TypeInto(ComboEdit(d), "Local Drive");
        EXPECT_EQ(Text(d, IDC_PROP_ME_SEARCH_PATHS), "C:\\");
        TypeInto(ComboEdit(d), "Projects");
        EXPECT_EQ(Text(d, IDC_PROP_ME_SEARCH_PATHS), "C:\\");
        TypeInto(GetDlgItem(d, IDC_PROP_ME_SEARCH_PATHS), "E:\\Projects\r\nF:\\Archive");
        TypeInto(GetDlgItem(d, IDC_PROP_ME_EXCLUDE_PATHS), "");

        // The tabs switch pages as the user clicks them.
        test::ClickTab(GetDlgItem(d, IDC_PROP_TAB_PAGES), 0);
        EXPECT_TRUE(Shown(d, IDC_PROP_ED_DATA_LOCATION));
        EXPECT_FALSE(Shown(d, IDC_PROP_ME_SEARCH_PATHS));
        test::ClickTab(GetDlgItem(d, IDC_PROP_TAB_PAGES), 1);
        EXPECT_TRUE(Shown(d, IDC_PROP_ME_SEARCH_PATHS));
        ClickButton(d, IDOK);
    });
    ASSERT_TRUE(ok);
    TSearchSet* projects = FindSearchSet(settings, "Projects");
    ASSERT_NE(projects, nullptr);
    EXPECT_EQ(settings.SearchSets.back().get(), projects);
    EXPECT_EQ(settings.CurrentSearchSet, projects);
    EXPECT_EQ(projects->IncludePaths, "E:\\Projects;F:\\Archive;");
    EXPECT_EQ(projects->ExcludePaths, "");
    EXPECT_NE(fs.ReadWhole(kIniPath)->find("[Domain.Projects]\r\nInclude=E:\\Projects\r\n"
                                           "Include=F:\\Archive\r\n"),
              std::string::npos);
}

TEST_F(PropertiesDialog, RemoveStaysRemovedAfterCancelAndTheCurrentDomainFallsBack) {
    settings.CurrentSearchSet = FindSearchSet(settings, "Work");
    bool ok = Show(PropertiesPage::SearchDomains, [&](HWND d) {
        TypeInto(ComboEdit(d), "<Default>");
        ClickButton(d, IDC_PROP_BU_REMOVE_SET);
        EXPECT_EQ(messages.errors, std::vector<std::string>{"Cannot delete the default domain."});
        TypeInto(ComboEdit(d), "Work");
        ClickButton(d, IDC_PROP_BU_REMOVE_SET);
        // The last entry is chosen and shown.
        HWND combo = GetDlgItem(d, IDC_PROP_CO_SEARCH_SET);
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(Text(d, IDC_PROP_CO_SEARCH_SET), "Local Drive");
        EXPECT_EQ(Text(d, IDC_PROP_ME_SEARCH_PATHS), "C:\\");
        ClickButton(d, IDCANCEL);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(FindSearchSet(settings, "Work"), nullptr);
    ASSERT_NE(settings.CurrentSearchSet, nullptr);
    EXPECT_EQ(settings.CurrentSearchSet->Name, "<Default>");
    EXPECT_EQ(schedules, 0);
    EXPECT_EQ(messages.errors.size(), 1u);
}

TEST(PropertiesDialogWithoutSettingsFile, OpensOnAnEmptyDomainPage) {
    TestApp app;
    EXPECT_FALSE(LoadSettings(app.ctx));
    struct Host final : PropertiesHost {
        void ApplyRefreshSchedule() override {}
        std::string BrowseForFolder(std::string_view, std::string_view s) override {
            return std::string(s);
        }
    } host;
    DialogScript script(kCaption, [](HWND d) {
        EXPECT_EQ(Text(d, IDC_PROP_CO_SEARCH_SET), "");
        EXPECT_EQ(SendMessageW(GetDlgItem(d, IDC_PROP_CO_SEARCH_SET), CB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(Text(d, IDC_PROP_ME_SEARCH_PATHS), "");
        ClickButton(d, IDCANCEL);
    });
    EXPECT_FALSE(ShowPropertiesDialog(app.ctx, host, nullptr, test::ProgramResources(),
                                      PropertiesPage::SearchDomains));
    EXPECT_TRUE(script.Ran());
    EXPECT_EQ(app.settings.CurrentSearchSet, nullptr);
}

}  // namespace
}  // namespace lark
