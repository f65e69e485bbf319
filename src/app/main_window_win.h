#pragma once
// The main window: created hidden at start-up, shown on demand, closed only by Exit.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/previous_window_win.h"
#include "index/index_events.h"
#include "index/refresh_controller.h"
#include "properties/properties.h"
#include "search/criteria.h"
#include "ui/my_form_win.h"
#include "ui/window_proc_win.h"
#include "views/launch.h"

namespace lark {

struct AppContext;
class FileActions;
class IndexService;
class InstantFindHost;
struct InsertHost;
class MainFrame;
class MainViews;
class ResidentIndex;
class TfmInstantFind;
class SavedSearches;
class Templates;
class TfmReplace;
class TfmSearch;
class UiDispatch;
struct Hotkey;

// The exit marker that lets a close request really close the window.
inline constexpr int kExitMarker = 99;

class TfmOpen final : public TMyForm, public MessageTarget, public IndexEvents, public RefreshHost {
  public:
    // Creates the hidden window and runs the start-up sequence. parameters: the command
    // line after the program name; null takes the process's own.
    explicit TfmOpen(AppContext& ctx, const std::vector<std::string>* parameters = nullptr);
    ~TfmOpen() override;
    TfmOpen(const TfmOpen&) = delete;
    TfmOpen& operator=(const TfmOpen&) = delete;

    HWND Handle() const { return hwnd_; }
    // Whether this process stays resident (and, once it exists, shows the tray icon).
    bool ActivateTray();
    bool KeepRunning() const { return keepRunning_; }
    // The message loop's idle handler; does nothing until start-up armed it.
    void OnIdle();

    // Commands, one handler each; the command table (main_commands_win.cpp) says which command
    // runs which, and every command without a handler stays visible and disabled.
    void puExitClick();
    void puRefreshClick() { refresh_->puRefreshClick(); }
    void ShowMainWindow();
    void mnuAboutClick();
    void puPropertiesClick();
    // The Properties dialog over owner, opened on page.
    void ShowProperties(HWND owner, PropertiesPage page);
    // The search dialog lives beside the main window for the whole run.
    void SetSearchDialog(TfmSearch* dialog);
    void DoSearch();
    // The activity window of text searches lives beside the main window as long as it does.
    void SetReplaceWindow(TfmReplace* window) { replaceWindow_ = window; }
    void mnuReplaceClick();
    void LaunchOpenBox(std::string_view verb);
    void edOpenChange();
    void buFindFileClick();
    void mnuHelpOverviewClick();
    void mnuTechsupportClick();
    void lvOpenClick() { LaunchOpenBox(kVerbOpen); }
    void lvPrintClick() { LaunchOpenBox(kVerbPrint); }
    void lvOpenContainerClick() { LaunchOpenBox(kVerbOpenPath); }
    void buOpenClick() { LaunchOpenBox(kVerbOpen); }
    void mnuShowViewsClick();
    void mnuHistoryClick();
    void buHistoryClick() { mnuHistoryClick(); }
    void buCloseTreeViewClick();
    void buViewStylesClick();
    // Instant find: the window its hotkey brings up, and the hotkey as Properties changes it
    // (false, with the message shown, when another program holds the key).
    void mnuInstantFindClick();
    bool SetInstantFindHotkey(const Hotkey& hotkey);
    TfmInstantFind* InstantFind() { return instant_.get(); }
    // The index text kept in memory for every search.
    ResidentIndex& Resident() { return *resident_; }
    // Saved searches (commands_saved_search_win.cpp).
    void mnuSearchSaveClick();
    void mnuSearchEditClick();
    void mnuSearchDeleteClick();
    // Templates (commands_templates_win.cpp).
    void lvNewClick();
    void lvSaveAsTemplateClick();
    // Acting on the listed files (commands_files_win.cpp).
    void lvDeleteClick();
    void mnuEraseClick();
    void lvRenameClick();
    void ListViewEdited(int row, const std::optional<std::string>& text);
    void lvRemoveClick();
    void lvNotepadEditClick();
    void lvExplorerActionsClick();
    void lvSaveAsClick();
    void lvMoveClick();
    // Typing the chosen paths into the dialog the user came from (commands_insert_win.cpp).
    void lvInsertIntoDialogClick();
    void lvInsertCompressedClick();
    MainFrame& Frame() { return *frame_; }
    MainViews& Views() { return *views_; }
    // The program's one set of search settings; the search dialog edits this record.
    SearchCriteria& Criteria() { return criteria_; }
    RefreshController& Refresh() { return *refresh_; }
    IndexService& Index() { return *index_; }
    // The program's one shell executor; the search dialog asks it for help pages too.
    ShellExecutor& Shell() { return *shell_; }

    // IndexEvents
    void IndexBuildStarting() override;
    void IndexBuildFinished(int64_t fileCount) override;
    void ChangeWatchFinished(int watchMode) override;
    void ImportRecentShortcuts() override;

    // RefreshHost
    std::shared_ptr<const std::atomic<bool>> StartIndexBuild() override;
    void SetRefreshTimer(uint32_t intervalMs) override;
    void PumpUntil(const std::function<bool()>& done, uint32_t limitMs, bool busyCursor) override;

    // The window's messages, one switch.
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The commands that have a handler (the menus enable exactly these).
    static std::vector<UINT> AvailableCommands();

  private:
    // Runs the handler of a menu, tool bar or button command; false when it has none.
    bool RunCommand(UINT id);
    void OnCommand(UINT id, UINT code, HWND from);
    // Key preview: true when the window consumed the key.
    bool FormKeyDown(WPARAM key);
    LRESULT OnNotify(NMHDR* header);

    void FormCreate();
    bool HandleCommandLine();
    // True when the window may close; otherwise it is hidden instead.
    bool FormCloseQuery();
    void FormClose();
    // WM_ENDSESSION: Exit, done before the message returns.
    void EndSession();
    void OnInstanceCommand(WPARAM wParam, LPARAM lParam);
    void OpenInstanceText(const std::string& text);
    void ShowView(const std::string& name);
    LaunchHost MakeLaunchHost();
    // Instant find's window and the console client's requests.
    void CreateInstantFind();
    LRESULT AnswerFindRequest(HWND client, const COPYDATASTRUCT& request);
    // Builds the insert commands' host on this window and runs one of them.
    void RunInsert(const std::function<void(InsertHost&)>& command);
    void RunSavedSearchCommand(void (SavedSearches::*command)());
    void RunTemplateCommand(void (Templates::*command)());
    // A text search over the found files; the commands that start one wait for its end.
    void RunTextSearch(bool searchOnly);
    void EnableSearchCommands();
    // Builds the file actions on this window and runs one of them.
    void RunFileAction(const std::function<void(FileActions&)>& action);
    // F2, Delete and the end of a rename on the file list.
    void WireFileActions();

    AppContext& ctx_;
    HWND hwnd_ = nullptr;
    GeneralErrorBox previousErrorBox_;

    // Start-up and life cycle.
    std::vector<std::string> parameters_;
    uint32_t commandSwitches_ = 0;
    bool keepRunning_ = false;
    std::string startupOpenText_;
    int exitMarker_ = 0;
    std::deque<std::string> longTexts_;  // arrived by WM_COPYDATA, opened in order

    // Layout, menus and tray icon.
    std::unique_ptr<MainFrame> frame_;

    // Index and refresh.
    std::shared_ptr<UiDispatch> ui_;
    std::unique_ptr<RefreshController> refresh_;
    std::unique_ptr<IndexService> index_;
    bool idleArmed_ = false;
    int busyWaits_ = 0;  // waits that show the hourglass over the window

    // Views, file list and searching.
    SearchCriteria criteria_;
    std::unique_ptr<ResidentIndex> resident_;
    std::unique_ptr<MainViews> views_;
    std::unique_ptr<InstantFindHost> instantHost_;
    std::unique_ptr<TfmInstantFind> instant_;

    // Searching and launching.
    TfmSearch* searchDialog_ = nullptr;
    TfmReplace* replaceWindow_ = nullptr;
    bool textRunActive_ = false;
    bool indexBuilding_ = false;
    std::unique_ptr<ShellExecutor> shell_;
    std::string LastAttachDir;
    // Where the user was when the window was last called up; the insert commands go back.
    PreviousWindow previousWindow_;
};

}  // namespace lark
