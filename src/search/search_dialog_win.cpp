#include "search/search_dialog_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <cstring>

#include "config/context.h"
#include "config/data_paths.h"
#include "base/date_time.h"
#include "config/settings.h"
#include "platform/file_system.h"
#include "platform/messages.h"
#include "platform/win32/encoding_win.h"
#include "res/search_dialog_ids.h"
#include "platform/shell.h"

namespace lark {

namespace {

constexpr int kAllPages = -1;
constexpr int kNoOptions = -1;
constexpr int kSearchOptions = 0;
constexpr int kReplaceOptions = 1;

// One control of the dialog, in dialog units, on the page (and inner options page) where
// it is shown. Creation order is tab order.
struct ControlSpec {
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    DWORD style;
    short x, y, w, h;
    int page;
    int options;
};

constexpr DWORD kChild = WS_CHILD;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
// Plain radio buttons: the dialog turns the others of a group off itself, so both date
// options (or all three size options) can be off at once.
constexpr DWORD kRadio = kChild | WS_TABSTOP | BS_RADIOBUTTON;
constexpr DWORD kEdit = kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;
constexpr DWORD kLabel = kChild | SS_LEFT;

constexpr short kDialogWidth = 292;
constexpr short kDialogHeight = 234;

// clang-format off
const ControlSpec kControls[] = {
    {IDC_SEARCH_TAB_PAGES, WC_TABCONTROLW, L"", kChild | WS_TABSTOP | WS_CLIPSIBLINGS | WS_VISIBLE, 6, 6, 280, 202, kAllPages, kNoOptions},

    {IDC_SEARCH_GB_FILENAME, L"BUTTON", L"All or part of the filename ", kGroup, 14, 24, 264, 80, 0, kNoOptions},
    {IDC_SEARCH_ED_KEYWORDS, WC_COMBOBOXW, L"", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 22, 38, 248, 120, 0, kNoOptions},
    {IDC_SEARCH_ST_KEYWORDS, L"STATIC", L"Enter words to search for. Use AND, OR, or NOT for boolean searches", kLabel, 22, 56, 248, 18, 0, kNoOptions},
    {IDC_SEARCH_CB_SEARCH_FILENAME, L"BUTTON", L"Search filename", kCheck, 22, 80, 100, 10, 0, kNoOptions},
    {IDC_SEARCH_CB_SEARCH_PATH, L"BUTTON", L"Search file path ", kCheck, 130, 80, 100, 10, 0, kNoOptions},
    {IDC_SEARCH_GB_CONTAINING, L"BUTTON", L"Containing text... ", kGroup, 14, 110, 264, 34, 0, kNoOptions},
    {IDC_SEARCH_ED_SEARCH_IN_FILE, WC_EDITW, L"", kEdit, 22, 124, 248, 12, 0, kNoOptions},
    {IDC_SEARCH_BU_SEARCH_PATHS, L"BUTTON", L"Search Domain", kButton, 14, 154, 70, 14, 0, kNoOptions},
    {IDC_SEARCH_LB_SEARCH_DOMAIN, L"STATIC", L"", kLabel | SS_SUNKEN | SS_CENTERIMAGE | SS_NOPREFIX, 90, 155, 188, 12, 0, kNoOptions},

    {IDC_SEARCH_GB_DATE, L"BUTTON", L" When was it modified? ", kGroup, 14, 24, 264, 84, 1, kNoOptions},
    {IDC_SEARCH_RB_RECENT, L"BUTTON", L"In the last ", kRadio, 22, 42, 56, 10, 1, kNoOptions},
    {IDC_SEARCH_ED_LAST_X_UNITS, WC_EDITW, L"1", kEdit, 82, 41, 32, 12, 1, kNoOptions},
    {IDC_SEARCH_CB_PERIOD_UNITS, WC_COMBOBOXW, L"", kList, 120, 40, 64, 80, 1, kNoOptions},
    {IDC_SEARCH_RB_DATE_RANGE, L"BUTTON", L"From", kRadio, 22, 64, 56, 10, 1, kNoOptions},
    {IDC_SEARCH_ST_FROM, L"STATIC", L"From", kLabel, 34, 84, 22, 10, 1, kNoOptions},
    {IDC_SEARCH_DT_FROM, DATETIMEPICK_CLASSW, L"", kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, 58, 82, 80, 13, 1, kNoOptions},
    {IDC_SEARCH_ST_TO, L"STATIC", L"To", kLabel, 148, 84, 14, 10, 1, kNoOptions},
    {IDC_SEARCH_DT_TO, DATETIMEPICK_CLASSW, L"", kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, 164, 82, 80, 13, 1, kNoOptions},

    {IDC_SEARCH_GB_SIZE, L"BUTTON", L" What size is it? ", kGroup, 14, 24, 264, 84, 2, kNoOptions},
    {IDC_SEARCH_RB_LARGER, L"BUTTON", L"Larger than", kRadio, 22, 42, 60, 10, 2, kNoOptions},
    {IDC_SEARCH_ED_LARGER, WC_EDITW, L"1", kEdit, 86, 41, 40, 12, 2, kNoOptions},
    {IDC_SEARCH_CB_LARGER, WC_COMBOBOXW, L"", kList, 132, 40, 48, 80, 2, kNoOptions},
    {IDC_SEARCH_RB_SMALLER, L"BUTTON", L"Smaller than", kRadio, 22, 62, 60, 10, 2, kNoOptions},
    {IDC_SEARCH_ED_SMALLER, WC_EDITW, L"1", kEdit, 86, 61, 40, 12, 2, kNoOptions},
    {IDC_SEARCH_CB_SMALLER, WC_COMBOBOXW, L"", kList, 132, 60, 48, 80, 2, kNoOptions},
    {IDC_SEARCH_RB_BETWEEN, L"BUTTON", L"Between", kRadio, 22, 82, 60, 10, 2, kNoOptions},
    {IDC_SEARCH_ED_SIZE_FROM, WC_EDITW, L"1", kEdit, 86, 81, 40, 12, 2, kNoOptions},
    {IDC_SEARCH_ST_AND, L"STATIC", L"and", kLabel | SS_CENTER, 128, 83, 18, 10, 2, kNoOptions},
    {IDC_SEARCH_ED_SIZE_TO, WC_EDITW, L"1", kEdit, 148, 81, 40, 12, 2, kNoOptions},
    {IDC_SEARCH_CB_BETWEEN_UNITS, WC_COMBOBOXW, L"", kList, 194, 80, 48, 80, 2, kNoOptions},

    {IDC_SEARCH_ST_SEARCH_REPLACE, L"STATIC", L"Search/&Replace strings", kLabel, 14, 24, 180, 10, 3, kNoOptions},
    {IDC_SEARCH_ME_SEARCH_REPLACE, WC_EDITW, L"", kChild | WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 14, 35, 206, 62, 3, kNoOptions},
    {IDC_SEARCH_BU_CLEAR, L"BUTTON", L"Clear", kButton, 226, 35, 52, 14, 3, kNoOptions},
    {IDC_SEARCH_BU_SAVE, L"BUTTON", L"Save", kButton, 226, 53, 52, 14, 3, kNoOptions},
    {IDC_SEARCH_BU_LOAD, L"BUTTON", L"Load", kButton, 226, 71, 52, 14, 3, kNoOptions},
    {IDC_SEARCH_CB_FTS_ACTIVE, L"BUTTON", L"Full Text Search Active", kCheck, 14, 101, 120, 10, 3, kNoOptions},
    {IDC_SEARCH_TAB_OPTIONS, WC_TABCONTROLW, L"", kChild | WS_TABSTOP | WS_CLIPSIBLINGS, 14, 114, 264, 88, 3, kNoOptions},

    {IDC_SEARCH_CHK_WHOLE_WORDS, L"BUTTON", L"Whole words", kCheck, 22, 133, 100, 10, 3, kSearchOptions},
    {IDC_SEARCH_CHK_PATTERN_MATCH, L"BUTTON", L"Pattern matching", kCheck, 22, 147, 100, 10, 3, kSearchOptions},
    {IDC_SEARCH_CHK_CASE_SENSITIVE, L"BUTTON", L"&Case Sensitive", kCheck, 22, 161, 100, 10, 3, kSearchOptions},
    {IDC_SEARCH_CHK_USE_LAST_SEARCH, L"BUTTON", L"&Use last search list", kCheck, 140, 133, 120, 10, 3, kSearchOptions},
    {IDC_SEARCH_CHK_SHOW_LOG, L"BUTTON", L"Show Logfile", kCheck, 140, 147, 120, 10, 3, kSearchOptions},
    {IDC_SEARCH_ST_INCLUDE_PATTERN, L"STATIC", L"&Only lines containing pattern", kLabel, 22, 180, 108, 10, 3, kSearchOptions},
    {IDC_SEARCH_TXT_INCLUDE_PATTERN, WC_EDITW, L"", kEdit, 132, 178, 138, 12, 3, kSearchOptions},

    {IDC_SEARCH_CHK_REPLACE, L"BUTTON", L"Replace file", kCheck, 22, 133, 96, 10, 3, kReplaceOptions},
    {IDC_SEARCH_CHK_KEEP_DATE_TIME, L"BUTTON", L"Keep file date/time", kCheck, 22, 147, 96, 10, 3, kReplaceOptions},
    {IDC_SEARCH_CHK_BACKUP, L"BUTTON", L"&Backup file", kCheck, 22, 161, 96, 10, 3, kReplaceOptions},
    {IDC_SEARCH_CHK_COMMENT_CHANGES, L"BUTTON", L"Comment Changes", kCheck, 130, 133, 80, 10, 3, kReplaceOptions},
    {IDC_SEARCH_ST_COMMENT_CHAR, L"STATIC", L"Comment prefix:", kLabel, 130, 148, 58, 10, 3, kReplaceOptions},
    {IDC_SEARCH_TXT_COMMENT_CHAR, WC_EDITW, L";", kEdit, 190, 146, 24, 12, 3, kReplaceOptions},
    {IDC_SEARCH_CHK_TEXT_ONLY, L"BUTTON", L"Text files only", kCheck, 130, 161, 96, 10, 3, kReplaceOptions},
    {IDC_SEARCH_ST_LOGFILE, L"STATIC", L"Log file", kLabel, 22, 180, 30, 10, 3, kReplaceOptions},
    {IDC_SEARCH_TXT_LOGFILE, WC_EDITW, L"", kEdit, 54, 178, 196, 12, 3, kReplaceOptions},
    {IDC_SEARCH_BTN_EDIT_LOGFILE, L"BUTTON", L"...", kButton, 254, 178, 16, 12, 3, kReplaceOptions},

    {IDOK, L"BUTTON", L"OK", kChild | WS_TABSTOP | WS_VISIBLE | BS_DEFPUSHBUTTON, 180, 214, 50, 14, kAllPages, kNoOptions},
    {IDCANCEL, L"BUTTON", L"Cancel", kChild | WS_TABSTOP | WS_VISIBLE | BS_PUSHBUTTON, 236, 214, 50, 14, kAllPages, kNoOptions},
};
// clang-format on

constexpr std::array<int, 5> kNumberBoxes = {IDC_SEARCH_ED_LAST_X_UNITS, IDC_SEARCH_ED_LARGER,
                                             IDC_SEARCH_ED_SMALLER, IDC_SEARCH_ED_SIZE_FROM,
                                             IDC_SEARCH_ED_SIZE_TO};
constexpr std::array<int, 2> kDateOptions = {IDC_SEARCH_RB_RECENT, IDC_SEARCH_RB_DATE_RANGE};
constexpr std::array<int, 3> kSizeOptions = {IDC_SEARCH_RB_LARGER, IDC_SEARCH_RB_SMALLER,
                                             IDC_SEARCH_RB_BETWEEN};

// Every control of the text-search page, enabled by its own rules.
bool OnTextPage(const ControlSpec& spec) {
    return spec.page == TfmSearch::kPageText;
}

LRESULT CALLBACK NumberBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    // Control characters pass so that copy, cut and paste by keyboard keep working.
    if (msg == WM_CHAR && wp >= 32 && !IsNumberBoxChar(uint32_t(wp))) return 0;
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK PairBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    // A pair is a search string, a tab and its replacement: Tab must type a tab here. A
    // multi-line edit in a dialog moves the focus on Tab itself, so the key is taken first
    // (Ctrl+Tab still leaves the box) and its character is not typed twice.
    switch (msg) {
        case WM_GETDLGCODE:
            return DefSubclassProc(hwnd, msg, wp, lp) | DLGC_WANTTAB;
        case WM_KEYDOWN:
            if (wp == VK_TAB && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
                SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\t"));
                return 0;
            }
            break;
        case WM_CHAR:
            if (wp == L'\t') return 0;
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

SYSTEMTIME ToSystemTime(double dateTime) {
    CivilDateTime t = DecodeDateTime(dateTime);
    SYSTEMTIME st{};
    st.wYear = WORD(t.year);
    st.wMonth = WORD(t.month);
    st.wDay = WORD(t.day);
    st.wHour = WORD(t.hour);
    st.wMinute = WORD(t.minute);
    st.wSecond = WORD(t.second);
    st.wMilliseconds = WORD(t.millisecond);
    return st;
}

double FromSystemTime(const SYSTEMTIME& st) {
    if (!IsValidDate(st.wYear, st.wMonth, st.wDay)) return 0;
    return EncodeDateTime(
        {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

void SetTabText(HWND tab, int index, const std::string& text) {
    std::wstring wide = Widen(text);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = wide.data();
    SendMessageW(tab, TCM_SETITEMW, WPARAM(index), LPARAM(&item));
}

void InsertTab(HWND tab, int index, const wchar_t* text) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(tab, TCM_INSERTITEMW, WPARAM(index), LPARAM(&item));
}

// "Text Files (*.txt)|*.txt|..." with the bars as the dialog wants them: NULs.
std::wstring FileFilter() {
    std::wstring filter = L"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
    for (wchar_t& ch : filter) {
        if (ch == L'|') ch = L'\0';
    }
    return filter;
}

std::string AskPairFile(HWND owner, bool save) {
    wchar_t file[MAX_PATH] = L"";
    std::wstring filter = FileFilter();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    return chosen ? Narrow(file) : std::string();
}

// A dialog template with a caption and a font and no controls: the controls are created
// in code, so the same layout serves the modal and the modeless display.
std::vector<BYTE> BuildTemplate() {
    std::vector<BYTE> data(sizeof(DLGTEMPLATE));
    auto* dlg = reinterpret_cast<DLGTEMPLATE*>(data.data());
    dlg->style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dlg->cdit = 0;
    dlg->cx = kDialogWidth;
    dlg->cy = kDialogHeight;
    auto appendWords = [&](std::wstring_view text) {
        for (wchar_t ch : text) {
            data.push_back(BYTE(ch & 0xFF));
            data.push_back(BYTE(ch >> 8));
        }
        data.push_back(0);
        data.push_back(0);
    };
    appendWords(L"");  // no menu
    appendWords(L"");  // the standard dialog class
    appendWords(L"Search Parameters");
    data.push_back(8);  // point size
    data.push_back(0);
    appendWords(L"MS Shell Dlg");
    while (data.size() % 4 != 0) data.push_back(0);
    return data;
}

}  // namespace

TfmSearch::TfmSearch(AppContext& ctx, SearchCriteria& criteria, ShellExecutor& shell)
    : TMyForm(ctx.registry, "fmSearch"),
      ctx_(ctx),
      c_(criteria),
      shell_(shell),
      template_(BuildTemplate()) {
    INITCOMMONCONTROLSEX icc{
        sizeof(icc), ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    modeTexts_.pairLabel = "Search/&Replace strings";
    modeTexts_.textTabCaption = "Full Text Search && Replace";
    modeTexts_.replaceWindowCaption = ModeTextsFor(true).replaceWindowCaption;
}

TfmSearch::~TfmSearch() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void TfmSearch::FormCreate() {
    CreateSearchCriteria(ctx_, c_, lastSearchAvailable_ && lastSearchAvailable_());
}

void TfmSearch::PrepareSearchDialog(bool searchMode) {
    lark::PrepareSearchDialog(c_);
    replaceOptionsEnabled_ = !searchMode;
    modeTexts_ = ModeTextsFor(searchMode);
    currentPage_ = kPageGeneral;
    if (hwnd_) {
        LoadControls();
        ApplyModeTexts();
        ApplyEnables();
        SelectPage(kPageGeneral);
    }
}

bool TfmSearch::ShowModal(HWND owner) {
    modal_ = true;
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<const DLGTEMPLATE*>(template_.data()),
                                             owner, SharedDialogProc, DialogParam(this));
    modal_ = false;
    lastResult_ = int(result);
    return result == IDOK;
}

HWND TfmSearch::ShowModeless(HWND owner) {
    if (hwnd_) return hwnd_;
    modal_ = false;
    lastResult_ = 0;
    HWND hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                           reinterpret_cast<const DLGTEMPLATE*>(template_.data()),
                                           owner, SharedDialogProc, DialogParam(this));
    if (hwnd) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

bool TfmSearch::RunSearchDialog(HWND owner, std::string_view nameFilter, bool searchMode) {
    if (!nameFilter.empty()) c_.Keywords = std::string(nameFilter);
    PrepareSearchDialog(searchMode);
    return ShowModal(owner);
}

void TfmSearch::SetSearchDomainHandler(std::function<void(HWND)> handler) {
    searchDomainHandler_ = std::move(handler);
    if (hwnd_) ApplyEnables();
}

LRESULT TfmSearch::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            hwnd_ = hwnd;
            CreateControls();
            RestorePlacement(hwnd_);
            FormShow();
            return FALSE;  // the focus is already in the keyword box
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return TRUE;
        case WM_DESTROY:
            StorePlacement();
            return FALSE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            tooltip_ = nullptr;
            return FALSE;
        case WM_NOTIFY:
            if (OnNotify(*reinterpret_cast<const NMHDR*>(lp))) return SetDialogResult(hwnd, TRUE);
            return FALSE;
        default:
            return FALSE;
    }
}

void TfmSearch::CreateControls() {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ControlSpec& spec : kControls) {
        RECT r{spec.x, spec.y, spec.x + spec.w, spec.y + spec.h};
        MapDialogRect(hwnd_, &r);
        DWORD exStyle = (spec.cls == std::wstring_view(WC_EDITW)) ? WS_EX_CLIENTEDGE : 0;
        DWORD style = spec.style;
        if (exStyle) style &= ~DWORD(WS_BORDER);
        HWND child = CreateWindowExW(exStyle, spec.cls, spec.text, style, r.left, r.top,
                                     r.right - r.left, r.bottom - r.top, hwnd_,
                                     reinterpret_cast<HMENU>(INT_PTR(spec.id)), instance, nullptr);
        if (child) SendMessageW(child, WM_SETFONT, WPARAM(font), FALSE);
    }
    // The tab controls lie under the page controls so they never paint over them.
    SetWindowPos(Item(IDC_SEARCH_TAB_OPTIONS), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Item(IDC_SEARCH_TAB_PAGES), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    HWND pages = Item(IDC_SEARCH_TAB_PAGES);
    InsertTab(pages, kPageGeneral, L"General");
    InsertTab(pages, kPageDate, L"Date modified");
    InsertTab(pages, kPageSize, L"File Size");
    InsertTab(pages, kPageText, L"Full Text Search && Replace");
    HWND options = Item(IDC_SEARCH_TAB_OPTIONS);
    InsertTab(options, kSearchOptions, L"Search Options");
    InsertTab(options, kReplaceOptions, L"Replace Options");

    for (const char* unit : kPeriodUnitNames) {
        SendMessageW(Item(IDC_SEARCH_CB_PERIOD_UNITS), CB_ADDSTRING, 0,
                     LPARAM(Widen(unit).c_str()));
    }
    for (int id : {IDC_SEARCH_CB_LARGER, IDC_SEARCH_CB_SMALLER, IDC_SEARCH_CB_BETWEEN_UNITS}) {
        for (const char* unit : kSizeUnitNames) {
            SendMessageW(Item(id), CB_ADDSTRING, 0, LPARAM(Widen(unit).c_str()));
        }
    }
    for (int id : kNumberBoxes) SetWindowSubclass(Item(id), NumberBoxProc, 1, 0);
    SetWindowSubclass(Item(IDC_SEARCH_ME_SEARCH_REPLACE), PairBoxProc, 1, 0);

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                               nullptr, instance, nullptr);
    if (tooltip_) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = UINT_PTR(Item(IDC_SEARCH_ME_SEARCH_REPLACE));
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
    }
}

void TfmSearch::FormShow() {
    if (auto lines = LoadKeywordHistory(ctx_.fs, KeywordHistoryFile(ctx_))) history_ = *lines;
    FillKeywordList();
    LoadControls();
    ApplyModeTexts();
    ApplyEnables();
    SelectPage(kPageGeneral);
    SetItemText(IDC_SEARCH_LB_SEARCH_DOMAIN, SearchDomainLabel(ctx_.settings));
    SetFocus(Item(IDC_SEARCH_ED_KEYWORDS));
}

void TfmSearch::FillKeywordList() {
    HWND box = Item(IDC_SEARCH_ED_KEYWORDS);
    // Emptying the list empties the edit part too; the keyword typed stays.
    std::string keywords = ItemText(IDC_SEARCH_ED_KEYWORDS);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : history_) {
        SendMessageW(box, CB_ADDSTRING, 0, LPARAM(Widen(entry).c_str()));
    }
    syncing_ = true;
    SetItemText(IDC_SEARCH_ED_KEYWORDS, keywords);
    syncing_ = false;
}

void TfmSearch::OnCommand(int id, int code) {
    switch (id) {
        case IDOK:
            buOKClick();
            return;
        case IDCANCEL:
            StoreControls();
            Close(IDCANCEL);
            return;
        case IDC_SEARCH_BU_SEARCH_PATHS:
            if (code == BN_CLICKED) buSearchPathsClick();
            return;
        case IDC_SEARCH_BTN_EDIT_LOGFILE:
            if (code == BN_CLICKED) btnEditLogfileClick();
            return;
        case IDC_SEARCH_CHK_USE_LAST_SEARCH:
            if (code == BN_CLICKED) chkUseLastSearchClick();
            return;
        case IDC_SEARCH_CHK_COMMENT_CHANGES:
        case IDC_SEARCH_CHK_REPLACE:
            // chkCommentChangesClick and chkReplaceClick: both only enable their companions.
            if (code == BN_CLICKED) {
                StoreControls();
                ApplyEnables();
            }
            return;
        case IDC_SEARCH_BU_CLEAR:
            if (code == BN_CLICKED) buClearClick();
            return;
        case IDC_SEARCH_BU_SAVE:
            if (code == BN_CLICKED) buSavePairsClick();
            return;
        case IDC_SEARCH_BU_LOAD:
            if (code == BN_CLICKED) buLoadPairsClick();
            return;
        case IDC_SEARCH_ED_SEARCH_IN_FILE:
            if (code == EN_CHANGE && !syncing_) edSearchInFileChange();
            return;
        case IDC_SEARCH_ME_SEARCH_REPLACE:
            if (code == EN_CHANGE && !syncing_) meSearchReplaceChange();
            return;
        case IDC_SEARCH_RB_RECENT:
        case IDC_SEARCH_RB_DATE_RANGE:
        case IDC_SEARCH_RB_LARGER:
        case IDC_SEARCH_RB_SMALLER:
        case IDC_SEARCH_RB_BETWEEN:
            if (code == BN_CLICKED) OptionClick(id);
            return;
        default:
            return;
    }
}

bool TfmSearch::OnNotify(const NMHDR& nm) {
    if (nm.code == DTN_DATETIMECHANGE && !syncing_) {
        if (nm.idFrom == IDC_SEARCH_DT_FROM) dateEdited_[0] = true;
        if (nm.idFrom == IDC_SEARCH_DT_TO) dateEdited_[1] = true;
        return false;
    }
    if (nm.code != TCN_SELCHANGE) return false;
    if (nm.idFrom == IDC_SEARCH_TAB_PAGES) {
        // A disabled page still opens, so its options can be read; its controls are disabled.
        SelectPage(int(SendMessageW(Item(IDC_SEARCH_TAB_PAGES), TCM_GETCURSEL, 0, 0)));
    } else if (nm.idFrom == IDC_SEARCH_TAB_OPTIONS) {
        currentOptionsPage_ = int(SendMessageW(Item(IDC_SEARCH_TAB_OPTIONS), TCM_GETCURSEL, 0, 0));
        ShowPageControls();
    }
    return false;
}

void TfmSearch::SelectPage(int page) {
    if (page < kPageGeneral || page > kPageText) return;
    currentPage_ = page;
    if (!hwnd_) return;
    SendMessageW(Item(IDC_SEARCH_TAB_PAGES), TCM_SETCURSEL, WPARAM(page), 0);
    ShowPageControls();
}

void TfmSearch::ShowPageControls() {
    for (const ControlSpec& spec : kControls) {
        if (spec.page == kAllPages) continue;
        bool visible = spec.page == currentPage_ &&
                       (spec.options == kNoOptions || spec.options == currentOptionsPage_);
        ShowWindow(Item(spec.id), visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TfmSearch::Close(int result) {
    lastResult_ = result;
    if (modal_) {
        EndDialog(hwnd_, result);
    } else {
        DestroyWindow(hwnd_);
    }
}

void TfmSearch::buOKClick() {
    StoreControls();
    ConfirmSearchDialog(ctx_, c_, history_);
    FillKeywordList();
    Close(IDOK);
}

void TfmSearch::buSearchPathsClick() {
    if (!searchDomainHandler_) return;
    searchDomainHandler_(hwnd_);
    SetItemText(IDC_SEARCH_LB_SEARCH_DOMAIN, SearchDomainLabel(ctx_.settings));
}

void TfmSearch::btnEditLogfileClick() {
    std::string logfile = ItemText(IDC_SEARCH_TXT_LOGFILE);
    if (logfile.empty()) return;
    ShellRequest request;
    request.verb = "open";
    request.target = "Notepad.exe";
    request.params = logfile;
    request.show = ShellShow::Show;
    request.owner = hwnd_;
    shell_.Execute(request);
}

void TfmSearch::chkUseLastSearchClick() {
    StoreControls();
    CheckUseLastSearch(ctx_, c_, lastSearchAvailable_ && lastSearchAvailable_());
    LoadControls();
    ApplyEnables();
}

// A multi-line edit reports no change for text set by a program, so the mirror rule runs
// here by hand.
void TfmSearch::buClearClick() {
    SetItemText(IDC_SEARCH_ME_SEARCH_REPLACE, "");
    meSearchReplaceChange();
}

void TfmSearch::buSavePairsClick() {
    std::string path = AskPairFile(hwnd_, true);
    if (path.empty()) return;
    std::string text;
    for (const std::string& line : PairLinesFromText(ItemText(IDC_SEARCH_ME_SEARCH_REPLACE))) {
        text += line;
        text += "\r\n";
    }
    if (!ctx_.fs.WriteWhole(path, text)) ctx_.messages.Error("Cannot create file " + path);
}

void TfmSearch::buLoadPairsClick() {
    std::string path = AskPairFile(hwnd_, false);
    if (path.empty()) return;
    std::optional<std::string> text = ctx_.fs.ReadWhole(path);
    if (!text) {
        ctx_.messages.Error("Cannot open file " + path);
        return;
    }
    SetItemText(IDC_SEARCH_ME_SEARCH_REPLACE, PairTextFromLines(PairLinesFromText(*text)));
    meSearchReplaceChange();
}

void TfmSearch::edSearchInFileChange() {
    StoreControls();
    MirrorContainingText(c_, c_.SearchInFile, currentPage_ == kPageGeneral);
    LoadControls();
}

void TfmSearch::meSearchReplaceChange() {
    StoreControls();
    MirrorPairBox(c_);
    LoadControls();
}

void TfmSearch::OptionClick(int id) {
    const int* begin = nullptr;
    size_t count = 0;
    if (id == IDC_SEARCH_RB_RECENT || id == IDC_SEARCH_RB_DATE_RANGE) {
        begin = kDateOptions.data();
        count = kDateOptions.size();
    } else {
        begin = kSizeOptions.data();
        count = kSizeOptions.size();
    }
    for (size_t i = 0; i < count; ++i) SetChecked(begin[i], begin[i] == id);
}

void TfmSearch::LoadControls() {
    if (!hwnd_) return;
    syncing_ = true;
    SetItemText(IDC_SEARCH_ED_KEYWORDS, c_.Keywords);
    SetChecked(IDC_SEARCH_CB_SEARCH_FILENAME, c_.SearchFilename);
    SetChecked(IDC_SEARCH_CB_SEARCH_PATH, c_.SearchPath);
    SetItemText(IDC_SEARCH_ED_SEARCH_IN_FILE, c_.SearchInFile);

    SetChecked(IDC_SEARCH_RB_RECENT, c_.DateMode == DateFilterMode::Recent);
    SetChecked(IDC_SEARCH_RB_DATE_RANGE, c_.DateMode == DateFilterMode::Range);
    SetItemText(IDC_SEARCH_ED_LAST_X_UNITS, c_.LastXUnits);
    SendMessageW(Item(IDC_SEARCH_CB_PERIOD_UNITS), CB_SETCURSEL, WPARAM(c_.PeriodUnits), 0);
    for (auto [id, value] :
         {std::pair{IDC_SEARCH_DT_FROM, c_.DateFrom}, std::pair{IDC_SEARCH_DT_TO, c_.DateTo}}) {
        SYSTEMTIME st = ToSystemTime(value);
        SendMessageW(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&st));
    }

    SetChecked(IDC_SEARCH_RB_LARGER, c_.SizeMode == SizeFilterMode::Larger);
    SetChecked(IDC_SEARCH_RB_SMALLER, c_.SizeMode == SizeFilterMode::Smaller);
    SetChecked(IDC_SEARCH_RB_BETWEEN, c_.SizeMode == SizeFilterMode::Between);
    SetItemText(IDC_SEARCH_ED_LARGER, c_.LargerThan);
    SetItemText(IDC_SEARCH_ED_SMALLER, c_.SmallerThan);
    SetItemText(IDC_SEARCH_ED_SIZE_FROM, c_.SizeFrom);
    SetItemText(IDC_SEARCH_ED_SIZE_TO, c_.SizeTo);
    SendMessageW(Item(IDC_SEARCH_CB_LARGER), CB_SETCURSEL, WPARAM(c_.LargerUnits), 0);
    SendMessageW(Item(IDC_SEARCH_CB_SMALLER), CB_SETCURSEL, WPARAM(c_.SmallerUnits), 0);
    SendMessageW(Item(IDC_SEARCH_CB_BETWEEN_UNITS), CB_SETCURSEL, WPARAM(c_.BetweenUnits), 0);

    // The pair box is compared by lines, so typing in it is never disturbed by a rewrite.
    if (PairLinesFromText(ItemText(IDC_SEARCH_ME_SEARCH_REPLACE)) != c_.SearchReplaceLines) {
        SetItemText(IDC_SEARCH_ME_SEARCH_REPLACE, PairTextFromLines(c_.SearchReplaceLines));
    }
    SetChecked(IDC_SEARCH_CB_FTS_ACTIVE, c_.cbFTSActive);
    SetChecked(IDC_SEARCH_CHK_WHOLE_WORDS, c_.WholeWords);
    SetChecked(IDC_SEARCH_CHK_PATTERN_MATCH, c_.PatternMatch);
    SetChecked(IDC_SEARCH_CHK_CASE_SENSITIVE, c_.CaseSensitive);
    SetChecked(IDC_SEARCH_CHK_USE_LAST_SEARCH, c_.UseLastSearch);
    SetChecked(IDC_SEARCH_CHK_SHOW_LOG, c_.ShowLog);
    SetItemText(IDC_SEARCH_TXT_INCLUDE_PATTERN, c_.IncludePattern);
    SetChecked(IDC_SEARCH_CHK_REPLACE, c_.Replace);
    SetChecked(IDC_SEARCH_CHK_KEEP_DATE_TIME, c_.KeepDateTime);
    SetChecked(IDC_SEARCH_CHK_BACKUP, c_.Backup);
    SetChecked(IDC_SEARCH_CHK_COMMENT_CHANGES, c_.CommentChanges);
    SetItemText(IDC_SEARCH_TXT_COMMENT_CHAR, c_.CommentChar);
    SetItemText(IDC_SEARCH_TXT_LOGFILE, c_.Logfile);
    SetChecked(IDC_SEARCH_CHK_TEXT_ONLY, c_.chkTextOnly);
    syncing_ = false;
}

void TfmSearch::StoreControls() {
    if (!hwnd_) return;
    auto selection = [&](int id) { return int32_t(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); };
    // A date the picker cannot show (the zero date of a criteria file) must not turn into
    // whatever the picker shows instead, so only a date the user changed is read back.
    auto date = [&](int id, double current) {
        if (!dateEdited_[id == IDC_SEARCH_DT_FROM ? 0 : 1]) return current;
        SYSTEMTIME st{};
        if (SendMessageW(Item(id), DTM_GETSYSTEMTIME, 0, LPARAM(&st)) != GDT_VALID) return current;
        return FromSystemTime(st);
    };
    c_.Keywords = ItemText(IDC_SEARCH_ED_KEYWORDS);
    c_.SearchFilename = Checked(IDC_SEARCH_CB_SEARCH_FILENAME);
    c_.SearchPath = Checked(IDC_SEARCH_CB_SEARCH_PATH);
    c_.SearchInFile = ItemText(IDC_SEARCH_ED_SEARCH_IN_FILE);

    c_.DateMode = Checked(IDC_SEARCH_RB_DATE_RANGE) ? DateFilterMode::Range
                  : Checked(IDC_SEARCH_RB_RECENT)   ? DateFilterMode::Recent
                                                    : DateFilterMode::None;
    c_.LastXUnits = ItemText(IDC_SEARCH_ED_LAST_X_UNITS);
    c_.PeriodUnits = selection(IDC_SEARCH_CB_PERIOD_UNITS);
    c_.DateFrom = date(IDC_SEARCH_DT_FROM, c_.DateFrom);
    c_.DateTo = date(IDC_SEARCH_DT_TO, c_.DateTo);

    c_.SizeMode = Checked(IDC_SEARCH_RB_BETWEEN)   ? SizeFilterMode::Between
                  : Checked(IDC_SEARCH_RB_SMALLER) ? SizeFilterMode::Smaller
                  : Checked(IDC_SEARCH_RB_LARGER)  ? SizeFilterMode::Larger
                                                   : SizeFilterMode::None;
    c_.LargerThan = ItemText(IDC_SEARCH_ED_LARGER);
    c_.SmallerThan = ItemText(IDC_SEARCH_ED_SMALLER);
    c_.SizeFrom = ItemText(IDC_SEARCH_ED_SIZE_FROM);
    c_.SizeTo = ItemText(IDC_SEARCH_ED_SIZE_TO);
    c_.LargerUnits = selection(IDC_SEARCH_CB_LARGER);
    c_.SmallerUnits = selection(IDC_SEARCH_CB_SMALLER);
    c_.BetweenUnits = selection(IDC_SEARCH_CB_BETWEEN_UNITS);

    c_.SearchReplaceLines = PairLinesFromText(ItemText(IDC_SEARCH_ME_SEARCH_REPLACE));
    c_.cbFTSActive = Checked(IDC_SEARCH_CB_FTS_ACTIVE);
    c_.WholeWords = Checked(IDC_SEARCH_CHK_WHOLE_WORDS);
    c_.PatternMatch = Checked(IDC_SEARCH_CHK_PATTERN_MATCH);
    c_.CaseSensitive = Checked(IDC_SEARCH_CHK_CASE_SENSITIVE);
    c_.UseLastSearch = Checked(IDC_SEARCH_CHK_USE_LAST_SEARCH);
    c_.ShowLog = Checked(IDC_SEARCH_CHK_SHOW_LOG);
    c_.IncludePattern = ItemText(IDC_SEARCH_TXT_INCLUDE_PATTERN);
    c_.Replace = Checked(IDC_SEARCH_CHK_REPLACE);
    c_.KeepDateTime = Checked(IDC_SEARCH_CHK_KEEP_DATE_TIME);
    c_.Backup = Checked(IDC_SEARCH_CHK_BACKUP);
    c_.CommentChanges = Checked(IDC_SEARCH_CHK_COMMENT_CHANGES);
    c_.CommentChar = ItemText(IDC_SEARCH_TXT_COMMENT_CHAR);
    c_.Logfile = ItemText(IDC_SEARCH_TXT_LOGFILE);
    c_.chkTextOnly = Checked(IDC_SEARCH_CHK_TEXT_ONLY);
}

void TfmSearch::ApplyEnables() {
    if (!hwnd_) return;
    SearchDialogEnables rules = EnablesFor(c_);
    for (const ControlSpec& spec : kControls) {
        if (!OnTextPage(spec)) continue;
        bool enabled = true;
        switch (spec.id) {
            case IDC_SEARCH_CHK_CASE_SENSITIVE:
            case IDC_SEARCH_CHK_WHOLE_WORDS:
                enabled = enabled && rules.caseAndWholeWords;
                break;
            case IDC_SEARCH_TXT_COMMENT_CHAR:
                enabled = enabled && rules.commentPrefix && replaceOptionsEnabled_;
                break;
            case IDC_SEARCH_CHK_BACKUP:
            case IDC_SEARCH_CHK_KEEP_DATE_TIME:
                enabled = enabled && rules.backupAndKeepDate && replaceOptionsEnabled_;
                break;
            default:
                if (spec.options == kReplaceOptions) enabled = enabled && replaceOptionsEnabled_;
                break;
        }
        EnableWindow(Item(spec.id), enabled);
    }
    EnableWindow(Item(IDC_SEARCH_BU_SEARCH_PATHS), searchDomainHandler_ != nullptr);
}

void TfmSearch::ApplyModeTexts() {
    if (!hwnd_) return;
    SetItemText(IDC_SEARCH_ST_SEARCH_REPLACE, modeTexts_.pairLabel);
    SetTabText(Item(IDC_SEARCH_TAB_PAGES), kPageText, modeTexts_.textTabCaption);
    if (tooltip_) {
        std::wstring hint = Widen(modeTexts_.pairHint);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = hwnd_;
        tool.uId = UINT_PTR(Item(IDC_SEARCH_ME_SEARCH_REPLACE));
        tool.lpszText = hint.data();
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, LPARAM(&tool));
    }
}

std::string TfmSearch::ItemText(int id) const {
    HWND item = Item(id);
    int length = GetWindowTextLengthW(item);
    std::wstring text(size_t(length) + 1, L'\0');
    int got = GetWindowTextW(item, text.data(), length + 1);
    text.resize(size_t(got > 0 ? got : 0));
    return Narrow(text);
}

void TfmSearch::SetItemText(int id, std::string_view text) {
    if (ItemText(id) == text) return;
    SetWindowTextW(Item(id), Widen(text).c_str());
}

bool TfmSearch::Checked(int id) const {
    return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfmSearch::SetChecked(int id, bool on) {
    SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool DoSearch(TfmSearch& dialog, HWND owner, std::string_view nameFilter,
              const std::function<void()>& searchIndex, const std::function<void()>& textSearch,
              const std::function<void()>& showLastSearch) {
    if (!dialog.RunSearchDialog(owner, nameFilter, true)) return false;
    // The text search runs the index search itself.
    if (WantsTextSearch(dialog.Criteria()) && textSearch) {
        textSearch();
    } else if (searchIndex) {
        searchIndex();
    }
    if (showLastSearch) showLastSearch();
    return true;
}

}  // namespace lark
