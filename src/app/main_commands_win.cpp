// The main window's commands: which handler each menu item, tool bar button and button runs,
// and the handlers of the commands that need no subsystem of their own. A new command is a
// row of the table and a handler in the file of its concern.
#include <windows.h>

#include <iterator>

#include "about/about_win.h"
#include "app/command_ids_win.h"
#include "app/main_frame_win.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "app/window_keys.h"
#include "config/context.h"
#include "index/index_state.h"
#include "platform/win32/encoding_win.h"
#include "search/search_dialog_win.h"
#include "ui/help.h"
#include "views/launch_win.h"
#include "views/recent_documents.h"

namespace lark {
namespace {

struct CommandHandler {
    UINT id;
    void (*run)(TfmOpen& form);
};

// clang-format off
constexpr CommandHandler kCommandHandlers[] = {
    {kCmdExit,                [](TfmOpen& f) { f.puExitClick(); }},
    {kCmdProperties,          [](TfmOpen& f) { f.puPropertiesClick(); }},
    {kCmdRefresh,             [](TfmOpen& f) { f.puRefreshClick(); }},
    {kCmdOpen,                [](TfmOpen& f) { f.lvOpenClick(); }},
    {kCmdOpenContainer,       [](TfmOpen& f) { f.lvOpenContainerClick(); }},
    {kCmdPrint,               [](TfmOpen& f) { f.lvPrintClick(); }},
    {kCmdShowViews,           [](TfmOpen& f) { f.mnuShowViewsClick(); }},
    {kCmdHistory,             [](TfmOpen& f) { f.mnuHistoryClick(); }},
    {kCmdSearch,              [](TfmOpen& f) { f.DoSearch(); }},
    {kCmdReplace,             [](TfmOpen& f) { f.mnuReplaceClick(); }},
    {kCmdHelpOverview,        [](TfmOpen& f) { f.mnuHelpOverviewClick(); }},
    {kCmdTechSupport,         [](TfmOpen& f) { f.mnuTechsupportClick(); }},
    {kCmdAbout,               [](TfmOpen& f) { f.mnuAboutClick(); }},
    {kCmdViewStyles,          [](TfmOpen& f) { f.buViewStylesClick(); }},
    {kCmdFindFile,            [](TfmOpen& f) { f.buFindFileClick(); }},
    {kCmdOpenBox,             [](TfmOpen& f) { f.buOpenClick(); }},
    {kCmdCloseTreeView,       [](TfmOpen& f) { f.buCloseTreeViewClick(); }},
    {kCmdViewStyleLargeIcons, [](TfmOpen& f) { f.Views().btnLargeIconsClick(0); }},
    {kCmdViewStyleSmallIcons, [](TfmOpen& f) { f.Views().btnLargeIconsClick(1); }},
    {kCmdViewStyleList,       [](TfmOpen& f) { f.Views().btnLargeIconsClick(2); }},
    {kCmdViewStyleDetails,    [](TfmOpen& f) { f.Views().btnLargeIconsClick(3); }},
    {kCmdInstantFind,         [](TfmOpen& f) { f.mnuInstantFindClick(); }},
    {kCmdSearchSave,          [](TfmOpen& f) { f.mnuSearchSaveClick(); }},
    {kCmdSearchEdit,          [](TfmOpen& f) { f.mnuSearchEditClick(); }},
    {kCmdSearchDelete,        [](TfmOpen& f) { f.mnuSearchDeleteClick(); }},
    {kCmdNew,                 [](TfmOpen& f) { f.lvNewClick(); }},
    {kCmdSaveAsTemplate,      [](TfmOpen& f) { f.lvSaveAsTemplateClick(); }},
    {kCmdDelete,              [](TfmOpen& f) { f.lvDeleteClick(); }},
    {kCmdErase,               [](TfmOpen& f) { f.mnuEraseClick(); }},
    {kCmdRename,              [](TfmOpen& f) { f.lvRenameClick(); }},
    {kCmdRemoveRecent,        [](TfmOpen& f) { f.lvRemoveClick(); }},
    {kCmdNotepadEdit,         [](TfmOpen& f) { f.lvNotepadEditClick(); }},
    {kCmdExplorerActions,     [](TfmOpen& f) { f.lvExplorerActionsClick(); }},
    {kCmdSaveAs,              [](TfmOpen& f) { f.lvSaveAsClick(); }},
    {kCmdMove,                [](TfmOpen& f) { f.lvMoveClick(); }},
    {kCmdInsertIntoDialog,    [](TfmOpen& f) { f.lvInsertIntoDialogClick(); }},
    {kCmdInsertCompressed,    [](TfmOpen& f) { f.lvInsertCompressedClick(); }},
};
// clang-format on

std::string ControlText(HWND control) {
    std::wstring text(size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    return Narrow(text);
}

}  // namespace

std::vector<UINT> TfmOpen::AvailableCommands() {
    std::vector<UINT> ids;
    for (const CommandHandler& h : kCommandHandlers) ids.push_back(h.id);
    return ids;
}

bool TfmOpen::RunCommand(UINT id) {
    for (const CommandHandler& h : kCommandHandlers) {
        if (h.id == id) {
            h.run(*this);
            return true;
        }
    }
    return false;
}

void TfmOpen::OnCommand(UINT id, UINT code, HWND from) {
    if (views_ && views_->OnCommand(id, code, from)) return;
    if (from && from == frame_->Layout().edOpen) {
        if (code == EN_CHANGE) edOpenChange();
        return;
    }
    RunCommand(id);
}

bool TfmOpen::FormKeyDown(WPARAM key) {
    // While a row's name is being edited, Enter and Esc end the edit, not the window.
    if ((key == VK_RETURN || key == VK_ESCAPE) && views_ && views_->List().labelEditing)
        return false;
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

void TfmOpen::mnuShowViewsClick() {
    views_->buViewsClick();
}

void TfmOpen::mnuHistoryClick() {
    views_->buHistoryClick();
}

void TfmOpen::buCloseTreeViewClick() {
    views_->buCloseTreeViewClick();
}

void TfmOpen::buViewStylesClick() {
    views_->buViewStylesClick();
}

void TfmOpen::mnuAboutClick() {
    HideForm();
    ShowAboutBox(hwnd_, GetModuleHandleW(nullptr), Widen(ctx_.exePath), ctx_.registry);
}

void TfmOpen::DoSearch() {
    if (!searchDialog_ || textRunActive_) return;
    ViewController& views = views_->Views();
    try {
        lark::DoSearch(
            *searchDialog_, hwnd_, views.NameFilter,
            [&] { views_->SearchIndex(views.LastSearchResults); }, [&] { RunTextSearch(true); },
            [&] {
                // The program may have been ended while a text search ran.
                if (hwnd_) views.ShowView("<Last Search>", {});
            });
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

void TfmOpen::edOpenChange() {
    views_->Views().edOpenChange(ControlText(frame_->Layout().edOpen));
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

}  // namespace lark
