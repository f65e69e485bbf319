#include "properties/properties_win.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "config/context.h"
#include "config/settings.h"
#include "platform/win32/encoding_win.h"
#include "res/properties_ids.h"

namespace lark {

namespace {

constexpr COLORREF kDefaultLocationGrey = RGB(128, 128, 128);

constexpr int kGeneralControls[] = {
    IDC_PROP_ST_EXCLUDE_PATTERN,  IDC_PROP_ED_EXCLUDE_PATTERN,   IDC_PROP_ST_EXCLUDE_NOTE,
    IDC_PROP_ST_DATA_LOCATION,    IDC_PROP_ED_DATA_LOCATION,     IDC_PROP_BUTTON2,
    IDC_PROP_GB_REFRESH,          IDC_PROP_RB_REFRESH_FIXED,     IDC_PROP_ED_REFRESH_MINUTES,
    IDC_PROP_ST_MINUTES,          IDC_PROP_RB_REFRESH_ON_CHANGE, IDC_PROP_ST_RECENT_EDIT_DOCS,
    IDC_PROP_ED_RECENT_EDIT_DOCS, IDC_PROP_CB_MONITOR_RECENT,    IDC_PROP_GB_STARTUP,
    IDC_PROP_CB_RUN_AT_STARTUP,   IDC_PROP_RB_ALL_USERS,         IDC_PROP_RB_FOR_ME_ONLY,
};
constexpr int kDomainControls[] = {
    IDC_PROP_ST_DOMAIN_NAME,
    IDC_PROP_CO_SEARCH_SET,
    IDC_PROP_BU_REMOVE_SET,
    IDC_PROP_TAB_PATHS,
};
constexpr int kIncludePathsPage = 0;
constexpr int kExcludePathsPage = 1;

void InsertTab(HWND tab, int index, const wchar_t* text) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(tab, TCM_INSERTITEMW, WPARAM(index), LPARAM(&item));
}

std::string ComboItemText(HWND combo, int index) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length == CB_ERR) return std::string();
    std::wstring text(size_t(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(size_t(length));
    return Narrow(text);
}

// The entry whose text is exactly name (the control's own search ignores letter case, domain
// names do not); -1 when none.
int ComboIndexOf(HWND combo, std::string_view name) {
    int count = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (ComboItemText(combo, i) == name) return i;
    return -1;
}

}  // namespace

TfmProperties::TfmProperties(AppContext& ctx, PropertiesHost& host)
    : TMyForm(ctx.registry, "fmProperties"), ctx_(ctx), host_(host) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

bool TfmProperties::ShowModal(HWND owner, HINSTANCE resources, PropertiesPage page) {
    firstPage_ = page;
    INT_PTR result = DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_PROPERTIES), owner,
                                     SharedDialogProc, DialogParam(this));
    return result == IDOK;
}

LRESULT TfmProperties::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            hwnd_ = hwnd;
            FormCreate();
            return TRUE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return SetDialogResult(hwnd, 0);
            return FALSE;
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(lParam) == Item(IDC_PROP_ED_DATA_LOCATION))
                return DataLocationColour(reinterpret_cast<HDC>(wParam));
            return FALSE;
        case WM_CTLCOLORSTATIC:
            return PageColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return SetDialogResult(hwnd, TRUE);
        case WM_DESTROY:
            StorePlacement();
            return FALSE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void TfmProperties::FormCreate() {
    HWND pages = Item(IDC_PROP_TAB_PAGES);
    InsertTab(pages, 0, L"General");
    InsertTab(pages, 1, L"Search Domains");
    HWND paths = Item(IDC_PROP_TAB_PATHS);
    InsertTab(paths, kIncludePathsPage, L"Include Paths");
    InsertTab(paths, kExcludePathsPage, L"Exclude Paths");
    // The tab controls lie under the page controls so they never paint over them.
    SetWindowPos(paths, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(pages, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    values_ = ReadProperties(ctx_);
    SetItemText(IDC_PROP_ED_REFRESH_MINUTES, values_.refreshMinutes);
    SetItemText(IDC_PROP_ED_RECENT_EDIT_DOCS, values_.recentEditDocs);
    SetItemText(IDC_PROP_ED_EXCLUDE_PATTERN, values_.excludePattern);
    SetItemText(IDC_PROP_ED_DATA_LOCATION, values_.dataLocation);
    SetChecked(IDC_PROP_RB_REFRESH_FIXED, values_.refreshFixedSchedule);
    SetChecked(IDC_PROP_RB_REFRESH_ON_CHANGE, !values_.refreshFixedSchedule);
    SetChecked(IDC_PROP_CB_MONITOR_RECENT, values_.monitorRecentDocs);
    rbRefreshFixedScheduleClick();
    SetChecked(IDC_PROP_RB_ALL_USERS, values_.allUsers);
    SetChecked(IDC_PROP_RB_FOR_ME_ONLY, values_.forMeOnly);
    SetChecked(IDC_PROP_CB_RUN_AT_STARTUP, values_.runAtStartup);
    cbRunAtStartupClick();

    FillSearchSetList();
    SetItemText(IDC_PROP_CO_SEARCH_SET, values_.domainName);
    SetItemText(IDC_PROP_ME_SEARCH_PATHS, values_.includeLines);
    SetItemText(IDC_PROP_ME_EXCLUDE_PATHS, values_.excludeLines);
    if (const TSearchSet* current = ctx_.settings.CurrentSearchSet) ShowSearchSet(*current);

    SelectPage(firstPage_);
    RestorePlacement(hwnd_);
}

void TfmProperties::SelectPage(PropertiesPage page) {
    const bool general = page == PropertiesPage::General;
    SendMessageW(Item(IDC_PROP_TAB_PAGES), TCM_SETCURSEL, general ? 0 : 1, 0);
    for (int id : kGeneralControls) ShowWindow(Item(id), general ? SW_SHOW : SW_HIDE);
    for (int id : kDomainControls) ShowWindow(Item(id), general ? SW_HIDE : SW_SHOW);
    const int pathsPage = int(SendMessageW(Item(IDC_PROP_TAB_PATHS), TCM_GETCURSEL, 0, 0));
    ShowWindow(Item(IDC_PROP_ME_SEARCH_PATHS),
               !general && pathsPage != kExcludePathsPage ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_PROP_ME_EXCLUDE_PATHS),
               !general && pathsPage == kExcludePathsPage ? SW_SHOW : SW_HIDE);
}

void TfmProperties::SelectPathsPage(int page) {
    SendMessageW(Item(IDC_PROP_TAB_PATHS), TCM_SETCURSEL, WPARAM(page), 0);
    ShowWindow(Item(IDC_PROP_ME_SEARCH_PATHS), page == kIncludePathsPage ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDC_PROP_ME_EXCLUDE_PATHS), page == kExcludePathsPage ? SW_SHOW : SW_HIDE);
}

void TfmProperties::OnCommand(int id, int code) {
    switch (id) {
        case IDOK:
            buOKClick();
            return;
        case IDCANCEL:
            buCancelClick();
            return;
        case IDC_PROP_RB_REFRESH_FIXED:
        case IDC_PROP_RB_REFRESH_ON_CHANGE:
            if (code == BN_CLICKED) {
                SetChecked(id == IDC_PROP_RB_REFRESH_FIXED ? IDC_PROP_RB_REFRESH_ON_CHANGE
                                                           : IDC_PROP_RB_REFRESH_FIXED,
                           false);
                rbRefreshFixedScheduleClick();
            }
            return;
        case IDC_PROP_RB_ALL_USERS:
        case IDC_PROP_RB_FOR_ME_ONLY:
            // One option of the two, also where the dialog manager cannot see the group.
            if (code == BN_CLICKED)
                SetChecked(
                    id == IDC_PROP_RB_ALL_USERS ? IDC_PROP_RB_FOR_ME_ONLY : IDC_PROP_RB_ALL_USERS,
                    false);
            return;
        case IDC_PROP_CB_RUN_AT_STARTUP:
            if (code == BN_CLICKED) cbRunAtStartupClick();
            return;
        case IDC_PROP_ED_DATA_LOCATION:
            if (code == EN_CHANGE) edDataLocationChange();
            return;
        case IDC_PROP_BUTTON2:
            if (code == BN_CLICKED) Button2Click();
            return;
        case IDC_PROP_CO_SEARCH_SET: {
            HWND combo = Item(IDC_PROP_CO_SEARCH_SET);
            // A pick from the list reaches the edit part only after this notification.
            if (code == CBN_SELCHANGE) {
                int index = int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
                if (index >= 0) coSearchSetChange(ComboItemText(combo, index));
            } else if (code == CBN_EDITCHANGE) {
                coSearchSetChange(ItemText(IDC_PROP_CO_SEARCH_SET));
            }
            return;
        }
        case IDC_PROP_BU_REMOVE_SET:
            if (code == BN_CLICKED) buRemoveSetClick();
            return;
        default:
            return;
    }
}

bool TfmProperties::OnNotify(const NMHDR& header) {
    if (header.code != TCN_SELCHANGE) return false;
    const int page = int(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0));
    if (header.idFrom == IDC_PROP_TAB_PAGES) {
        SelectPage(page == 1 ? PropertiesPage::SearchDomains : PropertiesPage::General);
        return true;
    }
    if (header.idFrom == IDC_PROP_TAB_PATHS) {
        SelectPathsPage(page);
        return true;
    }
    return false;
}

void TfmProperties::buOKClick() {
    // Nothing is checked: a number box that holds no number stores 0.
    values_.refreshMinutes = ItemText(IDC_PROP_ED_REFRESH_MINUTES);
    values_.recentEditDocs = ItemText(IDC_PROP_ED_RECENT_EDIT_DOCS);
    values_.excludePattern = ItemText(IDC_PROP_ED_EXCLUDE_PATTERN);
    values_.dataLocation = ItemText(IDC_PROP_ED_DATA_LOCATION);
    values_.refreshFixedSchedule = Checked(IDC_PROP_RB_REFRESH_FIXED);
    values_.monitorRecentDocs = Checked(IDC_PROP_CB_MONITOR_RECENT);
    values_.runAtStartup = Checked(IDC_PROP_CB_RUN_AT_STARTUP);
    values_.allUsers = Checked(IDC_PROP_RB_ALL_USERS);
    values_.forMeOnly = Checked(IDC_PROP_RB_FOR_ME_ONLY);
    values_.domainName = ItemText(IDC_PROP_CO_SEARCH_SET);
    values_.includeLines = ItemText(IDC_PROP_ME_SEARCH_PATHS);
    values_.excludeLines = ItemText(IDC_PROP_ME_EXCLUDE_PATHS);
    EndDialog(hwnd_, IDOK);
}

void TfmProperties::buCancelClick() {
    EndDialog(hwnd_, IDCANCEL);
}

void TfmProperties::rbRefreshFixedScheduleClick() {
    const bool fixed = Checked(IDC_PROP_RB_REFRESH_FIXED);
    EnableWindow(Item(IDC_PROP_ED_REFRESH_MINUTES), fixed);
    EnableWindow(Item(IDC_PROP_ST_MINUTES), fixed);
}

void TfmProperties::cbRunAtStartupClick() {
    const bool run = Checked(IDC_PROP_CB_RUN_AT_STARTUP);
    // Turned on with neither option chosen, OK would write nothing: start for this user,
    // which needs no administrator.
    if (run && !Checked(IDC_PROP_RB_ALL_USERS) && !Checked(IDC_PROP_RB_FOR_ME_ONLY))
        SetChecked(IDC_PROP_RB_FOR_ME_ONLY, true);
    EnableWindow(Item(IDC_PROP_RB_ALL_USERS), run);
    EnableWindow(Item(IDC_PROP_RB_FOR_ME_ONLY), run);
}

void TfmProperties::edDataLocationChange() {
    InvalidateRect(Item(IDC_PROP_ED_DATA_LOCATION), nullptr, TRUE);
}

namespace {

// Labels and options stand on the tab page, which a themed tab control draws in the window
// colour rather than the dialog's.
int PageColourIndex() {
    return IsAppThemed() ? COLOR_WINDOW : COLOR_BTNFACE;
}

}  // namespace

// The tab control leaves out what lies under the controls on its page (group boxes show
// their inside): the dialog paints the page colour there itself.
void TfmProperties::EraseBackground(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    HWND pages = Item(IDC_PROP_TAB_PAGES);
    RECT body{};
    GetWindowRect(pages, &body);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&body), 2);
    SendMessageW(pages, TCM_ADJUSTRECT, FALSE, LPARAM(&body));
    FillRect(dc, &body, GetSysColorBrush(PageColourIndex()));
}

LRESULT TfmProperties::PageColour(HDC dc, HWND control) {
    // A disabled or read-only edit box keeps its own look.
    wchar_t cls[16] = {};
    GetClassNameW(control, cls, 16);
    if (lstrcmpiW(cls, WC_EDITW) == 0) return FALSE;
    const int page = PageColourIndex();
    SetBkColor(dc, GetSysColor(page));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(page));
}

LRESULT TfmProperties::DataLocationColour(HDC dc) {
    SetTextColor(dc, IsDefaultDataLocationText(ItemText(IDC_PROP_ED_DATA_LOCATION))
                         ? kDefaultLocationGrey
                         : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void TfmProperties::Button2Click() {
    SetItemText(IDC_PROP_ED_DATA_LOCATION,
                host_.BrowseForFolder("c:\\", ItemText(IDC_PROP_ED_DATA_LOCATION)));
}

void TfmProperties::coSearchSetChange(const std::string& name) {
    // A new name keeps the paths on screen: OK then creates the domain with them.
    if (const TSearchSet* set = FindSearchSet(ctx_.settings, name)) ShowSearchSet(*set);
}

void TfmProperties::buRemoveSetClick() {
    if (!RemoveSearchSet(ctx_, ItemText(IDC_PROP_CO_SEARCH_SET))) return;
    FillSearchSetList();
    const auto& sets = ctx_.settings.SearchSets;
    if (sets.empty()) return;
    SendMessageW(Item(IDC_PROP_CO_SEARCH_SET), CB_SETCURSEL, WPARAM(sets.size() - 1), 0);
    ShowSearchSet(*sets.back());
}

void TfmProperties::ShowSearchSet(const TSearchSet& set) {
    SetItemText(IDC_PROP_ME_SEARCH_PATHS, PathLines(set.IncludePaths));
    SetItemText(IDC_PROP_ME_EXCLUDE_PATHS, PathLines(set.ExcludePaths));
    if (ItemText(IDC_PROP_CO_SEARCH_SET) != set.Name) {
        HWND combo = Item(IDC_PROP_CO_SEARCH_SET);
        SendMessageW(combo, CB_SETCURSEL, WPARAM(ComboIndexOf(combo, set.Name)), 0);
    }
}

void TfmProperties::FillSearchSetList() {
    HWND combo = Item(IDC_PROP_CO_SEARCH_SET);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& set : ctx_.settings.SearchSets)
        SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(Widen(set->Name).c_str()));
}

std::string TfmProperties::ItemText(int id) const {
    HWND item = Item(id);
    std::wstring text(size_t(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(item, text.data(), int(text.size()))));
    return Narrow(text);
}

void TfmProperties::SetItemText(int id, std::string_view text) {
    SetWindowTextW(Item(id), Widen(text).c_str());
}

bool TfmProperties::Checked(int id) const {
    return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfmProperties::SetChecked(int id, bool on) {
    SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool ShowPropertiesDialog(AppContext& ctx, PropertiesHost& host, HWND owner, HINSTANCE resources,
                          PropertiesPage page) {
    TfmProperties form(ctx, host);
    if (!form.ShowModal(owner, resources, page)) return false;
    StoreProperties(ctx, form.Values(), host);
    return true;
}

}  // namespace lark
