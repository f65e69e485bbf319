#pragma once
// The main window's commands that act on the listed files: delete, erase, rename, remove from
// the recent list, edit with Notepad, the shell's context menu, Save As and Move. They act on
// the open box's paths or on the first selected row, and keep the path lists and their files
// ("Recent files.idx", "Last Search.idx", the shell's Recent folder) in step with the disk.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/path_list.h"

namespace lark {

struct AppContext;
class CompressedCopy;
class FileSystem;
class SearchResults;
class ShellExecutor;
class ViewController;

enum class EraseResult {
    Erased,
    NotOpened,  // left as it was: neither overwritten nor deleted
    Failed,     // the pass, the close or the deletion failed
};

// The standard Save As dialog of Save As ("Copy As") and Move ("Move To").
struct TargetDialog {
    std::string title;
    std::string initialFolder;
    std::string fileName;
    // Pairs of "description|pattern", joined by "|".
    std::string filter;
    // Appended by the dialog to a name typed without one, before it asks about overwriting.
    std::string defaultExtension;
};

// What the commands ask of the window that lists the files.
class FileActionsHost {
  public:
    virtual ~FileActionsHost() = default;
    virtual std::string OpenBoxText() = 0;
    virtual void SetOpenBoxText(std::string_view text) = 0;
    virtual std::optional<size_t> FirstSelectedRow() = 0;
    virtual void RepaintList() = 0;
    // Starts in-place editing of the row's name; the list reports the end to ListViewEdited.
    virtual void BeginLabelEdit(size_t row) = 0;
    virtual bool ControlKeyDown() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // The shell's own delete with its confirmation, progress and error reports; to the
    // recycle bin unless permanent. False when it failed or the user cancelled.
    virtual bool ShellDeleteFiles(const std::vector<std::string>& paths, bool permanent) = 0;
    virtual EraseResult EraseFile(std::string_view path) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> AskTargetPath(const TargetDialog& dialog) = 0;
    // The shell's context menu of the file at the mouse pointer; hides the window afterwards.
    virtual void ShowShellContextMenu(std::string_view path) = 0;
    virtual void HideWindow() = 0;
    virtual void StartIndexBuild() = 0;
    // The window that owns what the shell shows for a launch.
    virtual void* OwnerWindow() = 0;
};

// Every double quote becomes a single quote; every character that may not be part of a new
// name (\ / : * ? < > | ; @ $ % ^ ( ) + { } , ~ `) becomes a blank.
std::string CleanFileName(std::string_view name);

// Replaces oldPath (letter case ignored) by newPath and writes the list to listFile; false
// when the list does not hold oldPath.
bool RenameListEntry(FileSystem& fs, PathList& list, std::string_view oldPath,
                     std::string_view newPath, std::string_view listFile);
bool RenameListEntry(FileSystem& fs, SearchResults& list, std::string_view oldPath,
                     std::string_view newPath, std::string_view listFile);

class FileActions {
  public:
    FileActions(AppContext& ctx, ViewController& views, FileActionsHost& host, ShellExecutor& shell,
                CompressedCopy& copy)
        : ctx_(ctx), views_(views), host_(host), shell_(shell), copy_(copy) {}

    void lvDeleteClick();
    void mnuEraseClick();
    void lvRenameClick();
    // The end of an in-place rename of a row; no text when the edit was cancelled.
    void ListViewEdited(size_t row, const std::optional<std::string>& text);
    void lvRemoveClick();
    void lvNotepadEditClick();
    void lvExplorerActionsClick();
    void lvSaveAsClick();
    void lvMoveClick();

    // Removes the ";"-separated paths from the recent documents with their shortcuts in the
    // shell's Recent folder; unless force, only paths whose files are gone.
    void RemoveFromRecentDocuments(std::string_view paths, bool force);
    // Sets a freshly written copy's three times to now, clearing its read-only attribute;
    // false when there is no file (none is made).
    bool StampWithCurrentTime(std::string_view path);

  private:
    enum class CopyKind { SaveAs, Move };
    void CopySelected(CopyKind kind);
    bool RemoveMovedSource(std::string_view source);
    // The list behind the view shown, when it can be changed: null for the recent documents
    // (which change only through their own rules) and for no view.
    PathList* CurrentPlainList();
    bool ShowingLastSearch() const;
    void DropVanishedFromCurrentList(const std::vector<std::string>& paths);
    void SaveLastSearch();
    void ShowCurrentViewAgain();

    AppContext& ctx_;
    ViewController& views_;
    FileActionsHost& host_;
    ShellExecutor& shell_;
    CompressedCopy& copy_;
};

// The entries of an open-box text: split at ";" (quotes kept together), trimmed, empty ones
// left out.
std::vector<std::string> OpenBoxPaths(std::string_view text);

}  // namespace lark
