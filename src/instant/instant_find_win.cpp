#include "instant/instant_find_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

#include "base/date_time.h"
#include "base/path_list.h"
#include "base/text.h"
#include "config/context.h"
#include "platform/win32/encoding_win.h"
#include "res/instant_ids.h"
#include "ui/message_pump_win.h"
#include "views/file_list.h"
#include "views/file_list_win.h"
#include "views/launch.h"

namespace lark {

namespace {

// The search thread's answers, posted to the window with their payload.
constexpr UINT kFirstRowsMessage = WM_APP + 40;
constexpr UINT kAllRowsMessage = WM_APP + 41;
constexpr int kHotkeyId = 0x4C4B;  // "LK"
// About a screenful: what the list shows before the walk has ended.
constexpr size_t kFirstCount = 64;
constexpr UINT_PTR kEditSubclassId = 1;

enum InstantColumn { kInstantName, kInstantFolder, kInstantSize, kInstantModified };

struct AllRows {
    uint64_t id;
    std::unique_ptr<SearchResults> results;
};

int64_t PerformanceNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double PerformanceMs(int64_t from, int64_t to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to - from) * 1000.0 / double(frequency.QuadPart);
}

UINT HotkeyModifiers(const Hotkey& h) {
    return (h.ctrl ? MOD_CONTROL : 0) | (h.alt ? MOD_ALT : 0) | (h.shift ? MOD_SHIFT : 0) |
           (h.win ? MOD_WIN : 0) | MOD_NOREPEAT;
}

std::string GroupedCount(size_t count) {
    const std::string digits = std::to_string(count);
    const std::string separator = Win32FileListLocale().thousandsSeparator;
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

std::string_view NameOf(std::string_view path) {
    const size_t slash = path.find_last_of("\\:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderOf(std::string_view path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

}  // namespace

TfmInstantFind::TfmInstantFind(AppContext& ctx, InstantFindHost& host)
    : TMyForm(ctx.registry, "fmInstantFind"), ctx_(ctx), host_(host) {}

TfmInstantFind::~TfmInstantFind() {
    // The search thread ends first: nothing is posted to a window that has gone.
    searcher_.reset();
    if (hwnd_) {
        if (registered_) UnregisterHotKey(hwnd_, kHotkeyId);
        RemoveModelessDialog(hwnd_);
        DetachTarget(hwnd_);
        DestroyWindow(hwnd_);
    }
}

void TfmInstantFind::Create(HWND owner, HINSTANCE resources) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    searcher_ = std::make_unique<InstantSearcher>(ctx_.fs, ctx_.clock, *this, kFirstCount);
    CreateDialogParamW(resources, MAKEINTRESOURCEW(IDD_INSTANT_FIND), owner, SharedDialogProc,
                       DialogParam(this));
    if (!hwnd_) throw std::runtime_error("The Instant Find window cannot be created.");
    AddModelessDialog(hwnd_);
}

void TfmInstantFind::FormCreate() {
    edit_ = GetDlgItem(hwnd_, IDC_INSTANT_ED_FIND);
    list_ = GetDlgItem(hwnd_, IDC_INSTANT_LV_RESULTS);
    SendMessageW(edit_, EM_SETCUEBANNER, TRUE,
                 LPARAM(L"Type part of a name; a \\ searches whole paths"));
    SetWindowSubclass(edit_, EditProc, kEditSubclassId, DWORD_PTR(this));
    ListView_SetExtendedListViewStyle(list_,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    struct ColumnSpec {
        const wchar_t* title;
        int width;
        int format;
    };
    static constexpr ColumnSpec kColumns[] = {{L"Name", 170, LVCFMT_LEFT},
                                              {L"Folder", 200, LVCFMT_LEFT},
                                              {L"Size", 60, LVCFMT_RIGHT},
                                              {L"Modified", 125, LVCFMT_LEFT}};
    const int dpi = int(GetDpiForWindow(hwnd_));
    for (int i = 0; i < int(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i].title);
        column.cx = MulDiv(kColumns[i].width, dpi, 96);
        column.fmt = kColumns[i].format;
        column.iSubItem = i;
        ListView_InsertColumn(list_, i, &column);
    }
    // The shell's own small icons, shared with every program: never destroyed here.
    SHFILEINFOW info{};
    auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    SetWindowLongPtrW(list_, GWL_STYLE, GetWindowLongPtrW(list_, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    if (icons) ListView_SetImageList(list_, icons, LVSIL_SMALL);
    ShowStatus();
    // Until the user places it, the window stands centred in the upper part of the screen,
    // where the eye goes after pressing the hotkey.
    RECT work{}, window{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top) / 5, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RestorePlacement(hwnd_);
    Layout();
}

bool TfmInstantFind::SetHotkey(const Hotkey& hotkey) {
    if (registered_ && hotkey == hotkey_) return true;
    if (registered_) UnregisterHotKey(hwnd_, kHotkeyId);
    if (hotkey.None()) {
        hotkey_ = hotkey;
        registered_ = false;
        return true;
    }
    if (RegisterHotKey(hwnd_, kHotkeyId, HotkeyModifiers(hotkey), hotkey.key)) {
        hotkey_ = hotkey;
        registered_ = true;
        return true;
    }
    // Taken by another program: the one before stays in force.
    if (registered_)
        registered_ = RegisterHotKey(hwnd_, kHotkeyId, HotkeyModifiers(hotkey_), hotkey_.key) != 0;
    else
        hotkey_ = hotkey;
    return false;
}

void TfmInstantFind::ShowInstantFind() {
    if (!IsWindowVisible(hwnd_)) ShowForm();
    SetForegroundWindow(hwnd_);
    SetFocus(edit_);
    SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void TfmInstantFind::HideInstantFind() {
    HideForm();
}

size_t TfmInstantFind::RowCount() const {
    if (results_) return results_->size();
    return firstRows_ ? firstRows_->paths.size() : 0;
}

std::string TfmInstantFind::RowPath(size_t row) const {
    if (results_) return row < results_->size() ? results_->Path(row) : std::string();
    if (firstRows_ && row < firstRows_->paths.size()) return firstRows_->paths[row];
    return {};
}

bool TfmInstantFind::RowIsFolder(size_t row) const {
    if (results_) return row < results_->size() && results_->IsFolderAt(row);
    return firstRows_ && row < firstRows_->folders.size() && firstRows_->folders[row];
}

void TfmInstantFind::FirstResults(InstantRows rows) {
    auto* payload = new InstantRows(std::move(rows));
    if (!PostMessageW(hwnd_, kFirstRowsMessage, 0, LPARAM(payload))) delete payload;
}

void TfmInstantFind::Finished(uint64_t id, std::unique_ptr<SearchResults> results) {
    auto* payload = new AllRows{id, std::move(results)};
    if (!PostMessageW(hwnd_, kAllRowsMessage, 0, LPARAM(payload))) delete payload;
}

void TfmInstantFind::edFindChange() {
    std::wstring wide(size_t(GetWindowTextLengthW(edit_)) + 1, L'\0');
    wide.resize(size_t(GetWindowTextW(edit_, wide.data(), int(wide.size()))));
    const std::string text = Narrow(wide);
    searchKeyAt_ = keyAt_ ? keyAt_ : PerformanceNow();
    keyAt_ = 0;
    ++currentId_;
    query_ = InstantQueryFor(text);
    firstRows_.reset();
    results_.reset();
    awaitingPaint_ = 0;
    noIndex_ = false;
    refreshing_ = false;
    searching_ = false;
    if (Trim(text).empty()) {
        searcher_->Stop();
    } else {
        ResidentIndex::Snapshot index = host_.IndexSnapshot();
        refreshing_ = index.refreshing;
        noIndex_ = !index.text;
        if (index.text) {
            searcher_->Search({currentId_, text, std::move(index.text)});
            searching_ = true;
        } else {
            searcher_->Stop();
        }
    }
    SetRows(0);
    ShowStatus();
}

void TfmInstantFind::ShowFirstRows(std::unique_ptr<InstantRows> rows) {
    if (rows->id != currentId_ || results_) return;
    firstRows_ = std::move(rows);
    SetRows(firstRows_->paths.size());
    awaitingPaint_ = currentId_;
    ShowStatus();
}

void TfmInstantFind::ShowAllRows(uint64_t id, std::unique_ptr<SearchResults> results) {
    if (id != currentId_) return;
    const bool firstShown = firstRows_ && !firstRows_->paths.empty();
    results_ = std::move(results);
    firstRows_.reset();
    searching_ = false;
    if (!firstShown) awaitingPaint_ = currentId_;
    SetRows(results_->size());
    EnableWindow(GetDlgItem(hwnd_, IDC_INSTANT_BU_LAST_SEARCH), !results_->empty());
    ShowStatus();
}

void TfmInstantFind::SetRows(size_t count) {
    details_.clear();
    const int selected = SelectedRow();
    ListView_SetItemCountEx(list_, int(std::min<size_t>(count, INT32_MAX)), LVSICF_NOSCROLL);
    // The first row is chosen, so Enter opens the best guess at once; a row chosen while the
    // first rows were shown stays chosen.
    if (count > 0) {
        const int row = selected >= 0 && size_t(selected) < count ? selected : 0;
        ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        if (selected < 0) ListView_EnsureVisible(list_, 0, FALSE);
    }
    if (count == 0) EnableWindow(GetDlgItem(hwnd_, IDC_INSTANT_BU_LAST_SEARCH), FALSE);
    InvalidateRect(list_, nullptr, FALSE);
}

void TfmInstantFind::ShowStatus() {
    std::string text;
    if (noIndex_) {
        text = "There is no index yet: Larkspire is still building it.";
    } else if (query_.keywords.empty() || Trim(query_.keywords).empty()) {
        text = "Enter: open   Ctrl+Enter: open its folder   Esc: close";
    } else if (searching_) {
        text = firstRows_ ? GroupedCount(firstRows_->paths.size()) + "+ found, searching..."
                          : "Searching...";
    } else if (results_) {
        const size_t n = results_->size();
        text =
            n == 0 ? "Nothing found" : GroupedCount(n) + (n == 1 ? " item found" : " items found");
        if (query_.fullPath) text += " (whole paths)";
    }
    if (refreshing_) text += "  -  the index is being refreshed; these are the results of before";
    SetDlgItemTextW(hwnd_, IDC_INSTANT_ST_STATUS, Widen(text).c_str());
}

int TfmInstantFind::SelectedRow() const {
    return int(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void TfmInstantFind::MoveSelection(int by) {
    const int count = int(std::min<size_t>(RowCount(), INT32_MAX));
    if (count == 0) return;
    const int from = SelectedRow();
    const int to = std::clamp(from < 0 ? (by > 0 ? 0 : count - 1) : from + by, 0, count - 1);
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list_, to, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, to, FALSE);
}

void TfmInstantFind::OpenSelected(bool folder) {
    if (RowCount() == 0) return;
    const int row = std::max(SelectedRow(), 0);
    const std::string path = RowPath(size_t(row));
    if (path.empty()) return;
    host_.Launch(folder ? kVerbOpenPath : kVerbOpen, path);
}

void TfmInstantFind::buLastSearchClick() {
    if (!results_ || results_->empty()) return;
    HideInstantFind();
    host_.ShowAsLastSearch(*results_, query_);
}

const TfmInstantFind::Details& TfmInstantFind::DetailsOf(size_t row) {
    auto found = details_.find(row);
    if (found != details_.end()) return found->second;
    // Only the rows the list is about to show are asked for, a screenful at a time.
    if (details_.size() > 4096) details_.clear();
    Details& d = details_[row];
    const std::string path = RowPath(row);
    const bool folder = RowIsFolder(row);
    if (std::optional<FileInfo> info = ctx_.fs.Stat(path)) {
        if (!folder && !info->IsFolder())
            d.size = Widen(
                SizeCellText(int32_t(std::min<uint64_t>((info->size + 1023) / 1024, INT32_MAX)),
                             Win32FileListLocale()));
        if (info->writeTimeLocal != 0)
            d.modified = Widen(
                ModifiedCellText(FileTimeToDateTime(info->writeTimeLocal), Win32FileListLocale()));
    }
    d.icon = IconOf(path, folder);
    return d;
}

int TfmInstantFind::IconOf(const std::string& path, bool folder) {
    // By type, never by the file itself: the disk is not touched for a picture.
    std::string type(folder ? "\\" : ".");
    if (!folder) type.append(FileExtensionOf(path));
    auto found = iconsByType_.find(type);
    if (found != iconsByType_.end()) return found->second;
    SHFILEINFOW info{};
    const std::wstring probe = folder ? std::wstring(L"folder") : L"file" + Widen(type);
    SHGetFileInfoW(probe.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info,
                   sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    iconsByType_[type] = info.iIcon;
    return info.iIcon;
}

void TfmInstantFind::RowData(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (item.iItem < 0 || size_t(item.iItem) >= RowCount()) return;
    const size_t row = size_t(item.iItem);
    if (item.mask & LVIF_TEXT) {
        switch (item.iSubItem) {
            case kInstantName: {
                const std::string path = RowPath(row);
                cellText_ = Widen(NameOf(path));
                break;
            }
            case kInstantFolder: {
                const std::string path = RowPath(row);
                cellText_ = Widen(FolderOf(path));
                break;
            }
            case kInstantSize:
                cellText_ = DetailsOf(row).size;
                break;
            case kInstantModified:
                cellText_ = DetailsOf(row).modified;
                break;
            default:
                cellText_.clear();
        }
        item.pszText = cellText_.data();
    }
    if (item.mask & LVIF_IMAGE) item.iImage = DetailsOf(row).icon;
}

LRESULT TfmInstantFind::ListCustomDraw(const NMLVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
    if (draw.nmcd.dwDrawStage == CDDS_POSTPAINT && awaitingPaint_ != 0 &&
        awaitingPaint_ == currentId_) {
        keystrokeToPaintMs_ = PerformanceMs(searchKeyAt_, PerformanceNow());
        awaitingPaint_ = 0;
    }
    return CDRF_DODEFAULT;
}

void TfmInstantFind::Layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    RECT unit{0, 0, 4, 8};
    MapDialogRect(hwnd_, &unit);
    const int margin = unit.right, line = unit.bottom;  // 4 and 8 dialog units
    const int width = client.right - 2 * margin;
    const int editHeight = MulDiv(14, line, 8), buttonHeight = MulDiv(14, line, 8);
    const int buttonWidth = MulDiv(80, margin, 4);
    HWND status = GetDlgItem(hwnd_, IDC_INSTANT_ST_STATUS);
    HWND button = GetDlgItem(hwnd_, IDC_INSTANT_BU_LAST_SEARCH);
    const int bottom = client.bottom - margin;
    HDWP moves = BeginDeferWindowPos(4);
    moves = DeferWindowPos(moves, edit_, nullptr, margin, margin, width, editHeight,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    const int listTop = margin + editHeight + margin;
    const int listBottom = bottom - buttonHeight - margin;
    moves = DeferWindowPos(moves, list_, nullptr, margin, listTop, width,
                           std::max(0, listBottom - listTop), SWP_NOZORDER | SWP_NOACTIVATE);
    moves = DeferWindowPos(moves, button, nullptr, client.right - margin - buttonWidth,
                           bottom - buttonHeight, buttonWidth, buttonHeight,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    moves = DeferWindowPos(
        moves, status, nullptr, margin, bottom - buttonHeight + (buttonHeight - line) / 2,
        std::max(0, width - buttonWidth - margin), line, SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(moves);
    // The folder column takes what the others leave, so the list never scrolls sideways
    // until the user widens a column.
    RECT inside{};
    GetClientRect(list_, &inside);
    int others = 0;
    for (int column : {kInstantName, kInstantSize, kInstantModified})
        others += ListView_GetColumnWidth(list_, column);
    const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    ListView_SetColumnWidth(list_, kInstantFolder,
                            std::max(MulDiv(80, margin, 4), int(inside.right) - others - scrollBar));
}

LRESULT CALLBACK TfmInstantFind::EditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    auto* form = reinterpret_cast<TfmInstantFind*>(self);
    switch (msg) {
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_UP:
                    form->MoveSelection(-1);
                    return 0;
                case VK_DOWN:
                    form->MoveSelection(1);
                    return 0;
                case VK_PRIOR:
                case VK_NEXT: {
                    const int page = std::max(1, int(ListView_GetCountPerPage(form->list_)) - 1);
                    form->MoveSelection(wParam == VK_PRIOR ? -page : page);
                    return 0;
                }
                case VK_BACK:
                case VK_DELETE:
                    form->keyAt_ = PerformanceNow();
                    break;
                default:
                    break;
            }
            break;
        case WM_CHAR:
            form->keyAt_ = PerformanceNow();
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(edit, EditProc, kEditSubclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(edit, msg, wParam, lParam);
}

LRESULT TfmInstantFind::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            hwnd_ = hwnd;
            FormCreate();
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_INSTANT_ED_FIND:
                    if (HIWORD(wParam) == EN_CHANGE) edFindChange();
                    return TRUE;
                case IDOK:
                    OpenSelected(GetKeyState(VK_CONTROL) < 0);
                    return TRUE;
                case IDCANCEL:
                    HideInstantFind();
                    return TRUE;
                case IDC_INSTANT_BU_LAST_SEARCH:
                    if (HIWORD(wParam) == BN_CLICKED) buLastSearchClick();
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom != list_) return FALSE;
            switch (header->code) {
                case LVN_GETDISPINFOW:
                    RowData(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
                    return TRUE;
                case NM_DBLCLK:
                    OpenSelected(GetKeyState(VK_CONTROL) < 0);
                    return TRUE;
                case NM_CUSTOMDRAW:
                    return SetDialogResult(
                        hwnd, ListCustomDraw(*reinterpret_cast<const NMLVCUSTOMDRAW*>(lParam)));
                default:
                    return FALSE;
            }
        }
        case kFirstRowsMessage:
            ShowFirstRows(std::unique_ptr<InstantRows>(reinterpret_cast<InstantRows*>(lParam)));
            return TRUE;
        case kAllRowsMessage: {
            std::unique_ptr<AllRows> all(reinterpret_cast<AllRows*>(lParam));
            ShowAllRows(all->id, std::move(all->results));
            return TRUE;
        }
        case WM_HOTKEY:
            if (wParam == WPARAM(kHotkeyId)) {
                // The key pressed again while the window is in front puts it away.
                if (IsWindowVisible(hwnd_) && GetForegroundWindow() == hwnd_)
                    HideInstantFind();
                else
                    ShowInstantFind();
            }
            return TRUE;
        case WM_SIZE:
            Layout();
            return FALSE;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            const int dpi = int(GetDpiForWindow(hwnd));
            limits->ptMinTrackSize.x = MulDiv(320, dpi, 96);
            limits->ptMinTrackSize.y = MulDiv(160, dpi, 96);
            return TRUE;
        }
        case WM_CLOSE:
            HideInstantFind();
            return TRUE;
        case WM_DESTROY:
            // Torn down with its owner, the main window, at the end of the run.
            StorePlacement();
            RemoveModelessDialog(hwnd_);
            registered_ = false;
            return FALSE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace lark
