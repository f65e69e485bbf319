#include "app/main_window_win.h"

#include "about/about_win.h"
#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/context.h"
#include "app/data_paths.h"
#include "app/file_helpers.h"
#include "app/instance_win.h"
#include "app/main_frame_win.h"
#include "app/registry_helpers.h"
#include "app/settings.h"
#include "app/text.h"
#include "index/index_format.h"
#include "index/index_service_win.h"
#include "index/index_state.h"
#include "platform/win32/encoding_win.h"
#include "platform/win32/ui_dispatch_win.h"
#include "search/index_search.h"
#include "search/search_dialog_win.h"
#include "views/launch_win.h"

namespace lark {

namespace {

constexpr UINT_PTR kRefreshTimerId = 1;
// Posted to itself to open a text that arrived by WM_COPYDATA or at start-up, after the
// sender or the start-up sequence is done.
constexpr UINT kOpenPendingText = WM_APP + 10;
constexpr wchar_t kTitle[] = L"Larkspire";

// The progress strip of the status bar as the index search drives it.
class SearchProgress final : public SearchHost {
  public:
    SearchProgress(MainLayout& layout, RefreshController& refresh)
        : layout_(layout), refresh_(refresh) {}
    void RefreshIndex() override { refresh_.puRefreshClick(); }
    void ShowProgressStrip(int32_t maximum, std::string_view caption) override {
        maximum_ = maximum > 0 ? maximum : 1;
        position_ = 0;
        SetWindowTextW(layout_.progressLabel, Widen(caption).c_str());
        layout_.SetProgress(0);
        layout_.ShowProgress(true);
        UpdateWindow(layout_.form);
    }
    void AdvanceProgress(int32_t by) override {
        position_ += by;
        layout_.SetProgress(int(int64_t(position_) * 100 / maximum_));
    }
    void HideProgress() override { layout_.ShowProgress(false); }

  private:
    MainLayout& layout_;
    RefreshController& refresh_;
    int32_t maximum_ = 1;
    int32_t position_ = 0;
};

std::string ControlText(HWND control) {
    std::wstring text(size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    return Narrow(text);
}

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

TfmOpen::TfmOpen(AppContext& ctx) : TMyForm(ctx.registry, "fmOpen"), ctx_(ctx) {
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
    const UINT available[] = {kCmdExit,     kCmdRefresh,      kCmdAbout,         kCmdSearch,
                              kCmdOpen,     kCmdPrint,        kCmdOpenContainer, kCmdOpenBox,
                              kCmdFindFile, kCmdHelpOverview, kCmdTechSupport};
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
    // File-list rows (FileListItems) are created here once the file list exists.
    if (!HandleCommandLine()) return;
    RegisterSearchFileType(ctx_.registry, ctx_.exePath);
    // NameFilter is cleared here once views exist.
    ctx_.settings.DataLocation = DefaultDataLocation();
    LoadSettings(ctx_);  // a missing file was reported; start-up goes on with defaults
    ViewStyleIndex = TextToInt(ReadOption(ctx_.registry, "ViewStyle", "0"));
    // ApplyViewStyle(ViewStyleIndex) and the RecentDocuments list come with the file list.
    std::string recentPath = MyRecentFilesPath(ctx_);
    if (!EnsureFileExists(ctx_.fs, recentPath)) {
        ctx_.messages.Error("Unable to create the Recent Files file: " + recentPath);
        keepRunning_ = false;
        return;
    }
    refresh_->RefreshPending = false;
    // Later steps of the start-up, in this place and order: load and prune RecentDocuments;
    // create the other view lists; sort by "Modified" descending.
    frame_->SetTrayState(0);
    // The desktop folder and the system image lists; FillViewSelectors and ShowView of
    // "<My Recent Documents>".
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
    std::string text = Trim(JoinedCommandLine(CommandLineParameters()));
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
    WriteOption(ctx_.registry, "ViewStyle", std::to_string(ViewStyleIndex));
    // ClearFileList and freeing the view lists come with the file list.
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
    // The view selector's entry named text is selected here once the selector exists.
    if (isFile) {
        if (FileSizeOf(ctx_.fs, text) > 0) ShowView(text);
    } else {
        ShowView(text);
    }
}

void TfmOpen::ShowView(const std::string& name) {
    // Until the view catalogue exists, showing a view only names it in the caption.
    CurrentViewName = name;
    SetWindowTextW(hwnd_, Widen("Larkspire - " + name).c_str());
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
    // The Recent-folder import comes with the recent-documents list.
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

void TfmOpen::DoSearch() {
    if (!searchDialog_) return;
    // The typed filter of the open box (a text without "\\") becomes the keyword text.
    std::string typed = ControlText(frame_->Layout().edOpen);
    std::string filter = typed.find('\\') == std::string::npos ? LowerCase(typed) : std::string();
    try {
        lark::DoSearch(
            *searchDialog_, hwnd_, filter,
            [&] {
                SearchProgress progress(frame_->Layout(), *refresh_);
                SearchIndex(ctx_, searchDialog_->Criteria(), progress, LastSearchResults);
            },
            [&] { ShowView("<Last Search>"); });
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
    // Launched documents join the recent list once the list is kept by the views.
    host.currentViewName = [this] { return CurrentViewName; };
    return host;
}

void TfmOpen::LaunchOpenBox(std::string_view verb) {
    LaunchHost host = MakeLaunchHost();
    lark::LaunchOpenBox(host, verb, ControlText(frame_->Layout().edOpen));
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

void TfmOpen::OnCommand(int id) {
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

LRESULT TfmOpen::OnNotify(NMHDR* /*header*/) {
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
            OnCommand(LOWORD(wParam));
            return 0;
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
    } catch (...) {
        return 0;
    }
}

}  // namespace lark
