#include "replace/replace_window_win.h"

#include <algorithm>

#include "platform/win32/encoding_win.h"
#include "replace/replace_files_win.h"
#include "res/replace_ids.h"
#include "ui/message_pump_win.h"

namespace lark {

namespace {

// The design size and the smallest size the window takes, in pixels at 100 %.
constexpr int kDesignWidth = 639;
constexpr int kDesignHeight = 467;
constexpr int kMinWidth = 448;
constexpr int kMinHeight = 451;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
constexpr int kGlyph = 16;

}  // namespace

TfmReplace::TfmReplace(Registry& registry, HINSTANCE resources)
    : TMyForm(registry, "fmReplace"), resources_(resources) {}

TfmReplace::~TfmReplace() {
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND TfmReplace::Create(HWND owner) {
    if (hwnd_) return hwnd_;
    CreateDialogParamW(resources_, MAKEINTRESOURCEW(IDD_REPLACE), owner, SharedDialogProc,
                       DialogParam(this));
    return hwnd_;
}

int TfmReplace::Scaled(int pixels) const {
    return MulDiv(pixels, int(hwnd_ ? GetDpiForWindow(hwnd_) : GetDpiForSystem()), 96);
}

LRESULT TfmReplace::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            FormCreate(hwnd);
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_REPLACE_BTN_STOP:  // the button, and Esc
                    btnStopClick();
                    return TRUE;
                case IDC_REPLACE_BITBTN1:
                    if (HIWORD(wParam) == BN_CLICKED) BitBtn1Click();
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_SYSCOMMAND:
            // The title bar's close button and Alt+F4 close like Close and leave the run
            // going; Esc, which a multi-line memo turns into WM_CLOSE, stays Stop.
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                BitBtn1Click();
                return TRUE;
            }
            return FALSE;
        case WM_SIZE:
            FormResize();
            return FALSE;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {Scaled(kMinWidth), Scaled(kMinHeight)};
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            // A read-only memo would be grey; the lines read better on the window colour.
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(hwnd, IDC_REPLACE_TXT_STATUS)) {
                auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            return FALSE;
        case WM_DESTROY:
            RemoveModelessDialog(hwnd);
            StorePlacement();
            return FALSE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void TfmReplace::FormCreate(HWND hwnd) {
    hwnd_ = hwnd;
    HWND memo = GetDlgItem(hwnd, IDC_REPLACE_TXT_STATUS);
    // A long run reports far more than an edit box takes by default.
    SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);
    const int glyph = Scaled(kGlyph);
    stopGlyph_.Reset(static_cast<HICON>(
        LoadImageW(resources_, MAKEINTRESOURCEW(IDI_REPLACE_STOP), IMAGE_ICON, glyph, glyph, 0)));
    closeGlyph_.Reset(static_cast<HICON>(
        LoadImageW(resources_, MAKEINTRESOURCEW(IDI_REPLACE_CLOSE), IMAGE_ICON, glyph, glyph, 0)));
    SendMessageW(GetDlgItem(hwnd, IDC_REPLACE_BTN_STOP), BM_SETIMAGE, IMAGE_ICON,
                 reinterpret_cast<LPARAM>(stopGlyph_.Get()));
    SendMessageW(GetDlgItem(hwnd, IDC_REPLACE_BITBTN1), BM_SETIMAGE, IMAGE_ICON,
                 reinterpret_cast<LPARAM>(closeGlyph_.Get()));
    // The design size in pixels, centred on the work area, until a stored placement says
    // otherwise.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = Scaled(kDesignWidth);
    const int height = Scaled(kDesignHeight);
    SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RestorePlacement(hwnd);
    FormResize();
    AddModelessDialog(hwnd);
}

void TfmReplace::FormResize() {
    if (!hwnd_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int margin = Scaled(kMargin);
    const int buttonWidth = Scaled(kButtonWidth);
    const int buttonHeight = Scaled(kButtonHeight);
    const int buttonTop = client.bottom - margin - buttonHeight;
    HDWP moves = BeginDeferWindowPos(3);
    auto place = [&](int id, int x, int y, int w, int h) {
        if (moves)
            moves = DeferWindowPos(moves, GetDlgItem(hwnd_, id), nullptr, x, y, std::max(w, 0),
                                   std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(IDC_REPLACE_TXT_STATUS, margin, margin, client.right - 2 * margin,
          buttonTop - 2 * margin);
    place(IDC_REPLACE_BTN_STOP, margin, buttonTop, buttonWidth, buttonHeight);
    place(IDC_REPLACE_BITBTN1, 2 * margin + buttonWidth, buttonTop, buttonWidth, buttonHeight);
    if (moves) EndDeferWindowPos(moves);
}

void TfmReplace::SetCaption(std::string_view caption) {
    if (hwnd_) SetWindowTextW(hwnd_, Widen(caption).c_str());
}

void TfmReplace::ShowActivity() {
    if (!hwnd_) return;
    FlushStatus();
    ShowForm();
    SetForegroundWindow(hwnd_);
}

void TfmReplace::ClearStatus() {
    pending_.clear();
    memoEmpty_ = true;
    if (hwnd_) SetDlgItemTextW(hwnd_, IDC_REPLACE_TXT_STATUS, L"");
}

void TfmReplace::AddStatusLine(std::string_view line) {
    if (!memoEmpty_) pending_ += "\r\n";
    pending_ += line;
    memoEmpty_ = false;
}

void TfmReplace::FlushStatus() {
    if (pending_.empty() || !hwnd_) return;
    HWND memo = GetDlgItem(hwnd_, IDC_REPLACE_TXT_STATUS);
    const int end = GetWindowTextLengthW(memo);
    SendMessageW(memo, EM_SETSEL, WPARAM(end), LPARAM(end));
    SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Widen(pending_).c_str()));
    pending_.clear();
}

std::string TfmReplace::StatusText() {
    FlushStatus();
    if (!hwnd_) return pending_;
    HWND memo = GetDlgItem(hwnd_, IDC_REPLACE_TXT_STATUS);
    std::wstring text(size_t(GetWindowTextLengthW(memo)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(memo, text.data(), int(text.size()))));
    return Narrow(text);
}

void TfmReplace::btnStopClick() {
    if (stop_) stop_();
}

void TfmReplace::BitBtn1Click() {
    FlushStatus();
    HideForm();
}

WindowReplaceHost::WindowReplaceHost(TfmReplace& window, MainWindowParts parts)
    : window_(window),
      parts_(std::move(parts)),
      lastLook_(GetTickCount()),
      lastFlush_(lastLook_ - kMemoFlushIntervalMs) {}

bool WindowReplaceHost::ProcessMessages() {
    if (ending_) return false;
    // A look at the queue costs a trip to the window system: one every few hundredths of a
    // second keeps Stop and the windows prompt without slowing the run.
    const DWORD now = GetTickCount();
    if (now - lastLook_ < kRunLookIntervalMs) return true;
    lastLook_ = now;
    // The memo takes its lines a few times a second, and less often when showing them costs
    // much (a shown memo repaints and scrolls at each addition): at most a tenth of the run
    // goes to it.
    if (now - lastFlush_ >= flushGap_) {
        window_.FlushStatus();
        lastFlush_ = GetTickCount();
        flushGap_ = std::max<DWORD>(kMemoFlushIntervalMs, 9 * (lastFlush_ - now));
    }
    if (!PumpWaitingMessages()) ending_ = true;
    return !ending_;
}

void RunSearchReplaceInWindows(AppContext& ctx, SearchCriteria& criteria, TfmReplace& window,
                               WindowReplaceHost::MainWindowParts parts, bool searchOnly) {
    Win32ReplaceFiles files;
    WindowReplaceHost host(window, std::move(parts));
    ReplaceRun run(ctx, criteria, host, files);
    struct Wiring {
        TfmReplace& window;
        ~Wiring() {
            window.SetStopHandler(nullptr);
            window.FlushStatus();
        }
    } wiring{window};
    window.SetStopHandler([&run] { run.RequestAbort(); });
    run.RunSearchReplace(searchOnly);
}

}  // namespace lark
