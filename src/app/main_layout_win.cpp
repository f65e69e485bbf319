#include "app/main_layout_win.h"

#include <algorithm>
#include <stdexcept>

#include "app/command_ids_win.h"
#include "platform/win32/encoding_win.h"
#include "res/resource.h"
#include "ui/window_proc_win.h"

namespace lark {
namespace {

constexpr wchar_t kPanelClass[] = L"LarkspirePanel";
constexpr wchar_t kSplitterClass[] = L"LarkspireSplitter";
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kMaroon = RGB(128, 0, 0);

constexpr ToolButtonSpec kToolButtons[] = {
    {kCmdNew, 0, nullptr, L"New from template"},
    {kCmdSaveAs, 1, nullptr, L"Save As"},
    {kCmdPrint, 2, L"Print", L"Print selected"},
    {kCmdDelete, 3, L"Delete", L"Delete Selected"},
    {kCmdViewStyles, 4, L"View style", L"Select list style"},
    {0, 0, nullptr, nullptr},
    {kCmdHistory, 5, L"History", L"History"},
    {kCmdSearch, 7, L"Search", L"Search"},
    {kCmdShowViews, 8, L"Views", L"Views"},
};

constexpr ColumnSpec kColumns[] = {
    {L"Name", 200, false},     {L"Size", 70, true},        {L"Type", 120, false},
    {L"Modified", 115, false}, {L"Attributes", 40, false}, {L"Path", 0, false},
};

constexpr int kSideTitleHeight = 22;
constexpr int kSplitterWidth = 4;
constexpr int kDefaultSideWidth = 200;
constexpr int kProgressPanelWidth = 260;

HWND RootOf(HWND hwnd) {
    return GetAncestor(hwnd, GA_ROOT);
}

// Lays out the controls of the band and side panels; they sit inside these plain panels so
// the rebar and the form see one child each.
void LayoutPanel(HWND panel) {
    RECT rc;
    GetClientRect(panel, &rc);
    const int w = rc.right;
    const int h = rc.bottom;
    const int dpi = static_cast<int>(GetDpiForWindow(panel));
    auto S = [dpi](int px) { return MulDiv(px, dpi, 96); };
    auto Place = [panel](UINT id, int x, int y, int cx, int cy) {
        if (HWND c = GetDlgItem(panel, static_cast<int>(id)))
            SetWindowPos(c, nullptr, x, y, std::max(cx, 0), std::max(cy, 0),
                         SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int row = S(22);
    const int y = std::max(0, (h - row) / 2);
    switch (GetDlgCtrlID(panel)) {
        case kIdViewBand:
            Place(kIdViewLabel, S(2), y, S(30), row);
            Place(kIdViews2, S(34), y, w - S(36), S(22) * 30);
            break;
        case kIdOpenBand: {
            int x = S(2);
            Place(kIdOpenLabel, x, y, S(32), row);
            x += S(34);
            Place(kCmdFindFile, x, y, S(56), row);
            x += S(58);
            Place(kCmdOpenBox, x, y, S(32), row);
            x += S(36);
            Place(kIdOpenEdit, x, y, w - x - S(4), row);
            break;
        }
        case kIdSidePanel: {
            const int title = S(kSideTitleHeight);
            Place(kIdSideTitle, 0, 0, w - title, title);
            Place(kCmdCloseTreeView, w - title, 0, title, title);
            Place(kIdTree, 0, title, w, h - title);
            break;
        }
        case kIdProgressPanel:
            Place(kIdProgressLabel, S(4), 0, S(80), h);
            Place(kIdProgressBar, S(88), S(3), w - S(92), h - S(6));
            break;
        default:
            break;
    }
}

// The band and side panels only hold controls: they lay them out and pass what the controls
// report to the form, which owns every handler.
class PanelTarget final : public MessageTarget {
  public:
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
            case WM_SIZE:
                LayoutPanel(hwnd);
                return 0;
            case WM_COMMAND:
            case WM_NOTIFY:
            case WM_DRAWITEM:
            case WM_MEASUREITEM:
            case WM_CONTEXTMENU:
                return SendMessageW(RootOf(hwnd), msg, wParam, lParam);
            case WM_CTLCOLORSTATIC:
                return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
            default:
                return DefWindowProcW(hwnd, msg, wParam, lParam);
        }
    }

  private:
    static LRESULT ColorStatic(HDC dc, HWND control) {
        const int id = GetDlgCtrlID(control);
        if (id == kIdViewLabel || id == kIdOpenLabel) SetTextColor(dc, kGrey);
        if (id == kIdProgressLabel) SetTextColor(dc, kMaroon);
        if (id == kIdSideTitle) {
            SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
            SetBkColor(dc, GetSysColor(COLOR_ACTIVECAPTION));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_ACTIVECAPTION));
        }
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
};

PanelTarget gPanels;

void RegisterClasses() {
    RegisterTargetClass(kPanelClass, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RegisterTargetClass(kSplitterClass, 0, LoadCursorW(nullptr, IDC_SIZEWE),
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

HIMAGELIST LoadImageStrip(HINSTANCE res, int smallId, int largeId, int size, bool large) {
    const int px = large ? size * 2 : size;
    auto bmp = static_cast<HBITMAP>(LoadImageW(res, MAKEINTRESOURCEW(large ? largeId : smallId),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HIMAGELIST list = ImageList_Create(px, px, ILC_COLOR32, 16, 4);
    if (bmp) {
        ImageList_Add(list, bmp, nullptr);
        DeleteObject(bmp);
    }
    return list;
}

}  // namespace

std::span<const ToolButtonSpec> ToolButtonSpecs() {
    return kToolButtons;
}
std::span<const ColumnSpec> FileListColumns() {
    return kColumns;
}

MainLayout::~MainLayout() {
    // The pop-up menus are ours to free; the menu bar goes with the window, or with us when
    // the window never took it.
    for (HMENU m : {listPopup, trayPopup, viewStylePopup})
        if (m) DestroyMenu(m);
    if (mainMenu) {
        if (form && IsWindow(form) && GetMenu(form) == mainMenu) SetMenu(form, nullptr);
        DestroyMenu(mainMenu);
    }
    for (HBITMAP b : menuBitmaps_) DeleteObject(b);
    // Controls using the image lists die with the form, which the caller destroys first.
    for (HIMAGELIST l : {toolImages, viewImages, viewStyleImages, trayImages})
        if (l) ImageList_Destroy(l);
    if (font_) DeleteObject(font_);
    if (boldFont_) DeleteObject(boldFont_);
}

HWND MainLayout::Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, UINT id,
                       DWORD exStyle, MessageTarget* target) {
    HWND hwnd = CreateWindowExW(
        exStyle, cls, text, WS_CHILD | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE)), WindowParam(target));
    if (!hwnd) throw std::runtime_error("cannot create the main window's controls");
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return hwnd;
}

void MainLayout::AddHint(HWND control, const wchar_t* text) {
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = form;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void MainLayout::Create(HWND formWindow, HINSTANCE resources) {
    form = formWindow;
    // Stays above ordinary windows while shown. Done before any owned pop-up (the hint
    // window) exists: Wine then keeps the owner below its topmost pop-up instead.
    SetWindowPos(form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form, GWLP_HINSTANCE));
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_COOL_CLASSES |
                                              ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                              ICC_USEREX_CLASSES | ICC_PROGRESS_CLASS |
                                              ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterClasses();
    dpi_ = static_cast<int>(GetDpiForWindow(form));
    if (dpi_ <= 0) dpi_ = 96;
    sideWidth = Scale(kDefaultSideWidth);

    NONCLIENTMETRICSW ncm{};

    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    ncm.lfMessageFont.lfHeight =
        MulDiv(ncm.lfMessageFont.lfHeight, dpi_, static_cast<int>(GetDpiForSystem()));
    font_ = CreateFontIndirectW(&ncm.lfMessageFont);
    ncm.lfMessageFont.lfWeight = FW_BOLD;
    boldFont_ = CreateFontIndirectW(&ncm.lfMessageFont);

    toolTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form,
                               nullptr, instance, nullptr);

    CreateImages(resources);
    CreateBands(resources);
    CreateBody();
    CreateStatus();
    CreateMenus();

    SetWindowContextHelpId(form, 10);
    if (HICON big = static_cast<HICON>(LoadImageW(resources, MAKEINTRESOURCEW(IDI_LARKSPIRE),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                  GetSystemMetrics(SM_CYICON), LR_SHARED)))
        SendMessageW(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = static_cast<HICON>(LoadImageW(resources, MAKEINTRESOURCEW(IDI_LARKSPIRE),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), LR_SHARED)))
        SendMessageW(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    Layout();
    SetFocus(listView);
}

void MainLayout::CreateImages(HINSTANCE res) {
    const bool large = dpi_ >= 144;
    toolImages = LoadImageStrip(res, IDB_TOOLBAR16, IDB_TOOLBAR32, 16, large);
    viewImages = LoadImageStrip(res, IDB_VIEWS20, IDB_VIEWS40, 20, large);
    viewStyleImages = LoadImageStrip(res, IDB_VIEWSTYLES16, IDB_VIEWSTYLES32, 16, large);
    const int icon = large ? 32 : 16;
    trayImages = ImageList_Create(icon, icon, ILC_COLOR32 | ILC_MASK, 3, 0);
    for (int id : {IDI_TRAY_IDLE, IDI_TRAY_BUILDING, IDI_TRAY_PENDING}) {
        auto h =
            static_cast<HICON>(LoadImageW(res, MAKEINTRESOURCEW(id), IMAGE_ICON, icon, icon, 0));
        if (h) {
            ImageList_AddIcon(trayImages, h);
            DestroyIcon(h);
        }
    }
}

void MainLayout::CreateBands(HINSTANCE) {
    reBar = Child(form, REBARCLASSNAMEW, nullptr,
                  WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS |
                      RBS_AUTOSIZE | CCS_NODIVIDER | CCS_TOP,
                  kIdReBar);

    toolBar = Child(reBar, TOOLBARCLASSNAMEW, nullptr,
                    WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                        CCS_NODIVIDER | CCS_NOPARENTALIGN,
                    kIdToolBar);
    SendMessageW(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Button clicks and drop-downs go straight to the form, not through the band bar.
    SendMessageW(toolBar, TB_SETPARENT, reinterpret_cast<WPARAM>(form), 0);
    SendMessageW(toolBar, TB_SETEXTENDEDSTYLE, 0,
                 TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_DRAWDDARROWS);
    SendMessageW(toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolImages));
    std::vector<TBBUTTON> buttons;
    for (const ToolButtonSpec& b : kToolButtons) {
        TBBUTTON t{};
        if (b.command == 0) {
            t.fsStyle = BTNS_SEP;
            t.iBitmap = Scale(6);
        } else {
            t.iBitmap = b.image;
            t.idCommand = static_cast<int>(b.command);
            t.fsState = TBSTATE_ENABLED;
            t.fsStyle = BTNS_AUTOSIZE | (b.caption ? BTNS_SHOWTEXT : 0) |
                        (b.command == kCmdViewStyles ? BTNS_DROPDOWN : 0);
            // With mixed buttons the text of a picture-only button is its tooltip.
            t.iString = reinterpret_cast<INT_PTR>(b.caption ? b.caption : b.hint);
        }
        buttons.push_back(t);
    }
    SendMessageW(toolBar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scale(31), Scale(33)));
    SendMessageW(toolBar, TB_AUTOSIZE, 0, 0);
    SIZE toolSize{};
    SendMessageW(toolBar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&toolSize));

    viewBand =
        Child(reBar, kPanelClass, nullptr, WS_VISIBLE | WS_CLIPCHILDREN, kIdViewBand, 0, &gPanels);
    viewLabel =
        Child(viewBand, WC_STATICW, L"View", WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, kIdViewLabel);
    coViews2 = Child(viewBand, WC_COMBOBOXEXW, nullptr,
                     WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kIdViews2);
    SendMessageW(coViews2, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(viewImages));
    SendMessageW(coViews2, CB_SETMINVISIBLE, 30, 0);

    openBand =
        Child(reBar, kPanelClass, nullptr, WS_VISIBLE | WS_CLIPCHILDREN, kIdOpenBand, 0, &gPanels);
    openLabel =
        Child(openBand, WC_STATICW, L"Open", WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, kIdOpenLabel);
    buFindFile =
        Child(openBand, WC_BUTTONW, L"Browse", WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, kCmdFindFile);
    buOpen = Child(openBand, WC_BUTTONW, L"Go", WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, kCmdOpenBox);
    edOpen = Child(openBand, WC_EDITW, nullptr, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                   kIdOpenEdit, WS_EX_CLIENTEDGE);
    AddHint(buFindFile, L"Open any file");
    AddHint(edOpen, L"Lists selected files, or type in filename or web address to open");

    auto addBand = [this](HWND child, int minHeight, int width, bool newRow) {
        REBARBANDINFOW band{};
        band.cbSize = sizeof(band);
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE;
        band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | (newRow ? RBBS_BREAK : 0);
        band.hwndChild = child;
        band.cxMinChild = 0;
        band.cyMinChild = static_cast<UINT>(Scale(minHeight));
        band.cx = static_cast<UINT>(width);
        SendMessageW(reBar, RB_INSERTBANDW, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&band));
    };
    addBand(toolBar, 33, toolSize.cx + Scale(16), false);
    addBand(viewBand, 31, Scale(260), false);
    addBand(openBand, 32, Scale(600), true);
    // The tool bar band keeps its buttons whole.
    REBARBANDINFOW band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILDSIZE;
    band.cxMinChild = static_cast<UINT>(toolSize.cx);
    band.cyMinChild = static_cast<UINT>(std::max<LONG>(Scale(33), toolSize.cy));
    SendMessageW(reBar, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
}

void MainLayout::CreateBody() {
    sidePanel = Child(form, kPanelClass, nullptr, WS_CLIPCHILDREN, kIdSidePanel, 0, &gPanels);
    sideTitle =
        Child(sidePanel, WC_STATICW, nullptr, WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, kIdSideTitle);
    SendMessageW(sideTitle, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
    buCloseTreeview = Child(sidePanel, WC_BUTTONW, L"\u00D7", WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT,
                            kCmdCloseTreeView);
    AddHint(buCloseTreeview, L"Close");
    tv = Child(sidePanel, WC_TREEVIEWW, nullptr,
               WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                   TVS_SHOWSELALWAYS,
               kIdTree, WS_EX_CLIENTEDGE);
    SendMessageW(tv, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(viewImages));
    SendMessageW(tv, TVM_SETINDENT, static_cast<WPARAM>(Scale(27)), 0);

    splitter = Child(form, kSplitterClass, nullptr, 0, kIdSplitter, 0, this);

    listView = Child(
        form, WC_LISTVIEWW, nullptr,
        WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHAREIMAGELISTS | LVS_EDITLABELS,
        kIdListView, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(listView, LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    int index = 0;
    for (const ColumnSpec& c : kColumns) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = c.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = Scale(c.width > 0 ? c.width : 100);
        col.pszText = const_cast<wchar_t*>(c.caption);
        col.iSubItem = index;
        ListView_InsertColumn(listView, index, &col);
        ++index;
    }

    coViews = Child(form, WC_COMBOBOXW, nullptr, WS_VSCROLL | CBS_DROPDOWNLIST, kIdViews);
    SendMessageW(coViews, CB_SETMINVISIBLE, 20, 0);
}

void MainLayout::CreateStatus() {
    statusBar = Child(form, STATUSCLASSNAMEW, nullptr, WS_VISIBLE | SBARS_SIZEGRIP, kIdStatusBar);
    progressPanel =
        Child(statusBar, kPanelClass, nullptr, WS_CLIPCHILDREN, kIdProgressPanel, 0, &gPanels);
    progressLabel = Child(progressPanel, WC_STATICW, L"Searching...",
                          WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, kIdProgressLabel);
    progressBar =
        Child(progressPanel, PROGRESS_CLASSW, nullptr, WS_VISIBLE | PBS_SMOOTH, kIdProgressBar);
    SendMessageW(progressBar, PBM_SETRANGE32, 0, 100);
}

void MainLayout::FormDestroyed() {
    mainMenu = nullptr;
    fileMenu = nullptr;
    viewMenu = nullptr;
}

void MainLayout::Layout() {
    if (!form || !reBar) return;
    RECT rc;
    GetClientRect(form, &rc);
    SendMessageW(reBar, WM_SIZE, 0, 0);
    SendMessageW(statusBar, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(reBar, &bar);
    const int top = bar.bottom - bar.top;
    RECT status;
    GetWindowRect(statusBar, &status);
    const int statusHeight = status.bottom - status.top;
    const int bodyHeight = std::max<int>(0, rc.bottom - top - statusHeight);

    int x = 0;
    if (sideVisible_) {
        const int width = std::min<int>(sideWidth, std::max<int>(0, rc.right - Scale(80)));
        SetWindowPos(sidePanel, nullptr, 0, top, width, bodyHeight, SWP_NOZORDER);
        SetWindowPos(splitter, nullptr, width, top, Scale(kSplitterWidth), bodyHeight,
                     SWP_NOZORDER);
        x = width + Scale(kSplitterWidth);
    }
    SetWindowPos(listView, nullptr, x, top, std::max<int>(0, rc.right - x), bodyHeight,
                 SWP_NOZORDER);

    // The last column takes whatever width the others leave.
    RECT lc;
    GetClientRect(listView, &lc);
    int used = 0;
    const int last = static_cast<int>(std::size(kColumns)) - 1;
    for (int i = 0; i < last; ++i) used += ListView_GetColumnWidth(listView, i);
    ListView_SetColumnWidth(listView, last, std::max(Scale(60), static_cast<int>(lc.right) - used));

    RECT sc;
    GetClientRect(statusBar, &sc);
    const int pw = Scale(kProgressPanelWidth);
    SetWindowPos(progressPanel, nullptr, std::max<int>(0, sc.right - pw - Scale(20)), Scale(1), pw,
                 std::max<int>(0, sc.bottom - Scale(2)), SWP_NOZORDER);
}

bool MainLayout::HandleNotify(const NMHDR* hdr, LRESULT& result) {
    if (hdr->hwndFrom == toolBar && hdr->code == TBN_DROPDOWN) {
        auto* nm = reinterpret_cast<const NMTOOLBARW*>(hdr);
        if (static_cast<UINT>(nm->iItem) != kCmdViewStyles) return false;
        RECT r;
        SendMessageW(toolBar, TB_GETRECT, kCmdViewStyles, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(toolBar, nullptr, reinterpret_cast<POINT*>(&r), 2);
        TrackPopupMenu(viewStylePopup, TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, form,
                       nullptr);
        result = TBDDRET_DEFAULT;
        return true;
    }
    if (hdr->hwndFrom == toolBar && hdr->code == TBN_GETINFOTIPW) {
        auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(const_cast<NMHDR*>(hdr));
        for (const ToolButtonSpec& b : kToolButtons) {
            if (b.command != 0 && static_cast<int>(b.command) == tip->iItem) {
                lstrcpynW(tip->pszText, b.hint, tip->cchTextMax);
                result = 0;
                return true;
            }
        }
    }
    return false;
}

void MainLayout::PopTrayMenuBesideWindow() const {
    RECT r;
    GetWindowRect(form, &r);
    TrackPopupMenu(trayPopup, TPM_LEFTALIGN | TPM_TOPALIGN, r.left + 4, r.top + 50, 0, form,
                   nullptr);
}

void MainLayout::PopListMenu(POINT screen) const {
    TrackPopupMenu(listPopup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                   form, nullptr);
}

void MainLayout::SetSideMode(SideMode mode) {
    sideMode_ = mode;
    // Radio items: checking one unchecks the other, and None unchecks both.
    CheckMenuItem(mainMenu, kCmdShowViews,
                  MF_BYCOMMAND | (mode == SideMode::Views ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(mainMenu, kCmdHistory,
                  MF_BYCOMMAND | (mode == SideMode::History ? MF_CHECKED : MF_UNCHECKED));
    SendMessageW(toolBar, TB_CHECKBUTTON, kCmdShowViews, MAKELPARAM(mode == SideMode::Views, 0));
    SendMessageW(toolBar, TB_CHECKBUTTON, kCmdHistory, MAKELPARAM(mode == SideMode::History, 0));
}

void MainLayout::ShowSidePanel(bool show) {
    sideVisible_ = show;
    ShowWindow(sidePanel, show ? SW_SHOW : SW_HIDE);
    ShowWindow(splitter, show ? SW_SHOW : SW_HIDE);
    Layout();
}

void MainLayout::SetSideTitle(std::string_view title) {
    SetWindowTextW(sideTitle, (L" " + Widen(title)).c_str());
}

void MainLayout::SetViewBandVisible(bool visible) {
    viewBandVisible_ = visible;
    SendMessageW(reBar, RB_SHOWBAND, 1, visible ? TRUE : FALSE);
    Layout();
}

void MainLayout::ShowProgress(bool show) {
    progressVisible_ = show;
    ShowWindow(progressPanel, show ? SW_SHOW : SW_HIDE);
}

void MainLayout::SetProgress(int percent) {
    SendMessageW(progressBar, PBM_SETPOS, static_cast<WPARAM>(std::clamp(percent, 0, 100)), 0);
}

void MainLayout::SetStatusText(std::string_view text) {
    SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void MainLayout::SetViewStyleChecked(int style) {
    if (style < 0 || style > 3) return;
    CheckMenuRadioItem(viewStylePopup, kCmdViewStyleLargeIcons, kCmdViewStyleDetails,
                       kCmdViewStyleLargeIcons + static_cast<UINT>(style), MF_BYCOMMAND);
}

void MainLayout::EnableCommand(UINT command, bool enabled) {
    const UINT flag = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    for (HMENU m : {mainMenu, listPopup, trayPopup, viewStylePopup})
        if (m) EnableMenuItem(m, command, flag);
    SendMessageW(toolBar, TB_ENABLEBUTTON, command, MAKELPARAM(enabled ? TRUE : FALSE, 0));
    if (command == kCmdFindFile) EnableWindow(buFindFile, enabled);
    if (command == kCmdOpenBox) EnableWindow(buOpen, enabled);
    if (command == kCmdCloseTreeView) EnableWindow(buCloseTreeview, enabled);
}

bool MainLayout::CommandEnabled(UINT command) const {
    switch (command) {
        case kCmdFindFile:
            return IsWindowEnabled(buFindFile) != FALSE;
        case kCmdOpenBox:
            return IsWindowEnabled(buOpen) != FALSE;
        case kCmdCloseTreeView:
            return IsWindowEnabled(buCloseTreeview) != FALSE;
        default:
            break;
    }
    LRESULT state = SendMessageW(toolBar, TB_GETSTATE, command, 0);
    if (state != -1) return (state & TBSTATE_ENABLED) != 0;
    for (HMENU m : {mainMenu, listPopup, trayPopup, viewStylePopup}) {
        UINT s = GetMenuState(m, command, MF_BYCOMMAND);
        if (s != static_cast<UINT>(-1)) return (s & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    return false;
}

bool MainLayout::CommandAvailable(UINT command) const {
    return !availabilityApplied_ ||
           std::find(available_.begin(), available_.end(), command) != available_.end();
}

void MainLayout::ApplyCommandAvailability(std::span<const UINT> available) {
    available_.assign(available.begin(), available.end());
    availabilityApplied_ = true;
    for (UINT id = kCmdProperties; id <= kCmdViewStyleDetails; ++id) {
        bool on = std::find(available.begin(), available.end(), id) != available.end();
        EnableCommand(id, on);
    }
    DrawMenuBar(form);
}

// The splitter: dragging it sets the side panel's width.
LRESULT MainLayout::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            SetCapture(hwnd);
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            return 0;
        case WM_MOUSEMOVE:
            if (GetCapture() == hwnd) {
                POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                MapWindowPoints(hwnd, form, &pt, 1);
                RECT rc;
                GetClientRect(form, &rc);
                sideWidth = std::clamp(static_cast<int>(pt.x), Scale(40),
                                       std::max<int>(Scale(40), rc.right - Scale(80)));
                Layout();
            }
            return 0;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

HICON MainLayout::MakeTrayIcon(int index) const {
    return ImageList_GetIcon(trayImages, index, ILD_TRANSPARENT);
}

bool PreviewWindowKey(HWND mainWindow, const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (!mainWindow || msg.hwnd == mainWindow || !IsChild(mainWindow, msg.hwnd)) return false;
    return SendMessageW(mainWindow, kWmPreviewKeyDown, msg.wParam, msg.lParam) != 0;
}

}  // namespace lark
