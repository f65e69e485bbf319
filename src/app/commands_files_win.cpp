// The main window's commands that act on the listed files: each builds the file actions on
// this window and runs one of them.
#include "actions/compressed_copy.h"
#include "actions/file_actions.h"
#include "actions/file_actions_win.h"
#include "actions/gzip_streams_win.h"
#include "app/main_frame_win.h"
#include "app/main_views_win.h"
#include "app/main_window_win.h"
#include "config/context.h"

namespace lark {

void TfmOpen::RunFileAction(const std::function<void(FileActions&)>& action) {
    FileActionsWindow parts;
    parts.window = hwnd_;
    parts.openBox = frame_->Layout().edOpen;
    parts.list = &views_->List();
    parts.hideWindow = [this] { HideForm(); };
    parts.startIndexBuild = [this] { StartIndexBuild(); };
    WindowFileActionsHost host(std::move(parts));
    ZlibGzipStreams gzip;
    CompressedCopy copy(ctx_.fs, gzip);
    FileActions actions(ctx_, views_->Views(), host, *shell_, copy);
    action(actions);
}

void TfmOpen::WireFileActions() {
    FileListView::Callbacks& list = views_->List().callbacks;
    list.rename = [this] { lvRenameClick(); };
    list.deleteSelected = [this] { lvDeleteClick(); };
    list.labelEdited = [this](int row, const std::optional<std::string>& text) {
        ListViewEdited(row, text);
    };
}

void TfmOpen::lvDeleteClick() {
    RunFileAction([](FileActions& a) { a.lvDeleteClick(); });
}

void TfmOpen::mnuEraseClick() {
    RunFileAction([](FileActions& a) { a.mnuEraseClick(); });
}

void TfmOpen::lvRenameClick() {
    RunFileAction([](FileActions& a) { a.lvRenameClick(); });
}

void TfmOpen::ListViewEdited(int row, const std::optional<std::string>& text) {
    if (row < 0) return;
    RunFileAction([&](FileActions& a) { a.ListViewEdited(size_t(row), text); });
}

void TfmOpen::lvRemoveClick() {
    RunFileAction([](FileActions& a) { a.lvRemoveClick(); });
}

void TfmOpen::lvNotepadEditClick() {
    RunFileAction([](FileActions& a) { a.lvNotepadEditClick(); });
}

void TfmOpen::lvExplorerActionsClick() {
    RunFileAction([](FileActions& a) { a.lvExplorerActionsClick(); });
}

void TfmOpen::lvSaveAsClick() {
    RunFileAction([](FileActions& a) { a.lvSaveAsClick(); });
}

void TfmOpen::lvMoveClick() {
    RunFileAction([](FileActions& a) { a.lvMoveClick(); });
}

}  // namespace lark
