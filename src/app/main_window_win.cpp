#include "app/main_window_win.h"

#include "app/command_ids_win.h"
#include "app/command_line.h"
#include "app/instance_win.h"
#include "app/main_frame_win.h"
#include "app/main_views_win.h"
#include "base/file_helpers.h"
#include "base/text.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "config/settings.h"
#include "index/index_format.h"
#include "index/index_service_win.h"
#include "index/index_state.h"
#include "instant/find_protocol_win.h"
#include "instant/instant_find_win.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/shell_win.h"
#include "search/resident_index.h"
#include "search/search_dialog_win.h"
#include "ui/message_pump_win.h"
#include "ui/ui_dispatch_win.h"
#include "views/recent_documents.h"

namespace lark {

namespace {

constexpr UINT_PTR kRefreshTimerId = 1;
// Posted to itself to open a text that arrived by WM_COPYDATA or at start-up, after the
// sender or the start-up sequence is done.
constexpr UINT kOpenPendingText = WM_APP + 10;
constexpr wchar_t kTitle[] = L"Larkspire";

void RegisterMainWindowClass() {
    RegisterTargetClass(kMainWindowClass, CS_DBLCLKS, nullptr,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                        LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
}

}  // namespace

TfmOpen::TfmOpen(AppContext& ctx, const std::vector<std::string>* parameters)
    : TMyForm(ctx.registry, "fmOpen"),
      ctx_(ctx),
      parameters_(parameters ? *parameters : CommandLineParameters()) {
    // Every window's failing handler reports through the program's own boxes.
    previousErrorBox_ = SetGeneralErrorBox(
        [&messages = ctx_.messages](std::string_view text) { messages.Error(text); });
    RegisterMainWindowClass();
    // The design size is in pixels at 100 % scaling.
    const int dpi = static_cast<int>(GetDpiForSystem());
    hwnd_ =
        CreateWindowExW(WS_EX_TOPMOST, kMainWindowClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, MulDiv(730, dpi, 96), MulDiv(465, dpi, 96), nullptr, nullptr,
                        GetModuleHandleW(nullptr), WindowParam(this));
    if (!hwnd_) return;
    try {
        frame_ = std::make_unique<MainFrame>(hwnd_, GetModuleHandleW(nullptr));
        frame_->ShowForm = [this] { ShowMainWindow(); };
        frame_->HideForm = [this] { HideForm(); };
        frame_->Layout().ApplyCommandAvailability(AvailableCommands());
        shell_ = std::make_unique<Win32ShellExecutor>();
        ui_ = UiDispatch::Create();
        refresh_ = std::make_unique<RefreshController>(ctx_, *this);
        resident_ = std::make_unique<ResidentIndex>(ctx_.fs);
        index_ = std::make_unique<IndexService>(ctx_, *this, *refresh_, ui_);
        FormCreate();
        // The saved placement is restored once the window's own creation is done.
        if (keepRunning_) RestorePlacement(hwnd_);
    } catch (...) {
        // No destructor runs for a half-built object: the window must not outlive it and
        // take messages (the failure's own message box pumps them) into freed memory.
        if (ui_) ui_->Close();
        DetachTarget(hwnd_);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
        SetGeneralErrorBox(std::move(previousErrorBox_));
        throw;
    }
}

TfmOpen::~TfmOpen() {
    // Workers still running hand nothing more to this window once the dispatcher is shut.
    if (ui_) ui_->Close();
    if (hwnd_) {
        // Torn down by its owner rather than closed: nothing of Exit runs.
        DetachTarget(hwnd_);
        DestroyWindow(hwnd_);
    }
    SetGeneralErrorBox(std::move(previousErrorBox_));
}

void TfmOpen::FormCreate() {
    // The file-list rows and every view list live in the views object.
    views_ = std::make_unique<MainViews>(ctx_, frame_->Layout(), criteria_,
                                         [this] { puRefreshClick(); });
    views_->SetResidentIndex(resident_.get());
    if (!HandleCommandLine()) return;
    RegisterSearchFileType(ctx_.registry, ctx_.exePath);
    views_->List().callbacks.open = [this] { LaunchOpenBox(kVerbOpen); };  // ListViewDblClick
    WireFileActions();
    ViewController& views = views_->Views();
    views.NameFilter.clear();
    ctx_.settings.DataLocation = DefaultDataLocation();
    LoadSettings(ctx_);  // a missing file was reported; start-up goes on with defaults
    views_->LoadViewStyleOption();
    refresh_->RefreshPending = false;
    // Reports "Unable to create the Recent Files file: " itself; the program then ends
    // without a tray icon or a message loop.
    if (!views_->LoadRecentDocumentsAtStartup()) {
        keepRunning_ = false;
        return;
    }
    views.Items.SortColumn = kColModified;
    views.Items.SortAscending = false;
    frame_->SetTrayState(0);
    views_->AttachSystemImageLists();
    try {
        views_->ShowStartView();
    } catch (const std::exception& e) {
        ShowGeneralError(e.what());
    }
    SetFocus(frame_->Layout().listView);
    // The index of the last run is taken into memory before the first build of this one
    // holds the file, so instant find has an answer while that build runs.
    resident_->Latest(IndexFilePath(ctx_));
    CreateInstantFind();
    idleArmed_ = true;
    refresh_->ApplyRefreshSchedule();
    if (ctx_.settings.MonitorRecentDocuments)
        index_->StartChangeWatch(RecentFolderPath(ctx_) + ";", 1, "");
    if (!startupOpenText_.empty()) {
        longTexts_.push_back(startupOpenText_);
        PostMessageW(hwnd_, kOpenPendingText, 0, 0);
    }
}

bool TfmOpen::HandleCommandLine() {
    keepRunning_ = false;
    std::string text = Trim(JoinedCommandLine(parameters_));
    commandSwitches_ = ParseSwitches(text);
    HWND other = FindOtherInstance(hwnd_, kMainWindowClass);
    StartDecision decision = DecideStart(commandSwitches_, text, other != nullptr);
    if (other && !HasSwitch(commandSwitches_, kSwitchRestart)) {
        HandOffToInstance(other, decision, text);
        return false;
    }
    SetWindowTextW(hwnd_, kTitle);
    startupOpenText_ = decision.startupOpenText;
    keepRunning_ = decision.keepRunning;
    return keepRunning_;
}

bool TfmOpen::ActivateTray() {
    frame_->TrayIcon().SetActive(keepRunning_);
    return keepRunning_;
}

void TfmOpen::OnIdle() {
    if (idleArmed_) refresh_->IdleRefreshCheck();
}

void TfmOpen::ShowMainWindow() {
    previousWindow_.Remember(hwnd_);
    ShowForm();
    SetForegroundWindow(hwnd_);
}

void TfmOpen::puExitClick() {
    exitMarker_ = kExitMarker;
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

bool TfmOpen::FormCloseQuery() {
    if (exitMarker_ == kExitMarker) return true;
    HideForm();
    return false;
}

void TfmOpen::FormClose() {
    views_->FormClose();
}

void TfmOpen::OnInstanceCommand(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case kInstanceShow:
            ShowMainWindow();
            break;
        case kInstanceOpen:
            OpenInstanceText(TakeAtomText(ATOM(lParam)));
            break;
        case kInstanceExit:
            puExitClick();
            break;
        default:
            break;
    }
}

void TfmOpen::OpenInstanceText(const std::string& text) {
    bool isFile = ctx_.fs.IsFile(text);
    // A path that does not exist is ignored; anything without ":\" is a view name.
    if (text.find(":\\") != std::string::npos && !isFile) return;
    ShowMainWindow();
    // Showing the view selects its entry in the catalogue.
    if (isFile) {
        if (FileSizeOf(ctx_.fs, text) > 0) ShowView(text);
    } else {
        ShowView(text);
    }
}

void TfmOpen::ShowView(const std::string& name) {
    views_->Views().ShowView(name, {});
}

void TfmOpen::IndexBuildStarting() {
    indexBuilding_ = true;
    frame_->IndexBuildStarting();
}

void TfmOpen::IndexBuildFinished(int64_t fileCount) {
    indexBuilding_ = false;
    frame_->IndexBuildFinished(IndexedFilesTip(fileCount));
    // The new index is read now rather than at the next keystroke.
    resident_->Latest(IndexFilePath(ctx_));
    EnableSearchCommands();
}

void TfmOpen::ChangeWatchFinished(int /*watchMode*/) {
    frame_->ChangeWatchFinished();
}

void TfmOpen::ImportRecentShortcuts() {
    // Handed over by the watch thread, outside any window message: this is its own
    // command boundary.
    try {
        views_->Views().RecentFolderChanged();
    } catch (const std::exception& e) {
        ShowGeneralError(e.what());
    }
}

std::shared_ptr<const std::atomic<bool>> TfmOpen::StartIndexBuild() {
    return index_->StartIndexBuild();
}

void TfmOpen::SetRefreshTimer(uint32_t intervalMs) {
    KillTimer(hwnd_, kRefreshTimerId);
    if (intervalMs > 0) SetTimer(hwnd_, kRefreshTimerId, intervalMs, nullptr);
}

void TfmOpen::PumpUntil(const std::function<bool()>& done, uint32_t limitMs, bool busyCursor) {
    if (!busyCursor) {
        lark::PumpUntil(done, limitMs);
        return;
    }
    // The window keeps answering WM_SETCURSOR with the hourglass while it waits; a cursor
    // merely set would give way to the arrow at the first mouse move.
    ++busyWaits_;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    try {
        lark::PumpUntil(done, limitMs);
    } catch (...) {
        --busyWaits_;
        SetCursor(previous);
        throw;
    }
    --busyWaits_;
    SetCursor(previous);
}

void TfmOpen::EndSession() {
    // Windows may end the process as soon as this returns: everything Exit keeps is kept
    // now, not by a posted close.
    exitMarker_ = kExitMarker;
    FormClose();
    DestroyWindow(hwnd_);
}

LRESULT TfmOpen::OnNotify(NMHDR* header) {
    LRESULT result = 0;
    if (views_ && views_->OnNotify(header, result)) return result;
    return 0;
}

LRESULT TfmOpen::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The window reaches its object from its first message on, before CreateWindowExW returns.
    if (msg == WM_NCCREATE) hwnd_ = hwnd;
    LRESULT frameResult = 0;
    if (frame_ && frame_->HandleMessage(msg, wParam, lParam, frameResult)) return frameResult;
    switch (msg) {
        case kWmPreviewKeyDown:
            return FormKeyDown(wParam) ? 1 : 0;
        case WM_INSTANCE_COMMAND:
            OnInstanceCommand(wParam, lParam);
            return 0;
        case WM_COPYDATA: {
            auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (data && data->dwData == kFindRequestCopyId)
                return AnswerFindRequest(reinterpret_cast<HWND>(wParam), *data);
            if (!data || data->dwData != kLongTextCopyId) return FALSE;
            longTexts_.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
            PostMessageW(hwnd_, kOpenPendingText, 0, 0);
            return TRUE;
        }
        case kOpenPendingText:
            if (!longTexts_.empty()) {
                std::string text = std::move(longTexts_.front());
                longTexts_.pop_front();
                OpenInstanceText(text);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kRefreshTimerId) refresh_->RefreshTimerTimer();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CONTEXTMENU:
            if (views_ && views_->OnContextMenu(reinterpret_cast<HWND>(wParam))) return 0;
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        case WM_QUERYENDSESSION:
            puExitClick();
            return TRUE;
        case WM_ENDSESSION:
            if (wParam && hwnd_) EndSession();
            return 0;
        case WM_SYSCOMMAND:
            // Without a taskbar button a minimised window would be out of reach: minimising
            // puts it away in the notification area.
            if ((wParam & 0xFFF0) == SC_MINIMIZE) {
                HideForm();
                return 0;
            }
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_SETCURSOR:
            if (busyWaits_ > 0) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_CLOSE:
            if (FormCloseQuery()) {
                FormClose();
                DestroyWindow(hwnd_);
            }
            return 0;
        case WM_DESTROY:
            StorePlacement();
            exitMarker_ = kExitMarker;
            if (ui_) ui_->Close();
            hwnd_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace lark
