#include "app/main_window_win.h"

#include "about/about_win.h"
#include "app/command_ids_win.h"
#include "app/command_line.h"
#include "config/context.h"
#include "config/data_paths.h"
#include "base/file_helpers.h"
#include "app/instance_win.h"
#include "app/main_frame_win.h"
#include "app/main_views_win.h"
#include "config/settings.h"
#include "base/text.h"
#include "index/index_format.h"
#include "index/index_service_win.h"
#include "index/index_state.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/ui_dispatch_win.h"
#include "search/search_dialog_win.h"
#include "views/launch_win.h"
#include "views/recent_documents.h"

namespace lark {

namespace {

constexpr UINT_PTR kRefreshTimerId = 1;
// Posted to itself to open a text that arrived by WM_COPYDATA or at start-up, after the
// sender or the start-up sequence is done.
constexpr UINT kOpenPendingText = WM_APP + 10;
constexpr wchar_t kTitle[] = L"Larkspire";

void RegisterMainWindowClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window right after creation
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kMainWindowClass;
    RegisterClassExW(&wc);
}

}  // namespace

TfmOpen::TfmOpen(AppContext& ctx, const std::vector<std::string>* parameters)
    : TMyForm(ctx.registry, "fmOpen"),
      ctx_(ctx),
      parameters_(parameters ? *parameters : CommandLineParameters()) {
    RegisterMainWindowClass();
    // The design size is in pixels at 100 % scaling.
    const int dpi = static_cast<int>(GetDpiForSystem());
    hwnd_ =
        CreateWindowExW(WS_EX_TOPMOST, kMainWindowClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, MulDiv(730, dpi, 96), MulDiv(465, dpi, 96), nullptr, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TfmOpen::WindowProc));
    frame_ = std::make_unique<MainFrame>(hwnd_, GetModuleHandleW(nullptr));
    frame_->ShowForm = [this] { ShowMainWindow(); };
    frame_->HideForm = [this] { HideForm(); };
    // Commands whose handlers exist; every other one stays visible and disabled.
    const UINT available[] = {kCmdExit,
                              kCmdRefresh,
                              kCmdAbout,
                              kCmdShowViews,
                              kCmdCloseTreeView,
                              kCmdViewStyles,
                              kCmdViewStyleLargeIcons,
                              kCmdViewStyleSmallIcons,
                              kCmdViewStyleList,
                              kCmdViewStyleDetails,
                              kCmdSearch,
                              kCmdOpen,
                              kCmdPrint,
                              kCmdOpenContainer,
                              kCmdOpenBox,
                              kCmdFindFile,
                              kCmdHelpOverview,
                              kCmdTechSupport};
    frame_->Layout().ApplyCommandAvailability(available);
    shell_ = std::make_unique<Win32ShellExecutor>();
    ui_ = UiDispatch::Create();
    refresh_ = std::make_unique<RefreshController>(ctx_, *this);
    index_ = std::make_unique<IndexService>(ctx_, *this, *refresh_, ui_);
    FormCreate();
    // The saved placement is restored once the window's own creation is done.
    if (keepRunning_) RestorePlacement(hwnd_);
}

TfmOpen::~TfmOpen() {
    // Workers still running hand nothing more to this window once the dispatcher is shut.
    if (ui_) ui_->Close();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void TfmOpen::FormCreate() {
    // The file-list rows and every view list live in the views object.
    views_ = std::make_unique<MainViews>(ctx_, frame_->Layout(), criteria_,
                                         [this] { puRefreshClick(); });
    if (!HandleCommandLine()) return;
    RegisterSearchFileType(ctx_.registry, ctx_.exePath);
    views_->List().callbacks.open = [this] { LaunchOpenBox(kVerbOpen); };  // ListViewDblClick
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
        ReportError(e.what());
    }
    SetFocus(frame_->Layout().listView);
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
    if (other && !HasSwitch(kSwitchRestart)) {
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
    frame_->IndexBuildStarting();
}

void TfmOpen::IndexBuildFinished(int64_t fileCount) {
    frame_->IndexBuildFinished(IndexedFilesTip(fileCount));
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
        ReportError(e.what());
    }
}

void TfmOpen::ReportError(const char* text) {
    ctx_.messages.Error(text);
}

std::shared_ptr<const std::atomic<bool>> TfmOpen::StartIndexBuild() {
    return index_->StartIndexBuild();
}

void TfmOpen::SetRefreshTimer(uint32_t intervalMs) {
    KillTimer(hwnd_, kRefreshTimerId);
    if (intervalMs > 0) SetTimer(hwnd_, kRefreshTimerId, intervalMs, nullptr);
}

void TfmOpen::PumpUntil(const std::function<bool()>& done, uint32_t limitMs, bool busyCursor) {
    HCURSOR previous = busyCursor ? SetCursor(LoadCursorW(nullptr, IDC_WAIT)) : nullptr;
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        bool quit = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The outer loop must still see it.
                PostQuitMessage(int(msg.wParam));
                quit = true;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (quit || done()) break;
        DWORD waited = GetTickCount() - start;
        if (limitMs != kNoTimeLimit && waited >= limitMs) break;
        DWORD slice = 50;
        if (limitMs != kNoTimeLimit && limitMs - waited < slice) slice = limitMs - waited;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
    }
    if (busyCursor) SetCursor(previous);
}

void TfmOpen::mnuAboutClick() {
    ShowAboutBox(hwnd_, GetModuleHandleW(nullptr), Widen(ctx_.exePath), ctx_.registry);
}

namespace {

std::string ControlText(HWND control) {
    std::wstring text(size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    return Narrow(text);
}

}  // namespace

void TfmOpen::DoSearch() {
    if (!searchDialog_) return;
    ViewController& views = views_->Views();
    try {
        lark::DoSearch(
            *searchDialog_, hwnd_, views.NameFilter,
            [&] { views_->SearchIndex(views.LastSearchResults); },
            [&] { views.ShowView("<Last Search>", {}); });
    } catch (const FileError& e) {
        // An index being written cannot be read: the command ends here with the message.
        ctx_.messages.Error(e.what());
    }
}

LaunchHost TfmOpen::MakeLaunchHost() {
    LaunchHost host(*shell_, ctx_.fs);
    host.ownerWindow = hwnd_;
    host.hideWindow = [this] { HideForm(); };
    host.markLaunch = [this] { LastLaunchTick.store(ctx_.clock.TickCount()); };
    host.addToRecentDocuments = [this](const std::string& path) {
        AddToRecentDocuments(ctx_, views_->Views().RecentDocuments, path);
    };
    host.currentViewName = [this] { return views_->Views().CurrentViewName; };
    return host;
}

void TfmOpen::LaunchOpenBox(std::string_view verb) {
    LaunchHost host = MakeLaunchHost();
    lark::LaunchOpenBox(host, verb, ControlText(frame_->Layout().edOpen));
}

// Typing a name (no "\") filters the current view; paths written by a selection never do.
void TfmOpen::edOpenChange() {
    // Showing the view may clear the box, which reports a change of its own: that one is
    // part of this change, not a new request.
    if (filteringFromOpenBox_) return;
    ViewController& views = views_->Views();
    if (auto filter = OpenBoxFilterFor(ControlText(frame_->Layout().edOpen), views.NameFilter)) {
        filteringFromOpenBox_ = true;
        try {
            views.ShowView(views.CurrentViewName, *filter);
        } catch (...) {
            filteringFromOpenBox_ = false;
            throw;
        }
        filteringFromOpenBox_ = false;
    }
}

void TfmOpen::buFindFileClick() {
    LaunchHost host = MakeLaunchHost();
    BrowseAndLaunch(hwnd_, ctx_.registry, LastAttachDir, host, [this](const std::string& path) {
        SetWindowTextW(frame_->Layout().edOpen, Widen(path).c_str());
    });
}

void TfmOpen::mnuHelpOverviewClick() {
    HideForm();
    OpenHelpTopic(*shell_, ctx_.exePath, kHelpTopicOverview);
}

void TfmOpen::mnuTechsupportClick() {
    RunShellTarget(*shell_, kTechSupportAddress);
    HideForm();
}

bool TfmOpen::FormKeyDown(WPARAM key) {
    switch (WindowKeyCommandFor(uint32_t(key))) {
        case WindowKeyCommand::Refresh:
            puRefreshClick();
            return true;
        case WindowKeyCommand::Search:
            // F3 is the Search button, which an index build disables.
            if (frame_->Layout().CommandEnabled(kCmdSearch)) DoSearch();
            return true;
        case WindowKeyCommand::Hide:
            HideForm();
            return true;
        case WindowKeyCommand::Go:
            LaunchOpenBox(kVerbOpen);
            return true;
        default:
            return false;
    }
}

void TfmOpen::OnCommand(UINT id, UINT code, HWND from) {
    if (views_ && views_->OnCommand(id, code, from)) return;
    if (from && from == frame_->Layout().edOpen) {
        if (code == EN_CHANGE) edOpenChange();
        return;
    }
    // Commands not listed here are disabled until their handlers arrive.
    switch (id) {
        case kCmdExit:
            puExitClick();
            break;
        case kCmdRefresh:
            puRefreshClick();
            break;
        case kCmdAbout:
            mnuAboutClick();
            break;
        case kCmdSearch:
            DoSearch();
            break;
        case kCmdOpen:
        case kCmdOpenBox:
            LaunchOpenBox(kVerbOpen);
            break;
        case kCmdPrint:
            LaunchOpenBox(kVerbPrint);
            break;
        case kCmdOpenContainer:
            LaunchOpenBox(kVerbOpenPath);
            break;
        case kCmdFindFile:
            buFindFileClick();
            break;
        case kCmdHelpOverview:
            mnuHelpOverviewClick();
            break;
        case kCmdTechSupport:
            mnuTechsupportClick();
            break;
        default:
            break;
    }
}

LRESULT TfmOpen::OnNotify(NMHDR* header) {
    LRESULT result = 0;
    if (views_ && views_->OnNotify(header, result)) return result;
    return 0;
}

LRESULT TfmOpen::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
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
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        case WM_QUERYENDSESSION:
            puExitClick();
            return TRUE;
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
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

LRESULT CALLBACK TfmOpen::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TfmOpen*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (const std::exception& e) {
        // A command that fails (a list file that cannot be read, a search over an index
        // being written) is abandoned and the user told why.
        try {
            self->ReportError(e.what());
        } catch (...) {
        }
        return 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace lark
