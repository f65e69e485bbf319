#pragma once
// One identifier per command of the main window, shared by its menus, tool bar and buttons,
// and the identifiers of the main window's child controls.
#include <windows.h>

namespace lark {

enum CommandId : UINT {
    // File menu and tray menu
    kCmdProperties = 40001,  // puPropertiesClick
    kCmdRefresh,             // puRefreshClick
    kCmdExit,                // puExitClick
    // Document menu, file-list menu, tool bar
    kCmdNew,               // lvNewClick
    kCmdOpen,              // lvOpenClick
    kCmdOpenContainer,     // lvOpenContainerClick
    kCmdNotepadEdit,       // lvNotepadEditClick
    kCmdSaveAs,            // lvSaveAsClick
    kCmdSaveAsTemplate,    // lvSaveAsTemplateClick
    kCmdInsertIntoDialog,  // lvInsertIntoDialogClick
    kCmdInsertCompressed,  // lvInsertCompressedClick
    kCmdMove,              // lvMoveClick
    kCmdRename,            // lvRenameClick
    kCmdPrint,             // lvPrintClick
    kCmdDelete,            // lvDeleteClick
    kCmdErase,             // mnuEraseClick
    kCmdRemoveRecent,      // lvRemoveClick
    kCmdExplorerActions,   // lvExplorerActionsClick
    // View menu and the side-panel buttons
    kCmdShowViews,  // mnuShowViewsClick (menu) / buViewsClick (button)
    kCmdHistory,    // mnuHistoryClick (menu) / buHistoryClick (button)
    // Search menu
    kCmdSearch,        // DoSearch (menu and buSearch)
    kCmdReplace,       // mnuReplaceClick
    kCmdSearchSave,    // mnuSearchSaveClick
    kCmdSearchEdit,    // mnuSearchEditClick
    kCmdSearchDelete,  // mnuSearchDeleteClick
    // Help menu
    kCmdHelpOverview,  // mnuHelpOverviewClick
    kCmdTechSupport,   // mnuTechsupportClick
    kCmdAbout,         // mnuAboutClick
    // Tool bar and open band
    kCmdViewStyles,     // buViewStylesClick (the button face; its arrow opens the style menu)
    kCmdFindFile,       // buFindFileClick
    kCmdOpenBox,        // buOpenClick
    kCmdCloseTreeView,  // buCloseTreeViewClick
    // View-style menu: the style number (0..3) is the offset from the first
    kCmdViewStyleLargeIcons,  // btnLargeIconsClick, tag 0
    kCmdViewStyleSmallIcons,  // tag 1
    kCmdViewStyleList,        // tag 2
    kCmdViewStyleDetails,     // tag 3
};

inline constexpr int ViewStyleOfCommand(UINT id) {
    return (id >= kCmdViewStyleLargeIcons && id <= kCmdViewStyleDetails)
               ? static_cast<int>(id - kCmdViewStyleLargeIcons)
               : -1;
}

// Child controls of the main window. A button that runs a command carries the command's id
// (buFindFile kCmdFindFile, buOpen kCmdOpenBox, buCloseTreeview kCmdCloseTreeView), so a
// click reaches the command table as a menu item does.
enum ControlId : UINT {
    kIdReBar = 1001,
    kIdToolBar,
    kIdViewBand,
    kIdViewLabel,
    kIdViews2,  // coViews2
    kIdOpenBand,
    kIdOpenLabel,
    kIdOpenEdit,  // edOpen
    kIdSidePanel,
    kIdSideTitle,
    kIdTree,  // tv
    kIdSplitter,
    kIdListView,  // ListView
    kIdStatusBar,
    kIdProgressPanel,
    kIdProgressLabel,
    kIdProgressBar,
    kIdViews,  // coViews, the hidden view catalogue
};

// Sent by the message loop to the main window for every key pressed in one of its controls
// before the control sees it (key preview). wParam: virtual key, lParam: as WM_KEYDOWN.
// The window answers nonzero when it consumed the key.
inline constexpr UINT kWmPreviewKeyDown = WM_APP + 40;
// Posted to the main window when its File menu opens, to pop the tray menu beside it.
inline constexpr UINT kWmPopTrayMenu = WM_APP + 41;

}  // namespace lark
