#pragma once
// The file actions on a window made of ordinary controls: the open box, the file list and the
// shell's own dialogs.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "actions/file_actions.h"

namespace lark {

class FileListView;

struct FileActionsWindow {
    HWND window = nullptr;   // owns the dialogs; taken out of the top layer for the shell's
    HWND openBox = nullptr;  // edOpen
    FileListView* list = nullptr;
    std::function<void()> hideWindow;
    std::function<void()> startIndexBuild;
};

class WindowFileActionsHost final : public FileActionsHost {
  public:
    explicit WindowFileActionsHost(FileActionsWindow parts) : parts_(std::move(parts)) {}
    ~WindowFileActionsHost() override;
    WindowFileActionsHost(const WindowFileActionsHost&) = delete;
    WindowFileActionsHost& operator=(const WindowFileActionsHost&) = delete;

    std::string OpenBoxText() override;
    void SetOpenBoxText(std::string_view text) override;
    std::optional<size_t> FirstSelectedRow() override;
    void RepaintList() override;
    void BeginLabelEdit(size_t row) override;
    bool ControlKeyDown() override;
    void SetBusyCursor(bool busy) override;
    bool ShellDeleteFiles(const std::vector<std::string>& paths, bool permanent) override;
    EraseResult EraseFile(std::string_view path) override;
    std::optional<std::string> AskTargetPath(const TargetDialog& dialog) override;
    void ShowShellContextMenu(std::string_view path) override;
    void HideWindow() override;
    void StartIndexBuild() override;
    void* OwnerWindow() override { return parts_.window; }

  private:
    FileActionsWindow parts_;
    int busyDepth_ = 0;
    HCURSOR savedCursor_ = nullptr;
};

// The shell's delete of the paths, with no owner window so that its confirmation, progress
// and errors are its own; the window (if any) leaves the top layer meanwhile so that they
// can show above it. To the recycle bin unless permanent.
bool ShellDeleteFiles(HWND topWindow, const std::vector<std::string>& paths, bool permanent);

// The standard Save As dialog; nothing when cancelled.
std::optional<std::string> AskTargetPath(HWND owner, const TargetDialog& dialog);

}  // namespace lark
